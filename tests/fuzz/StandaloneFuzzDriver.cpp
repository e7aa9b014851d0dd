// Runs a fuzz target without libFuzzer: a fixed number of inputs, three in four of
// them the target's seeds with a few mutations (biased toward the bytes the frame
// readers interpret), the rest random bytes of random length. Deterministic, so a
// failure repeats.
//
// Usage: <target> [iterations]
#include "SeedFrames.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : Next() % n; }

private:
    uint64_t state_;
};

// A byte the readers look at: header, subcode, VAUX, or an audio block's ID and pack.
size_t InterestingOffset(Random& random, size_t size) {
    const size_t sequence = random.Below(static_cast<uint32_t>(size / 12000)) * 12000;
    switch (random.Below(4)) {
    case 0: return sequence + random.Below(8);
    case 1: return sequence + 80 + random.Below(160);
    case 2: return sequence + 480 + 1280 * random.Below(9) + random.Below(8);
    default: return sequence + 240 + random.Below(240);
    }
}

void Mutate(std::vector<uint8_t>& input, Random& random) {
    const int edits = 1 + static_cast<int>(random.Below(8));
    for (int e = 0; e < edits && !input.empty(); ++e) {
        const size_t at = random.Below(2) == 0 ? InterestingOffset(random, input.size())
                                               : random.Below(static_cast<uint32_t>(input.size()));
        if (at >= input.size()) continue;
        switch (random.Below(6)) {
        case 0: input[at] ^= static_cast<uint8_t>(1u << random.Below(8)); break;
        case 1: input[at] = 0xFF; break;
        case 2: input[at] = 0x00; break;
        case 3: input[at] = static_cast<uint8_t>(random.Next()); break;
        case 4:  // a run of garbage, as a dropout leaves
            for (size_t i = at; i < input.size() && i < at + random.Below(400); ++i) {
                input[i] = static_cast<uint8_t>(random.Next());
            }
            break;
        default:  // a truncated frame
            input.resize(at);
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const long iterations = argc > 1 ? std::atol(argv[1]) : 2000;
    const std::vector<std::vector<uint8_t>> seeds = fuzz::Seeds();
    Random random(0x5EED1394);
    // Every seed as it is first.
    for (const auto& seed : seeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
    for (long i = 0; i < iterations; ++i) {
        std::vector<uint8_t> input;
        if (random.Below(4) != 0) {
            input = seeds[random.Below(static_cast<uint32_t>(seeds.size()))];
            Mutate(input, random);
        } else {
            input.resize(random.Below(2) == 0 ? random.Below(200) : 120000 + random.Below(30000));
            for (auto& b : input) b = static_cast<uint8_t>(random.Next());
            // Sometimes a plausible header, so the walk gets past the first block.
            if (input.size() > 8 && random.Below(2) == 0) {
                input[0] = 0x1F;
                input[1] = 0x07;
                input[2] = 0x00;
                input[3] = random.Below(2) == 0 ? 0x3F : 0xBF;
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld inputs and %zu seeds passed\n", iterations, seeds.size());
    return 0;
}

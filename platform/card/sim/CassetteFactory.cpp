#include "sim/CassetteFactory.h"

#include "sim/BuiltInTape.h"
#include "sim/DVFileTape.h"

#include <algorithm>

namespace cardsim {

namespace {
constexpr int64_t kMinimumFileTail = 1800;
}

std::unique_ptr<Cassette> MakeBuiltInCassette(const BuiltInTapeOptions& options) {
    auto material = std::make_unique<BuiltInTape>(options);
    const int64_t blank = material->Options().blankFrames;
    return std::make_unique<Cassette>(std::move(material), blank);
}

std::unique_ptr<Cassette> OpenFileCassette(const std::string& path, std::string* error) {
    std::unique_ptr<DVFileTape> file = DVFileTape::Open(path, error);
    if (!file) return nullptr;
    const int64_t tail = std::max<int64_t>(file->Length() / 10, kMinimumFileTail);
    return std::make_unique<Cassette>(std::move(file), tail);
}

}  // namespace cardsim

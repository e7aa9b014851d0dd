#include "SimTestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DVFrame.h"
#include "hostcore/Timecode.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace simtest {

namespace {
constexpr int64_t kUnitsPerMicro = 3000;
int64_t PeriodUnits(DIO_VideoFormat standard) { return standard == DIO_PAL ? 120000000 : 100100000; }

// A DV frame from the host library: test pattern `pattern`, timecode `frameCount`.
std::vector<uint8_t> MakeFrame(DIO_VideoFormat standard, uint32_t pattern, LONG frameCount) {
    std::unique_ptr<unsigned char[]> bytes(DVFrame().GenTestPatternFrame(standard, pattern));
    const size_t size = standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    std::vector<uint8_t> frame(bytes.get(), bytes.get() + size);
    const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    DV25Timecode().InsertTimecode(frame.data(), TCCreateDur(frameCount, &desc), standard, false);
    return frame;
}

}  // namespace

void SimTest::SetUp() {
    cardsim::Reset();
    cardsim::UseManualClock(true);
}

void SimTest::TearDown() {
    cardsim::Reset();
    for (const std::string& f : files_) {
        std::remove(f.c_str());
        std::remove((f + ".partial").c_str());
    }
}

void SimTest::OpenSession(LONG standard) {
    ASSERT_NE(KDXOpen(0, standard, 0), 0);
    ASSERT_EQ(DevInitialize(), DDC_NoError);
}

std::string SimTest::TempPath(const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string path =
        ::testing::TempDir() + "sim_" + info->test_suite_name() + "_" + info->name() + "_" + name;
    files_.push_back(path);
    std::remove(path.c_str());
    return path;
}

void AdvancePeriods(int64_t periods, DIO_VideoFormat standard) {
    const int64_t p = PeriodUnits(standard);
    const int64_t now = cardsim::NowMicros() * kUnitsPerMicro;
    const int64_t target = (now / p + periods) * p;
    const int64_t micros = (target + kUnitsPerMicro - 1) / kUnitsPerMicro - cardsim::NowMicros();
    cardsim::AdvanceClock(micros);
}

LONG DeckState() {
    LONG state = -1;
    EXPECT_EQ(DevGetState(&state), DDC_NoError);
    return state;
}

std::vector<std::vector<uint8_t>> MakeFrames(DIO_VideoFormat standard, int count, LONG firstFrameCount,
                                             uint32_t seed) {
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(MakeFrame(standard, seed + static_cast<uint32_t>(i), firstFrameCount + i));
    return frames;
}

std::vector<uint8_t> Concat(const std::vector<std::vector<uint8_t>>& frames) {
    std::vector<uint8_t> bytes;
    for (const auto& f : frames) bytes.insert(bytes.end(), f.begin(), f.end());
    return bytes;
}

void WriteDVFile(const std::string& path, const std::vector<std::vector<uint8_t>>& frames) {
    const std::vector<uint8_t> bytes = Concat(frames);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void QueuePlaybackFrame(LONG index, const std::vector<uint8_t>& frame) {
    BYTE* slot = PdvGetPlaybackFrameAddr(index);
    ASSERT_NE(slot, nullptr) << "slot " << index;
    std::memcpy(slot, frame.data(), frame.size());
    ASSERT_TRUE(PdvSetPlaybackFrame(index + 1)) << "ready " << index;
}

std::vector<uint8_t> TapeAt(int64_t position) {
    std::vector<uint8_t> frame;
    EXPECT_TRUE(cardsim::ReadTapeFrame(position, &frame)) << "tape position " << position;
    return frame;
}

std::vector<int> DropFrameLabel(LONG frameCount) {
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    short h, m, s, f;
    TCDeconstruct(TCCreateDur(frameCount, &desc), nullptr, &h, &m, &s, &f);
    return {h, m, s, f, 1};
}

std::vector<int> DeckLabel(int64_t position) {
    cardsim::TapeTimecode tc;
    if (!cardsim::TapeTimecodeAt(position, &tc)) return {};
    return {tc.hours, tc.minutes, tc.seconds, tc.frames, tc.dropFrame};
}

std::vector<uint8_t> SendAVC(const std::vector<uint8_t>& frame) {
    BYTE command[64] = {};
    for (size_t i = 0; i < frame.size(); ++i) command[4 * (i / 4) + 3 - i % 4] = frame[i];
    BYTE response[64];
    std::memset(response, 0xEE, sizeof response);
    ULONG length = sizeof response;
    if (!KDXSendGenericAVCCommand(0, 0, 4, static_cast<ULONG>(frame.size()), 8, command, &length, response)) return {};
    std::vector<uint8_t> out(length);
    for (size_t i = 0; i < length; ++i) out[i] = response[4 * (i / 4) + 3 - i % 4];
    return out;
}

}  // namespace simtest

// Shared set-up for the simulator tests: a fresh world on a manual clock, an open
// card session, exact advances of simulated time, and DV files made with the host
// library.
#pragma once

#include "DDCError.h"
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "digitalio/DIOTypes.h"
#include "sim/SimControl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // KDXOpen(0, standard, 0) and DevInitialize, both asserted.
    void OpenSession(LONG standard = KDX_STANDARD_NTSC);
    // A unique path in the test's temporary folder.
    std::string TempPath(const std::string& name);

private:
    std::vector<std::string> files_;
};

// Advances the clock until exactly `periods` more frame periods have ended.
void AdvancePeriods(int64_t periods, DIO_VideoFormat standard = DIO_NTSC);

// The raw deck state, asserting the query succeeds.
LONG DeckState();
// Writes `frames` to a raw .dv file.
void WriteDVFile(const std::string& path, const std::vector<std::vector<uint8_t>>& frames);
// `count` frames of the standard with timecodes from `firstFrameCount`, pattern offset `seed`.
std::vector<std::vector<uint8_t>> MakeFrames(DIO_VideoFormat standard, int count, LONG firstFrameCount, uint32_t seed = 0);
std::vector<uint8_t> ReadFile(const std::string& path);
// Frames one after another, as a .dv file holds them.
std::vector<uint8_t> Concat(const std::vector<std::vector<uint8_t>>& frames);

// Card frames: plays `frame` into playback slot `index` and marks it ready.
void QueuePlaybackFrame(LONG index, const std::vector<uint8_t>& frame);

// The tape's frame at `position`, expecting it can be read.
std::vector<uint8_t> TapeAt(int64_t position);
// Timecode labels as {h, m, s, f, drop}: of a 525/60 drop-frame count and of the
// deck's reading.
std::vector<int> DropFrameLabel(LONG frameCount);
std::vector<int> DeckLabel(int64_t position);

// Sends an AV/C frame given in bus order through the card's pass-through call, in its
// quadlet layout; answers the response in bus order, or {} when the call failed.
std::vector<uint8_t> SendAVC(const std::vector<uint8_t>& frame);

}  // namespace simtest

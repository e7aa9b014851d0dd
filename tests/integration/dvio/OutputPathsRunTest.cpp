// What dvio writes, and what it never writes over: an output that is an input by
// another name, two outputs that are one file, a file that exists, a log that cannot
// be written; what a failed run leaves behind (nothing, or whole frames on a full
// disk); standard output as the DV stream, and standard output that fails.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

namespace {

using dviotest::Contains;
using dviotest::ReadBytes;
using dviotest::RunDvio;

struct PathCase {
    std::vector<std::string> args;
    int exitCode;
    std::string err;                     // the start of standard error
    std::vector<std::string> absent;     // files the run must not leave
    std::string out = "";                // a part of standard output
    dviotest::Surroundings surroundings = {};
    std::string wholeFrames = "";        // a file that must hold whole NTSC frames, at least one
};

TEST(DvioPaths, NoInputIsWrittenOverAndAFailedRunLeavesNothingBroken) {
    dviotest::Scratch dir;
    ASSERT_EQ(RunDvio({"tape", "new", "t.dv", "--seconds", "1"}, dir.Path()).exitCode, 0);
    ASSERT_EQ(symlink("t.dv", dir.File("link.dv").c_str()), 0);
    dviotest::WriteBytes(dir.File("x-2.wav"), ReadBytes(dir.File("t.dv")));
    dviotest::WriteBytes(dir.File("keep.dv"), std::vector<uint8_t>(1000, 'k'));
    const std::vector<std::string> inputs = {"t.dv", "x-2.wav", "keep.dv"};
    std::vector<std::vector<uint8_t>> before;
    for (const std::string& name : inputs) before.push_back(ReadBytes(dir.File(name)));

    const std::string sameAsTape = "dvio: will not write the DV file ";
    const PathCase cases[] = {
        {{"--tape", "t.dv", "capture", "t.dv", "--frames", "3"}, 1,
         sameAsTape + "t.dv: it is the cassette t.dv itself, which dvio only reads", {"t.wav"}},
        {{"--tape", "t.dv", "capture", "./t.dv", "--frames", "3"}, 1, sameAsTape + "./t.dv: it is the cassette", {}},
        {{"--tape", "t.dv", "capture", "link.dv", "--frames", "3"}, 1, sameAsTape + "link.dv: it is the cassette", {}},
        {{"--tape", "t.dv", "capture", "a.dv", "--wav", "t.dv", "--frames", "3"}, 1,
         "dvio: will not write the WAV file t.dv: it is the cassette t.dv itself", {"a.dv"}},
        {{"tape", "audio", "t.dv", "t.dv"}, 1, "dvio: will not write the WAV file t.dv: it is the DV file t.dv", {}},
        // The numbered file a change of audio would go on to is the input.
        {{"tape", "audio", "x-2.wav", "x.wav"}, 1, "dvio: will not write the WAV file x-2.wav: it is the DV file", {"x.wav"}},
        {{"capture", "s.dv", "--wav", "s.dv", "--frames", "3"}, 1,
         "dvio: will not write the WAV file s.dv: it is the same file as the DV file s.dv", {"s.dv"}},
        {{"capture", "keep.dv", "--frames", "3"}, 1,
         "dvio: keep.dv already exists: dvio does not overwrite a file unless --force is given\n", {"keep.wav"}},
        {{"tape", "new", "keep.dv"}, 1, "dvio: keep.dv already exists", {}},
        {{"--log", "t.dv", "--tape", "t.dv", "info"}, 1, "dvio: will not write the log to t.dv: it is t.dv itself", {}},
        {{"--log", "no/such/p.log", "info"}, 1, "dvio: cannot write the log no/such/p.log: No such file or directory\n",
         {}},
        // Every output is opened before the deck moves; a failed run removes them.
        {{"capture", "a.dv", "--wav", "no/such/a.wav", "--frames", "3"}, 1,
         "dvio: cannot write no/such/a.wav: No such file or directory\n", {"a.dv"}},
        {{"--fault", "ddc=DevPlay:7", "capture", "b.dv", "--frames", "3"}, 1, "dvio: the deck refused to play: ",
         {"b.dv", "b.wav"}},
        // "-" is the DV stream on standard output, the summary then on standard error.
        {{"--speed", "4", "capture", "-", "--frames", "3"}, 0, "captured       3 frames to -\n", {"-.wav"}},
        {{"--json", "tape", "info", "t.dv"}, 1, "dvio: writing to standard output failed: ", {}, "",
         {"/dev/full", -1}},
        // A disk that fills up: whole frames stay, and the run fails.
        {{"--speed", "4", "capture", "full.dv", "--frames", "30"}, 1, "dvio: writing full.dv failed: File too large; "
         "the file was cut back to its last whole frame (8 frames)\n", {}, "", {"", 1000000}, "full.dv"},
        // A name that is not UTF-8 stays valid JSON.
        {{"--speed", "4", "--json", "capture", "caf\xe9.dv", "--frames", "3"}, 0, "", {},
         "{\"file\":\"caf\\u00e9.dv\",\"frames\":3,"},
    };
    for (const PathCase& c : cases) {
        std::string command = "dvio";
        for (const std::string& arg : c.args) command += " " + arg;
        SCOPED_TRACE(command);
        const dviotest::Result result = RunDvio(c.args, dir.Path(), c.surroundings);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
        EXPECT_TRUE(Contains(result.out, c.out)) << result.out.substr(0, 400);
        for (size_t i = 0; i < inputs.size(); ++i) EXPECT_TRUE(ReadBytes(dir.File(inputs[i])) == before[i]) << inputs[i];
        for (const std::string& name : c.absent) EXPECT_EQ(dviotest::FileSize(dir.File(name)), -1) << name;
        if (!c.wholeFrames.empty()) {
            const int64_t size = dviotest::FileSize(dir.File(c.wholeFrames));
            EXPECT_GT(size, 0);
            EXPECT_EQ(size % 120000, 0) << size;
        }
        if (std::find(c.args.begin(), c.args.end(), "-") != c.args.end()) {
            EXPECT_EQ(result.out.size(), 3u * 120000);
        }
    }
    // Asked for, an existing file is overwritten.
    const dviotest::Result forced = RunDvio({"--speed", "4", "--force", "capture", "keep.dv", "--frames", "3"}, dir.Path());
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(dviotest::FileSize(dir.File("keep.dv")), 3 * 120000);
}

}  // namespace

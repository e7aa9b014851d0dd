// dvio print as a user runs it, judged by the bytes it leaves in the cassette file: the
// pictures where they belong and nowhere else, the sound as FFmpeg reads it back, and
// bad input refused with the cassette untouched.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace {

using dviotest::RunDvio;
using Bytes = std::vector<uint8_t>;

constexpr int kFrames = 30;

size_t FrameSize(DIO_VideoFormat standard) { return standard == DIO_PAL ? 144000 : 120000; }

// The picture of frame `index`: every video block (not the header, subcode, VAUX or audio blocks).
Bytes Picture(const Bytes& file, size_t frameSize, int64_t index) {
    Bytes picture;
    for (size_t at = static_cast<size_t>(index) * frameSize, end = at + frameSize; at < end; at += 12000)
        for (size_t block = 7; block < 150; ++block)
            if ((block - 6) % 16 != 0)
                picture.insert(picture.end(), file.begin() + at + block * 80, file.begin() + at + block * 80 + 80);
    return picture;
}

// A 16-bit stereo WAV file of `samples`, interleaved.
void WriteWav(const std::string& path, int rate, const std::vector<int16_t>& samples) {
    auto le = [](Bytes* b, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const auto data = static_cast<uint32_t>(samples.size() * 2);
    Bytes b{'R', 'I', 'F', 'F'};
    le(&b, 36 + data, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    le(&b, 16, 4), le(&b, 1, 2), le(&b, 2, 2), le(&b, static_cast<uint32_t>(rate), 4);
    le(&b, static_cast<uint32_t>(rate) * 4, 4), le(&b, 4, 2), le(&b, 16, 2);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    le(&b, data, 4);
    for (int16_t s : samples) le(&b, static_cast<uint16_t>(s), 2);
    dviotest::WriteBytes(path, b);
}

// A source for the print and a cassette to print onto, in one standard.
struct Session {
    dviotest::Scratch dir;
    DIO_VideoFormat standard;
    int64_t in;  // tape position of 00:00:03:00
    Bytes cassette, source;

    explicit Session(DIO_VideoFormat s) : standard(s), in(s == DIO_PAL ? 75 : 90) {
        std::string error;
        EXPECT_TRUE(dviotest::MakeFfmpegTape(dir.File("src.dv"), s, 48000, 1.5, "05:00:00:00", &error)) << error;
        const std::string name = s == DIO_PAL ? "pal" : "ntsc";
        EXPECT_EQ(RunDvio({"tape", "new", "cass.dv", "--seconds", "12", "--standard", name}, dir.Path()).exitCode, 0);
        cassette = dviotest::ReadBytes(dir.File("cass.dv"));
        source = dviotest::ReadBytes(dir.File("src.dv"));
    }
    dviotest::Result Print(std::vector<std::string> args, const std::string& deck = "") {
        // Real time: the record thread keeps the card fed at any speed a loaded machine gives it.
        args.insert(args.begin(), {"--tape", "cass.dv", "--log", "plugin.log", "print", "src.dv"});
        if (!deck.empty()) ::setenv("DVIO_SIM_DECK", deck.c_str(), 1);
        dviotest::Result result = RunDvio(args, dir.Path());
        ::unsetenv("DVIO_SIM_DECK");
        return result;
    }
    Bytes Tape() const { return dviotest::ReadBytes(dir.File("cass.dv")); }
    std::string Log() const {
        const Bytes bytes = dviotest::ReadBytes(dir.File("plugin.log"));
        return std::string(bytes.begin(), bytes.end());
    }
    // Frames [first, first + count) of the tape hold source frames 0.. and the rest of
    // the tape near them is as it was.
    // `untouched`: the first position before them that must be as it was.
    void ExpectPrintedAt(const Bytes& tape, int64_t first, int64_t count, int64_t untouched) const {
        const size_t size = FrameSize(standard);
        for (int64_t k = 0; k < count; ++k)
            EXPECT_EQ(Picture(tape, size, first + k), Picture(source, size, k)) << "frame " << k;
        EXPECT_EQ(Picture(tape, size, untouched), Picture(cassette, size, untouched));
    }
};

struct InsertCase {
    DIO_VideoFormat standard;
    const char* deck;  // how the simulated deck parks
    bool corrected;    // DevicePerform's correction lines
};

TEST(DvioPrint, AnInsertLandsFrameExactOnIn) {
    REQUIRE_FFMPEG();
    for (const InsertCase& c : {InsertCase{DIO_NTSC, "", false}, InsertCase{DIO_NTSC, "early", true},
                                InsertCase{DIO_PAL, "", false}, InsertCase{DIO_PAL, "early", true}}) {
        SCOPED_TRACE(std::string(c.standard == DIO_PAL ? "PAL " : "NTSC ") + c.deck);
        Session s(c.standard);
        const dviotest::Result result =
            s.Print({"--insert", "--in", "00:00:03:00", "--out", "00:00:04:00", "--json"}, c.deck);
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        const int64_t n = c.standard == DIO_PAL ? 25 : 30;
        dviotest::ExpectContains(result.out, {"\"exact\":true", "\"sent\":" + std::to_string(n)});
        const Bytes tape = s.Tape();
        s.ExpectPrintedAt(tape, s.in, n, s.in - 1);
        const size_t size = FrameSize(c.standard);
        EXPECT_EQ(Picture(tape, size, s.in + n), Picture(s.cassette, size, s.in + n));  // Out is kept
        EXPECT_EQ(dviotest::FfmpegPcmOf(dviotest::Frames(tape, size, s.in, n)),
                  dviotest::FfmpegPcmOf(dviotest::Frames(s.source, size, 0, n)));
        const std::string log = s.Log();
        EXPECT_EQ(dviotest::Contains(log, "TRYING TO CORRECT TAPE LOCATION\n"), c.corrected);
        EXPECT_EQ(dviotest::Contains(log, "PRINT TO TAPE IS ACCURATE\n"), c.corrected);
        EXPECT_FALSE(dviotest::Contains(log, "PRINT TO TAPE IS INACCURATE\n"));
    }
}

TEST(DvioPrint, PlainAssembleAndWavPrintsReachTheTapeSampleForSample) {
    REQUIRE_FFMPEG();
    struct Case {
        std::vector<std::string> args;
        bool wav;
        std::string edit;
    };
    const std::vector<int16_t> noise = oracle::Noise(2 * 2 * 48000, 7);  // two seconds of stereo
    for (const Case& c : {Case{{"--in", "00:00:03:00", "--start-tc", "01:00:00:00"}, false, "plain record from 01:00:00;00"},
                          Case{{"--assemble", "--in", "00:00:03:00"}, false, "assemble video and audio"},
                          Case{{"--insert", "--in", "00:00:03:00", "--wav", "noise.wav"}, true, "insert video and audio"},
                          Case{{"--in", "00:00:03:00", "--wav", "noise.wav"}, true, "plain record"}}) {
        SCOPED_TRACE(c.edit);
        Session s(DIO_NTSC);
        WriteWav(s.dir.File("noise.wav"), 48000, noise);
        const dviotest::Result result = s.Print(c.args);
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        dviotest::ExpectContains(result.out, {c.edit, "landed exactly", "audio      identical"});
        const Bytes tape = s.Tape();
        // A plain record begins with the card's lead-in still of frame 1.
        int64_t first = s.in;
        while (first < s.in + 10 && Picture(tape, 120000, first + 1) != Picture(s.source, 120000, 1)) ++first;
        // ... which a plain record also puts onto the tape.
        s.ExpectPrintedAt(tape, first, 44, s.in - 1);
        const std::vector<int16_t> read = dviotest::FfmpegPcmOf(dviotest::Frames(tape, 120000, first, 44));
        std::vector<int16_t> sent = dviotest::FfmpegPcmOf(dviotest::Frames(s.source, 120000, 0, 44));
        if (c.wav) {
            sent.assign(noise.begin(), noise.begin() + static_cast<long>(read.size()));
            for (int16_t& sample : sent) sample = sample == -32768 ? -32767 : sample;  // DV's "no sample" code
        }
        oracle::ExpectSamePcm(sent, read);
    }
}

TEST(DvioPrint, APrintThatMissesInExitsOneAndSaysWhere) {
    REQUIRE_FFMPEG();
    Session s(DIO_NTSC);
    // The deck parks a frame short and refuses the step that would correct it.
    const dviotest::Result result =
        s.Print({"--insert", "--in", "00:00:03:00", "--fault", "ddc=DevStepForwardAFrame:7"}, "early");
    EXPECT_EQ(result.exitCode, 1) << result.out;
    dviotest::ExpectContains(result.out, {"did NOT land exactly", "frames 1 to 44 landed 1 early, at 00:00:02;29"});
    EXPECT_EQ(result.err, "dvio: the print did not land exactly: frames 1 to 44 landed 1 early, at 00:00:02;29 "
                          "instead of 00:00:03;00 to 00:00:04;13\n");
}

TEST(DvioPrint, BadInputLeavesTheCassetteAsItWas) {
    REQUIRE_FFMPEG();
    Session s(DIO_NTSC);
    dviotest::WriteBytes(s.dir.File("notes.txt"), Bytes(500, 'n'));
    dviotest::WriteBytes(s.dir.File("short.dv"), Bytes(s.source.begin(), s.source.begin() + 200000));
    WriteWav(s.dir.File("22k.wav"), 22050, std::vector<int16_t>(4410));
    ASSERT_EQ(oracle::Run("ffmpeg -v error -f lavfi -i sine=r=48000 -t 0.2 -ac 6 '" + s.dir.File("six.wav") + "'"), 0);
    ASSERT_EQ(RunDvio({"tape", "new", "pal.dv", "--seconds", "1", "--standard", "pal"}, s.dir.Path()).exitCode, 0);
    struct Mistake {
        std::vector<std::string> args;
        int exitCode;  // 1 only for the write-protected cassette
        std::string error;
    };
    const Mistake mistakes[] = {
        {{"print", "notes.txt"}, 2, "dvio: notes.txt is not a DV file: byte offset 0 of notes.txt (frame 0) is not"},
        {{"print", "short.dv"}, 2, "dvio: short.dv cannot be printed: short.dv ends 80000 bytes into frame 1 of 120000"},
        {{"--standard", "pal", "print", "src.dv"}, 2, "dvio: src.dv holds NTSC frames, but the session is PAL (--standard)"},
        {{"print", "pal.dv"}, 2, "dvio: pal.dv holds PAL frames, but the session is NTSC (the tape in the deck)"},
        {{"print", "src.dv", "--wav", "22k.wav"}, 2,
         "dvio: 22k.wav cannot be printed: its rate is 22050 Hz; DV25 carries 48000, 44100 or 32000"},
        {{"print", "src.dv", "--wav", "six.wav"}, 2,
         "dvio: six.wav cannot be printed: it has 6 channels; DV25 carries 2, or 4 only as 12-bit 32 kHz audio"},
        {{"print", "src.dv", "--insert", "--in", "00:00:05:00", "--out", "00:00:04:00"}, 2,
         "dvio: --out 00:00:04:00 must come after --in 00:00:05:00"},
        {{"print", "src.dv", "--insert"}, 2, "dvio: --insert needs --in TC"},
        {{"print", "src.dv", "--insert", "--in", "00:00:05:00", "--out", "00:00:09:00"}, 2,
         "dvio: the edit from --in to --out is 120 frames, but src.dv holds only 44"},
        {{"print", "src.dv", "--insert", "--assemble"}, 2, "dvio: --insert excludes --assemble"},
        // The deck refuses a write-protected cassette: the command was right, the device
        // said no, as dvio deck record does (exit 1).
        {{"print", "src.dv"}, 1,
         "dvio: the cassette in the deck is write-protected: the deck will not record, nothing was printed"},
    };
    for (const Mistake& m : mistakes) {
        std::string command = "dvio";
        for (const std::string& arg : m.args) command += " " + arg;
        const bool protect = m.exitCode == 1;
        ASSERT_EQ(::chmod(s.dir.File("cass.dv").c_str(), protect ? 0444 : 0644), 0);
        std::vector<std::string> args = {"--tape", "cass.dv"};
        args.insert(args.end(), m.args.begin(), m.args.end());
        const dviotest::Result result = RunDvio(args, s.dir.Path());
        EXPECT_EQ(result.exitCode, m.exitCode) << command << "\n" << result.err;
        EXPECT_EQ(result.err.rfind(m.error, 0), 0u) << command << " said:\n" << result.err;
        EXPECT_TRUE(s.Tape() == s.cassette) << command << " changed the cassette";
    }
}

}  // namespace

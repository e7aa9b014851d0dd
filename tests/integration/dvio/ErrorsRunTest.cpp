// What a user who gets something wrong sees: a sentence to act on, and the documented
// exit code (2 for the command line, 1 for the device, deck or files, 3 for a start
// timecode that never came).
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using dviotest::RunDvio;

struct Mistake {
    std::vector<std::string> args;
    int exitCode;
    std::string error;  // the start of what dvio says on standard error
};

TEST(DvioErrors, MistakesExitWithTheirCodeAndASentence) {
    dviotest::Scratch dir;
    dviotest::WriteBytes(dir.File("notes.txt"), std::vector<uint8_t>(500, 'n'));
    dviotest::WriteBytes(dir.File("empty.dv"), {});
    ASSERT_EQ(RunDvio({"tape", "new", "readonly.dv", "--seconds", "1"}, dir.Path()).exitCode, 0);
    ASSERT_EQ(::chmod(dir.File("readonly.dv").c_str(), 0444), 0);
    const Mistake mistakes[] = {
        {{}, 2, "dvio: A subcommand is required"},
        {{"dance"}, 2, "dvio: A subcommand is required"},
        {{"capture"}, 2, "dvio: OUT is required"},
        {{"capture", "x.dv", "--format", "mp4"}, 2, "dvio: --format takes dv, avi, mov or mkv, not \"mp4\"\n"},
        {{"capture", "-", "--format", "mkv"}, 2, "dvio: - writes a raw DV stream; --format mkv needs a file\n"},
        {{"capture", "x.dv", "--split", "size=10K"}, 2,
         "dvio: --split size=10K is smaller than one DV frame (144000 bytes)\n"},
        {{"capture", "x.dv", "--split", "chapters"}, 2,
         "dvio: --split takes recording, break, size=N[K|M|G], frames=N or seconds=S, not \"chapters\"\n"},
        {{"capture", "x.dv", "--split", "frames=0"}, 2, "dvio: --split frames takes a whole number from 1 to "},
        {{"capture", "x.dv", "--name", "%d/%n"}, 2, "dvio: --name names files, not folders: "},
        {{"capture", "x.dv", "--name", "%x"}, 2, "dvio: --name: unknown field \"%x\" (the fields are %d date, "},
        {{"capture", "x.dv", "--split", "break", "--wav", "a.wav"}, 2,
         "dvio: --wav names one WAV file: with --split or --name each DV file's WAV files take its name\n"},
        {{"capture", "x.dv", "--frames", "10", "--seconds", "2"}, 2, "dvio: --frames excludes --seconds"},
        {{"capture", "x.dv", "--frames", "-3"}, 2, "dvio: --frames takes a whole number from 1 to 2592000, not \"-3\"\n"},
        {{"capture", "x.dv", "--seconds", "nan"}, 2, "dvio: --seconds takes a number above 0 and at most 86400, not \"nan\"\n"},
        {{"capture", "x.dv", "--seconds", "1e400"}, 2, "dvio: --seconds takes a number above 0 and at most 86400, not "},
        {{"capture", "x.dv", "--from", ""}, 2, "dvio: --from needs a value, not \"\"\n"},
        {{"--speed", "0", "info"}, 2, "dvio: --speed takes a number above 0 and at most 60, not \"0\"\n"},
        {{"--speed", "", "info"}, 2, "dvio: --speed takes a number above 0 and at most 60, not \"\"\n"},
        {{"--speed", "200", "info"}, 2, "dvio: --speed takes a number above 0 and at most 60, not \"200\"\n"},
        // The whole deck sequence is checked before its first command runs.
        {{"deck", "play", "seek", "00:00:10:30"}, 2, "dvio: seek 00:00:10:30: "},
        {{"--fault", "ddc=NoSuchFunc:7", "info"}, 2,
         "dvio: --fault \"ddc=NoSuchFunc:7\" was not understood: \"NoSuchFunc\" is not a deck-control function; "
         "the functions are DevAskForStateAsync, "},
        {{"--fault", "drop=100000000000000000000000", "info"}, 2,
         "dvio: --fault \"drop=100000000000000000000000\" was not understood: write drop=FIRST or FIRST:COUNT"},
        {{"--fault", "disconnect=1000:500", "info"}, 2,
         "dvio: --fault \"disconnect=1000:500\" was not understood: the device must come back (MS2) after it went "
         "away (MS)"},
        {{"capture", "x.dv", "--from", "1:00:00:00"}, 2,
         "dvio: --from: \"1:00:00:00\" is not a timecode: write HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame\n"},
        {{"capture", "x.dv", "--to", "00:00:00:30"}, 2,
         "dvio: --to: 00:00:00;30 does not exist at 30 frames per second: frames go to 29\n"},
        {{"capture", "x.dv", "--from", "00:02:00:00", "--to", "00:01:00:00"}, 2,
         "dvio: --to 00:01:00:00 must come after --from 00:02:00:00\n"},
        {{"deck", "dance"}, 2, "dvio: \"dance\" is not a deck command"},
        {{"deck", "seek", "noon"}, 2, "dvio: \"noon\" is not a timecode"},
        {{"deck"}, 2, "dvio: dvio deck needs at least one command"},
        {{"--trace", "decks", "info"}, 2, "dvio: --trace takes deck, capture and playback, not \"decks\"\n"},
        {{"--standard", "secam", "info"}, 2, "dvio: --standard must be ntsc or pal, not \"secam\"\n"},
        {{"--speed", "-1", "info"}, 2, "dvio: --speed takes a number above 0 and at most 60, not \"-1\"\n"},
        {{"--fault", "gremlins", "info"}, 2, "dvio: --fault \"gremlins\" was not understood: "},
        {{"tape", "new", "x.dv", "--channels", "4"}, 2,
         "dvio: 4 audio channels need --rate 32000: DV25 carries four channels only as 12-bit 32 kHz audio\n"},
        {{"tape", "new", "x.dv", "--rate", "22050"}, 2, "dvio: --rate: 22050 not in {48000,44100,32000}\n"},
        {{"tape", "new", "x.dv", "--start", "25:00:00:00"}, 2, "dvio: --start: \"25:00:00:00\" is not a timecode"},
        {{"tape", "audio", "only-one.dv"}, 2, "dvio: OUT.wav is required"},
        // Missing and unreadable files.
        {{"--plugin", "no-such-plugin.so", "info"}, 1, "dvio: cannot load the plug-in no-such-plugin.so: "},
        {{"--tape", "missing.dv", "info"}, 1, "dvio: cannot use missing.dv as the cassette: it cannot be read\n"},
        {{"tape", "info", "missing.dv"}, 1, "dvio: cannot read missing.dv: No such file or directory\n"},
        {{"tape", "info", "notes.txt"}, 1,
         "dvio: notes.txt is not a DV file: byte offset 0 of notes.txt (frame 0) is not the start of a DV frame\n"},
        {{"tape", "audio", "missing.dv", "out.wav"}, 1, "dvio: cannot read missing.dv: No such file or directory\n"},
        // Files that are no tape, and a tape that may not be recorded on.
        {{"--tape", "notes.txt", "info"}, 1,
         "dvio: cannot use notes.txt as the cassette: notes.txt is not a DV file: none of its 500 bytes starts a DV "
         "frame\n"},
        {{"--tape", "empty.dv", "info"}, 1,
         "dvio: cannot use empty.dv as the cassette: empty.dv is empty: it is no DV file and was not made as a blank "
         "cassette (dvio tape new FILE --blank)\n"},
        {{"tape", "new", "notes.txt", "--blank"}, 1,
         "dvio: notes.txt exists: a blank cassette is made only as a new file\n"},
        {{"--tape", "readonly.dv", "deck", "record"}, 1, "dvio: the deck refused \"record\": Tape Protected\n"},
        {{"tape", "new", "no/such/folder/t.dv"}, 1, "dvio: cannot write no/such/folder/t.dv: No such file or directory\n"},
        {{"capture", "no/such/folder/t.dv", "--frames", "5"}, 1,
         "dvio: cannot write no/such/folder/t.dv: No such file or directory\n"},
        // A deck that is not there, or refuses.
        {{"--fault", "disconnect=0", "capture", "t.dv", "--frames", "5"}, 1,
         "dvio: the deck does not answer (No Device): is a device connected and a cassette loaded?\n"},
        {{"--fault", "open=0x1f", "capture", "t.dv", "--frames", "5"}, 1,
         "dvio: the deck does not answer (Driver Error): is a device connected and a cassette loaded?\n"},
        {{"--fault", "ddc=DevPlay:7", "capture", "t.dv", "--frames", "5"}, 1,
         "dvio: the deck refused to play: Command Rejected\n"},
    };
    for (const Mistake& mistake : mistakes) {
        const dviotest::Result result = RunDvio(mistake.args, dir.Path());
        std::string command = "dvio";
        for (const std::string& arg : mistake.args) command += " " + arg;
        EXPECT_EQ(result.exitCode, mistake.exitCode) << command << "\n" << result.err;
        EXPECT_EQ(result.err.rfind(mistake.error, 0), 0u) << command << " said:\n" << result.err;
        EXPECT_EQ(result.err.empty() ? ' ' : result.err.back(), '\n') << command;
        // A command line that is wrong runs nothing.
        if (mistake.exitCode == 2) {
            EXPECT_EQ(result.out, "") << command;
        }
    }
}

TEST(DvioErrors, AStartTimecodeThatNeverComesEndsWithThreeAndWhatTheTapeShowed) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("tape.dv"), DIO_PAL, 48000, 6, "10:00:00:00", &error)) << error;
    // The deck cues and plays, but the card damages the subcode of the first 20 frames
    // it takes: the start passes without the device seeing its timecode.
    const dviotest::Result result = RunDvio(
        {"--tape", "tape.dv", "--fault", "corrupt=0:20", "capture", "t.dv", "--from", "10:00:02:00", "--frames", "5"},
        dir.Path());
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(result.err.rfind("dvio: the start timecode 10:00:02:00 never came: the tape went past it, showing "
                               "10:00:01:15 to 10:00:0",
                               0),
              0u)
        << result.err;
    dviotest::ExpectContains(result.err, {", and no frame the device took carried it\n"});
    EXPECT_EQ(result.out, "");
}

TEST(DvioErrors, TheLogOptionSendsThePluginsLinesToAFile) {
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"--log", "plugin.log", "--trace", "deck", "deck", "play", "stop"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<uint8_t> bytes = dviotest::ReadBytes(dir.File("plugin.log"));
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_EQ(log.rfind("DIOVelorin DLL Loaded\nDIOVelorin GetDIODevice called\nCDV1394 object created\n", 0), 0u)
        << log;
    dviotest::ExpectContains(log, {"DevPlay  error -> No Error\n", "DevStop  error -> No Error\n"});
}

}  // namespace

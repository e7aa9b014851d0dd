#include "DvioTestSupport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace dviotest {

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

DvioProcess::DvioProcess(const std::vector<std::string>& args, const std::string& folder,
                         const Surroundings& surroundings) {
    static int counter = 0;
    const std::string tag = std::to_string(getpid()) + "-" + std::to_string(++counter);
    outFile_ = folder + "/.dvio-out-" + tag;
    errFile_ = folder + "/.dvio-err-" + tag;
    std::vector<std::string> argv = {DVIO_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        const std::string outPath = surroundings.stdoutPath.empty() ? outFile_ : surroundings.stdoutPath;
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (surroundings.fileSizeLimit >= 0) {
            // A write past the limit then fails as on a full disk, instead of a signal.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(surroundings.fileSizeLimit),
                               static_cast<rlim_t>(surroundings.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> pointers;
        for (std::string& arg : argv) pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
}

DvioProcess::~DvioProcess() {
    if (!done_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
    std::remove(outFile_.c_str());
    std::remove(errFile_.c_str());
}

void DvioProcess::Signal(int signal) {
    if (!done_ && pid_ > 0) kill(pid_, signal);
}

void DvioProcess::SignalWhen(const std::function<bool()>& ready, int signal) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!ready() && std::chrono::steady_clock::now() < deadline && Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Signal(signal);
}

bool DvioProcess::Running() {
    if (done_ || pid_ <= 0) return false;
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == 0) return true;
    done_ = true;
    result_.exitCode = got == pid_ ? ExitCodeOf(status) : -1;
    result_.out = Slurp(outFile_);
    result_.err = Slurp(errFile_);
    return false;
}

Result DvioProcess::Wait() {
    if (!done_ && pid_ > 0) {
        int status = 0;
        result_.exitCode = waitpid(pid_, &status, 0) == pid_ ? ExitCodeOf(status) : -1;
        result_.out = Slurp(outFile_);
        result_.err = Slurp(errFile_);
        done_ = true;
    }
    return result_;
}

Result RunDvio(const std::vector<std::string>& args, const std::string& folder, const Surroundings& surroundings) {
    DvioProcess process(args, folder, surroundings);
    return process.Wait();
}

int64_t FileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::vector<int16_t> WavSamples(const std::string& path, int* rate, int* channels) {
    // A canonical WAV: walk the chunks to "fmt " (which must say 16-bit PCM) and "data".
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const auto u16 = [&](size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    const auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | (u16(at + 2) << 16)); };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return {};
    for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + u32(at + 4) + (u32(at + 4) & 1)) {
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 24 <= bytes.size()) {
            if (u16(at + 8) != 1 || u16(at + 22) != 16) return {};
            if (channels != nullptr) *channels = u16(at + 10);
            if (rate != nullptr) *rate = static_cast<int>(u32(at + 12));
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            // The RIFF length must end where the data ends: readers trust either.
            if (u32(4) != at + u32(at + 4)) return {};
            const size_t end = std::min(bytes.size(), at + 8 + u32(at + 4));
            return oracle::Pcm(std::vector<uint8_t>(bytes.begin() + static_cast<long>(at + 8), bytes.begin() + static_cast<long>(end)));
        }
    }
    return {};
}

bool MakeFfmpegTape(const std::string& path, DIO_VideoFormat standard, int sampleRate, double seconds,
                    const std::string& start, std::string* error) {
    // Different tones left and right, so that a swap of channels shows.
    const std::string rate = std::to_string(sampleRate);
    return oracle::FfmpegDv(path, standard, "testsrc", "aevalsrc=0.5*sin(2*PI*t*440)|0.4*sin(2*PI*t*1234+1):s=" + rate,
                            "-t " + std::to_string(seconds) + " -ac 2 -ar " + rate + " -timecode '" + start + "'",
                            error) &&
           error->empty();
}

std::vector<uint8_t> Frames(const std::vector<uint8_t>& tape, size_t frameSize, int64_t first, int64_t count) {
    return std::vector<uint8_t>(tape.begin() + static_cast<long>(first * frameSize),
                                tape.begin() + static_cast<long>((first + count) * frameSize));
}

std::vector<uint8_t> Splice(const Scratch& dir, const std::vector<std::string>& parts, const std::string& name) {
    std::vector<uint8_t> bytes;
    for (const std::string& part : parts) {
        const std::vector<uint8_t> more = ReadBytes(dir.File(part));
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    WriteBytes(dir.File(name), bytes);
    return bytes;
}

std::vector<int16_t> FfmpegPcmOf(const std::vector<uint8_t>& bytes) {
    Scratch dir;
    WriteBytes(dir.File("part.dv"), bytes);
    return oracle::FfmpegPcm(dir.File("part.dv"));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void ExpectContains(const std::string& text, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) EXPECT_TRUE(Contains(text, part)) << "no \"" << part << "\" in:\n" << text;
}

bool ProbeAccepts(const std::string& path) { return oracle::Run("ffprobe -v error '" + path + "' >/dev/null") == 0; }

}  // namespace dviotest

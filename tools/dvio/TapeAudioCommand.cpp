#include "DvFile.h"
#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "FrameAudio.h"
#include "InterfaceValueText.h"
#include "Json.h"
#include "TapeCommands.h"
#include "WavFilesJson.h"
#include "WavSeries.h"

#include "digitalio/USampsInFrame.h"

int RunTapeAudio(const std::string& dvPath, const std::string& wavPath, bool json, std::ostream& out,
                 std::ostream& err) {
    DvFileReader reader;
    std::string error;
    if (!reader.Open(dvPath, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    WavSeries wav(wavPath);
    FrameAudio audio;
    std::vector<uint8_t> frame;
    std::vector<int16_t> pcm;
    int64_t silentFrames = 0;
    DvFrameFacts last;  // the last frame whose audio could be read
    ULONG cadence = 0;  // frame number in the current format's sample cadence
    DvFileReader::Result result;
    while ((result = reader.Next(&frame)) == DvFileReader::Result::Frame || result == DvFileReader::Result::Damaged) {
        const int64_t index = reader.Index() - 1;
        // A frame without a readable header has no audio to read: silence keeps step.
        DvFrameFacts facts = result == DvFileReader::Result::Damaged ? DvFrameFacts() : ReadFrameFacts(frame.data(), frame.size());
        if (result == DvFileReader::Result::Damaged) facts.standard = last.standard;
        pcm.clear();
        if (facts.audioReadable) {
            if (!last.audioReadable || last.audioRate != facts.audioRate || last.audioChannels != facts.audioChannels ||
                last.standard != facts.standard)
                cadence = 0;
            if (!wav.Use(SampleRateOf(facts.audioRate), facts.audioChannels, index,
                         TimecodeText(FrameTimecode(facts)), &error) ||
                audio.Append(frame.data(), facts.audioChannels, &pcm) < 0) {
                if (error.empty()) error = "the audio of frame " + std::to_string(index) + " could not be read";
                err << "dvio: " << error << "\n";
                wav.Close(&error);
                return kExitFailed;
            }
            last = facts;
        } else if (last.audioReadable && facts.standard == last.standard) {
            // Silence keeps the sound in step with the pictures across a damaged frame.
            const ULONG samples = USampsInFrame(last.audioRate, last.standard).GetSampsForFrameNum(cadence + 1);
            pcm.assign(static_cast<size_t>(samples) * last.audioChannels, 0);
            ++silentFrames;
        } else {
            ++silentFrames;
        }
        ++cadence;
        if (!pcm.empty() &&
            !wav.Write(pcm.data(), static_cast<int64_t>(pcm.size()) / wav.Files().back().channels, &error)) {
            err << "dvio: " << error << "\n";
            return kExitFailed;
        }
    }
    if (!wav.Close(&error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    if (reader.Index() == 0 && result != DvFileReader::Result::End) {
        err << "dvio: " << dvPath << " is not a DV file: " << reader.Problem() << "\n";
        return kExitFailed;
    }
    if (wav.Files().empty()) {
        err << "dvio: " << dvPath << " has no frame with readable audio; no WAV file was written\n";
        return kExitFailed;
    }

    if (json) {
        Json report = Json::Object();
        report.Set("file", dvPath);
        report.Set("frames", reader.Index());
        report.Set("wav", WavFilesJson(wav.Files()));
        report.Set("frames_without_audio", silentFrames);
        if (result != DvFileReader::Result::End) report.Set("problem", reader.Problem());
        out << report.Dump() << "\n";
    } else {
        size_t n = 0;
        for (const auto& file : wav.Files()) {
            if (n++ > 0) {
                out << "the audio changes to " << file.sampleRate << " Hz, " << file.channels << " channels at frame "
                    << file.firstFrame << " (" << file.firstTimecode << "): continuing in " << file.path << "\n";
            }
            out << "wrote " << file.path << ": " << file.sampleRate << " Hz, " << file.channels << " channels, "
                << file.samples << " samples\n";
        }
        if (silentFrames > 0) out << silentFrames << " frames had no readable audio: silence was written for them\n";
    }
    if (result != DvFileReader::Result::End) {
        err << "dvio: " << reader.Problem() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

#include "PrintFeed.h"

#include "DvFile.h"
#include "DvFrameFacts.h"
#include "FrameAudio.h"
#include "WavReader.h"

namespace {

bool LoadFrames(const std::string& path, PrintSource* source, std::string* error) {
    DvFileReader reader;
    if (!reader.Open(path, error)) return false;
    std::vector<uint8_t> frame;
    for (;;) {
        const DvFileReader::Result result = reader.Next(&frame);
        if (result == DvFileReader::Result::End) break;
        if (result != DvFileReader::Result::Frame) {
            // A file too short for one frame is as likely no DV at all.
            const bool notDv = result == DvFileReader::Result::NotDv ||
                               (reader.Index() == 0 && HeaderStandard(frame.data(), frame.size()) == DIO_NoVideoFormat);
            *error = path + (notDv ? " is not a DV file: " : " cannot be printed: ") + reader.Problem();
            return false;
        }
        const DIO_VideoFormat standard = HeaderStandard(frame.data(), frame.size());
        if (source->frames.empty()) {
            source->standard = standard;
            source->frameSize = frame.size();
        } else if (standard != source->standard) {
            *error = path + " cannot be printed: frame " + std::to_string(source->frames.size()) + " is " +
                     StandardName(standard) + " after " + StandardName(source->standard) + " frames";
            return false;
        }
        source->frames.push_back(frame);
    }
    if (source->frames.empty()) {
        *error = path + " holds no frame to print";
        return false;
    }
    return true;
}

bool LoadDvAudio(const std::string& path, PrintSource* source, std::string* error) {
    const DvFrameFacts first = ReadFrameFacts(source->frames[0].data(), source->frameSize);
    if (!first.audioReadable) {
        *error = path + " carries no audio that can be read: print its pictures with --video-only, or give --wav";
        return false;
    }
    source->audioRate = first.audioRate;
    const int channels = first.audioChannels;
    source->channels.assign(static_cast<size_t>(channels), {});
    FrameAudio audio;
    std::vector<int16_t> pcm;
    for (size_t k = 0; k < source->frames.size(); ++k) {
        const DvFrameFacts facts = ReadFrameFacts(source->frames[k].data(), source->frameSize);
        if (!facts.audioReadable || facts.audioRate != first.audioRate || facts.audioChannels != channels) {
            *error = path + " cannot be printed with its own audio: frame " + std::to_string(k) +
                     (facts.audioReadable ? " changes the audio format" : " carries no readable audio") +
                     " (give --wav, or print with --video-only)";
            return false;
        }
        pcm.clear();
        if (audio.Append(source->frames[k].data(), channels, &pcm) < 0) {
            *error = path + " cannot be printed with its own audio: frame " + std::to_string(k) +
                     "'s audio cannot be deshuffled";
            return false;
        }
        for (size_t i = 0; i < pcm.size(); ++i) source->channels[i % channels].push_back(pcm[i]);
    }
    source->audioFrom = path;
    return true;
}

bool LoadWav(const std::string& path, PrintSource* source, std::string* error) {
    WavContents wav;
    if (!ReadWavFile(path, &wav, error)) return false;
    const DIO_AudioFormat rate = AudioFormatOfRate(wav.sampleRate);
    std::string problem;
    if (rate == DIO_NoAudioFormat)
        problem = "its rate is " + std::to_string(wav.sampleRate) + " Hz; DV25 carries 48000, 44100 or 32000";
    else if (wav.channels != 2 && !(wav.channels == 4 && rate == DIO_Audio32000))
        problem = "it has " + std::to_string(wav.channels) +
                  " channels; DV25 carries 2, or 4 only as 12-bit 32 kHz audio";
    if (!problem.empty()) {
        *error = path + " cannot be printed: " + problem;
        return false;
    }
    source->audioRate = rate;
    source->channels.assign(static_cast<size_t>(wav.channels), {});
    for (size_t i = 0; i < wav.interleaved.size(); ++i)
        source->channels[i % static_cast<size_t>(wav.channels)].push_back(wav.interleaved[i]);
    source->audioFrom = path;
    return true;
}

}  // namespace

bool LoadPrintSource(const std::string& dvPath, const std::string& wavPath, bool wantAudio, PrintSource* source,
                     std::string* error) {
    *source = PrintSource{};
    if (!LoadFrames(dvPath, source, error)) return false;
    if (!wantAudio) return true;
    return wavPath.empty() ? LoadDvAudio(dvPath, source, error) : LoadWav(wavPath, source, error);
}

#include "ContainerWriter.h"

#include "FrameAudio.h"
#include "InterfaceValueText.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <vector>

namespace {

std::string LibraryError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

const char* MuxerName(OutputFormat format) {
    switch (format) {
    case OutputFormat::Avi: return "avi";
    case OutputFormat::Mov: return "mov";
    default: return "matroska";
    }
}

class LibavContainerWriter : public FrameWriter {
public:
    explicit LibavContainerWriter(OutputFormat format) : format_(format) {
        // dvio says in its own sentences what failed; the libraries' lines would only
        // break into its status line and summary.
        av_log_set_level(AV_LOG_QUIET);
    }
    ~LibavContainerWriter() override {
        std::string ignored;
        Close(&ignored);
    }

    bool Open(const std::string& path, std::string* error) override {
        std::string ignored;
        Close(&ignored);
        path_ = path;
        started_ = false;
        videoFrames_ = 0;
        samples_ = 0;
        bytes_ = 0;
        int result = avformat_alloc_output_context2(&context_, nullptr, MuxerName(format_), path.c_str());
        if (result < 0 || context_ == nullptr) {
            *error = "cannot write " + path + ": " + LibraryError(result);
            return false;
        }
        result = avio_open(&context_->pb, path.c_str(), AVIO_FLAG_WRITE);
        if (result < 0) {
            *error = "cannot write " + path + ": " + LibraryError(result);
            Free();
            return false;
        }
        return true;
    }

    bool Takes(const DvFrameFacts& facts) const override {
        if (!started_) return true;
        if (facts.standard != standard_) return false;
        // A frame whose audio cannot be read says nothing about the layout.
        if (facts.audioRate == DIO_NoAudioFormat) return true;
        return SampleRateOf(facts.audioRate) == sampleRate_ && facts.audioChannels == channels_;
    }

    bool WriteFrame(const uint8_t* frame, size_t size, const DvFrameFacts& facts, std::string* error) override {
        if (context_ == nullptr) {
            *error = "cannot write " + path_ + ": it is not open";
            return false;
        }
        if (!started_ && !Start(facts, error)) return false;

        AVPacket* packet = av_packet_alloc();
        if (packet == nullptr || av_new_packet(packet, static_cast<int>(size)) < 0) {
            av_packet_free(&packet);
            *error = "writing " + path_ + " failed: out of memory";
            return false;
        }
        std::copy(frame, frame + size, packet->data);
        packet->stream_index = 0;
        packet->pts = packet->dts = videoFrames_;
        packet->duration = 1;
        packet->flags |= AV_PKT_FLAG_KEY;
        if (!Send(packet, error)) return false;
        ++videoFrames_;
        bytes_ += size;
        return WriteAudio(frame, facts, error);
    }

    bool Close(std::string* error) override {
        if (context_ == nullptr) return true;
        bool ok = true;
        if (started_) {
            const int result = av_write_trailer(context_);
            if (result < 0) {
                *error = "finishing " + path_ + " failed: " + LibraryError(result);
                ok = false;
            }
        }
        const int closed = avio_closep(&context_->pb);
        if (closed < 0 && ok) {
            *error = "writing " + path_ + " failed: " + LibraryError(closed);
            ok = false;
        }
        Free();
        return ok;
    }

    uint64_t MediaBytes() const override { return bytes_; }

private:
    // The streams and the file's header, from what the first frame says.
    bool Start(const DvFrameFacts& facts, std::string* error) {
        standard_ = facts.standard;
        sampleRate_ = SampleRateOf(facts.audioRate);
        channels_ = sampleRate_ > 0 ? facts.audioChannels : 0;
        const bool pal = standard_ == DIO_PAL;

        AVStream* video = avformat_new_stream(context_, nullptr);
        if (video == nullptr) return Fail("out of memory", error);
        AVCodecParameters* par = video->codecpar;
        par->codec_type = AVMEDIA_TYPE_VIDEO;
        par->codec_id = AV_CODEC_ID_DVVIDEO;
        par->width = 720;
        par->height = pal ? 576 : 480;
        // DV25 samples colour 4:1:1 in 525/60 and 4:2:0 in 625/50; both are
        // interlaced, bottom field first.
        par->format = pal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
        par->field_order = AV_FIELD_BB;
        par->bit_rate = static_cast<int64_t>(FrameBytes()) * 8 * (pal ? 25 : 30000) / (pal ? 1 : 1001);
        video->time_base = pal ? AVRational{1, 25} : AVRational{1001, 30000};
        video->avg_frame_rate = video->r_frame_rate = pal ? AVRational{25, 1} : AVRational{30000, 1001};

        for (int pair = 0; pair < channels_ / 2; ++pair) {
            AVStream* audio = avformat_new_stream(context_, nullptr);
            if (audio == nullptr) return Fail("out of memory", error);
            AVCodecParameters* a = audio->codecpar;
            a->codec_type = AVMEDIA_TYPE_AUDIO;
            a->codec_id = AV_CODEC_ID_PCM_S16LE;
            av_channel_layout_default(&a->ch_layout, 2);
            a->sample_rate = sampleRate_;
            a->bits_per_coded_sample = 16;
            a->block_align = 4;
            a->bit_rate = static_cast<int64_t>(sampleRate_) * 32;
            audio->time_base = AVRational{1, sampleRate_};
        }

        if (facts.hasTimecode) {
            const std::string timecode = TimecodeText(FrameTimecode(facts));
            av_dict_set(&context_->metadata, "timecode", timecode.c_str(), 0);
            // A QuickTime muxer reads it from the video stream for its timecode track.
            av_dict_set(&video->metadata, "timecode", timecode.c_str(), 0);
        }
        const std::string created = CreationTime(facts);
        if (!created.empty()) av_dict_set(&context_->metadata, "creation_time", created.c_str(), 0);
        // An AVI file keeps no creation time, but its INFO list keeps a date.
        if (format_ == OutputFormat::Avi && facts.hasRecordingDate)
            av_dict_set(&context_->metadata, "date", RecordingDateText(facts.recorded).c_str(), 0);

        const int result = avformat_write_header(context_, nullptr);
        if (result < 0) return Fail(LibraryError(result), error);
        started_ = true;
        return true;
    }

    // The frame's audio, each channel pair to its stream. A frame whose audio cannot
    // be read gets silence of its length, so that sound and pictures stay in step.
    bool WriteAudio(const uint8_t* frame, const DvFrameFacts& facts, std::string* error) {
        if (channels_ == 0) return true;
        pcm_.clear();
        int64_t samples = facts.audioReadable && SampleRateOf(facts.audioRate) == sampleRate_
                              ? reader_.Append(frame, channels_, &pcm_)
                              : -1;
        if (samples < 0) {
            samples = facts.samples;
            pcm_.assign(static_cast<size_t>(samples) * channels_, 0);
        }
        if (samples == 0) return true;
        for (int pair = 0; pair < channels_ / 2; ++pair) {
            AVPacket* packet = av_packet_alloc();
            const int bytes = static_cast<int>(samples * 4);
            if (packet == nullptr || av_new_packet(packet, bytes) < 0) {
                av_packet_free(&packet);
                return Fail("out of memory", error);
            }
            auto* out = reinterpret_cast<uint8_t*>(packet->data);
            for (int64_t n = 0; n < samples; ++n) {
                for (int c = 0; c < 2; ++c) {
                    const auto value = static_cast<uint16_t>(pcm_[static_cast<size_t>(n * channels_ + pair * 2 + c)]);
                    out[4 * n + 2 * c] = static_cast<uint8_t>(value & 0xff);
                    out[4 * n + 2 * c + 1] = static_cast<uint8_t>(value >> 8);
                }
            }
            packet->stream_index = 1 + pair;
            packet->pts = packet->dts = samples_;
            packet->duration = samples;
            packet->flags |= AV_PKT_FLAG_KEY;
            if (!Send(packet, error)) return false;
            bytes_ += static_cast<uint64_t>(bytes);
        }
        samples_ += samples;
        return true;
    }

    // Packets carry their stream's time base; the muxer interleaves them.
    bool Send(AVPacket* packet, std::string* error) {
        AVStream* stream = context_->streams[packet->stream_index];
        const AVRational base = packet->stream_index == 0
                                    ? (standard_ == DIO_PAL ? AVRational{1, 25} : AVRational{1001, 30000})
                                    : AVRational{1, sampleRate_};
        av_packet_rescale_ts(packet, base, stream->time_base);
        const int result = av_interleaved_write_frame(context_, packet);
        av_packet_free(&packet);
        if (result < 0) return Fail(LibraryError(result), error);
        return true;
    }

    bool Fail(const std::string& reason, std::string* error) {
        *error = "writing " + path_ + " failed: " + reason;
        return false;
    }

    size_t FrameBytes() const { return standard_ == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC; }

    void Free() {
        if (context_ != nullptr && context_->pb != nullptr) avio_closep(&context_->pb);
        avformat_free_context(context_);
        context_ = nullptr;
        started_ = false;
    }

    static std::string CreationTime(const DvFrameFacts& facts);

    OutputFormat format_;
    std::string path_;
    AVFormatContext* context_ = nullptr;
    bool started_ = false;
    DIO_VideoFormat standard_ = DIO_NoVideoFormat;
    int sampleRate_ = 0;
    int channels_ = 0;
    int64_t videoFrames_ = 0;
    int64_t samples_ = 0;
    uint64_t bytes_ = 0;
    FrameAudio reader_;
    std::vector<int16_t> pcm_;
};

// The recording date as the media libraries write a creation time (ISO 8601). The
// tape does not say the zone its clock was set to.
std::string LibavContainerWriter::CreationTime(const DvFrameFacts& facts) {
    if (!facts.hasRecordingDate) return "";
    std::string text = RecordingDateText(facts.recorded);  // "YYYY-MM-DD HH:MM:SS"
    text[10] = 'T';
    return text + ".000000Z";
}

}  // namespace

bool ContainersAvailable() { return true; }

std::unique_ptr<FrameWriter> MakeContainerWriter(OutputFormat format) {
    return std::make_unique<LibavContainerWriter>(format);
}

#include "WavFilesJson.h"

Json WavFilesJson(const std::vector<WavSeries::File>& files) {
    Json list = Json::Array();
    for (const auto& file : files) {
        list.Push(Json::Object()
                      .Set("path", file.path)
                      .Set("sample_rate", file.sampleRate)
                      .Set("channels", file.channels)
                      .Set("samples", file.samples)
                      .Set("first_frame", file.firstFrame)
                      .Set("first_timecode", file.firstTimecode));
    }
    return list;
}

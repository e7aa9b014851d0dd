#include "OutputFormat.h"

#include "ContainerWriter.h"
#include "DvFile.h"

#include <cctype>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool ParseOutputFormat(const std::string& text, OutputFormat* format) {
    for (OutputFormat f : {OutputFormat::Dv, OutputFormat::Avi, OutputFormat::Mov, OutputFormat::Mkv}) {
        if (Lower(text) == FormatName(f)) {
            *format = f;
            return true;
        }
    }
    return false;
}

bool FormatOfPath(const std::string& path, OutputFormat* format) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot == std::string::npos || dot <= nameStart) return false;
    return ParseOutputFormat(path.substr(dot + 1), format);
}

std::string FormatName(OutputFormat format) {
    switch (format) {
    case OutputFormat::Avi: return "avi";
    case OutputFormat::Mov: return "mov";
    case OutputFormat::Mkv: return "mkv";
    default: return "dv";
    }
}

std::unique_ptr<FrameWriter> MakeFrameWriter(OutputFormat format) {
    if (format == OutputFormat::Dv) return std::make_unique<DvFileWriter>();
    return MakeContainerWriter(format);
}

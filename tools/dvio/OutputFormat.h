// The kinds of file a capture writes: raw DV (with WAV files beside it) or a container
// holding the DV frames as they came and their audio as 16-bit PCM.
#pragma once

#include "FrameWriter.h"

#include <memory>
#include <string>

enum class OutputFormat { Dv, Avi, Mov, Mkv };

// "dv", "avi", "mov" or "mkv" (any case); false for anything else.
bool ParseOutputFormat(const std::string& text, OutputFormat* format);
// The format a file name's extension names; false when it names none of them.
bool FormatOfPath(const std::string& path, OutputFormat* format);
// "dv", "avi", "mov", "mkv": the extension, and the name --format takes.
std::string FormatName(OutputFormat format);

// Whether this dvio was built with container support (the build machine had the
// media libraries).
bool ContainersAvailable();
// A writer for the format; null for a container when ContainersAvailable() is false.
std::unique_ptr<FrameWriter> MakeFrameWriter(OutputFormat format);

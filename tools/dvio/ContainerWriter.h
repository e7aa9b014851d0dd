// Containers (AVI, QuickTime, Matroska) through the media libraries: the DV frames are
// copied in as they came, one packet each, never decoded; their audio, read from the
// frames by the host library's deshuffler, goes in as 16-bit PCM, one stereo stream
// per channel pair (a 12-bit tape's four channels make two streams). The file takes
// the first frame's recording date as its creation time and its timecode as the start
// timecode, where the container keeps one.
//
// One source is built: ContainerWriterLibav.cpp when the build found the libraries,
// ContainerWriterNone.cpp (no containers) otherwise.
#pragma once

#include "FrameWriter.h"
#include "OutputFormat.h"

#include <memory>

bool ContainersAvailable();
// Null when containers are not available.
std::unique_ptr<FrameWriter> MakeContainerWriter(OutputFormat format);

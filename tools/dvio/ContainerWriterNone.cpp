// A build without the media libraries (the Windows cross builds): raw DV only.
#include "ContainerWriter.h"

bool ContainersAvailable() { return false; }

std::unique_ptr<FrameWriter> MakeContainerWriter(OutputFormat) { return nullptr; }

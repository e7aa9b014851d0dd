// The two kinds of cassette the deck can be loaded with.
#pragma once

#include "sim/Cassette.h"

#include <memory>
#include <string>

namespace cardsim {

// Generated material followed by options.blankFrames of blank tape.
std::unique_ptr<Cassette> MakeBuiltInCassette(const BuiltInTapeOptions& options);

// A raw .dv file, followed by blank tape (a tenth of its length, at least a minute)
// so that a recording may run past its end; written back to the file. Null, with the
// reason in *error, when the file cannot be read, is not DV, is empty without being a
// blank cassette, or is loaded by another process (CassetteFile.h).
std::unique_ptr<Cassette> OpenFileCassette(const std::string& path, std::string* error);

}  // namespace cardsim

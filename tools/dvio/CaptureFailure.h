// A failure that ends dvio capture: its sentence and exit code.
#pragma once

#include "ExitCodes.h"

#include <string>

struct CaptureFailure {
    std::string sentence;
    int code = kExitFailed;
};

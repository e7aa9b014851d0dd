// `dvio info`: what the plug-in and its device report.
#pragma once

#include "PluginHost.h"

#include <ostream>

// The report in words, or as one JSON object.
int RunInfo(PluginHost& host, bool json, std::ostream& out);

// `dvio info`: what the plug-in and its device report.
#pragma once

#include "PluginHost.h"

#include <ostream>

int RunInfo(PluginHost& host, std::ostream& out);

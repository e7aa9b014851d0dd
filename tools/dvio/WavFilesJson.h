// The WAV files of a series as the --json reports list them.
#pragma once

#include "Json.h"
#include "WavSeries.h"

#include <vector>

Json WavFilesJson(const std::vector<WavSeries::File>& files);

// The host's digital I/O services: rings, format records and the DV25 format.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOFormat.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/FormatList.h"
#include "digitalio/USampsInFrame.h"

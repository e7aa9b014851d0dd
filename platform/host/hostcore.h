// The host's core services: timecode arithmetic, bit sets, thread registry, log, clock.
#pragma once

#include "hostcore/BitMask.h"
#include "hostcore/HostLog.h"
#include "hostcore/ThreadContext.h"
#include "hostcore/Timecode.h"

// Ctrl-C during a capture: the first one asks the capture to stop cleanly (files are
// finished and the deck stopped); the handler only sets a flag.
#pragma once

// Installs the handler for SIGINT, SIGTERM and SIGHUP (a closed terminal) while the
// object lives.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    static bool Requested();
};

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
    // A reader of standard output that goes away is then a write error to report, not
    // a silent end (Windows has no such signal: there it is one already).
    static void IgnoreBrokenPipe();
};

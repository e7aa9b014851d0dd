#include "CtrlCWhileCueing.h"

#include "ExitCodes.h"
#include "StopSignal.h"

#include <unistd.h>

#include <cstring>
#include <optional>

CtrlCWhileCueing::CtrlCWhileCueing(std::function<void()> removeCreated)
    : removeCreated_(std::move(removeCreated)), thread_([this] { Watch(); }) {}

CtrlCWhileCueing::~CtrlCWhileCueing() {
    done_.store(true);
    thread_.join();
}

void CtrlCWhileCueing::Watch() {
    std::optional<std::chrono::steady_clock::time_point> asked;
    while (!done_.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!StopSignal::Requested()) continue;
        if (!asked) asked = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - *asked < kGrace || done_.load()) continue;
        if (removeCreated_) removeCreated_();
        static const char kLine[] =
            "dvio: stopped by Ctrl-C while the deck was cueing (the device did not answer in time); "
            "nothing was captured\n";
        ssize_t unused = write(STDERR_FILENO, kLine, sizeof kLine - 1);
        (void)unused;
        _exit(kExitOk);
    }
}

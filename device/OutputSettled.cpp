// Whether the record thread has let go of the output rings, mask and shufflers, so that
// a host thread may replace them (a ring size, a Prepare, a format change).
#include "device/CDV1394.h"

namespace {

// A command the record thread is finishing is waited for this long.
constexpr DWORD kSettleTimeoutMs = 1000;

}  // namespace

bool CDV1394::OutputSettled() const {
    if (m_bSendingToCamera.load()) return false;
    const DWORD begin = GetTickCount();
    while (m_bRunningCommand.load()) {
        if (GetTickCount() - begin >= kSettleTimeoutMs) return false;
        Sleep(1);
    }
    return !m_bSendingToCamera.load();
}

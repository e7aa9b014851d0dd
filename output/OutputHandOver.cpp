// Handing the output streams' steps from host threads to the record thread, which alone
// drives the card's playback side.
//
// Host side: the stream slots hold m_OutputHandOverLock, so one command is in flight at
// a time. A command is posted as a ticket (its number and event) with the stream's
// event; the host then waits on the shared done event until the record thread has
// answered that number. Answers to earlier commands (late, or a second answer after the
// record loop ended) wake the host but do not release it.
#include "device/CDV1394.h"

namespace {

constexpr DWORD kCommandTimeoutMs = 1000;
constexpr DWORD kStartTimeoutMs = 10000;

uint64_t Ticket(ULONG number, CDV1394_Event event) {
    return (uint64_t{number} << 32) | static_cast<uint32_t>(event);
}

}  // namespace

unsigned char CDV1394::HandOverOutputCommand(CDV1394_Event event, CDV1394_Device device) {
    const ULONG number = m_nCommandsPosted.load() + 1;
    m_nCommandsPosted.store(number);
    const bool audio = device == DeviceAudioOut;
    (audio ? m_nAudioOutCommandTicket : m_nVideoOutCommandTicket).store(Ticket(number, event));
    (audio ? m_nAudioOutCommand : m_nVideoOutCommand).store(event);
    SetEvent(m_hRecordEvents[audio ? 1 : 2]);

    const DWORD timeout = event == EventStart ? kStartTimeoutMs : kCommandTimeoutMs;
    const DWORD begin = GetTickCount();
    auto answered = [&] { return static_cast<LONG>(m_nCommandAnswered.load() - number) >= 0; };
    for (;;) {
        if (answered()) {
            ResetEvent(m_hRecordEvents[3]);
            return 1;
        }
        const DWORD waited = GetTickCount() - begin;
        if (waited >= timeout) return 0;
        const DWORD result = WaitForSingleObject(m_hRecordEvents[3], timeout - waited);
        if (result == WAIT_FAILED) return 0;
        // An answer to another command: clear it and wait on (the number is checked
        // again first, so an answer that came between is not lost).
        if (result == WAIT_OBJECT_0 && !answered()) ResetEvent(m_hRecordEvents[3]);
    }
}

void CDV1394::RunPostedCommand(CDV1394_Device device) {
    const bool audio = device == DeviceAudioOut;
    // Clear the event before taking the ticket: a command posted after this is seen at
    // the next wait instead of being lost.
    ResetEvent(m_hRecordEvents[audio ? 1 : 2]);
    const uint64_t ticket = (audio ? m_nAudioOutCommandTicket : m_nVideoOutCommandTicket).exchange(0);
    (audio ? m_nAudioOutCommand : m_nVideoOutCommand).store(EventNone);
    if (ticket == 0) return;  // already taken with an earlier wake-up
    m_nCommandRunning = static_cast<ULONG>(ticket >> 32);
    m_bAcknowledgeDue = false;
    m_bRunningCommand = true;
    ProcessEvent(static_cast<CDV1394_Event>(ticket & 0xFFFFFFFFu), device);
    m_bRunningCommand = false;
    // The machine's "done" is answered once it has finished with the command, so that a
    // host released by it finds the record thread idle.
    if (m_bAcknowledgeDue) PublishAcknowledgement(m_nCommandRunning);
}

void CDV1394::AcknowledgeCommand() {
    m_bAcknowledgeDue = true;
}

void CDV1394::PublishAcknowledgement(ULONG number) {
    m_nCommandAnswered.store(number);
    SetEvent(m_hRecordEvents[3]);
}

bool CDV1394::StopOutputForTerminate(CDV1394_Device device, bool* ringsFree) {
    if (m_bSendingToCamera.load()) {
        // Any command ends the record loop, which stops the card before it answers.
        *ringsFree = HandOverOutputCommand(EventTerminate, device) != 0;
        return *ringsFree;
    }
    // The record loop is not running; the card is taken out of playback right here,
    // once a command the record thread may still be running has finished.
    *ringsFree = OutputSettled();
    ResetKordexRecord();
    return true;
}

// Log lines shared by the driver session and every deck-control operation. Each line
// is one OutputDebugStringA entry. Callers write them only while deck-control tracing
// is on, except where a caller says otherwise.
#pragma once

#include "hostcore/Timecode.h"
#include "windows.h"

#include <cstddef>
#include <string>

namespace dv1394 {

// The text of a deck-control result: "No Error" ... "Unknown Error", or
// "Unknown Error <value>" for anything outside the table.
std::string DDCErrorName(LONG error);

// "<name>  error -> <DDCErrorName>\n"
void LogDDCError(const char* name, LONG error);

// "<name>  speed -> <speed>  error -> <DDCErrorName>\n"
void LogDDCShuttle(const char* name, LONG speed, LONG error);

// "<name>  -> <DDCStateName(rawState)>\n" when the call succeeded, else the error's text
// in place of the state's name.
void LogDDCState(const char* name, LONG rawState, LONG error);

// "<name> -> HH:MM:SS:FF\n" for success, "<name> -> NO TIMECODE\n" for "No Timecode",
// and the LogDDCError line for any other error.
void LogDDCTimecode(const char* name, timecode_t timecode, LONG error);

// The bytes as they lie in an AV/C buffer, "%02x " each, as one entry, then "\n" as a
// second entry.
void DumpAVCBytes(const unsigned char* bytes, size_t count);

// "<name>  standard -> <CURRENT|NTSC|PAL|UNKNOWN>  OK -> <YES|NO>\n"
void LogDriverOpen(const char* name, LONG standard, bool opened);

// The card error line for a card error code ("KDX_E_BUSY\n" ..., "Unknown KDX error\n").
const char* KDXErrorLine(DWORD code);
// Writes the card error line of KDXGetLastError(); callers decide when.
void LogKDXLastError();

}  // namespace dv1394

// Log lines shared by the driver session and every deck-control operation. Each line
// is one OutputDebugStringA entry. Callers write them only while deck-control tracing
// is on, except where a caller says otherwise.
#pragma once

#include "windows.h"

#include <string>

// The text of a deck-control result: "No Error" ... "Unknown Error", or
// "Unknown Error <value>" for anything outside the table.
std::string DDCErrorName(LONG error);

// "<name>  error -> <DDCErrorName>\n"
void LogDDCError(const char* name, LONG error);

// "<name>  standard -> <CURRENT|NTSC|PAL|UNKNOWN>  OK -> <YES|NO>\n"
void LogDriverOpen(const char* name, LONG standard, bool opened);

// The card error line for a card error code ("KDX_E_BUSY\n" ..., "Unknown KDX error\n").
const char* KDXErrorLine(DWORD code);
// Writes the card error line of KDXGetLastError(); callers decide when.
void LogKDXLastError();

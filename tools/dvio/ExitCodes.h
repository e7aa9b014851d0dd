// dvio's exit codes, as the README documents them.
#pragma once

constexpr int kExitOk = 0;
// The device, the deck or a file failed; the message says what happened.
constexpr int kExitFailed = 1;
// The command line was wrong: an unknown command or option, a malformed value.
constexpr int kExitUsage = 2;
// A capture's start timecode never came by.
constexpr int kExitStartNotFound = 3;

// The capture card's core library: driver, DV capture and playback, AV/C pass-through.
//
// Plain functions without an object. Every function is safe to call from several
// threads at once and never blocks: the card works in the background and each call
// only looks at or changes its state. A call that fails returns 0 (or null, or -1
// where stated) and leaves the reason in KDXGetLastError(); a call that succeeds does
// not clear it. While the driver is closed every Pdv* call fails.
//
// Driver states (PdvGetDriverState) and the only calls that move between them; any
// other mode change fails with KDX_E_INVALID_STATE and changes nothing:
//   0      no mode open         PdvBeginCapture -> 0x100, PdvBeginPlayback(2) -> 0x200
//   0x100  capture mode open    PdvStartCapture -> 0x101, PdvEndCapture -> 0
//   0x101  capturing            PdvStopCapture -> 0x100, PdvEndCapture -> 0
//   0x102  capture stalled      (only by fault injection) as 0x101
//   0x200  playback mode open   PdvStartPlayback / PdvSyncRecNoParam -> 0x201, PdvEndPlayback -> 0
//   0x201  playing              PdvPausePlayback(TRUE) -> 0x202, PdvStopPlayback -> 0x200, PdvEndPlayback -> 0
//   0x202  playback paused      PdvPausePlayback(FALSE) -> 0x201, PdvStopPlayback -> 0x200, PdvEndPlayback -> 0
// PdvPausePlayback(TRUE) in 0x200 or 0x202 and PdvPausePlayback(FALSE) in 0x200 or
// 0x201 succeed without a change.
#pragma once

#include "windows.h"

// Card error codes (KDXGetLastError).
constexpr DWORD KDX_E_NOTIMPL = 0x80004001u;
constexpr DWORD KDX_E_GENERALERROR = 0x80040001u;
constexpr DWORD KDX_E_INVALID_PARAMETER = 0x80040002u;
constexpr DWORD KDX_E_NOMEMORY = 0x80040003u;
constexpr DWORD KDX_E_BUSY = 0x80040004u;
constexpr DWORD KDX_E_NOTEQUIPPED = 0x80040005u;
constexpr DWORD KDX_E_INVALID_STATE = 0x80040006u;
constexpr DWORD KDX_E_NOTSUPPORTED = 0x80040007u;
constexpr DWORD KDX_E_IO = 0x80040008u;
constexpr DWORD KDX_E_DECOMPRESS = 0x80040009u;
constexpr DWORD KDX_E_COMPRESS = 0x8004000au;
constexpr DWORD KDX_E_NORESOURCE = 0x8004000bu;
constexpr DWORD KDX_E_TIMEOUT = 0x8004000cu;
constexpr DWORD KDX_E_FUNCTION_CANCELED = 0x8004000du;
constexpr DWORD KDX_E_NO_DEVICE_CONNECTED = 0x8004000eu;
constexpr DWORD KDX_E_DEV_NOT_SUPPORT_SRV = 0x8004000fu;
constexpr DWORD KDX_E_DEV_REJECT_SRV = 0x80040010u;
constexpr DWORD KDX_E_BUFFER_SMALL = 0x80040011u;
constexpr DWORD KDX_E_NO_DVKORDEX = 0x80040012u;
constexpr DWORD KDX_E_ALLOWED_SINGLE_INSTANCE = 0x80040013u;
constexpr DWORD KDX_E_CLIENT_TYPE_MISMATCH = 0x80040014u;
constexpr DWORD KDX_E_INTERNAL = 0x80045345u;

// KDXOpen standards.
constexpr LONG KDX_STANDARD_CURRENT = 0;
constexpr LONG KDX_STANDARD_NTSC = 1;
constexpr LONG KDX_STANDARD_PAL = 2;

// PdvGetAdjustment ids and the video standard values it reports (low 16 bits).
constexpr LONG PDV_ADJ_VIDEO_STANDARD = 0x101;
constexpr LONG PDV_VST_NTSC = 0;
constexpr LONG PDV_VST_PAL = 1;

// PdvGetDriverState values.
constexpr LONG PDV_STATE_IDLE = 0;
constexpr LONG PDV_STATE_CAPTURE_OPEN = 0x100;
constexpr LONG PDV_STATE_CAPTURING = 0x101;
constexpr LONG PDV_STATE_CAPTURE_STALLED = 0x102;
constexpr LONG PDV_STATE_PLAYBACK_OPEN = 0x200;
constexpr LONG PDV_STATE_PLAYING = 0x201;
constexpr LONG PDV_STATE_PLAYBACK_PAUSED = 0x202;

// Frames in each of the card's rings, and the size of every slot (a 625/50 frame,
// so that a frame of either standard fits).
constexpr LONG PDV_RING_FRAMES = 32;
constexpr LONG PDV_SLOT_BYTES = 144000;

// Play/pause modes: which picture the card shows while playback is paused.
constexpr LONG KDX_PLAYPAUSE_FRAME = 0;
constexpr LONG KDX_PLAYPAUSE_EVEN = 1;
constexpr LONG KDX_PLAYPAUSE_ODD = 2;

// PdvDeckControl codes: a still, five shuttle speeds each way (slowest first:
// 1/10, 1/5, x1, x2, x20) and record pause.
constexpr LONG PDV_DECK_STILL = 0x45;
constexpr LONG PDV_DECK_FORWARD_1_10 = 0x4A;
constexpr LONG PDV_DECK_REVERSE_1_10 = 0x4B;
constexpr LONG PDV_DECK_FORWARD_1_5 = 0x4C;
constexpr LONG PDV_DECK_REVERSE_1_5 = 0x4D;
constexpr LONG PDV_DECK_FORWARD_X1 = 0x4E;
constexpr LONG PDV_DECK_REVERSE_X1 = 0x4F;
constexpr LONG PDV_DECK_FORWARD_X2 = 0x50;
constexpr LONG PDV_DECK_REVERSE_X2 = 0x51;
constexpr LONG PDV_DECK_FORWARD_X20 = 0x52;
constexpr LONG PDV_DECK_REVERSE_X20 = 0x53;
constexpr LONG PDV_DECK_RECORD_PAUSE = 0x86;

extern "C" {

// ---- Driver ----

// Opens the driver for standard 1 (NTSC), 2 (PAL) or 0 (the card's current standard).
// Returns a non-zero handle, or 0 (KDX_E_INVALID_PARAMETER for another standard,
// KDX_E_ALLOWED_SINGLE_INSTANCE when already open). The other arguments are reserved.
LONG KDXOpen(LONG reserved, LONG standard, LONG flags);
// Closes the driver, leaving any capture or playback mode. Non-zero on success,
// 0 (KDX_E_INVALID_STATE) when it was not open. The argument is not looked at.
BOOL KDXClose(LONG handle);
// The code of the last failure (0 when nothing has failed yet).
DWORD KDXGetLastError();

// Adjustment `id`; PDV_ADJ_VIDEO_STANDARD reports PDV_VST_NTSC or PDV_VST_PAL in its
// low 16 bits. -1 for an unknown id.
LONG PdvGetAdjustment(LONG id);
// Non-zero when a DV device is connected to the card's 1394 port.
LONG PdvIsConnectedDV2();
// The driver state (table above); -1 while the driver is closed.
LONG PdvGetDriverState();

// ---- Capture ----
// The card stores the frames the deck delivers into a ring of PDV_RING_FRAMES slots
// while capturing. The captured-frame counter is 0 after PdvBeginCapture and counts
// frames stored; a frame that finds every slot taken is dropped by the card.

BOOL PdvBeginCapture();
BOOL PdvStartCapture();
BOOL PdvStopCapture();
BOOL PdvEndCapture();
// Frames stored since PdvBeginCapture (kept after capture stops, until the next begin).
LONG PdvGetCapturedFrame();
// The slot of captured frame `index`, valid while released <= index < counter and
// until the frame is released; null otherwise (KDX_E_INVALID_PARAMETER).
BYTE* PdvGetCapturedFrameAddr(LONG index);
// Releases every frame below `index` to the card. Moves forward only and never past
// the counter (KDX_E_INVALID_PARAMETER).
BOOL PdvSetCapturedFrame(LONG index);

// ---- Playback and recording ----
// Frames to play go into a ring of PDV_RING_FRAMES slots addressed by an ever
// increasing index, 0 after the begin call. While playing, each frame period plays
// the next ready frame, or repeats the last one (a card underrun) when none is ready.

// Both open playback mode; they fail with KDX_E_NO_DEVICE_CONNECTED without a
// device. PdvBeginPlayback2 also applies the play/pause mode to the paused picture.
BOOL PdvBeginPlayback();
BOOL PdvBeginPlayback2();
BOOL PdvStartPlayback();
BOOL PdvPausePlayback(BOOL pause);
BOOL PdvStopPlayback();
BOOL PdvEndPlayback();
// Frames played since the begin call; -1 when no playback mode is open.
LONG PdvGetPlaybackFrame();
// The slot for frame `index`, valid for played <= index < played + PDV_RING_FRAMES;
// null otherwise.
BYTE* PdvGetPlaybackFrameAddr(LONG index);
// Marks every frame below `index` ready to play. Forward only, at most
// PDV_RING_FRAMES beyond the frames played.
BOOL PdvSetPlaybackFrame(LONG index);

LONG KDXGetPlayPauseMode();
BOOL KDXSetPlayPauseMode(LONG mode);
// *pinOn = 1 while the card drives the 1394 output (after KDXOpen; off once capture
// begins; on again after PdvSetInputChannel). Fails on a null pointer.
BOOL KDXGetOutputPinState(LONG* pinOn);
LONG PdvGetInputChannel();
// Selects the isochronous channel 0..63; selecting one switches the output on.
BOOL PdvSetInputChannel(LONG channel);

// Synchronised record: the values are stored for PdvSyncRecNoParam.
// Delay: frames between starting the record and the frames reaching tape (to match
// the deck's record latency). Pause flying: kept as given. Frames: length of the
// record; 0 or less records until playback stops.
BOOL PdvSetSyncRecDelay(LONG frames);
BOOL PdvSetSyncRecPauseFlying(LONG value);
BOOL PdvSetSyncRecNumFrames(LONG frames);
// From 0x200, with the deck in record pause on a writable cassette: starts playback;
// the first frame played is a lead-in and is not recorded, the frames after it are
// recorded from the position where the deck stood, then the deck returns to record
// pause. KDX_E_DEV_REJECT_SRV when the deck is not ready to record.
BOOL PdvSyncRecNoParam();
// Sends a transport code (PDV_DECK_*) to the deck. Non-zero when the deck took it.
BOOL PdvDeckControl(LONG code);

// ---- AV/C pass-through ----

// Sends one AV/C command frame and returns the deck's response. Both buffers hold the
// frame quadlet by quadlet, each quadlet a little-endian 32-bit word whose most
// significant byte is the quadlet's first frame byte (frame byte i at buffer offset
// 4*(i/4) + 3 - i%4). `commandLength` is the frame's length in bytes; the command
// buffer must hold it rounded up to whole quadlets. `*responseLength` gives the
// response buffer's size in bytes and receives the response's length (whole
// quadlets). Non-zero when a response arrived; 0 with KDX_E_NO_DEVICE_CONNECTED,
// KDX_E_INVALID_PARAMETER or KDX_E_BUFFER_SMALL otherwise. `port`, `node`, `first`
// and `third` are passed by the caller as 0, 0, 4 and 8 and kept in the journal.
BOOL KDXSendGenericAVCCommand(LONG port, LONG node, ULONG first, ULONG commandLength, ULONG third,
                              BYTE* command, ULONG* responseLength, BYTE* response);
// The connected unit's AV/C unit type (4: tape recorder) and its vendor id.
BOOL KDXGetUnitInfo(LONG* unitType, LONG* vendorId);
// The loaded cassette's type (0x32 small DV, 0x31 standard DV, 0x60 none) and its
// tape grade / write-protect byte (bit 0 set when protected).
BOOL KDXGetMediumInfo(LONG* cassetteType, LONG* gradeAndProtect);
// 1 for a DV VCR, 0 when no device is connected.
LONG KDXGetDVDeviceType();

}  // extern "C"

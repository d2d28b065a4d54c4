// The media control string interface for music: MP3 files opened as devices by name and played into the
// same mixer as the sound buffers. Commands (names and keywords case-insensitive; a path with spaces in
// double quotes):
//   open PATH [type mpegvideo] [alias NAME]   PATH an MP3 file (through the host path rules); the device
//                                            is named NAME, or PATH without an alias
//   play NAME [from MS] [to MS] [notify]      from the current position (the start when at the end)
//   stop NAME | pause NAME | resume NAME       stop and pause keep the position
//   seek NAME to start|end|MS
//   status NAME mode|position|length           "playing"/"paused"/"stopped", milliseconds
//   close NAME | close all
// Any command may end with "notify": MM_MCINOTIFY(MCI_NOTIFY_SUCCESSFUL, device id) is posted to the
// callback window when it completes (for play: when the music reaches its end).
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

typedef DWORD MCIERROR;
typedef UINT MCIDEVICEID;

// Posted to the callback window: wParam one of MCI_NOTIFY_*, lParam the device id.
#define MM_MCINOTIFY          0x03B9
#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_FAILURE    0x0008

#define MCIERR_BASE                 256
#define MCIERR_UNRECOGNIZED_KEYWORD (MCIERR_BASE + 3)
#define MCIERR_UNRECOGNIZED_COMMAND (MCIERR_BASE + 5)
#define MCIERR_HARDWARE             (MCIERR_BASE + 6)
#define MCIERR_INVALID_DEVICE_NAME  (MCIERR_BASE + 7)
#define MCIERR_OUT_OF_MEMORY        (MCIERR_BASE + 8)
#define MCIERR_BAD_INTEGER          (MCIERR_BASE + 14)
#define MCIERR_MISSING_PARAMETER    (MCIERR_BASE + 17)
#define MCIERR_UNSUPPORTED_FUNCTION (MCIERR_BASE + 18)
#define MCIERR_FILE_NOT_FOUND       (MCIERR_BASE + 19)
#define MCIERR_OUTOFRANGE           (MCIERR_BASE + 26)
#define MCIERR_DUPLICATE_ALIAS      (MCIERR_BASE + 33)
#define MCIERR_EXTENSION_NOT_FOUND  (MCIERR_BASE + 37)
#define MCIERR_INVALID_FILE         (MCIERR_BASE + 40)
#define MCIERR_PARAM_OVERFLOW       (MCIERR_BASE + 44)
#define MCIERR_MISSING_DEVICE_NAME  (MCIERR_BASE + 54)

// Runs one command. returnText (returnLength bytes, may be NULL) receives the command's answer (status),
// else an empty string; an answer that does not fit gives MCIERR_PARAM_OVERFLOW. callback is the window
// that "notify" posts to. Returns 0 on success, else an MCIERR_* code (and no notice is posted).
HOST_API MCIERROR mciSendStringA(LPCSTR command, LPSTR returnText, UINT returnLength, HWND callback);
#define mciSendString mciSendStringA

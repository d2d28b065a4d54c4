// Starting another program and opening web addresses, as the menu and the game do. Headless runs start
// nothing: they append "start PROGRAM PARAMETERS FOLDER" or "open URL" to the record (HOST_RECORD).
// With HOST_START=real they also start the program, whose HOST_SCRIPT and HOST_MAX_FRAMES become
// HOST_SCRIPT_<NAME> and HOST_MAX_FRAMES_<NAME> (NAME: its file name in upper case), or are unset.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Results of ShellExecuteA at or below 32: the failures.
#define SE_ERR_FNF          2  // program not found
#define SE_ERR_PNF          3  // folder not found
#define SE_ERR_ACCESSDENIED 5  // found but not allowed to run
#define SE_ERR_OOM          8  // the machine could not start it
#define SE_ERR_NOASSOC      31 // nothing opens this kind of file or address

// Opens file. An address starting with http:, https: or mailto: goes to the desktop's browser
// (xdg-open with the address as its one argument). Otherwise file names a program ("X.exe" finds the
// program "X", "x" or "X.exe" in any case) looked up in directory, then in the current folder; it starts
// detached in directory (or the current folder) with parameters as its one argument (none when NULL or
// empty), never through a shell. verb is NULL or "open"; owner and show are ignored. Returns a value
// above 32 on success, else SE_ERR_*.
HOST_API HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                 int show);
#define ShellExecute ShellExecuteA

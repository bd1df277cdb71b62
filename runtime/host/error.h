// error.h: status lines, runtime errors and the debugger stop.
//
// bbPrint writes one UTF-8 line to standard output. bbError("") is the normal way to quit (status
// 0); any other message prints "Runtime Error : " and the message and enters the debugger stop,
// which reads commands from standard input and ends the process at end of input (status -1).
// Depends on: the object runtime. Must not touch: the host object or the window.
#pragma once

#include "runtime/object/string.h"

// Prints s and a line break on standard output, flushed. Returns 0.
int bbPrint(String s);
// Same output as bbPrint.
int bbDebugLog(String s);
// Quits with status 0 for an empty message; otherwise reports it and never returns.
[[noreturn]] void bbError(String message);
// Run when the program ends normally (bbError with an empty message, or the end of the main loop),
// just before it exits: the application layer closes its devices there. Null until then.
extern void (*bbAtNormalExit)();
// Reports a runtime error and runs the debugger stop until a command ends the process.
[[noreturn]] void dbg_error(const char* err);
// Reports a fatal signal as a runtime error.
[[noreturn]] void sighandler(int sig);
// Installs sighandler for segmentation violation, illegal instruction and floating-point exception.
void bbInstallSignalHandlers();

// Debugger state; nothing in this program sets a debug location.
extern const char* dbg_info;
extern String dbg_exstack;
extern int dbg_suspend;
extern int dbg_stepmode;

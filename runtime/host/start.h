// start.h: the start sequence: static set-up, the program's globals and its collector roots.
//
// Depends on: every runtime module whose globals it sets. The program supplies bbNewApplication,
// which allocates its application object and runs its language constructor (c_App::m_new).
#pragma once

class c_App;

// The program's own start-up, run at the end of bbInit: sets the program's globals and adds their
// collector roots. Null for programs without globals of their own.
extern void (*bbProgramInit)();

// Sets every global of the program to its start value.
void bbInit();
// Registers the program's global references as collector roots, in their fixed order.
void bbRegisterRoots();
// Provided by the program: creates the one application object.
c_App* bbNewApplication();
// The start of a program once the collector runs: its roots registered, its globals set, the
// collector's first mark, then its application object, which it returns.
c_App* bbStartProgram();
// Static set-up and the whole run; the value main returns.
int bbRunProcess(int argc, const char** argv);

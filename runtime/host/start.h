// start.h: the start sequence: static set-up, the program's globals and its collector roots.
//
// Depends on: every runtime module whose globals it sets. The program supplies bbNewApplication,
// which allocates its application object and runs its language constructor (c_App::m_new).
#pragma once

class c_App;

// Sets every global of the program to its start value.
void bbInit();
// Registers the program's global references as collector roots, in their fixed order.
void bbRegisterRoots();
// Provided by the program: creates the one application object.
c_App* bbNewApplication();
// Static set-up and the whole run; the value main returns.
int bbRunProcess(int argc, const char** argv);

// keys.h: the window library's key numbers as the runtime's key codes.
//
// Depends on: nothing at run time (the GLFW side only uses the library's key constants).
#pragma once

// The runtime's code for a key of the window library, 0 for keys the runtime ignores.
int bbPlatformKeyCode(int libraryKey);

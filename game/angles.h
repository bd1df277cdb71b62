// angles.h: sine and cosine of angles in degrees, converted the way the game converts them
// everywhere (single precision, with the constant 0.0174532924 for pi / 180).
//
// Depends on: nothing but the C library.
#pragma once

#include <cmath>

inline float bbSinDeg(float degrees) { return std::sin(degrees * 0.0174532924f); }
inline float bbCosDeg(float degrees) { return std::cos(degrees * 0.0174532924f); }

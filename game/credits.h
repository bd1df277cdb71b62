// credits.h: the lines of the credits box.
//
// Depends on: the object runtime.
#pragma once

#include "runtime/object/array.h"

// The 50 credit lines, built once at start-up.
Array<String> bbCreditLines();

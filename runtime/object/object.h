// object.h: Object, the base of every class of the program, and the language exception base.
//
// Depends on: gc.h, string.h.
#pragma once

#include "gc.h"
#include "string.h"

struct Object : gc_object {
  // Identity.
  virtual bool Equals(Object* other) { return this == other; }
  // An arbitrary but consistent order: that of the addresses (-1, 0 or 1).
  virtual int Compare(Object* other);
  // The debugger's text for the object.
  virtual String debug() { return String("+Object\n"); }
};

// Base of language exceptions; game code never throws one, but every host entry guards against it.
struct ThrowableObject : Object {};

// Debugger display texts of values.
String dbg_type(bool*);
String dbg_type(int*);
String dbg_type(float*);
String dbg_type(String*);
String dbg_value(bool* p);
String dbg_value(int* p);
String dbg_value(float* p);
String dbg_value(String* p);

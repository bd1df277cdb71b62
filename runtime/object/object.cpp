// object.cpp: identity operations and debugger display texts.
#include "object.h"

#include <cstdint>
#include <cstdio>

int Object::Compare(Object* other) {
  // The sign of the difference: the difference itself need not fit in an int.
  const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(this), b = reinterpret_cast<std::uintptr_t>(other);
  return a < b ? -1 : a > b ? 1 : 0;
}

String dbg_type(bool*) { return String("Bool"); }
String dbg_type(int*) { return String("Int"); }
String dbg_type(float*) { return String("Float"); }
String dbg_type(String*) { return String("String"); }

String dbg_value(bool* p) { return String(*p ? "True" : "False"); }
String dbg_value(int* p) { return String(*p); }

String dbg_value(float* p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17lg", static_cast<double>(*p));
  return String(buf);
}

String dbg_value(String* p) {
  String s = p->Replace(String("\""), String("~q"))
                 .Replace(String("\t"), String("~t"))
                 .Replace(String("\n"), String("~n"))
                 .Replace(String("\r"), String("~r"));
  return String("\"") + s + String("\"");
}

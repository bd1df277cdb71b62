// wide_win32.h: UTF-8 text as the UTF-16 that the wide-character Windows calls take.
//
// Depends on: the Windows API (MultiByteToWideChar). Must not touch: runtime objects.
#pragma once

#include <windows.h>

#include <string>

// The UTF-16 form of a zero-terminated UTF-8 text; malformed bytes become U+FFFD. Empty for null.
inline std::wstring bbPlatformWiden(const char* utf8) {
  if (!utf8 || !*utf8) return std::wstring();
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (units <= 1) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], units);
  wide.resize(static_cast<std::size_t>(units) - 1);
  return wide;
}

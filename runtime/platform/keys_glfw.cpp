// keys_glfw.cpp: GLFW 3 key numbers to runtime key codes (virtual-key style numbers).
#include <GLFW/glfw3.h>

#include <array>

#include "keys.h"

namespace {

constexpr int kFirst = GLFW_KEY_SPACE;
constexpr int kLast = GLFW_KEY_LAST;

// One byte per library key from space to the last key; 0 where the runtime has no code.
constexpr std::array<unsigned char, kLast - kFirst + 1> BuildTable() {
  std::array<unsigned char, kLast - kFirst + 1> t{};
  auto set = [&t](int key, int code) { t[static_cast<std::size_t>(key - kFirst)] = static_cast<unsigned char>(code); };
  set(GLFW_KEY_SPACE, 32);
  set(GLFW_KEY_BACKSPACE, 8);
  set(GLFW_KEY_TAB, 9);
  set(GLFW_KEY_ENTER, 13);
  set(GLFW_KEY_ESCAPE, 27);
  set(GLFW_KEY_LEFT_SHIFT, 16);
  set(GLFW_KEY_RIGHT_SHIFT, 16);
  set(GLFW_KEY_LEFT_CONTROL, 17);
  set(GLFW_KEY_RIGHT_CONTROL, 17);
  set(GLFW_KEY_PAGE_UP, 33);
  set(GLFW_KEY_PAGE_DOWN, 34);
  set(GLFW_KEY_END, 35);
  set(GLFW_KEY_HOME, 36);
  set(GLFW_KEY_LEFT, 37);
  set(GLFW_KEY_UP, 38);
  set(GLFW_KEY_RIGHT, 39);
  set(GLFW_KEY_DOWN, 40);
  set(GLFW_KEY_INSERT, 45);
  set(GLFW_KEY_DELETE, 46);
  for (int i = 0; i <= 9; ++i) set(GLFW_KEY_KP_0 + i, 96 + i);
  set(GLFW_KEY_KP_MULTIPLY, 106);
  set(GLFW_KEY_KP_ADD, 107);
  set(GLFW_KEY_KP_SUBTRACT, 109);
  set(GLFW_KEY_KP_DECIMAL, 110);
  set(GLFW_KEY_KP_DIVIDE, 111);
  for (int i = 0; i < 12; ++i) set(GLFW_KEY_F1 + i, 112 + i);
  set(GLFW_KEY_SEMICOLON, 186);
  set(GLFW_KEY_EQUAL, 187);
  set(GLFW_KEY_COMMA, 188);
  set(GLFW_KEY_MINUS, 189);
  set(GLFW_KEY_PERIOD, 190);
  set(GLFW_KEY_SLASH, 191);
  set(GLFW_KEY_GRAVE_ACCENT, 192);
  set(GLFW_KEY_LEFT_BRACKET, 219);
  set(GLFW_KEY_BACKSLASH, 220);
  set(GLFW_KEY_RIGHT_BRACKET, 221);
  set(GLFW_KEY_APOSTROPHE, 222);
  return t;
}

constexpr auto kTable = BuildTable();

}  // namespace

int bbPlatformKeyCode(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
  if (key >= kFirst && key <= kLast) return kTable[static_cast<std::size_t>(key - kFirst)];
  return 0;
}

// credits.cpp: who and what made the game. Every picture, font, sound and tune is drawn or
// composed by our own asset generator; the lines name our team, our tools and the open-source
// libraries the game runs on.
#include "credits.h"

Array<String> bbCreditLines() {
  static const char* const lines[50] = {
      "",
      "A Game by",
      "The Garvolin Zudodo Team",
      "garvolin-zudodo (source folder)",
      "",
      "-=-=-",
      "",
      "Developed using",
      "C++17, CMake and GCC",
      "GLFW, OpenGL and OpenAL Soft",
      "",
      "-=-=-",
      "",
      "Graphics",
      "",
      "Most graphics by",
      "our asset generator",
      "",
      "Font : Zudodo Small",
      "drawn stroke by stroke in code",
      "Lowercase added by",
      "the same generator",
      "",
      "",
      "-=-=-",
      "",
      "Audio",
      "",
      "Sound and Music by",
      "our own synthesiser",
      "using a small sequencer",
      "libvorbis for the tunes",
      "libvorbisfile to play them",
      "sox to listen closely",
      "or whatever else",
      "is handy!",
      "",
      "-=-=-",
      "",
      "Thanks to",
      "the GLFW developers",
      "the OpenAL Soft developers",
      "the stb libraries",
      "the Mesa developers",
      "the GoogleTest developers",
      "and everyone else",
      "who shares free software",
      "",
      "-=-=-",
      "End",
  };
  Array<String> result(50);
  for (int i = 0; i < 50; ++i) result[i] = String(lines[i]);
  return result;
}

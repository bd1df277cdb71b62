// sdl2_bench.cpp: the peer program: the same 2,499 quads a frame from one texture, drawn by
// SDL2's OpenGL renderer with batching on. Prints "name: value" lines.
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "quads.h"

namespace {

using bbbench::Position;

double SdlFrameMs(SDL_Renderer* renderer, int size, const std::vector<Position>& at) {
  std::vector<uint32_t> argb = bbbench::TexturePixels(size);
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, size, size);
  SDL_UpdateTexture(texture, nullptr, argb.data(), size * 4);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
  const float s = static_cast<float>(size);
  auto frame = [&] {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    for (const Position& p : at) {
      SDL_FRect dst = {p.x, p.y, s, s};
      SDL_RenderCopyF(renderer, texture, nullptr, &dst);
    }
    SDL_RenderPresent(renderer);
    // Wait for the frame to be finished, as the other programs do with glFinish.
    using FinishFn = void (*)();
    static FinishFn finish = reinterpret_cast<FinishFn>(SDL_GL_GetProcAddress("glFinish"));
    if (finish) finish();
  };
  double ms = bbbench::MedianFrameMs(frame);
  SDL_DestroyTexture(texture);
  return ms;
}

}  // namespace

int main() {
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
  SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "sdl2_bench: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("sdl2_bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        bbbench::kWindowWidth, bbbench::kWindowHeight, SDL_WINDOW_OPENGL);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (!renderer) {
    std::fprintf(stderr, "sdl2_bench: %s\n", SDL_GetError());
    return 1;
  }
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::string(info.name) != "opengl") {
    std::fprintf(stderr, "sdl2_bench: the OpenGL renderer is not available\n");
    return 1;
  }

  double ms8 = SdlFrameMs(renderer, 8, bbbench::QuadPositions(8));
  double ms64 = SdlFrameMs(renderer, 64, bbbench::QuadPositions(64));
  bbbench::Report("sdl2_quads_8px_ms", ms8);
  bbbench::Report("sdl2_quads_64px_ms", ms64);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

// texture_page.cpp: packing surfaces into shared pages and building the pages' textures.
#include "texture_page.h"

#include <GL/gl.h>
#include <GL/glext.h>  // GL_CLAMP_TO_EDGE, which Windows' gl.h (OpenGL 1.1) lacks

#include <algorithm>
#include <cstdint>
#include <cstring>

#define STB_RECT_PACK_IMPLEMENTATION
#define STBRP_STATIC
#include <stb/stb_rect_pack.h>

#include "runtime/host/game.h"
#include "surface.h"

struct BBTexturePage::Packer {
  stbrp_context context;
  std::vector<stbrp_node> nodes;
};

namespace {

std::vector<BBTexturePage*>& bbPages() {
  static auto* pages = new std::vector<BBTexturePage*>;  // never destroyed: members may outlive exit
  return *pages;
}

// The side of a new page: the largest the driver takes, up to kMaxSide.
int bbPageSide() {
  GLint max = 0;
  if (glfwGraphicsSeq) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  return max > 0 && max < BBTexturePage::kMaxSide ? max : BBTexturePage::kMaxSide;
}

// One pixel of depth bytes as premultiplied RGBA.
inline void bbToRgba(const unsigned char* p, int depth, unsigned char* out) {
  switch (depth) {
    case 1: out[0] = out[1] = out[2] = p[0], out[3] = 255; break;
    case 2: out[0] = out[1] = out[2] = p[0], out[3] = p[1]; break;
    case 3: out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = 255; break;
    default: out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = p[3]; break;
  }
}

}  // namespace

BBTexturePage::BBTexturePage(int pageSide) : side(pageSide), scale(1.0f / static_cast<float>(pageSide)) {
  packer_ = std::make_unique<Packer>();
  packer_->nodes.resize(static_cast<size_t>(side + 2 * kGutter));
  Reset();
}

BBTexturePage::~BBTexturePage() = default;

const std::vector<BBTexturePage*>& BBTexturePage::Pages() { return bbPages(); }

void BBTexturePage::Reset() {
  int room = side + 2 * kGutter;
  stbrp_init_target(&packer_->context, room, room, packer_->nodes.data(), static_cast<int>(packer_->nodes.size()));
  free_.clear();
  Area white{};
  Reserve(1 + 2 * kGutter, 1 + 2 * kGutter, &white);
  whiteX_ = white.x, whiteY_ = white.y;
  whiteU = (static_cast<float>(whiteX_) + 0.5f) * scale;
  whiteV = (static_cast<float>(whiteY_) + 0.5f) * scale;
}

bool BBTexturePage::Reserve(int w, int h, Area* found) {
  // The smallest freed area that holds it; what is left of it to the right and below stays free.
  auto best = free_.end();
  for (auto it = free_.begin(); it != free_.end(); ++it) {
    if (it->w >= w && it->h >= h && (best == free_.end() || it->w * it->h < best->w * best->h)) best = it;
  }
  if (best != free_.end()) {
    Area area = *best;
    free_.erase(best);
    if (area.w > w) free_.push_back({area.x + w, area.y, area.w - w, h});
    if (area.h > h) free_.push_back({area.x, area.y + h, area.w, area.h - h});
    *found = {area.x, area.y, w, h};
    return true;
  }
  stbrp_rect rect{};
  rect.w = w, rect.h = h;
  if (!stbrp_pack_rects(&packer_->context, &rect, 1)) return false;
  *found = {rect.x, rect.y, w, h};
  return true;
}

bool BBTexturePage::Place(gxtkSurface* surface) {
  if (surface->page) Remove(surface);
  if (!surface->data || surface->depth < 1 || surface->depth > 4 || surface->width < 1 ||
      surface->height < 1) {
    return false;
  }
  int w = surface->width + 2 * kGutter, h = surface->height + 2 * kGutter;
  std::vector<BBTexturePage*>& pages = bbPages();
  Area area{};
  BBTexturePage* page = nullptr;
  for (BBTexturePage* p : pages) {
    if (surface->width <= p->side && surface->height <= p->side && p->Reserve(w, h, &area)) {
      page = p;
      break;
    }
  }
  if (!page) {
    int pageSide = bbPageSide();
    if (surface->width > pageSide || surface->height > pageSide) return false;
    pages.push_back(new BBTexturePage(pageSide));
    page = pages.back();
    if (!page->Reserve(w, h, &area)) return false;
  }
  // Packing space is the page shifted by the gutter, so the area's corner is the image's texel.
  surface->page = page;
  surface->pageX = area.x;
  surface->pageY = area.y;
  page->members_.push_back(surface);
  page->Upload(surface, 0, 0, surface->width, surface->height);
  return true;
}

void BBTexturePage::Remove(gxtkSurface* surface) {
  BBTexturePage* page = surface->page;
  if (!page) return;
  surface->page = nullptr;
  auto at = std::find(page->members_.begin(), page->members_.end(), surface);
  if (at != page->members_.end()) page->members_.erase(at);
  page->free_.push_back({surface->pageX, surface->pageY, surface->width + 2 * kGutter,
                         surface->height + 2 * kGutter});
  if (!page->members_.empty()) return;
  if (page->contextSeq == glfwGraphicsSeq) glDeleteTextures(1, &page->texture);
  page->contextSeq = -1;
  page->Reset();
}

void BBTexturePage::Bind() {
  if (glfwGraphicsSeq == 0 || !bbBindPixelTexture(&texture, &contextSeq)) return;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  static const unsigned char kWhite[4] = {255, 255, 255, 255};
  UploadFrom(kWhite, 4, 1, 1, whiteX_, whiteY_, whiteX_ - kGutter, whiteY_ - kGutter,
             whiteX_ + 1 + kGutter, whiteY_ + 1 + kGutter);
  for (gxtkSurface* member : members_) Upload(member, 0, 0, member->width, member->height);
  glBindTexture(GL_TEXTURE_2D, texture);
}

void BBTexturePage::Upload(gxtkSurface* member, int x, int y, int w, int h) {
  if (contextSeq != glfwGraphicsSeq || !member->data) return;
  // The rectangle grows by the gutter on every side, then stays within the member's own gutter.
  int left = std::max(x - kGutter, -kGutter), top = std::max(y - kGutter, -kGutter);
  int right = std::min(x + w + kGutter, member->width + kGutter);
  int bottom = std::min(y + h + kGutter, member->height + kGutter);
  UploadFrom(member->data, member->depth, member->width, member->height, member->pageX,
             member->pageY, member->pageX + left, member->pageY + top, member->pageX + right,
             member->pageY + bottom);
}

void BBTexturePage::UploadFrom(const unsigned char* pixels, int depth, int w, int h, int px, int py,
                               int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, side), y1 = std::min(y1, side);
  if (x0 >= x1 || y0 >= y1) return;
  int bw = x1 - x0, bh = y1 - y0;
  std::vector<unsigned char> block(static_cast<size_t>(bw) * static_cast<size_t>(bh) * 4);
  unsigned char* out = block.data();
  // The texels over the image itself, [inX0, inX1) of each row, are copied whole when the image is
  // RGBA already; the gutter beside them repeats its edge.
  int inX0 = std::min(std::max(px - x0, 0), bw), inX1 = std::max(std::min(px + w - x0, bw), inX0);
  for (int by = 0; by < bh; ++by) {
    int sy = std::min(std::max(y0 + by - py, 0), h - 1);
    const unsigned char* row = pixels + static_cast<size_t>(sy) * static_cast<size_t>(w) * depth;
    for (int bx = 0; bx < bw; ++bx, out += 4) {
      if (depth == 4 && bx == inX0 && inX1 > inX0) {
        std::memcpy(out, row + static_cast<size_t>(x0 + bx - px) * 4, static_cast<size_t>(inX1 - inX0) * 4);
        out += (inX1 - inX0 - 1) * 4;
        bx = inX1 - 1;
        continue;
      }
      int sx = std::min(std::max(x0 + bx - px, 0), w - 1);
      bbToRgba(row + static_cast<size_t>(sx) * depth, depth, out);
    }
  }
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, bw, bh, GL_RGBA, GL_UNSIGNED_BYTE, block.data());
}

// texture_page.h: BBTexturePage, a large shared texture into which loaded images are packed, so
// that the device can draw quads of many images in one batch.
//
// A page is a square RGBA texture (4096 texels a side, less where the driver allows less) that
// keeps no pixels of its own: its members, the surfaces placed in it, keep theirs, and the whole
// page is rebuilt from them whenever the OpenGL context is replaced. Each member sits inside a
// one-texel gutter that repeats its edge pixels, so nearest sampling at any scale reads exactly
// what a texture of the member's own, clamped at its edges, would give; a side that touches the
// page's border needs no gutter, the page's own clamping does it. Every page also holds one white
// texel, from which untextured primitives are drawn inside a pending batch of its images.
// Rectangles are placed with stb_rect_pack; a member that leaves frees its rectangle for the next
// image that fits in it, and a page whose last member has left starts afresh.
// Depends on: OpenGL 1.x, stb_rect_pack, surfaces, the host's glfwGraphicsSeq.
// Must not touch: the device's batch, files, collected objects other than its members (which it
// does not keep alive: a member leaves its page when it is discarded or destroyed).
#pragma once

#include <memory>
#include <vector>

class gxtkSurface;

class BBTexturePage {
 public:
  static constexpr int kMaxSide = 4096;
  static constexpr int kGutter = 1;

  // Places a surface's pixels in the first page with room for them, and uploads them there if
  // that page's texture is live. False, and the surface keeps a texture of its own, when it has no
  // pixels or is larger than a page.
  static bool Place(gxtkSurface* surface);
  // Takes a surface out of its page and frees its rectangle.
  static void Remove(gxtkSurface* surface);
  // The pages made so far, in order (they last as long as the process).
  static const std::vector<BBTexturePage*>& Pages();

  // Binds the page's texture, building it from its members' pixels first when it is missing or
  // belongs to an older context.
  void Bind();
  // Uploads the rectangle (x, y, w, h) of a member, and the gutter beside it, if the texture is
  // live.
  void Upload(gxtkSurface* member, int x, int y, int w, int h);
  int MemberCount() const { return static_cast<int>(members_.size()); }

  int side = kMaxSide;
  float scale = 1.0f / kMaxSide;  // texture coordinates per texel
  float whiteU = 0, whiteV = 0;   // the centre of the white texel
  int contextSeq = -1;            // glfwGraphicsSeq when the texture was made, -1 for none
  unsigned texture = 0;

  ~BBTexturePage();

 private:
  struct Area {
    int x, y, w, h;  // in packing space: page texels plus kGutter, gutters included
  };
  struct Packer;

  explicit BBTexturePage(int side);
  // Resets the packing and places the white texel.
  void Reset();
  // Reserves an area of w x h (gutters included): a freed one first, else from the packer.
  bool Reserve(int w, int h, Area* found);
  // Uploads the page texels [x0, x1) x [y0, y1), clipped to the page, each from the pixel of the
  // w x h image at (px, py) nearest to it.
  void UploadFrom(const unsigned char* pixels, int depth, int w, int h, int px, int py, int x0,
                  int y0, int x1, int y1);

  std::unique_ptr<Packer> packer_;
  std::vector<gxtkSurface*> members_;
  std::vector<Area> free_;
  int whiteX_ = 0, whiteY_ = 0;
};

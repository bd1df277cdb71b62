// Raster helpers of the asset generator: an RGBA image with straight (not premultiplied) float
// channels, and a Pen that draws anti-aliased shapes given as signed distance functions in the
// virtual units of one frame. The same drawing code runs at 1x, 2x and 4x: a Pen carries the
// pixels-per-unit scale, so edges stay one pixel soft at every resolution and fine detail appears
// where there are pixels for it. Depends only on the standard library.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Vec2 {
  float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline Vec2 rotate(Vec2 p, float degrees) {
  const float r = degrees * 0.017453292f;
  const float c = std::cos(r), s = std::sin(r);
  return {p.x * c - p.y * s, p.x * s + p.y * c};
}

struct Colour {
  float r = 0, g = 0, b = 0, a = 0;
};
// Colour from 0-255 channels and an alpha in 0-1.
inline Colour rgb(int r, int g, int b, float a = 1.0f) {
  return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f, a};
}
inline Colour grey(float v, float a = 1.0f) { return {v, v, v, a}; }
Colour mix(Colour a, Colour b, float t);
Colour shade(Colour c, float factor);  // multiplies the colour channels, keeps alpha
Colour withAlpha(Colour c, float a);

float clamp01(float v);
float smoothstep(float e0, float e1, float x);

class Image {
 public:
  Image() = default;
  Image(int width, int height);
  int width() const { return w_; }
  int height() const { return h_; }
  Colour& at(int x, int y) { return px_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)]; }
  const Colour& at(int x, int y) const {
    return px_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)];
  }
  // Source-over compositing of c with coverage cov into pixel (x, y); outside pixels are ignored.
  void blend(int x, int y, Colour c, float cov);
  void fill(Colour c);
  // 8-bit RGBA, rounded; fully transparent pixels are written as (0, 0, 0, 0).
  std::vector<uint8_t> rgba8() const;
  // Copies src with its top-left corner at (dx, dy), compositing over what is there.
  void draw(const Image& src, int dx, int dy);
  // Nearest-neighbour enlargement by an integer factor.
  Image enlarged(int factor) const;

 private:
  int w_ = 0, h_ = 0;
  std::vector<Colour> px_;
};

using Shape = std::function<float(Vec2)>;   // signed distance in units; negative inside
using Paint = std::function<Colour(Vec2)>;  // colour at a point in units

// Axis-aligned box in units, used to bound the pixels a shape can touch.
struct Box {
  float x0, y0, x1, y1;
};

// Draws into one frame of an image. Unit coordinates run from (0, 0) at the frame's top-left
// corner to (frameWidth, frameHeight); one unit is `scale` pixels.
class Pen {
 public:
  Pen(Image& img, int originX, int originY, float scale, int frameW, int frameH);
  // A pen for drawing a frameW x frameH unit picture scaled by k with its top-left corner at
  // `topLeft` (units of this pen); it stays clipped to this pen's frame.
  Pen sub(Vec2 topLeft, float k, int frameW, int frameH) const;
  float scale() const { return s_; }
  float pixel() const { return 1.0f / s_; }  // one pixel in units
  int frameWidth() const { return fw_; }
  int frameHeight() const { return fh_; }
  Image& image() { return img_; }

  // Fills a shape; the edge is anti-aliased over one pixel. Pixels outside the frame are never
  // touched, so neighbouring frames cannot bleed into each other.
  void fill(const Box& bounds, const Shape& shape, const Paint& paint);
  void fill(const Box& bounds, const Shape& shape, Colour c);
  // Like fill, but with a hard edge (no partial coverage): for pixel-exact text at 1x.
  void fillHard(const Box& bounds, const Shape& shape, Colour c);
  // Calls f for every pixel of the box with the pixel centre in units; f returns the colour to
  // composite (alpha included).
  void shadePixels(const Box& bounds, const std::function<Colour(Vec2)>& f);

  // Convenience shapes.
  void circle(Vec2 c, float r, Colour col);
  void ring(Vec2 c, float r, float width, Colour col);
  void rect(float x, float y, float w, float h, Colour col);
  void roundRect(float x, float y, float w, float h, float radius, Colour col);
  void line(Vec2 a, Vec2 b, float width, Colour col);
  void polygon(const std::vector<Vec2>& pts, Colour col);

 private:
  struct Clip {
    int x0, y0, x1, y1;  // pixels, end-exclusive
  };
  void range(const Box& b, Clip& out) const;
  Image& img_;
  int ox_, oy_;
  float s_;
  int fw_, fh_;
  Clip clip_;
};

// Signed distance functions (units).
namespace sdf {
float circle(Vec2 p, Vec2 c, float r);
float box(Vec2 p, Vec2 c, Vec2 halfSize);
float roundBox(Vec2 p, Vec2 c, Vec2 halfSize, float radius);
float segment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);
float polygon(Vec2 p, const std::vector<Vec2>& pts);  // simple polygon, any winding
float star(Vec2 p, Vec2 c, float outer, float inner, int points, float rotationDeg);
inline float unite(float a, float b) { return std::min(a, b); }
inline float subtract(float a, float b) { return std::max(a, -b); }
inline float intersect(float a, float b) { return std::max(a, b); }
}  // namespace sdf

Box boundsOf(const std::vector<Vec2>& pts, float margin);

}  // namespace assetgen

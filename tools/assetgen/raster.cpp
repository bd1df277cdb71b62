// Raster helpers: compositing, anti-aliased shape filling and signed distance functions.
#include "raster.h"

#include <algorithm>

namespace assetgen {

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float e0, float e1, float x) {
  const float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

Colour mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour shade(Colour c, float f) { return {clamp01(c.r * f), clamp01(c.g * f), clamp01(c.b * f), c.a}; }

Colour withAlpha(Colour c, float a) { return {c.r, c.g, c.b, a}; }

Image::Image(int width, int height)
    : w_(width), h_(height), px_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

void Image::blend(int x, int y, Colour c, float cov) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  const float sa = clamp01(c.a * cov);
  if (sa <= 0.0f) return;
  Colour& d = at(x, y);
  const float da = d.a * (1.0f - sa);
  const float oa = sa + da;
  d.r = (c.r * sa + d.r * da) / oa;
  d.g = (c.g * sa + d.g * da) / oa;
  d.b = (c.b * sa + d.b * da) / oa;
  d.a = oa;
}

void Image::fill(Colour c) { std::fill(px_.begin(), px_.end(), c); }

std::vector<uint8_t> Image::rgba8() const {
  std::vector<uint8_t> out(px_.size() * 4);
  for (size_t i = 0; i < px_.size(); ++i) {
    const Colour& c = px_[i];
    const auto q = [](float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); };
    const uint8_t a = q(c.a);
    out[i * 4 + 0] = a ? q(c.r) : 0;
    out[i * 4 + 1] = a ? q(c.g) : 0;
    out[i * 4 + 2] = a ? q(c.b) : 0;
    out[i * 4 + 3] = a;
  }
  return out;
}

void Image::draw(const Image& src, int dx, int dy) {
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) blend(dx + x, dy + y, src.at(x, y), 1.0f);
}

Image Image::enlarged(int factor) const {
  Image out(w_ * factor, h_ * factor);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.at(x, y) = at(x / factor, y / factor);
  return out;
}

Pen::Pen(Image& img, int originX, int originY, float scale, int frameW, int frameH)
    : img_(img), ox_(originX), oy_(originY), s_(scale), fw_(frameW), fh_(frameH) {
  clip_ = {ox_, oy_, ox_ + static_cast<int>(std::lround(static_cast<float>(fw_) * s_)),
           oy_ + static_cast<int>(std::lround(static_cast<float>(fh_) * s_))};
}

Pen Pen::sub(Vec2 topLeft, float k, int frameW, int frameH) const {
  Pen p(img_, ox_ + static_cast<int>(std::lround(topLeft.x * s_)), oy_ + static_cast<int>(std::lround(topLeft.y * s_)),
        s_ * k, frameW, frameH);
  p.clip_.x0 = std::max(p.clip_.x0, clip_.x0);
  p.clip_.y0 = std::max(p.clip_.y0, clip_.y0);
  p.clip_.x1 = std::min(p.clip_.x1, clip_.x1);
  p.clip_.y1 = std::min(p.clip_.y1, clip_.y1);
  return p;
}

void Pen::range(const Box& b, Clip& r) const {
  r.x0 = std::max(ox_ + static_cast<int>(std::floor(b.x0 * s_)) - 1, clip_.x0);
  r.y0 = std::max(oy_ + static_cast<int>(std::floor(b.y0 * s_)) - 1, clip_.y0);
  r.x1 = std::min(ox_ + static_cast<int>(std::ceil(b.x1 * s_)) + 1, clip_.x1);
  r.y1 = std::min(oy_ + static_cast<int>(std::ceil(b.y1 * s_)) + 1, clip_.y1);
}

void Pen::shadePixels(const Box& bounds, const std::function<Colour(Vec2)>& f) {
  Clip r;
  range(bounds, r);
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) {
      const Vec2 p{(static_cast<float>(x - ox_) + 0.5f) / s_, (static_cast<float>(y - oy_) + 0.5f) / s_};
      img_.blend(x, y, f(p), 1.0f);
    }
  }
}

void Pen::fill(const Box& bounds, const Shape& shape, const Paint& paint) {
  Clip r;
  range(bounds, r);
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) {
      const Vec2 p{(static_cast<float>(x - ox_) + 0.5f) / s_, (static_cast<float>(y - oy_) + 0.5f) / s_};
      const float cov = clamp01(0.5f - shape(p) * s_);
      if (cov > 0.0f) img_.blend(x, y, paint(p), cov);
    }
  }
}

void Pen::fill(const Box& bounds, const Shape& shape, Colour c) {
  fill(bounds, shape, [c](Vec2) { return c; });
}

void Pen::fillHard(const Box& bounds, const Shape& shape, Colour c) {
  Clip r;
  range(bounds, r);
  for (int y = r.y0; y < r.y1; ++y) {
    for (int x = r.x0; x < r.x1; ++x) {
      const Vec2 p{(static_cast<float>(x - ox_) + 0.5f) / s_, (static_cast<float>(y - oy_) + 0.5f) / s_};
      if (shape(p) * s_ < 0.0f) img_.blend(x, y, c, 1.0f);
    }
  }
}

void Pen::circle(Vec2 c, float r, Colour col) {
  fill({c.x - r - 1, c.y - r - 1, c.x + r + 1, c.y + r + 1}, [=](Vec2 p) { return sdf::circle(p, c, r); }, col);
}

void Pen::ring(Vec2 c, float r, float width, Colour col) {
  const float h = width * 0.5f;
  fill({c.x - r - h - 1, c.y - r - h - 1, c.x + r + h + 1, c.y + r + h + 1},
       [=](Vec2 p) { return std::fabs(sdf::circle(p, c, r)) - h; }, col);
}

void Pen::rect(float x, float y, float w, float h, Colour col) {
  fill({x - 1, y - 1, x + w + 1, y + h + 1},
       [=](Vec2 p) { return sdf::box(p, {x + w * 0.5f, y + h * 0.5f}, {w * 0.5f, h * 0.5f}); }, col);
}

void Pen::roundRect(float x, float y, float w, float h, float radius, Colour col) {
  fill({x - 1, y - 1, x + w + 1, y + h + 1},
       [=](Vec2 p) { return sdf::roundBox(p, {x + w * 0.5f, y + h * 0.5f}, {w * 0.5f, h * 0.5f}, radius); }, col);
}

void Pen::line(Vec2 a, Vec2 b, float width, Colour col) {
  const float m = width * 0.5f + 1;
  fill({std::min(a.x, b.x) - m, std::min(a.y, b.y) - m, std::max(a.x, b.x) + m, std::max(a.y, b.y) + m},
       [=](Vec2 p) { return sdf::segment(p, a, b, width * 0.5f); }, col);
}

void Pen::polygon(const std::vector<Vec2>& pts, Colour col) {
  fill(boundsOf(pts, 1.0f), [pts](Vec2 p) { return sdf::polygon(p, pts); }, col);
}

Box boundsOf(const std::vector<Vec2>& pts, float margin) {
  Box b{1e9f, 1e9f, -1e9f, -1e9f};
  for (const Vec2& p : pts) {
    b.x0 = std::min(b.x0, p.x);
    b.y0 = std::min(b.y0, p.y);
    b.x1 = std::max(b.x1, p.x);
    b.y1 = std::max(b.y1, p.y);
  }
  return {b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin};
}

namespace sdf {

float circle(Vec2 p, Vec2 c, float r) { return length(p - c) - r; }

float box(Vec2 p, Vec2 c, Vec2 h) {
  const float dx = std::fabs(p.x - c.x) - h.x, dy = std::fabs(p.y - c.y) - h.y;
  const float ox = std::max(dx, 0.0f), oy = std::max(dy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(dx, dy), 0.0f);
}

float roundBox(Vec2 p, Vec2 c, Vec2 h, float r) {
  r = std::min(r, std::min(h.x, h.y));
  return box(p, c, {h.x - r, h.y - r}) - r;
}

float segment(Vec2 p, Vec2 a, Vec2 b, float hw) {
  const Vec2 pa = p - a, ba = b - a;
  const float l2 = dot(ba, ba);
  const float t = l2 > 0.0f ? clamp01(dot(pa, ba) / l2) : 0.0f;
  return length(pa - ba * t) - hw;
}

float polygon(Vec2 p, const std::vector<Vec2>& v) {
  float d = dot(p - v[0], p - v[0]);
  bool inside = false;
  for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
    const Vec2 e = v[j] - v[i], w = p - v[i];
    const float l2 = dot(e, e);
    const float t = l2 > 0.0f ? clamp01(dot(w, e) / l2) : 0.0f;
    const Vec2 b = w - e * t;
    d = std::min(d, dot(b, b));
    const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
  }
  return (inside ? -1.0f : 1.0f) * std::sqrt(d);
}

float star(Vec2 p, Vec2 c, float outer, float inner, int points, float rot) {
  std::vector<Vec2> v;
  for (int i = 0; i < points * 2; ++i) {
    const float r = (i % 2 == 0) ? outer : inner;
    const float a = (rot + 180.0f * static_cast<float>(i) / static_cast<float>(points)) * 0.017453292f;
    v.push_back({c.x + std::sin(a) * r, c.y - std::cos(a) * r});
  }
  return polygon(p, v);
}

}  // namespace sdf
}  // namespace assetgen

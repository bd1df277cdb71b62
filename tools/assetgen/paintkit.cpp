// Shading helpers.
#include "paintkit.h"

#include <cmath>

namespace assetgen {

Vec2 normalOf(const Shape& s, Vec2 p) {
  const float e = 0.05f;
  Vec2 n{s({p.x + e, p.y}) - s({p.x - e, p.y}), s({p.x, p.y + e}) - s({p.x, p.y - e})};
  const float l = length(n);
  return l > 1e-6f ? n * (1.0f / l) : Vec2{0, 0};
}

void outlined(Pen& pen, const Box& b, const Shape& shape, const Paint& paint, Colour rim, float outline) {
  if (outline > 0.0f) {
    const Box g{b.x0 - outline, b.y0 - outline, b.x1 + outline, b.y1 + outline};
    pen.fill(g, [&shape, outline](Vec2 p) { return shape(p) - outline; }, rim);
  }
  pen.fill(b, shape, paint);
}

Paint bevelled(const Shape& shape, const Paint& inner, float width, float strength) {
  return [shape, inner, width, strength](Vec2 p) {
    Colour c = inner(p);
    const float d = -shape(p);
    if (d < width) {
      const Vec2 n = normalOf(shape, p);
      const float lit = -(n.x * kLight.x + n.y * kLight.y);  // >0 on the side facing away from light
      const float t = 1.0f - clamp01(d / width);
      const float k = 1.0f - lit * strength * t;
      c = shade(c, k);
      if (k > 1.0f) c = mix(c, Colour{1, 1, 1, c.a}, clamp01((k - 1.0f) * 0.6f));
    }
    return c;
  };
}

Paint linear(Vec2 p0, Vec2 p1, Colour a, Colour b) {
  const Vec2 d = p1 - p0;
  const float l2 = dot(d, d);
  return [=](Vec2 p) { return mix(a, b, clamp01(dot(p - p0, d) / l2)); };
}

Paint radial(Vec2 c, float r, Colour a, Colour b) {
  return [=](Vec2 p) { return mix(a, b, clamp01(length(p - c) / r)); };
}

void glow(Pen& pen, Vec2 c, float r, Colour col) {
  pen.shadePixels({c.x - r, c.y - r, c.x + r, c.y + r}, [=](Vec2 p) {
    const float t = clamp01(1.0f - length(p - c) / r);
    return withAlpha(col, col.a * t * t);
  });
}

void softShadow(Pen& pen, const Box& b, const Shape& shape, Vec2 offset, float soft, float alpha) {
  const Box g{b.x0 + offset.x - soft, b.y0 + offset.y - soft, b.x1 + offset.x + soft, b.y1 + offset.y + soft};
  pen.shadePixels(g, [=](Vec2 p) {
    const float d = shape(p - offset);
    const float a = 1.0f - smoothstep(-soft * 0.5f, soft * 0.5f, d);
    return Colour{0, 0, 0, alpha * a};
  });
}

}  // namespace assetgen

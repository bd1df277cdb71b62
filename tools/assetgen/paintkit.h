// Shading helpers shared by the picture modules: outlined shapes, bevel lighting from the upper
// left, gradients and soft glows. Light comes from the upper left in every picture, so sprites,
// walls and buttons read as one set.
#pragma once

#include "raster.h"

namespace assetgen {

// Unit vector pointing toward the light, in frame coordinates (y down).
constexpr Vec2 kLight{-0.6f, -0.8f};

// Outward normal of a shape at p, from the gradient of its distance function.
Vec2 normalOf(const Shape& s, Vec2 p);

// Fills `shape` with `paint`, after a darker rim `outline` units wide drawn around it.
void outlined(Pen& pen, const Box& b, const Shape& shape, const Paint& paint, Colour rim, float outline);

// A paint that lights the band `width` units inside the edge of `shape`: the side facing the
// light is brightened by `strength`, the other darkened; the inside keeps `inner`'s colour.
Paint bevelled(const Shape& shape, const Paint& inner, float width, float strength);

// Linear gradient from a (at p0) to b (at p1).
Paint linear(Vec2 p0, Vec2 p1, Colour a, Colour b);
// Radial gradient from a (centre) to b (radius r).
Paint radial(Vec2 c, float r, Colour a, Colour b);

// A soft round glow: alpha falls from `c.a` at the centre to 0 at radius r.
void glow(Pen& pen, Vec2 c, float r, Colour col);
// A soft drop shadow of a shape, offset and blurred over `soft` units.
void softShadow(Pen& pen, const Box& b, const Shape& shape, Vec2 offset, float soft, float alpha);

}  // namespace assetgen

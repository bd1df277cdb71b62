// The device on real OpenGL: batching and its flush points counted in draw calls, ellipse
// segments and polygon limits, and pixels read back for blending, scissoring, clearing and the
// module's transformations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gl_support.h"

namespace {

using bbtest::Near;
using bbtest::Rgb;

class Device_Gl : public bbtest::GlFixture {
 protected:
  gxtkSurface* SolidSurface(int w, int h, unsigned argb) {
    gxtkSurface* s = device->CreateSurface(w, h);
    Array<int> pixels(w * h);
    for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<int>(argb);
    device->WritePixels2(s, pixels, 0, 0, w, h, 0, w);
    return s;
  }
};

TEST_F(Device_Gl, TwoHundredFiftySixRectanglesAreOneDrawCall) {
  int64_t before = device->drawCalls;
  for (int i = 0; i < 256; ++i) device->DrawRect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(device->batchCount, 1024);
  EXPECT_EQ(device->drawCalls, before);
  device->DrawRect(0, 10, 1, 1);  // the 257th does not fit: the full batch goes out
  EXPECT_EQ(device->drawCalls, before + 1);
  EXPECT_EQ(device->batchCount, 4);
  device->Flush();
  EXPECT_EQ(device->drawCalls, before + 2);
  EXPECT_EQ(device->batchCount, 0);
  device->Flush();  // nothing pending: no call
  EXPECT_EQ(device->drawCalls, before + 2);
  // Every one of them reached the screen.
  EXPECT_TRUE(Near(Pixel(0, 0), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(255, 0), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(0, 10), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(256, 0), {0, 0, 0}));
}

TEST_F(Device_Gl, SurfaceAndPrimitiveChangesFlushButColourAndMatrixDoNot) {
  gxtkSurface* one = SolidSurface(4, 4, 0xFFFF0000);
  gxtkSurface* two = SolidSurface(4, 4, 0xFF00FF00);
  int64_t before = device->drawCalls;
  device->DrawSurface(one, 0, 0);
  device->DrawSurface(one, 10, 0);
  EXPECT_EQ(device->batchCount, 8);
  EXPECT_EQ(device->drawCalls, before);
  device->DrawSurface(two, 20, 0);
  EXPECT_EQ(device->drawCalls, before + 1);
  device->DrawSurface2(two, 30, 0, 0, 0, 2, 2);
  EXPECT_EQ(device->drawCalls, before + 1);

  device->DrawRect(0, 20, 4, 4);  // untextured after textured
  EXPECT_EQ(device->drawCalls, before + 2);
  device->DrawLine(0, 30, 10, 30);
  EXPECT_EQ(device->drawCalls, before + 3);
  device->DrawRect(0, 40, 4, 4);
  EXPECT_EQ(device->drawCalls, before + 4);

  for (int i = 0; i < 20; ++i) {
    device->SetColor(static_cast<float>(i * 10), 0, 0);
    device->SetAlpha(0.5f + i * 0.01f);
    device->SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
    device->DrawRect(0, 50, 2, 2);
  }
  EXPECT_EQ(device->drawCalls, before + 4);
  EXPECT_EQ(device->batchCount, 4 + 20 * 4);

  device->SetBlend(1);
  EXPECT_EQ(device->drawCalls, before + 5);
  device->DrawRect(0, 60, 2, 2);
  device->SetScissor(0, 0, 100, 100);
  EXPECT_EQ(device->drawCalls, before + 6);
  device->DrawPoint(1, 70);
  device->DrawPoint(3, 70);
  device->ReadPixels(Array<int>(1), 0, 0, 1, 1, 0, 1);
  EXPECT_EQ(device->drawCalls, before + 7);
  device->SetScissor(0, 0, device->Width(), device->Height());
  device->SetBlend(0);

  EXPECT_TRUE(Near(Pixel(1, 1), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(21, 1), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(31, 1), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(32, 1), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(5, 30), {255, 255, 255}));
}

TEST_F(Device_Gl, ClsDropsPendingPrimitives) {
  int64_t before = device->drawCalls;
  device->DrawRect(0, 0, 50, 50);
  device->Cls(0, 0, 255);
  EXPECT_EQ(device->batchCount, 0);
  device->Flush();
  EXPECT_EQ(device->drawCalls, before);
  EXPECT_TRUE(Near(Pixel(10, 10), {0, 0, 255}));
}

TEST_F(Device_Gl, EllipseSegmentsFollowTheRadii) {
  struct Case {
    float size;
    int segments;
  } cases[] = {{10, 12}, {30, 28}, {100, 100}, {3000, 1024}, {-100, 100}};
  for (const Case& c : cases) {
    device->DrawOval(0, 0, c.size, c.size);
    EXPECT_EQ(device->batchType, c.segments) << c.size;
    EXPECT_EQ(device->batchCount, c.segments) << c.size;
    device->Cls(0, 0, 0);
  }
  // Scaled by the matrix: radii 25 and 25 become 50 and 50.
  device->SetMatrix(2, 0, 0, 2, 0, 0);
  device->DrawOval(0, 0, 50, 50);
  EXPECT_EQ(device->batchType, 100);
  device->Cls(0, 0, 0);
  device->SetMatrix(1, 0, 0, 1, 0, 0);

  // Ellipses of one segment count share a batch, drawn as one fan each.
  int64_t before = device->drawCalls;
  device->DrawOval(100, 100, 100, 100);
  device->DrawOval(300, 100, 100, 100);
  EXPECT_EQ(device->batchCount, 200);
  device->Flush();
  EXPECT_EQ(device->drawCalls, before + 2);
  EXPECT_TRUE(Near(Pixel(150, 150), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(350, 150), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(103, 103), {0, 0, 0}));  // outside the curve, inside the box
}

TEST_F(Device_Gl, PolygonsBatchByVertexCountWithinTheLimit) {
  float tri[7] = {0, 0, 10, 0, 0, 10, 99};
  device->DrawPoly(Array<float>(tri, 6));
  device->DrawPoly(Array<float>(tri, 7));  // an odd float is ignored
  EXPECT_EQ(device->batchType, gxtkGraphics::kTriangle);
  EXPECT_EQ(device->batchCount, 6);

  float quad[8] = {20, 0, 30, 0, 30, 10, 20, 10};
  int64_t before = device->drawCalls;
  device->DrawPoly(Array<float>(quad, 8));
  EXPECT_EQ(device->drawCalls, before + 1);
  EXPECT_EQ(device->batchType, gxtkGraphics::kQuad);

  float five[10] = {40, 0, 50, 0, 55, 5, 50, 10, 40, 10};
  device->DrawPoly(Array<float>(five, 10));
  device->DrawPoly(Array<float>(five, 10));
  EXPECT_EQ(device->batchType, 5);
  EXPECT_EQ(device->batchCount, 10);

  before = device->drawCalls;
  Array<float> huge(2050);
  device->DrawPoly(huge);
  device->DrawPoly(Array<float>());
  device->DrawPoly(Array<float>(1));
  EXPECT_EQ(device->batchType, 5);
  EXPECT_EQ(device->batchCount, 10);
  EXPECT_EQ(device->drawCalls, before);

  Array<float> max(2048);  // 1024 vertices is still drawn
  for (int i = 0; i < 1024; ++i) {
    max[i * 2] = 100 + 50 * std::cos(i * 0.0061359f);
    max[i * 2 + 1] = 100 + 50 * std::sin(i * 0.0061359f);
  }
  device->DrawPoly(max);
  EXPECT_EQ(device->batchType, 1024);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(5, 2), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(25, 5), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(52, 5), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(100, 100), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(9, 9), {0, 0, 0}));
}

TEST_F(Device_Gl, TexturedPolygonsMapSurfacePixels) {
  gxtkSurface* s = device->CreateSurface(4, 4);
  Array<int> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[i] = static_cast<int>(i % 4 < 2 ? 0xFFFF0000u : 0xFF0000FFu);
  device->WritePixels2(s, pixels, 0, 0, 4, 4, 0, 4);
  // A 20 x 20 quad showing the right half (blue) of the surface: u from 0 + srcx 2 to 2 + 2.
  float quad[16] = {0, 0, 0, 0, 20, 0, 2, 0, 20, 20, 2, 4, 0, 20, 0, 4};
  device->DrawPoly2(Array<float>(quad, 16), s, 2, 0);
  EXPECT_EQ(device->batchSurface, s);
  device->DrawPoly2(Array<float>(4100), s, 0, 0);  // 1025 vertices: not drawn
  device->DrawPoly2(Array<float>(3), s, 0, 0);
  EXPECT_EQ(device->batchCount, 4);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(1, 1), {0, 0, 255}));
  EXPECT_TRUE(Near(Pixel(18, 18), {0, 0, 255}));
}

TEST_F(Device_Gl, PremultipliedAndAdditiveBlending) {
  for (int mode : {0, 2, 7}) {
    device->Cls(0, 0, 255);
    device->SetBlend(mode);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->DrawRect(10, 10, 10, 10);
    device->Flush();
    // (127, 0, 0, 127) over blue: red 127, blue 255 * (1 - 127 / 255) = 128.
    EXPECT_TRUE(Near(Pixel(15, 15), {127, 0, 128})) << "mode " << mode;
  }
  device->Cls(100, 0, 0);
  device->SetBlend(1);
  device->SetColor(100, 50, 0);
  device->SetAlpha(1);
  device->DrawRect(10, 10, 10, 10);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(15, 15), {200, 50, 0}));
  // Additive ignores alpha as a weight for the destination: half-alpha adds half the colour.
  device->SetAlpha(0.5f);
  device->DrawRect(10, 10, 10, 10);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(15, 15), {250, 75, 0}));
  device->SetBlend(0);
}

TEST_F(Device_Gl, ScissorClipsExactlyAndCountsRowsFromTheTop) {
  device->SetScissor(10, 20, 30, 40);
  device->Cls(255, 255, 255);
  device->SetColor(0, 255, 0);
  device->SetAlpha(1);
  device->DrawRect(0, 0, 640, 480);
  device->SetScissor(0, 0, device->Width(), device->Height());

  int w = device->Width(), h = device->Height();
  Array<int> all(w * h);
  device->ReadPixels(all, 0, 0, w, h, 0, w);
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool inside = x >= 10 && x < 40 && y >= 20 && y < 60;
      Rgb p = bbtest::ToRgb(all[y * w + x]);
      Rgb want = inside ? Rgb{0, 255, 0} : Rgb{0, 0, 0};
      wrong += !Near(p, want);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(Device_Gl, ReadPixelsReturnsTheTopRowFirstAsArgb) {
  device->SetColor(255, 0, 0);
  device->DrawRect(0, 0, 640, 1);
  device->SetColor(0, 0, 255);
  device->DrawRect(0, 479, 640, 1);
  device->SetColor(10, 20, 30);
  device->DrawRect(5, 7, 1, 1);
  int w = device->Width(), h = device->Height();
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  Array<int> all(w * h);
  device->ReadPixels(all, 0, 0, w, h, 0, w);
  EXPECT_EQ(static_cast<unsigned>(all[0]), 0xFFFF0000u);
  EXPECT_EQ(static_cast<unsigned>(all[(h - 1) * w]), 0xFF0000FFu);
  EXPECT_EQ(static_cast<unsigned>(all[7 * w + 5]), 0xFF0A141Eu);

  // Offset and pitch place the rows; everything else is left alone.
  Array<int> part(3 + 2 * 10);
  for (int i = 0; i < part.Length(); ++i) part[i] = 42;
  device->ReadPixels(part, 4, 6, 3, 2, 3, 10);
  EXPECT_EQ(part[0], 42);
  EXPECT_EQ(static_cast<unsigned>(part[3 + 10 + 1]), 0xFF0A141Eu);
  EXPECT_EQ(static_cast<unsigned>(part[3]), 0xFF000000u);
  EXPECT_EQ(part[6], 42);

  // A rectangle that does not fit the array is ignored.
  Array<int> small(4);
  for (int i = 0; i < 4; ++i) small[i] = 42;
  device->ReadPixels(small, 0, 0, 3, 2, 0, 3);
  device->ReadPixels(small, 0, 0, 2, 2, -1, 2);
  device->ReadPixels(small, 0, 0, 2, 100000, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(small[i], 42);
}

TEST_F(Device_Gl, ModuleTransformationsPlaceAOnePixelMarker) {
  bb_graphics_Translate(100, 100);
  bb_graphics_Scale(2, 2);
  bb_graphics_DrawRect(1, 0, 1, 1);  // local (1, 0) -> (102, 100), 2 x 2 pixels
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_Translate(200, 200);
  bb_graphics_Rotate(90);
  bb_graphics_DrawRect(10, 0, 1, 1);  // local (10, 0) -> (200, 190), one pixel above it
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_Scale(2, 2);
  bb_graphics_Translate(10, 0);
  bb_graphics_DrawRect(1, 100, 1, 1);  // -> (22, 200)
  device->Flush();

  EXPECT_TRUE(Near(Pixel(102, 100), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(103, 101), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(101, 100), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(104, 100), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(102, 102), {0, 0, 0}));

  EXPECT_TRUE(Near(Pixel(200, 189), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(200, 190), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(199, 189), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(201, 189), {0, 0, 0}));

  EXPECT_TRUE(Near(Pixel(22, 200), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(23, 201), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(21, 200), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(24, 200), {0, 0, 0}));
}

TEST_F(Device_Gl, BufferObjectsKeepTheBatchingRulesAndThePixels) {
  gxtkSurface* red = SolidSurface(4, 4, 0xFFFF0000);
  for (int reopen = 0; reopen < 2; ++reopen) {
    if (reopen) bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    device->useBufferObjects = true;
    ASSERT_EQ(device->BeginRender(), 1);
    device->Cls(0, 0, 0);
    int64_t before = device->drawCalls;
    for (int i = 0; i < 257; ++i) device->DrawRect(static_cast<float>(i), 0, 1, 1);
    EXPECT_EQ(device->drawCalls, before + 1);
    device->DrawSurface(red, 10, 10);
    device->DrawSurface(red, 20, 10);
    EXPECT_EQ(device->drawCalls, before + 2);
    float five[10] = {40, 40, 50, 40, 55, 45, 50, 50, 40, 50};
    device->DrawPoly(Array<float>(five, 10));
    for (float& f : five) f += 20;
    device->DrawPoly(Array<float>(five, 10));
    device->DrawLine(0, 100.5f, 30, 100.5f);
    EXPECT_EQ(device->drawCalls, before + 5);
    device->Flush();
    EXPECT_EQ(device->drawCalls, before + 6);
    EXPECT_TRUE(Near(Pixel(256, 0), {255, 255, 255}));
    EXPECT_TRUE(Near(Pixel(11, 11), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(23, 13), {255, 0, 0}));
    EXPECT_TRUE(Near(Pixel(45, 45), {255, 255, 255}));
    EXPECT_TRUE(Near(Pixel(65, 65), {255, 255, 255}));
    EXPECT_TRUE(Near(Pixel(15, 100), {255, 255, 255}));
    EXPECT_TRUE(Near(Pixel(15, 110), {0, 0, 0}));
  }
  device->useBufferObjects = false;
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(0, 0, 0);
  device->DrawRect(0, 0, 2, 2);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(1, 1), {255, 255, 255}));
}

TEST_F(Device_Gl, WritePixelsRejectsRectanglesOutsideTheArray) {
  gxtkSurface* s = SolidSurface(4, 4, 0xFF102030);
  Array<int> few(4);
  device->WritePixels2(s, few, 0, 0, 4, 4, 0, 4);   // needs 16 values
  device->WritePixels2(s, few, 0, 0, 2, 2, 3, 2);   // runs past the end
  device->WritePixels2(s, few, 0, 0, 2, 2, -2, 2);  // starts before it
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(s->data[i * 4], 0x10);
    EXPECT_EQ(s->data[i * 4 + 2], 0x30);
  }
}

}  // namespace

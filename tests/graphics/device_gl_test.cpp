// The device on real OpenGL: batching and its flush points counted in draw calls, ellipse segments
// and polygon limits, buffer objects, and pixels read back for blending, scissoring and clearing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graphics_support.h"

namespace {

class Device_Gl : public bbtest::GlFixture {};

TEST_F(Device_Gl, RectanglesBatch256ToADrawCallAndClsDropsWhatIsPending) {
  const int64_t before = device->drawCalls;
  for (int i = 0; i < 257; ++i) {
    device->DrawRect(static_cast<float>(i), 0, 1, 1);
    ASSERT_EQ(device->drawCalls, before + (i == 256)) << "the 257th does not fit: the full batch goes out";
  }
  device->Flush();
  device->Flush();  // nothing pending: no call
  EXPECT_EQ(device->drawCalls, before + 2);
  ExpectPixels({{0, 0, 0xFFFFFF}, {255, 0, 0xFFFFFF}, {256, 0, 0xFFFFFF}, {257, 0, 0}});
  device->DrawRect(0, 0, 50, 50);
  device->Cls(0, 0, 255);
  device->Flush();
  EXPECT_EQ(device->drawCalls, before + 2);
  ExpectPixels({{10, 10, 0x0000FF}});
}

TEST_F(Device_Gl, SurfacePrimitiveBlendAndScissorChangesFlushButColourAndMatrixDoNot) {
  gxtkSurface* red = Solid(4, 4, 0xFFFF0000);
  gxtkSurface* green = Solid(4, 4, 0xFF00FF00);
  const int64_t before = device->drawCalls;
  const struct {
    std::function<void()> draw;
    int64_t calls;  // made since the start
  } steps[] = {
      {[&] { device->DrawSurface(red, 0, 0), device->DrawSurface(red, 10, 0); }, 0},
      {[&] { device->DrawSurface(green, 20, 0), device->DrawSurface2(green, 30, 0, 0, 0, 2, 2); }, 1},
      {[&] { device->DrawRect(0, 20, 4, 4); }, 2},
      {[&] { device->DrawLine(0, 30, 10, 30); }, 3},
      {[&] {
         for (int i = 0; i < 20; ++i) {
           device->SetColor(static_cast<float>(i * 10), 0, 0);
           device->SetAlpha(0.5f + i * 0.01f);
           device->SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
           device->DrawRect(0, 50, 2, 2);
         }
       }, 4},
      {[&] { device->SetBlend(1); }, 5},
      {[&] { device->DrawRect(0, 60, 2, 2), device->SetScissor(0, 0, 100, 100); }, 6},
      {[&] { device->DrawPoint(1, 70), device->DrawPoint(3, 70), device->ReadPixels(Array<int>(1), 0, 0, 1, 1, 0, 1); }, 7},
  };
  for (const auto& step : steps) {
    step.draw();
    EXPECT_EQ(device->drawCalls - before, step.calls);
  }
  device->SetScissor(0, 0, device->Width(), device->Height());
  device->SetBlend(0);
  ExpectPixels({{1, 1, 0xFF0000}, {21, 1, 0x00FF00}, {31, 1, 0x00FF00}, {32, 1, 0}, {5, 30, 0xFFFFFF}});
}

TEST_F(Device_Gl, EllipsesHaveSegmentsByTheirRadiiAndThoseOfACountShareABatch) {
  const struct {
    float a, b, c, d, w, h;  // the matrix and the size
    int segments;
  } cases[] = {{1, 0, 0, 1, 10, 10, 12},     {1, 0, 0, 1, 30, 30, 28},  {1, 0, 0, 1, 100, 100, 100},
               {1, 0, 0, 1, 3000, 3000, 1024}, {1, 0, 0, 1, -100, -100, 100}, {1, 0, 0, 1, 15, 17, 12},
               {2, 1, -1, 2, 50, 50, 108}};
  for (const auto& c : cases) {
    device->SetMatrix(c.a, c.b, c.c, c.d, 0, 0);
    device->DrawOval(0, 0, c.w, c.h);
    EXPECT_EQ(device->batchCount, c.segments) << c.w << " x " << c.h << " under " << c.a << " " << c.b;
    device->Cls(0, 0, 0);
  }
  device->SetMatrix(1, 0, 0, 1, 0, 0);
  const int64_t before = device->drawCalls;
  device->DrawOval(100, 100, 100, 100);
  device->DrawOval(300, 100, 100, 100);
  EXPECT_EQ(device->batchCount, 200);
  device->Flush();
  EXPECT_EQ(device->drawCalls, before + 2);  // a fan each
  ExpectPixels({{150, 150, 0xFFFFFF}, {350, 150, 0xFFFFFF}, {103, 103, 0}});
}

TEST_F(Device_Gl, PolygonsBatchByVertexCountUpTo1024Vertices) {
  float tri[7] = {0, 0, 10, 0, 0, 10, 99};
  float quad[8] = {20, 0, 30, 0, 30, 10, 20, 10};
  float five[10] = {40, 0, 50, 0, 55, 5, 50, 10, 40, 10};
  const int64_t before = device->drawCalls;
  device->DrawPoly(Array<float>(tri, 6));
  device->DrawPoly(Array<float>(tri, 7));  // an odd float is ignored
  EXPECT_EQ(device->batchCount, 6);
  device->DrawPoly(Array<float>(quad, 8));
  device->DrawPoly(Array<float>(five, 10));
  device->DrawPoly(Array<float>(five, 10));
  for (int floats : {2050, 1, 0}) device->DrawPoly(Array<float>(floats));  // not drawn
  EXPECT_EQ(device->drawCalls, before + 2);
  EXPECT_EQ(device->batchCount, 10);
  Array<float> circle(2048);  // 1024 vertices are still drawn
  for (int i = 0; i < 2048; ++i) circle[i] = 100 + 50 * (i % 2 ? std::sin(i / 2 * 0.0061359f) : std::cos(i / 2 * 0.0061359f));
  device->DrawPoly(circle);
  EXPECT_EQ(device->batchCount, 1024);
  ExpectPixels({{5, 2, 0xFFFFFF}, {25, 5, 0xFFFFFF}, {52, 5, 0xFFFFFF}, {100, 100, 0xFFFFFF}, {9, 9, 0}});
}

TEST_F(Device_Gl, TexturedPolygonsMapSurfacePixels) {
  gxtkSurface* s = device->CreateSurface(4, 4);
  Array<int> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[i] = static_cast<int>(i % 4 < 2 ? 0xFFFF0000u : 0xFF0000FFu);
  device->WritePixels2(s, pixels, 0, 0, 4, 4, 0, 4);
  // A 20 x 20 quad showing the right half (blue) of the surface: u from 0 + srcx 2 to 2 + 2.
  float quad[16] = {0, 0, 0, 0, 20, 0, 2, 0, 20, 20, 2, 4, 0, 20, 0, 4};
  device->DrawPoly2(Array<float>(quad, 16), s, 2, 0);
  device->DrawPoly2(Array<float>(4100), s, 0, 0);  // 1025 vertices: not drawn
  device->DrawPoly2(Array<float>(3), s, 0, 0);
  EXPECT_EQ(device->batchCount, 4);
  ExpectPixels({{1, 1, 0x0000FF}, {18, 18, 0x0000FF}});
}

TEST_F(Device_Gl, BlendingIsPremultipliedExceptInAdditiveMode) {
  for (int mode : {0, 2, 1}) {
    device->Cls(0, 0, 255);
    device->SetBlend(mode);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->DrawRect(10, 10, 10, 10);
    ExpectPixels({{15, 15, mode == 1 ? 0x7F00FFu : 0x7F0080u}});  // (127, 0, 0, 127) over blue
  }
}

TEST_F(Device_Gl, ScissorClipsExactlyAndCountsRowsFromTheTop) {
  device->SetScissor(10, 20, 30, 40);
  device->Cls(255, 255, 255);
  device->SetColor(0, 255, 0);
  device->DrawRect(0, 0, 640, 480);
  device->SetScissor(0, 0, 640, 480);
  Array<int> all(640 * 480);
  device->ReadPixels(all, 0, 0, 640, 480, 0, 640);
  int wrong = 0;
  for (int i = 0; i < 640 * 480; ++i) {
    const int x = i % 640, y = i / 640;
    wrong += !bbtest::Near(unsigned(all[i]) & 0xFFFFFF, x >= 10 && x < 40 && y >= 20 && y < 60 ? 0x00FF00 : 0);
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(Device_Gl, ReadPixelsGivesTheTopRowFirstAsArgbAndIgnoresRectanglesOutsideTheArray) {
  device->SetColor(255, 0, 0);
  device->DrawRect(0, 0, 640, 1);
  device->SetColor(0, 0, 255);
  device->DrawRect(0, 479, 640, 1);
  device->SetColor(10, 20, 30);
  device->DrawRect(5, 7, 1, 1);
  Array<int> all(640 * 480);
  device->ReadPixels(all, 0, 0, 640, 480, 0, 640);
  EXPECT_EQ(std::vector<unsigned>({unsigned(all[0]), unsigned(all[479 * 640]), unsigned(all[7 * 640 + 5])}),
            std::vector<unsigned>({0xFFFF0000u, 0xFF0000FFu, 0xFF0A141Eu}));
  Array<int> part(3 + 2 * 10);  // offset and pitch place the rows; everything else is left alone
  for (int i = 0; i < part.Length(); ++i) part[i] = 42;
  device->ReadPixels(part, 4, 6, 3, 2, 3, 10);
  EXPECT_EQ(std::vector<unsigned>({unsigned(part[0]), unsigned(part[3]), unsigned(part[6]), unsigned(part[14])}),
            std::vector<unsigned>({42, 0xFF000000u, 42, 0xFF0A141Eu}));
  Array<int> small(4);
  device->ReadPixels(small, 0, 0, 3, 2, 0, 3);
  device->ReadPixels(small, 0, 0, 2, 2, -1, 2);
  device->ReadPixels(small, 0, 0, 2, 100000, 0, 0);
  EXPECT_EQ(small[0] | small[1] | small[2] | small[3], 0);
}

TEST_F(Device_Gl, BufferObjectsKeepTheBatchingRulesAndThePixelsAcrossANewWindow) {
  gxtkSurface* red = Solid(4, 4, 0xFFFF0000);
  for (int reopen = 0; reopen < 2; ++reopen) {
    if (reopen) bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    device->useBufferObjects = true;
    ASSERT_EQ(device->BeginRender(), 1);
    device->Cls(0, 0, 0);
    const int64_t before = device->drawCalls;
    for (int i = 0; i < 257; ++i) device->DrawRect(static_cast<float>(i), 0, 1, 1);
    device->DrawSurface(red, 10, 10);
    device->DrawSurface(red, 20, 10);
    float five[10] = {40, 40, 50, 40, 55, 45, 50, 50, 40, 50};
    device->DrawPoly(Array<float>(five, 10));
    for (float& f : five) f += 20;
    device->DrawPoly(Array<float>(five, 10));
    device->DrawLine(0, 100.5f, 30, 100.5f);
    EXPECT_EQ(device->drawCalls, before + 5);
    ExpectPixels({{256, 0, 0xFFFFFF}, {11, 11, 0xFF0000}, {23, 13, 0xFF0000}, {45, 45, 0xFFFFFF}, {65, 65, 0xFFFFFF},
                  {15, 100, 0xFFFFFF}, {15, 110, 0}});
  }
  device->useBufferObjects = false;  // and client arrays again after them
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(0, 0, 0);
  device->DrawRect(0, 0, 2, 2);
  ExpectPixels({{1, 1, 0xFFFFFF}});
}

}  // namespace

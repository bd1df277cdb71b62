// The device on real OpenGL: batching and its flush points counted in draw calls, ellipse segments
// and polygon limits, and pixels read back for scissoring, clearing and read-back itself. Which
// row comes first is checked by the music tests, whose patterns are decoded from read pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "graphics_support.h"

namespace {

class Device_Gl : public bbtest::GlFixture {};

TEST_F(Device_Gl, RectanglesBatch256ToADrawCallClsDropsWhatIsPendingAndTheScissorClipsExactly) {
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
  device->SetScissor(10, 20, 30, 40);  // rows count from the top
  device->DrawRect(0, 0, 640, 480);
  device->SetScissor(0, 0, 640, 480);
  ExpectPixels({{10, 20, 0xFFFFFF}, {39, 59, 0xFFFFFF}, {9, 30, 0x0000FF}, {10, 19, 0x0000FF}, {40, 30, 0x0000FF},
                {20, 60, 0x0000FF}});
}

TEST_F(Device_Gl, SurfacePrimitiveBlendAndScissorChangesFlushButColourAndMatrixDoNot) {
  gxtkSurface* red = device->CreateSurface(2, 2);
  gxtkSurface* green = device->CreateSurface(2, 2);
  Array<int> pixels(8);
  for (int i = 0; i < 8; ++i) pixels[i] = static_cast<int>(i < 4 ? 0xFFFF0000u : 0xFF00FF00u);
  device->WritePixels2(red, pixels, 0, 0, 2, 2, 0, 2);
  device->WritePixels2(green, pixels, 0, 0, 2, 2, 4, 2);
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

TEST_F(Device_Gl, PolygonsBatchByVertexCountUpTo1024VerticesAndTexturedOnesMapSurfacePixels) {
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
  // Textured: a 20 x 20 quad showing the blue right half of a surface, u from 0 + srcx 2 to 2 + 2.
  gxtkSurface* s = device->CreateSurface(4, 4);
  Array<int> pixels(16);
  for (int i = 0; i < 16; ++i) pixels[i] = static_cast<int>(i % 4 < 2 ? 0xFFFF0000u : 0xFF0000FFu);
  device->WritePixels2(s, pixels, 0, 0, 4, 4, 0, 4);
  const float textured[16] = {200, 0, 0, 0, 220, 0, 2, 0, 220, 20, 2, 4, 200, 20, 0, 4};
  device->DrawPoly2(Array<float>(textured, 16), s, 2, 0);
  for (int floats : {4100, 3}) device->DrawPoly2(Array<float>(floats), s, 0, 0);  // not drawn
  EXPECT_EQ(device->batchCount, 4);
  ExpectPixels({{5, 2, 0xFFFFFF}, {25, 5, 0xFFFFFF}, {52, 5, 0xFFFFFF}, {100, 100, 0xFFFFFF}, {9, 9, 0},
                {201, 1, 0x0000FF}, {218, 18, 0x0000FF}});
}

TEST_F(Device_Gl, ReadPixelsPlacesRowsByOffsetAndPitchAndIgnoresRectanglesOutsideTheArray) {
  device->SetColor(10, 20, 30);
  device->DrawRect(5, 7, 1, 1);
  Array<int> part(3 + 2 * 10);
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

}  // namespace

// The device on real OpenGL: batching and its flush points counted in draw calls, ellipse segments
// and polygon limits, buffer objects, and pixels read back for blending, scissoring, clearing and
// the module's transformations.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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
  std::vector<int64_t> calls;
  const auto note = [&] { calls.push_back(device->drawCalls - before); };
  device->DrawSurface(red, 0, 0);
  device->DrawSurface(red, 10, 0);
  note();
  device->DrawSurface(green, 20, 0);
  note();
  device->DrawSurface2(green, 30, 0, 0, 0, 2, 2);
  note();
  device->DrawRect(0, 20, 4, 4);
  note();
  device->DrawLine(0, 30, 10, 30);
  note();
  device->DrawRect(0, 40, 4, 4);
  for (int i = 0; i < 20; ++i) {
    device->SetColor(static_cast<float>(i * 10), 0, 0);
    device->SetAlpha(0.5f + i * 0.01f);
    device->SetMatrix(1, 0, 0, 1, static_cast<float>(i), 0);
    device->DrawRect(0, 50, 2, 2);
  }
  note();
  device->SetBlend(1);
  note();
  device->DrawRect(0, 60, 2, 2);
  device->SetScissor(0, 0, 100, 100);
  note();
  device->DrawPoint(1, 70);
  device->DrawPoint(3, 70);
  device->ReadPixels(Array<int>(1), 0, 0, 1, 1, 0, 1);
  note();
  EXPECT_EQ(calls, (std::vector<int64_t>{0, 1, 1, 2, 3, 4, 5, 6, 7}));
  device->SetScissor(0, 0, device->Width(), device->Height());
  device->SetBlend(0);
  ExpectPixels({{1, 1, 0xFF0000}, {21, 1, 0x00FF00}, {31, 1, 0x00FF00}, {32, 1, 0}, {5, 30, 0xFFFFFF}});
}

TEST_F(Device_Gl, EllipsesHaveSegmentsByTheirRadiiAndThoseOfACountShareABatch) {
  const struct {
    float scale, size;
    int segments;
  } cases[] = {{1, 10, 12}, {1, 30, 28}, {1, 100, 100}, {1, 3000, 1024}, {1, -100, 100}, {2, 50, 100}};
  for (const auto& c : cases) {
    device->SetMatrix(c.scale, 0, 0, c.scale, 0, 0);
    device->DrawOval(0, 0, c.size, c.size);
    EXPECT_EQ(device->batchCount, c.segments) << c.size << " at scale " << c.scale;
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
  for (int i = 0; i < 1024; ++i) {
    circle[i * 2] = 100 + 50 * std::cos(i * 0.0061359f);
    circle[i * 2 + 1] = 100 + 50 * std::sin(i * 0.0061359f);
  }
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

TEST_F(Device_Gl, BlendingIsPremultipliedOrAdditive) {
  for (int mode : {0, 2, 7}) {
    device->Cls(0, 0, 255);
    device->SetBlend(mode);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->DrawRect(10, 10, 10, 10);
    SCOPED_TRACE(mode);
    ExpectPixels({{15, 15, 0x7F0080}});  // (127, 0, 0, 127) over blue
  }
  device->Cls(100, 0, 0);
  device->SetBlend(1);
  device->SetColor(100, 50, 0);
  device->SetAlpha(1);
  device->DrawRect(10, 10, 10, 10);
  ExpectPixels({{15, 15, 0xC83200}});
  device->SetAlpha(0.5f);  // half the colour is added, whatever the destination
  device->DrawRect(10, 10, 10, 10);
  ExpectPixels({{15, 15, 0xFA4B00}});
  device->SetBlend(0);
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
  EXPECT_EQ(unsigned(all[0]), 0xFFFF0000u);
  EXPECT_EQ(unsigned(all[479 * 640]), 0xFF0000FFu);
  EXPECT_EQ(unsigned(all[7 * 640 + 5]), 0xFF0A141Eu);
  // Offset and pitch place the rows; everything else is left alone.
  Array<int> part(3 + 2 * 10);
  for (int i = 0; i < part.Length(); ++i) part[i] = 42;
  device->ReadPixels(part, 4, 6, 3, 2, 3, 10);
  EXPECT_EQ(std::vector<unsigned>({unsigned(part[0]), unsigned(part[3]), unsigned(part[6]), unsigned(part[14])}),
            std::vector<unsigned>({42, 0xFF000000u, 42, 0xFF0A141Eu}));
  Array<int> small(4);
  device->ReadPixels(small, 0, 0, 3, 2, 0, 3);
  device->ReadPixels(small, 0, 0, 2, 2, -1, 2);
  device->ReadPixels(small, 0, 0, 2, 100000, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(small[i], 0);
}

TEST_F(Device_Gl, ModuleTransformationsPlaceOnePixelMarkers) {
  bb_graphics_Translate(100, 100);
  bb_graphics_Scale(2, 2);
  bb_graphics_DrawRect(1, 0, 1, 1);  // local (1, 0) -> (102, 100), 2 x 2 pixels
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_Translate(200, 200);
  bb_graphics_Rotate(90);
  bb_graphics_DrawRect(10, 0, 1, 1);  // local (10, 0) -> (200, 190), the pixel above it
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  bb_graphics_Scale(2, 2);
  bb_graphics_Translate(10, 0);
  bb_graphics_DrawRect(1, 100, 1, 1);  // -> (22, 200)
  ExpectPixels({{102, 100, 0xFFFFFF}, {103, 101, 0xFFFFFF}, {101, 100, 0}, {104, 100, 0}, {102, 102, 0},
                {200, 189, 0xFFFFFF}, {200, 190, 0}, {199, 189, 0}, {201, 189, 0},
                {22, 200, 0xFFFFFF}, {23, 201, 0xFFFFFF}, {21, 200, 0}, {24, 200, 0}});
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
    ExpectPixels({{256, 0, 0xFFFFFF}, {11, 11, 0xFF0000}, {23, 13, 0xFF0000}, {45, 45, 0xFFFFFF},
                  {65, 65, 0xFFFFFF}, {15, 100, 0xFFFFFF}, {15, 110, 0}});
  }
  device->useBufferObjects = false;
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(0, 0, 0);
  device->DrawRect(0, 0, 2, 2);
  ExpectPixels({{1, 1, 0xFFFFFF}});
}

TEST_F(Device_Gl, WritePixelsIgnoresRectanglesOutsideTheArray) {
  gxtkSurface* s = Solid(4, 4, 0xFF102030);
  Array<int> few(4);
  device->WritePixels2(s, few, 0, 0, 4, 4, 0, 4);   // needs 16 values
  device->WritePixels2(s, few, 0, 0, 2, 2, 3, 2);   // runs past the end
  device->WritePixels2(s, few, 0, 0, 2, 2, -2, 2);  // starts before it
  for (int i = 0; i < 16; ++i) EXPECT_EQ(s->data[i * 4] * 256 + s->data[i * 4 + 2], 0x1030) << i;
}

}  // namespace

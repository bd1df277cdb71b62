// The device and its surfaces on real OpenGL: batching and its flush points, ellipse segments, polygon
// limits, scissor, clear, read-back, premultiplied PNGs, pixel writes, new-window textures, module images.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "graphics_support.h"

namespace {

class Device_Gl : public bbtest::GlFixture {};

TEST_F(Device_Gl, RectanglesBatch256ToADrawCallClsDropsWhatIsPendingAndTheScissorClipsExactly) {
  const int64_t before = device->drawCalls;
  for (int i = 0; i < 257; ++i) {
    device->DrawRect(static_cast<float>(i), 0, 1, 1);
    ASSERT_EQ(device->drawCalls, before + (i == 256)) << "the 257th does not fit: the full batch goes out";
  }
  device->Flush(), device->Flush();  // the second has nothing to send
  EXPECT_EQ(device->drawCalls, before + 2);
  ExpectPixels({{0, 0, 0xFFFFFF}, {255, 0, 0xFFFFFF}, {256, 0, 0xFFFFFF}, {257, 0, 0}});
  device->DrawRect(0, 0, 50, 50), device->Cls(0, 0, 255), device->Flush();
  EXPECT_EQ(device->drawCalls, before + 2);
  device->SetScissor(10, 20, 30, 40), device->DrawRect(0, 0, 640, 480);  // rows count from the top
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
         for (float i = 0; i < 20; ++i) device->SetColor(i * 10, 0, 0), device->SetAlpha(0.5f + i / 100),
                                         device->SetMatrix(1, 0, 0, 1, i, 0), device->DrawRect(0, 50, 2, 2);
       }, 4},
      {[&] { device->SetBlend(1); }, 5},
      {[&] { device->DrawRect(0, 60, 2, 2), device->SetScissor(0, 0, 100, 100); }, 6},
      {[&] { device->DrawPoint(1, 70), device->ReadPixels(Array<int>(1), 0, 0, 1, 1, 0, 1); }, 7},
  };
  for (const auto& step : steps) {
    step.draw();
    EXPECT_EQ(device->drawCalls - before, step.calls);
  }
  device->SetScissor(0, 0, device->Width(), device->Height()), device->SetBlend(0);
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
  device->DrawOval(100, 100, 100, 100), device->DrawOval(300, 100, 100, 100);
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
  for (int n : {8, 10, 10}) device->DrawPoly(Array<float>(n == 8 ? quad : five, n));
  for (int floats : {2050, 1, 0}) device->DrawPoly(Array<float>(floats));  // not drawn
  EXPECT_EQ(device->drawCalls, before + 2);
  EXPECT_EQ(device->batchCount, 10);
  Array<float> circle(2048);  // 1024 vertices are still drawn
  for (int i = 0; i < 2048; ++i) circle[i] = 100 + 50 * (i % 2 ? std::sin(i / 2 / 163.f) : std::cos(i / 2 / 163.f));
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
  device->SetColor(10, 20, 30), device->DrawRect(5, 7, 1, 1);
  Array<int> part(3 + 2 * 10);  // zeros, where no black pixel belongs
  device->ReadPixels(part, 4, 6, 3, 2, 3, 10);
  EXPECT_EQ(std::vector<unsigned>({unsigned(part[2]), unsigned(part[3]), unsigned(part[6]), unsigned(part[14])}),
            std::vector<unsigned>({0, 0xFF000000u, 0, 0xFF0A141Eu}));
  Array<int> small(4);
  device->ReadPixels(small, 0, 0, 3, 2, 0, 3), device->ReadPixels(small, 0, 0, 2, 2, -1, 2);
  device->ReadPixels(small, 0, 0, 2, 100000, 0, 0);
  EXPECT_EQ(small[0] | small[1] | small[2] | small[3], 0);
}

// Surfaces standing alone, each with its own texture: the texture pages are off.
class Surface_Gl : public bbtest::GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    if (device) device->useTexturePages = false;
  }
};

TEST_F(Surface_Gl, OnlyAnOpenedFileForcesASweepAndAnUnsafeLoadIsCompletedLater) {
  gc_force_sweep = false;
  EXPECT_EQ(Load("data/missing.png"), nullptr);
  EXPECT_FALSE(gc_force_sweep);
  gxtkSurface* s = new gxtkSurface;  // the unsafe half makes no texture; completing it does
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/missing.png")), nullptr);
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/rgba_2x2.png")), s);
  EXPECT_TRUE(gc_force_sweep);
  EXPECT_EQ(s->contextSeq, -1);
  EXPECT_EQ(s->OnUnsafeLoadComplete() + s->Loaded(), 2);
  EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
}

TEST_F(Surface_Gl, PixelWritesArePremultipliedClippedUploadedAndIgnoredOutsideTheArray) {
  gxtkSurface* s = device->CreateSurface(16, 4);
  Array<int> src(7 * 2 + 2), rows(32);
  for (int i = 0; i < src.Length(); ++i) src[i] = static_cast<int>(0x80FF8040u);
  src[2] = static_cast<int>(0xFF112233u);
  for (int i = 0; i < 32; ++i) rows[i] = static_cast<int>(0xFF000000u | unsigned(i * 8));
  device->WritePixels2(s, src, 3, 1, 4, 2, 2, 7);  // 4 x 2 at (3, 1), from offset 2 with a pitch of 7
  device->WritePixels2(s, rows, 0, 2, 16, 2, 0, 16);  // the full width of rows 2 and 3
  ASSERT_NE(s->data, nullptr);
  EXPECT_EQ(bbtest::Bytes(s->data + 76, s->data + 84), (bbtest::Bytes{0x11, 0x22, 0x33, 0xFF, 128, 64, 32, 128}));
  device->DrawSurface(s, 50, 50);
  ExpectPixels({{53, 51, 0x112233}, {54, 51, 0x804020}, {65, 53, 0x0000F8}, {52, 52, 0x000010}});
  // Over the edges the rectangle is clipped to the surface and the source moves along with it;
  // rectangles reaching outside the array are ignored.
  device->WritePixels2(s, rows, 14, -1, 4, 4, 0, 4), device->WritePixels2(s, rows, -2, 3, 4, 2, 0, 4);
  device->WritePixels2(s, rows, 100, 100, 4, 4, 0, 4);
  for (int offset : {30, -2}) device->WritePixels2(s, rows, 3, 1, 2, 2, offset, 2);
  device->WritePixels2(s, rows, 0, 0, 16, 4, 0, 16);
  const auto blue = [s](int x, int y) { return s->data[(y * 16 + x) * 4 + 2]; };
  EXPECT_EQ(std::vector<int>({blue(14, 0), blue(15, 2), blue(0, 3), blue(1, 3), blue(2, 3), blue(3, 1), blue(0, 2)}),
            std::vector<int>({32, 104, 16, 24, 144, 0x33, 0}));
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // fewer than four bytes a pixel: ignored
  device->WritePixels2(grey, rows, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ(grey->data[0], 100);
}

TEST_F(Surface_Gl, PngsArrivePremultipliedAndTexturesAreRebuiltForANewWindowAndReleasedWhenDiscarded) {
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // grey 200 at alpha 128
  gxtkSurface* rgba = Load("data/rgba_2x2.png");        // clear white, red; blue at 128, green at 64
  gxtkSurface* idle = Load("data/strip_64x16.png");
  gxtkSurface* written = device->CreateSurface(2, 2);
  ASSERT_TRUE(grey && rgba && idle);
  device->DrawSurface(rgba, 0, 0), device->Flush();
  const int before = glfwGraphicsSeq;
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, true);  // full screen: a new window and context
  EXPECT_EQ(glfwGraphicsSeq, before + 1);
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(255, 255, 255);
  Array<int> green(4);  // written while the texture is stale: kept in memory for the next build
  for (int i = 0; i < 4; ++i) green[i] = static_cast<int>(0xFF00FF00u);
  device->WritePixels2(written, green, 0, 0, 2, 2, 0, 2);
  device->DrawSurface(grey, 10, 10), device->DrawSurface(rgba, 30, 30), device->DrawSurface(written, 40, 30);
  device->DrawSurface(Load("data/font_768x8.png"), 0, 50);  // one grey channel
  // The destination shows through by 1 - alpha.
  ExpectPixels({{11, 11, 0xE3E3E3}, {30, 30, 0xFFFFFF}, {31, 30, 0xFF0000}, {30, 31, 0x7F7FFF}, {41, 31, 0x00FF00},
                {300, 57, 0x808080}});
  EXPECT_EQ(idle->contextSeq, before);  // never drawn again, never rebuilt
  // Discarding a surface whose texture died with the old context leaves the new context alone,
  // even when the old name has been given out again.
  const GLuint live = rgba->texture;
  idle->Discard();
  EXPECT_TRUE(glIsTexture(live));
  EXPECT_EQ(idle->data, nullptr);
  rgba->Discard(), rgba->Discard();
  EXPECT_FALSE(glIsTexture(live));
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
}

TEST_F(Surface_Gl, ImagesDrawThroughTheModuleFromAFreshFrameStateWithHandleRotationScaleAndTint) {
  bb_graphics_SetColor(0, 0, 0), bb_graphics_SetAlpha(0.5f);  // left over from the frame before
  bb_graphics_SetBlend(1), bb_graphics_SetScissor(0, 0, 1, 1);
  bb_graphics_EndRender(), bb_graphics_BeginRender(), bb_graphics_Cls(0, 0, 255);
  c_Image* marker = bb_graphics_LoadImage(String("marker_16x16.png"), 1, c_Image::CentreHandle);
  c_Image* strip = bb_graphics_LoadImage(String("strip_64x16.png"), 4, 0);
  ASSERT_TRUE(marker && strip);  // the module maps names into ./data/ of the working folder
  EXPECT_EQ(bb_graphics_LoadImage(String("no_such_file.png"), 1, 0), nullptr);
  // Quarter turn and double size about the centre: the red corner pixel goes to the lower left
  // and becomes 2 x 2; the whole image covers (284, 184) to (316, 216).
  bb_graphics_DrawImage2(marker, 300, 200, 90, 2, 2, 0);
  bb_graphics_SetColor(255, 255, 128);
  bb_graphics_DrawImage(strip, 400, 300, 3), bb_graphics_DrawImage(strip, 420, 300, 0);
  ExpectPixels({{284, 214, 0xFF0000}, {285, 215, 0xFF0000}, {286, 215, 0x00FF00}, {315, 184, 0x00FF00},
                {283, 200, 0x0000FF}, {300, 216, 0x0000FF}, {405, 305, 0xFFFF80}, {425, 305, 0xFF0000}});
}

}  // namespace

// Images of several files packed into one page, each of one colour, so that a sample landing
// exactly between two texels of an image (which interpolation inside a large page may decide
// either way) cannot change a pixel, while a texel of a neighbour in the page would.
TEST_F(Surface_Gl, PackedImagesOfSeveralFilesDrawInOneCallAsFromTexturesOfTheirOwn) {
  auto solid = [&](int w, int h, unsigned rgb) {
    std::vector<unsigned char> rows;
    for (int i = 0; i < w * h * 4; ++i) {
      if (i % (w * 4) == 0) rows.push_back(0);
      rows.push_back(static_cast<unsigned char>((rgb | 0xFF000000u) >> (i % 4 == 3 ? 24 : 16 - i % 4 * 8)));
    }
    std::string name = "solid" + std::to_string(rgb) + ".png";
    return device->LoadSurface(String::FromUtf8(bbtest::WriteScratch(name, bbtest::Png(w, h, 6, rows))));
  };
  std::vector<gxtkSurface*> images = {solid(7, 5, 0xff0000), solid(16, 16, 0x00ff00), solid(33, 9, 0x0000ff),
                                      solid(3, 40, 0xffff00), solid(64, 64, 0xff00ff)};
  // Each image at 1x and at fractional scales, after a rectangle.
  auto frame = [&](bool pages) {
    device->useTexturePages = pages;
    device->Cls(0, 0, 0);
    for (int i = 0; i < 60; ++i) {
      float x = static_cast<float>(i % 8 * 80), y = static_cast<float>(i / 8 * 40);
      float scale = std::vector<float>{1, 0.6f, 0.9375f, 2.1333f, 3.7f, 1}[i / 10];
      device->SetMatrix(1, 0, 0, 1, 0, 0);
      device->DrawRect(x, y, 9.5f, 7.25f);
      device->SetMatrix(scale, 0, 0, scale, x + 20.5f, y + 0.5f);
      device->DrawSurface2(images[i % 5], 0, 0, 0, 0, images[i % 5]->width, images[i % 5]->height);
    }
    Array<int> pixels(640 * 480);
    device->ReadPixels(pixels, 0, 0, 640, 480, 0, 640);
    return std::vector<int>(pixels.Data(), pixels.Data() + pixels.Length());
  };
  for (gxtkSurface* s : images) ASSERT_EQ(s->page, images[0]->page);
  int64_t before = device->drawCalls;
  std::vector<int> packed = frame(true);
  EXPECT_LE(device->drawCalls - before, 2);  // the first rectangle, before any page was in use, apart
  EXPECT_EQ(packed, frame(false));

  // A pixel write reaches the page, gutter included; a discarded image's place goes to the next
  // image that fits in it.
  Array<int> cyan(16 * 16);
  for (int i = 0; i < cyan.Length(); ++i) cyan[i] = static_cast<int>(0xFF00FFFFu);
  device->WritePixels2(images[1], cyan, 0, 0, 16, 16, 0, 16);
  EXPECT_EQ(frame(true), frame(false));
  int x = images[1]->pageX, y = images[1]->pageY;
  images[1]->Discard();
  images[1] = solid(16, 16, 0x808080);
  EXPECT_EQ(images[1]->pageX * 10000 + images[1]->pageY, x * 10000 + y);
  packed = frame(true);
  EXPECT_EQ(packed, frame(false));

  // Full screen and back: new OpenGL contexts, from which the page is rebuilt.
  for (bool full : {true, false}) {
    bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, full);
    ASSERT_EQ(device->BeginRender(), 1);
    EXPECT_EQ(frame(true), packed);
  }
}

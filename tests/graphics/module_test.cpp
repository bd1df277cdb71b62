// The graphics module over a device that records what reaches it: frame start state, the matrix
// and its lazy hand-over, the matrix stack and its limits, image frame grids and flags, image
// drawing and image loading. No OpenGL is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/graphics/graphics.h"
#include "support.h"

namespace {

struct Call {
  std::string name;
  std::vector<float> args;
  gxtkSurface* surface = nullptr;
};

class RecordingDevice : public gxtkGraphics {
 public:
  int Width() override { return 640; }
  int Height() override { return 480; }
  int SetColor(float r, float g, float b) override { return Log("SetColor", {r, g, b}); }
  int SetAlpha(float a) override { return Log("SetAlpha", {a}); }
  int SetBlend(int mode) override { return Log("SetBlend", {static_cast<float>(mode)}); }
  int SetScissor(int x, int y, int w, int h) override {
    return Log("SetScissor", {static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                              static_cast<float>(h)});
  }
  int SetMatrix(float a, float b, float c, float d, float tx, float ty) override {
    return Log("SetMatrix", {a, b, c, d, tx, ty});
  }
  int Cls(float r, float g, float b) override { return Log("Cls", {r, g, b}); }
  int DrawRect(float x, float y, float w, float h) override { return Log("DrawRect", {x, y, w, h}); }
  int DrawLine(float x1, float y1, float x2, float y2) override {
    return Log("DrawLine", {x1, y1, x2, y2});
  }
  int DrawOval(float x, float y, float w, float h) override { return Log("DrawOval", {x, y, w, h}); }
  int DrawSurface(gxtkSurface* s, float x, float y) override { return Log("DrawSurface", {x, y}, s); }
  int DrawSurface2(gxtkSurface* s, float x, float y, int sx, int sy, int sw, int sh) override {
    return Log("DrawSurface2", {x, y, static_cast<float>(sx), static_cast<float>(sy),
                                static_cast<float>(sw), static_cast<float>(sh)}, s);
  }
  int ReadPixels(Array<int>, int x, int y, int w, int h, int offset, int pitch) override {
    return Log("ReadPixels", {static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                              static_cast<float>(h), static_cast<float>(offset), static_cast<float>(pitch)});
  }

  int Log(const char* name, std::vector<float> args, gxtkSurface* s = nullptr) {
    calls.push_back({name, std::move(args), s});
    return 0;
  }
  int Count(const char* name) const {
    int n = 0;
    for (const Call& c : calls) n += c.name == name;
    return n;
  }
  const Call* Last(const char* name) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->name == name) return &*it;
    }
    return nullptr;
  }

  std::vector<Call> calls;
};

// A surface of the given size with zeroed RGBA pixels and no texture.
gxtkSurface* MakeSurface(int w, int h) {
  gxtkSurface* s = new gxtkSurface;
  s->SetData(static_cast<unsigned char*>(std::calloc(static_cast<size_t>(w) * h, 4)), w, h, 4);
  return s;
}

// Where the context's matrix maps a local point.
void Map(float x, float y, float* ox, float* oy) {
  c_GraphicsContext* g = bb_graphics_context;
  *ox = g->m_a * x + g->m_c * y + g->m_tx;
  *oy = g->m_b * x + g->m_d * y + g->m_ty;
}

class Graphics_Module : public ::testing::Test {
 protected:
  void SetUp() override {
    bbtest::Host();
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    device = new RecordingDevice;
    bb_graphics_SetGraphicsDevice(device);
    bb_graphics_BeginRender();
    device->calls.clear();
  }
  void TearDown() override { bb_graphics_EndRender(); }

  RecordingDevice* device = nullptr;
};

TEST_F(Graphics_Module, BeginRenderResetsStateAndSendsIt) {
  bb_graphics_SetColor(1, 2, 3);
  bb_graphics_SetBlend(1);
  bb_graphics_Translate(5, 5);
  bb_graphics_PushMatrix();
  bb_graphics_EndRender();
  device->calls.clear();

  bb_graphics_BeginRender();
  EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
  EXPECT_EQ(bb_graphics_context->m_tx, 0);
  EXPECT_EQ(device->Last("SetColor")->args, (std::vector<float>{255, 255, 255}));
  EXPECT_EQ(device->Last("SetAlpha")->args, (std::vector<float>{1}));
  EXPECT_EQ(device->Last("SetBlend")->args, (std::vector<float>{0}));
  EXPECT_EQ(device->Last("SetScissor")->args, (std::vector<float>{0, 0, 640, 480}));
}

TEST_F(Graphics_Module, MatrixReachesTheDeviceOnlyWhenSomethingIsDrawn) {
  bb_graphics_DrawRect(0, 0, 1, 1);  // the frame's identity goes out once
  EXPECT_EQ(device->Count("SetMatrix"), 1);
  bb_graphics_DrawRect(0, 0, 1, 1);
  bb_graphics_DrawLine(0, 0, 1, 1);
  EXPECT_EQ(device->Count("SetMatrix"), 1);

  bb_graphics_Translate(3, 4);
  bb_graphics_Scale(2, 2);
  bb_graphics_Rotate(30);
  EXPECT_EQ(device->Count("SetMatrix"), 1);
  bb_graphics_DrawEllipse(10, 20, 5, 6);
  EXPECT_EQ(device->Count("SetMatrix"), 2);
  const Call* oval = device->Last("DrawOval");
  EXPECT_EQ(oval->args, (std::vector<float>{5, 14, 10, 12}));
  const Call* m = device->Last("SetMatrix");
  EXPECT_FLOAT_EQ(m->args[4], 3);
  EXPECT_FLOAT_EQ(m->args[5], 4);

  // Cls and ReadPixels neither need nor send the matrix.
  bb_graphics_Translate(1, 1);
  bb_graphics_Cls(0, 0, 0);
  bb_graphics_ReadPixels(Array<int>(400), 1, 2, 20, 10, 0, 0);
  EXPECT_EQ(device->Count("SetMatrix"), 2);
  EXPECT_EQ(device->Last("ReadPixels")->args, (std::vector<float>{1, 2, 20, 10, 0, 20}));
  bb_graphics_ReadPixels(Array<int>(400), 0, 0, 5, 5, 3, 7);
  EXPECT_EQ(device->Last("ReadPixels")->args[5], 7);
}

// How Translate, Scale and Rotate compose is checked on screen in device_gl_test.cpp.
TEST_F(Graphics_Module, MatrixArraysAndTheIdentity) {
  float x, y;
  // The arrays take elements 0 to 5; a short array changes nothing.
  float m[6] = {1, 0, 0, 1, 7, 8};
  bb_graphics_SetMatrix2(Array<float>(m, 6));
  bb_graphics_Transform2(Array<float>(m, 6));
  Map(0, 0, &x, &y);
  EXPECT_FLOAT_EQ(x, 14);
  EXPECT_FLOAT_EQ(y, 16);
  bb_graphics_Transform2(Array<float>(m, 5));
  Map(0, 0, &x, &y);
  EXPECT_FLOAT_EQ(x, 14);

  // Setting the identity after a change still counts as a change for the device.
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  EXPECT_EQ(bb_graphics_context->m_transformed, 0);
  EXPECT_EQ(bb_graphics_context->m_matrixDirty, 1);
  bb_graphics_SetMatrix(1, 0, 0, 1, std::nanf(""), 0);
  EXPECT_EQ(bb_graphics_context->m_transformed, 1);
}

TEST_F(Graphics_Module, MatrixStackSavesAndRestoresThirtyTwoLevels) {
  for (int level = 0; level < 32; ++level) {
    bb_graphics_SetMatrix(1, 0, 0, 1, static_cast<float>(level), 0);
    bb_graphics_PushMatrix();
  }
  EXPECT_EQ(bb_graphics_context->m_matrixSp, 192);
  for (int level = 31; level >= 0; --level) {
    bb_graphics_SetMatrix(5, 5, 5, 5, 5, 5);
    bb_graphics_PopMatrix();
    EXPECT_EQ(bb_graphics_context->m_tx, static_cast<float>(level));
    EXPECT_EQ(bb_graphics_context->m_a, 1);
    EXPECT_EQ(bb_graphics_context->m_transformed, level ? 1 : 0);
    EXPECT_EQ(bb_graphics_context->m_matrixDirty, 1);
  }
  EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
}

TEST_F(Graphics_Module, MatrixStackOverflowAndUnderflowAreRuntimeErrors) {
  BB_EXPECT_RUNTIME_ERROR(
      {
        for (int i = 0; i < 33; ++i) bb_graphics_PushMatrix();
      },
      "Matrix stack overflow");
  BB_EXPECT_RUNTIME_ERROR(bb_graphics_PopMatrix(), "Matrix stack underflow");
  BB_EXPECT_RUNTIME_ERROR(
      {
        bb_graphics_PushMatrix();
        bb_graphics_PopMatrix();
        bb_graphics_PopMatrix();
      },
      "Matrix stack underflow");
}

TEST_F(Graphics_Module, StripImagesCutTheSurfaceIntoFrames) {
  gxtkSurface* s = MakeSurface(64, 16);
  c_Image* img = (new c_Image)->m_new()->p_Init(s, 4, 0);
  EXPECT_EQ(img->m_width, 16);
  EXPECT_EQ(img->m_height, 16);
  ASSERT_EQ(img->m_frames.Length(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(img->m_frames[i]->m_x, 16 * i);
    EXPECT_EQ(img->m_frames[i]->m_y, 0);
  }
  EXPECT_EQ(img->m_flags & c_Image::WholeSurface, 0);

  c_Image* whole = (new c_Image)->m_new()->p_Init(s, 1, 0);
  EXPECT_EQ(whole->m_flags, c_Image::WholeSurface);

  // A font strip of 96 cells of 8 pixels with PadX: 6-pixel frames from x = 1, 9, 17 ...
  gxtkSurface* font = MakeSurface(768, 8);
  c_Image* f = (new c_Image)->m_new()->p_Init(font, 96, c_Image::PadX);
  EXPECT_EQ(f->m_width, 6);
  EXPECT_EQ(f->m_height, 8);
  EXPECT_EQ(f->m_frames[1]->m_x, 9);
  EXPECT_EQ(f->m_frames[95]->m_x, 761);
  EXPECT_EQ(f->m_flags, c_Image::PadX);

  // A padded single frame no longer covers the surface.
  c_Image* padded = (new c_Image)->m_new()->p_Init(s, 1, c_Image::PadY);
  EXPECT_EQ(padded->m_frames[0]->m_y, 1);
  EXPECT_EQ(padded->m_height, 14);
  EXPECT_EQ(padded->m_flags & c_Image::WholeSurface, 0);
}

TEST_F(Graphics_Module, CentreHandleUsesThePaddedSizeAndClearsItsBit) {
  gxtkSurface* s = MakeSurface(32, 32);
  c_Image* img = (new c_Image)->m_new()->p_Init(s, 1, c_Image::CentreHandle);
  EXPECT_EQ(img->m_handleX, 16);
  EXPECT_EQ(img->m_handleY, 16);
  EXPECT_EQ(img->m_flags & c_Image::CentreHandle, 0);
  EXPECT_NE(img->m_flags & c_Image::WholeSurface, 0);

  c_Image* padded = (new c_Image)->m_new()->p_Init(
      s, 1, c_Image::CentreHandle | c_Image::PadX | c_Image::PadY);
  EXPECT_EQ(padded->m_handleX, 15);
  EXPECT_EQ(padded->m_handleY, 15);
  EXPECT_EQ(padded->m_flags, c_Image::PadX | c_Image::PadY);
}

TEST_F(Graphics_Module, GridImagesRunInRowsAndMustFit) {
  gxtkSurface* s = MakeSurface(64, 64);
  c_Image* img = (new c_Image)->m_new()->p_Init2(s, 0, 0, 16, 16, 16, 0, nullptr, 0, 0, 64, 64);
  ASSERT_EQ(img->m_frames.Length(), 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(img->m_frames[i]->m_x, (i % 4) * 16) << i;
    EXPECT_EQ(img->m_frames[i]->m_y, (i / 4) * 16) << i;
  }
  // A start inside the source wraps to x = 0 of the next row, and the source offset is added.
  c_Image* off = (new c_Image)->m_new()->p_Init2(s, 32, 0, 16, 16, 3, 0, nullptr, 8, 4, 48, 32);
  EXPECT_EQ(off->m_frames[0]->m_x, 40);
  EXPECT_EQ(off->m_frames[0]->m_y, 4);
  EXPECT_EQ(off->m_frames[1]->m_x, 8);
  EXPECT_EQ(off->m_frames[1]->m_y, 20);
  EXPECT_EQ(off->m_frames[2]->m_x, 24);

  BB_EXPECT_RUNTIME_ERROR(
      (new c_Image)->m_new()->p_Init2(s, 0, 0, 16, 16, 17, 0, nullptr, 0, 0, 64, 64),
      "Image frame outside surface");
  BB_EXPECT_RUNTIME_ERROR(
      (new c_Image)->m_new()->p_Init2(s, 0, 0, 80, 16, 1, 0, nullptr, 0, 0, 64, 64),
      "Image frame outside surface");
  BB_EXPECT_RUNTIME_ERROR((new c_Image)->m_new()->p_Init(s, 0, 0),
                          "Image frame count must be at least 1");
}

TEST_F(Graphics_Module, DrawImageOffsetsByTheHandleAndPicksTheFrame) {
  gxtkSurface* s = MakeSurface(64, 16);
  c_Image* strip = (new c_Image)->m_new()->p_Init(s, 4, 0);
  strip->p_SetHandle(8, 8);
  bb_graphics_DrawImage(strip, 100, 50, 2);
  const Call* c = device->Last("DrawSurface2");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->args, (std::vector<float>{92, 42, 32, 0, 16, 16}));
  EXPECT_EQ(c->surface, s);
  EXPECT_EQ(device->Count("SetMatrix"), 1);

  c_Image* whole = (new c_Image)->m_new()->p_Init(s, 1, 0);
  bb_graphics_DrawImage(whole, 3, 4, 0);
  EXPECT_EQ(device->Last("DrawSurface")->args, (std::vector<float>{3, 4}));
  EXPECT_EQ(device->Count("DrawSurface2"), 1);

  // Frames that do not exist, and missing images, draw nothing.
  bb_graphics_DrawImage(strip, 0, 0, 4);
  bb_graphics_DrawImage(strip, 0, 0, -1);
  bb_graphics_DrawImage(nullptr, 0, 0, 0);
  bb_graphics_DrawImage2(strip, 0, 0, 0, 1, 1, 9);
  EXPECT_EQ(device->Count("DrawSurface2"), 1);
  EXPECT_EQ(device->Count("DrawSurface"), 1);
}

TEST_F(Graphics_Module, DrawImage2DrawsAboutTheHandleAndRestoresTheMatrix) {
  gxtkSurface* s = MakeSurface(64, 16);
  c_Image* strip = (new c_Image)->m_new()->p_Init(s, 4, 0);
  strip->p_SetHandle(8, 8);
  bb_graphics_Translate(1000, 0);
  bb_graphics_DrawImage2(strip, 100, 50, 0, 1, 1, 1);
  const Call* c = device->Last("DrawSurface2");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->args, (std::vector<float>{0, 0, 16, 0, 16, 16}));
  const Call* m = device->Last("SetMatrix");
  EXPECT_EQ(m->args, (std::vector<float>{1, 0, 0, 1, 1092, 42}));
  EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
  EXPECT_EQ(bb_graphics_context->m_tx, 1000);
  EXPECT_EQ(bb_graphics_context->m_matrixDirty, 1);

  // Rotation and scale about the handle are checked on screen in surface_gl_test.cpp.
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  c_Image* whole = (new c_Image)->m_new()->p_Init(s, 1, c_Image::CentreHandle);
  bb_graphics_DrawImage2(whole, 0, 0, 0, 1, 1, 0);
  EXPECT_EQ(device->Last("DrawSurface")->args, (std::vector<float>{0, 0}));
  EXPECT_EQ(device->Last("SetMatrix")->args, (std::vector<float>{1, 0, 0, 1, -32, -8}));
}

TEST_F(Graphics_Module, LoadImageCutsLoadedFilesAndReturnsNullForMissingOnes) {
  c_Image* strip = bb_graphics_LoadImage(String("strip_64x16.png"), 4, 0);
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->m_surface->Width(), 64);
  EXPECT_EQ(strip->m_surface->depth, 3);
  EXPECT_EQ(strip->m_frames[3]->m_x, 48);
  EXPECT_EQ(strip->m_flags & c_Image::WholeSurface, 0);

  c_Image* grid = bb_graphics_LoadImage2(String("grid_64x64.png"), 16, 16, 16);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->m_frames[5]->m_x, 16);
  EXPECT_EQ(grid->m_frames[5]->m_y, 16);
  EXPECT_EQ(grid->m_source, nullptr);

  EXPECT_EQ(bb_graphics_LoadImage(String("no_such_file.png"), 1, 0), nullptr);
  EXPECT_EQ(bb_graphics_LoadImage2(String("no_such_file.png"), 8, 8, 1, 0), nullptr);

  c_Image::m_DefaultFlags = c_Image::CentreHandle;
  c_Image* centred = bb_graphics_LoadImage(String("marker_16x16.png"), 1);
  c_Image::m_DefaultFlags = 0;
  ASSERT_NE(centred, nullptr);
  EXPECT_EQ(centred->m_handleX, 8);
  EXPECT_EQ(centred->m_flags, c_Image::WholeSurface);
}

TEST_F(Graphics_Module, SetFontFallsBackToTheBuiltInFontQuietly) {
  // The working folder of this test has no data/default_font.png.
  bb_graphics_SetFont(nullptr, 0);
  EXPECT_EQ(bb_graphics_context->m_font, nullptr);
  EXPECT_EQ(bb_graphics_context->m_defaultFont, nullptr);
  EXPECT_EQ(bb_graphics_context->m_firstChar, 32);

  // With the built-in font present it is loaded once as 96 padded frames and then reused.
  c_Image* builtIn = (new c_Image)->m_new()->p_Init(MakeSurface(768, 8), 96, c_Image::PadX);
  gc_assign(bb_graphics_context->m_defaultFont, builtIn);
  bb_graphics_SetFont(nullptr, 0);
  EXPECT_EQ(bb_graphics_context->m_font, builtIn);
  EXPECT_EQ(bb_graphics_context->m_firstChar, 32);
}

}  // namespace

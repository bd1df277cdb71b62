// The graphics module over a device that logs what reaches it: the matrix and when it is handed
// over, the matrix stack, image frames and flags, image drawing and the font. No OpenGL is needed;
// how the matrix places pixels is checked in gl_test.cpp.
#include <gtest/gtest.h>

#include <sstream>

#include "graphics_support.h"

namespace {

using Log = std::vector<std::string>;

// Logs drawing and the matrix (the frame state the module sends is checked on screen).
class LoggingDevice : public gxtkGraphics {
 public:
  int Width() override { return 640; }
  int Height() override { return 480; }
  int SetColor(float, float, float) override { return 0; }
  int SetAlpha(float) override { return 0; }
  int SetBlend(int) override { return 0; }
  int SetScissor(int, int, int, int) override { return 0; }
  int SetMatrix(float a, float b, float c, float d, float x, float y) override {
    return Note("SetMatrix", a, b, c, d, x, y);
  }
  int Cls(float r, float g, float b) override { return Note("Cls", r, g, b); }
  int DrawRect(float x, float y, float w, float h) override { return Note("DrawRect", x, y, w, h); }
  int DrawLine(float x1, float y1, float x2, float y2) override { return Note("DrawLine", x1, y1, x2, y2); }
  int DrawOval(float x, float y, float w, float h) override { return Note("DrawOval", x, y, w, h); }
  int DrawSurface(gxtkSurface*, float x, float y) override { return Note("DrawSurface", x, y); }
  int DrawSurface2(gxtkSurface*, float x, float y, int sx, int sy, int sw, int sh) override {
    return Note("DrawSurface2", x, y, sx, sy, sw, sh);
  }
  int ReadPixels(Array<int>, int x, int y, int w, int h, int offset, int pitch) override {
    return Note("ReadPixels", x, y, w, h, offset, pitch);
  }

  template <class... T>
  int Note(const char* name, T... args) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << args), ...);
    log.push_back(line.str());
    return 0;
  }
  Log log;
};

// An image cut from a surface of that size without pixels: frames are cut by its size alone.
c_Image* Image(int w, int h, int frames, int flags) {
  gxtkSurface* s = new gxtkSurface;
  s->width = w, s->height = h;
  return (new c_Image)->m_new()->p_Init(s, frames, flags);
}

// An image's frame size, handle, flags left set (Whole surface, Centre handle, padding in X or Y)
// and frame origins.
std::string Frames(c_Image* img) {
  std::ostringstream s;
  s << img->m_width << "x" << img->m_height << " handle " << img->m_handleX << "," << img->m_handleY << " "
    << (img->m_flags & c_Image::WholeSurface ? "W" : "") << (img->m_flags & c_Image::CentreHandle ? "C" : "")
    << (img->m_flags & c_Image::PadX ? "X" : "") << (img->m_flags & c_Image::PadY ? "Y" : "") << ":";
  for (int i = 0; i < img->m_frames.Length(); ++i) s << " " << img->m_frames[i]->m_x << "," << img->m_frames[i]->m_y;
  return s.str();
}

class Graphics_Module : public ::testing::Test {
 protected:
  void SetUp() override {
    bbtest::Host();
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    bb_graphics_SetGraphicsDevice(device);
    bb_graphics_BeginRender();
    bb_graphics_Translate(5, 5);  // left over from the frame before
    bb_graphics_PushMatrix();
    bb_graphics_EndRender();
    bb_graphics_BeginRender();
    device->log.clear();
  }
  void TearDown() override { bb_graphics_EndRender(); }

  LoggingDevice* device = new LoggingDevice;
};

TEST_F(Graphics_Module, TheMatrixIsSentOnlyWhenSomethingIsDrawnAndArraysNeedSixElements) {
  bb_graphics_DrawRect(0, 0, 1, 1);
  bb_graphics_DrawLine(0, 0, 1, 1);
  bb_graphics_Translate(3, 4);
  bb_graphics_Scale(2, 2);
  bb_graphics_DrawEllipse(10, 20, 5, 6);
  bb_graphics_Translate(1, 1);  // Cls and ReadPixels neither need nor send it
  bb_graphics_Cls(0, 0, 0);
  bb_graphics_ReadPixels(Array<int>(400), 1, 2, 20, 10, 0, 0);  // a pitch of 0 is the width
  bb_graphics_ReadPixels(Array<int>(400), 0, 0, 5, 5, 3, 7);
  const float m[6] = {1, 2, 3, 4, 5, 6};  // arrays need six elements
  for (int n : {6, 5}) bb_graphics_SetMatrix2(Array<float>(m, n)), bb_graphics_Transform2(Array<float>(m, n));
  bb_graphics_DrawRect(0, 0, 1, 1);
  bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);  // the identity again is a change too
  bb_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_EQ(device->log, (Log{"SetMatrix 1 0 0 1 0 0", "DrawRect 0 0 1 1", "DrawLine 0 0 1 1",
                              "SetMatrix 2 0 0 2 3 4", "DrawOval 5 14 10 12", "Cls 0 0 0", "ReadPixels 1 2 20 10 0 20",
                              "ReadPixels 0 0 5 5 3 7", "SetMatrix 7 10 15 22 28 40", "DrawRect 0 0 1 1",
                              "SetMatrix 1 0 0 1 0 0", "DrawRect 0 0 1 1"}));
}

TEST_F(Graphics_Module, TheMatrixStackKeepsThirtyTwoLevelsAndOverflowAndUnderflowAreRuntimeErrors) {
  const auto set = [](float l) { bb_graphics_SetMatrix(l, l + 1, l + 2, l + 3, l + 4, l + 5); };
  for (int level = 0; level < 32; ++level) set(float(level)), bb_graphics_PushMatrix();
  for (int level = 31; level >= 0; --level) {
    set(99);
    bb_graphics_PopMatrix();
    bb_graphics_DrawRect(0, 0, 1, 1);
    std::string want = "SetMatrix";
    for (int i = 0; i < 6; ++i) want += " " + std::to_string(level + i);
    EXPECT_EQ(device->log.end()[-2], want);
  }
  BB_EXPECT_RUNTIME_ERROR(for (int i = 0; i < 33; ++i) bb_graphics_PushMatrix(), "Matrix stack overflow");
  BB_EXPECT_RUNTIME_ERROR(bb_graphics_PopMatrix(), "Matrix stack underflow");
}

TEST_F(Graphics_Module, ImagesCutTheirSurfaceIntoFramesInRowsAndApplyTheirFlags) {
  c_Image* grid = Image(64, 64, 1, 0);
  grid->p_Init2(grid->m_surface, 32, 0, 16, 16, 3, 0, nullptr, 8, 4, 48, 32);  // wraps to its next row
  EXPECT_EQ(Frames(grid), "16x16 handle 0,0 : 40,4 8,20 24,20");              // with the source offset added
  EXPECT_EQ(Frames(Image(64, 16, 4, 0)), "16x16 handle 0,0 : 0,0 16,0 32,0 48,0");
  EXPECT_EQ(Frames(Image(24, 8, 3, c_Image::PadX)), "6x8 handle 0,0 X: 1,0 9,0 17,0");
  EXPECT_EQ(Frames(Image(64, 16, 1, c_Image::PadY)), "64x14 handle 0,0 Y: 0,1");
  EXPECT_EQ(Frames(Image(32, 32, 1, c_Image::CentreHandle)), "32x32 handle 16,16 W: 0,0");
  EXPECT_EQ(Frames(Image(32, 32, 1, c_Image::CentreHandle | c_Image::PadX | c_Image::PadY)), "30x30 handle 15,15 XY: 1,1");
  gxtkSurface* s = grid->m_surface;
  BB_EXPECT_RUNTIME_ERROR(grid->p_Init2(s, 0, 0, 16, 16, 17, 0, nullptr, 0, 0, 64, 64), "Image frame outside surface");
  BB_EXPECT_RUNTIME_ERROR(grid->p_Init2(s, 0, 0, 80, 16, 1, 0, nullptr, 0, 0, 64, 64), "Image frame outside surface");
  BB_EXPECT_RUNTIME_ERROR(Image(64, 64, 0, 0), "Image frame count must be at least 1");
}

TEST_F(Graphics_Module, ImagesAreDrawnAboutTheirHandleFramesThatDoNotExistNotAtAllAndTheFontFallsBack) {
  c_Image* strip = Image(64, 16, 4, 0);
  c_Image* whole = Image(64, 16, 1, c_Image::CentreHandle);
  strip->p_SetHandle(8, 8);
  bb_graphics_DrawImage(strip, 100, 50, 2);
  bb_graphics_DrawImage(whole, 3, 4, 0);
  for (int frame : {4, -1}) bb_graphics_DrawImage(strip, 0, 0, frame);
  bb_graphics_DrawImage(nullptr, 0, 0, 0);
  bb_graphics_DrawImage2(strip, 0, 0, 0, 1, 1, 9);
  bb_graphics_Translate(1000, 0);
  bb_graphics_DrawImage2(strip, 100, 50, 0, 1, 1, 1);
  bb_graphics_DrawImage2(whole, 0, 0, 0, 1, 1, 0);
  bb_graphics_DrawRect(0, 0, 1, 1);  // under the matrix from before the DrawImage2 calls
  EXPECT_EQ(device->log, (Log{"SetMatrix 1 0 0 1 0 0", "DrawSurface2 92 42 32 0 16 16", "DrawSurface -29 -4",
                              "SetMatrix 1 0 0 1 1092 42", "DrawSurface2 0 0 16 0 16 16", "SetMatrix 1 0 0 1 968 -8",
                              "DrawSurface 0 0", "SetMatrix 1 0 0 1 1000 0", "DrawRect 0 0 1 1"}));
  bb_graphics_SetFont(nullptr, 7);  // this working folder has no data/default_font.png: no font, no complaint
  EXPECT_EQ(bb_graphics_context->m_font, nullptr);
  EXPECT_EQ(bb_graphics_context->m_firstChar, 32);
  gc_assign(bb_graphics_context->m_defaultFont, strip);
  bb_graphics_SetFont(nullptr, 7);
  EXPECT_EQ(bb_graphics_context->m_font, strip);
}

}  // namespace

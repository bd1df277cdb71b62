// Surfaces on real OpenGL: premultiplied PNGs from an independent encoder, pixel writes and their
// uploads, textures rebuilt after the window is re-opened, images drawn through the module, and the
// release of textures and pixels.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "graphics_support.h"

namespace {

using bbtest::Bytes;

class Surface_Gl : public bbtest::GlFixture {
 protected:
  gxtkSurface* Load(const char* file) { return device->LoadSurface(String(file)); }
};

TEST_F(Surface_Gl, OnlyAnOpenedFileForcesASweepAndAnUnsafeLoadIsCompletedLater) {
  gc_force_sweep = false;
  EXPECT_EQ(Load("data/missing.png"), nullptr);
  EXPECT_FALSE(gc_force_sweep);
  EXPECT_EQ(Load(bbtest::WriteScratch("text.png", {'n', 'o', 't', ' ', 'P', 'N', 'G'}).c_str()), nullptr);
  EXPECT_TRUE(gc_force_sweep);
  gxtkSurface* s = new gxtkSurface;  // the unsafe half makes no texture; completing it does
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/missing.png")), nullptr);
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/rgba_2x2.png")), s);
  EXPECT_EQ(s->contextSeq, -1);
  EXPECT_EQ(s->OnUnsafeLoadComplete() + s->Loaded(), 2);
  EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
}

TEST_F(Surface_Gl, PixelWritesArePremultipliedClippedUploadedAndIgnoredOutsideTheArray) {
  gxtkSurface* s = device->CreateSurface(16, 4);
  EXPECT_EQ(s->data, nullptr);  // no pixels in memory until some are written
  Array<int> src(7 * 2 + 2), rows(32);
  for (int i = 0; i < src.Length(); ++i) src[i] = static_cast<int>(0x80FF8040u);
  src[2] = static_cast<int>(0xFF112233u);
  for (int i = 0; i < 32; ++i) rows[i] = static_cast<int>(0xFF000000u | unsigned(i * 8));
  device->WritePixels2(s, src, 3, 1, 4, 2, 2, 7);  // 4 x 2 at (3, 1), from offset 2 with a pitch of 7
  device->WritePixels2(s, rows, 0, 2, 16, 2, 0, 16);  // the full width of rows 2 and 3
  ASSERT_NE(s->data, nullptr);
  EXPECT_EQ(Bytes(s->data + 76, s->data + 84), (Bytes{0x11, 0x22, 0x33, 0xFF, 128, 64, 32, 128}));
  device->DrawSurface(s, 50, 50);
  ExpectPixels({{53, 51, 0x112233}, {54, 51, 0x804020}, {65, 53, 0x0000F8}, {52, 52, 0x000010}});
  // Over the edges the rectangle is clipped to the surface and the source moves along with it;
  // rectangles reaching outside the array are ignored.
  device->WritePixels2(s, rows, 14, -1, 4, 4, 0, 4);
  device->WritePixels2(s, rows, -2, 3, 4, 1, 0, 4);
  device->WritePixels2(s, rows, 100, 100, 4, 4, 0, 4);
  for (int offset : {30, -2}) device->WritePixels2(s, rows, 3, 1, 2, 2, offset, 2);
  device->WritePixels2(s, rows, 0, 0, 16, 4, 0, 16);
  const auto blue = [s](int x, int y) { return s->data[(y * 16 + x) * 4 + 2]; };
  EXPECT_EQ(std::vector<int>({blue(14, 0), blue(15, 2), blue(0, 3), blue(1, 3), blue(2, 3), blue(3, 1)}),
            std::vector<int>({32, 104, 16, 24, 144, 0x33}));
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // fewer than four bytes a pixel: ignored
  device->WritePixels2(grey, rows, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ(grey->data[0], 100);
}

TEST_F(Surface_Gl, PngsArrivePremultipliedAndTexturesAreRebuiltFromTheirPixelsAfterTheWindowIsReopened) {
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // grey 200 at alpha 128
  gxtkSurface* rgba = Load("data/rgba_2x2.png");        // clear white, red; blue at 128, green at 64
  gxtkSurface* idle = Load("data/strip_64x16.png");
  gxtkSurface* written = device->CreateSurface(2, 2);
  ASSERT_TRUE(grey && rgba && idle);
  device->DrawSurface(rgba, 0, 0);
  device->Flush();
  const int before = glfwGraphicsSeq;
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, true);  // full screen: a new window and context
  EXPECT_EQ(glfwGraphicsSeq, before + 1);
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(255, 255, 255);
  Array<int> green(4);  // written while the texture is stale: kept in memory for the next build
  for (int i = 0; i < 4; ++i) green[i] = static_cast<int>(0xFF00FF00u);
  device->WritePixels2(written, green, 0, 0, 2, 2, 0, 2);
  device->DrawSurface(grey, 10, 10);
  device->DrawSurface(rgba, 30, 30);
  device->DrawSurface(written, 40, 30);
  // The destination shows through by 1 - alpha.
  ExpectPixels({{11, 11, 0xE3E3E3}, {30, 30, 0xFFFFFF}, {31, 30, 0xFF0000}, {30, 31, 0x7F7FFF}, {41, 31, 0x00FF00}});
  EXPECT_EQ(idle->contextSeq, before);  // never drawn again, never rebuilt
  // Discarding a surface whose texture died with the old context leaves the new context alone,
  // even when the old name has been given out again.
  const GLuint live = rgba->texture;
  idle->Discard();
  EXPECT_TRUE(glIsTexture(live));
  EXPECT_EQ(idle->data, nullptr);
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  ASSERT_EQ(device->BeginRender(), 1);
  EXPECT_EQ(std::vector<int>({device->Width(), device->Height()}), std::vector<int>({640, 480}));
}

TEST_F(Surface_Gl, ImagesDrawThroughTheModuleFromAFreshFrameStateWithHandleRotationScaleAndTint) {
  bb_graphics_SetColor(0, 0, 0);  // left over from the frame before, as are the alpha, blend and scissor
  bb_graphics_SetAlpha(0.5f);
  bb_graphics_SetBlend(1);
  bb_graphics_SetScissor(0, 0, 1, 1);
  bb_graphics_EndRender();
  bb_graphics_BeginRender();
  c_Image* marker = bb_graphics_LoadImage(String("marker_16x16.png"), 1, c_Image::CentreHandle);
  c_Image* strip = bb_graphics_LoadImage(String("strip_64x16.png"), 4, 0);
  ASSERT_TRUE(marker && strip);  // the module maps names into ./data/ of the working folder
  EXPECT_EQ(bb_graphics_LoadImage(String("no_such_file.png"), 1, 0), nullptr);
  bb_graphics_DrawImage2(marker, 100, 50, 0, 1, 1, 0);
  // Quarter turn and double size about the centre: the red corner pixel goes to the lower left
  // and becomes 2 x 2; the whole image covers (284, 184) to (316, 216).
  bb_graphics_DrawImage2(marker, 300, 200, 90, 2, 2, 0);
  bb_graphics_SetColor(255, 255, 128);
  bb_graphics_DrawImage(strip, 400, 300, 3);
  bb_graphics_DrawImage(strip, 420, 300, 0);
  ExpectPixels({{92, 42, 0xFF0000}, {93, 42, 0x00FF00}, {107, 57, 0x00FF00}, {108, 57, 0}, {91, 42, 0}, {92, 41, 0},
                {284, 214, 0xFF0000}, {285, 215, 0xFF0000}, {286, 215, 0x00FF00}, {315, 184, 0x00FF00},
                {283, 200, 0}, {300, 216, 0}, {405, 305, 0xFFFF80}, {425, 305, 0xFF0000}});
}

TEST_F(Surface_Gl, DiscardAndCollectionReleaseTexturesAndPixels) {
  gxtkSurface* s = Load("data/rgba_2x2.png");
  ASSERT_NE(s, nullptr);
  const GLuint name = s->texture;
  s->Discard();
  s->Discard();
  EXPECT_FALSE(glIsTexture(name));
  // A surface nothing refers to is destroyed by the collector, texture and all, once no pending
  // batch holds it.
  gc_clear_roots();
  gc_add_root([] { gc_mark_q(bb_graphics_device); });
  gc_add_root([] { gc_mark_q(bb_graphics_context); });
  gxtkSurface* garbage = Load("data/rgba_2x2.png");
  const GLuint dead = garbage->texture;
  device->DrawSurface(garbage, 0, 0);
  gc_collect_all();
  gc_flush_free(0x7fffffff);
  EXPECT_TRUE(glIsTexture(dead));
  device->Flush();
  device->DrawRect(0, 0, 1, 1);
  gc_collect_all();
  gc_collect_all();
  gc_flush_free(0x7fffffff);
  EXPECT_FALSE(glIsTexture(dead));
  gc_clear_roots();
}

}  // namespace

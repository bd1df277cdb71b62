// Surfaces on real OpenGL: premultiplied PNGs from an independent encoder, texture sizes and the
// power-of-two retry, pixel writes and their uploads, textures rebuilt after the window is
// re-opened, images drawn through the module, and the release of textures and pixels.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "graphics_support.h"

namespace {

using bbtest::Bytes;

class Surface_Gl : public bbtest::GlFixture {
 protected:
  gxtkSurface* Load(const char* file) { return device->LoadSurface(String(file)); }
};

TEST_F(Surface_Gl, PngsFromAnIndependentEncoderArrivePremultiplied) {
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // grey 200 at alpha 128
  gxtkSurface* rgba = Load("data/rgba_2x2.png");        // clear white, red; blue at 128, green at 64
  gxtkSurface* strip = Load("data/strip_64x16.png");    // opaque red, green, blue, white
  ASSERT_TRUE(grey && rgba && strip);
  EXPECT_EQ(grey->contextSeq, glfwGraphicsSeq);
  // Over black the colour is the stored one; over white the destination shows through by 1 - alpha.
  device->DrawSurface(grey, 10, 10);
  device->DrawSurface(rgba, 20, 10);
  ExpectPixels({{11, 11, 0x646464}, {20, 10, 0}, {21, 10, 0xFF0000}, {20, 11, 0x000080}, {21, 11, 0x023207}});
  device->Cls(255, 255, 255);
  device->DrawSurface(grey, 10, 10);
  device->DrawSurface(rgba, 20, 10);
  device->DrawSurface2(strip, 100, 100, 32, 0, 16, 16);  // its blue frame alone
  ExpectPixels({{11, 11, 0xE3E3E3}, {20, 10, 0xFFFFFF}, {21, 10, 0xFF0000}, {20, 11, 0x7F7FFF},
                {100, 100, 0x0000FF}, {115, 115, 0x0000FF}, {116, 100, 0xFFFFFF}});
}

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

TEST_F(Surface_Gl, TexturesTakeAnySizeTheDriverTakesAndRetryAtPowersOfTwo) {
  gxtkSurface* s = device->CreateSurface(100, 60);
  EXPECT_FLOAT_EQ(s->uScale, 0.01f);
  EXPECT_FLOAT_EQ(s->vScale, 1.0f / 60);
  GLint max = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  gxtkSurface* wide = device->CreateSurface(max + 1, 3);
  EXPECT_FLOAT_EQ(wide->uScale, 1.0f / static_cast<float>(bbPowerOfTwoAtLeast(max + 1)));
  EXPECT_FLOAT_EQ(wide->vScale, 0.25f);
  glBindTexture(GL_TEXTURE_2D, 0);  // an error left over from elsewhere does not trigger the retry
  glEnable(0xFFFF);
  EXPECT_FLOAT_EQ(device->CreateSurface(100, 60)->uScale, 0.01f);
  glGetError();
}

TEST_F(Surface_Gl, PixelWritesArePremultipliedClippedUploadedAndIgnoredOutsideTheArray) {
  gxtkSurface* s = device->CreateSurface(16, 4);
  EXPECT_EQ(s->data, nullptr);  // no pixels in memory until some are written
  Array<int> src(7 * 2 + 2);
  for (int i = 0; i < src.Length(); ++i) src[i] = static_cast<int>(0x80FF8040u);
  src[2] = static_cast<int>(0xFF112233u);
  device->WritePixels2(s, src, 3, 1, 4, 2, 2, 7);  // 4 x 2 at (3, 1), from offset 2 with a pitch of 7
  ASSERT_NE(s->data, nullptr);
  const unsigned char* row1 = s->data + (1 * 16 + 3) * 4;
  EXPECT_EQ(Bytes(row1, row1 + 8), (Bytes{0x11, 0x22, 0x33, 0xFF, 128, 64, 32, 128}));
  Array<int> rows(32);  // the full width of rows 2 and 3
  for (int i = 0; i < 32; ++i) rows[i] = static_cast<int>(0xFF000000u | unsigned(i));
  device->WritePixels2(s, rows, 0, 2, 16, 2, 0, 16);
  Bytes texels(16 * 4 * 4);
  s->Bind();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(Bytes(texels.begin() + (16 + 3) * 4, texels.begin() + (16 + 7) * 4), Bytes(row1, row1 + 16));
  EXPECT_EQ(Bytes(texels.begin() + 16 * 2 * 4, texels.end()), Bytes(s->data + 16 * 2 * 4, s->data + 16 * 4 * 4));
  EXPECT_EQ(texels[(3 * 16 + 15) * 4 + 2], 31);

  // Rectangles over the edges are clipped to the surface, the source moving along with them;
  // rectangles reaching outside the array are ignored.
  device->WritePixels2(s, rows, 14, -1, 4, 4, 0, 4);
  device->WritePixels2(s, rows, -2, 3, 4, 1, 0, 4);
  device->WritePixels2(s, rows, 100, 100, 4, 4, 0, 4);
  for (int offset : {30, -2}) device->WritePixels2(s, rows, 3, 1, 2, 2, offset, 2);
  device->WritePixels2(s, rows, 0, 0, 16, 4, 0, 16);
  const auto blue = [s](int x, int y) { return s->data[(y * 16 + x) * 4 + 2]; };
  EXPECT_EQ(std::vector<int>({blue(14, 0), blue(15, 2), blue(0, 3), blue(1, 3), blue(2, 3), blue(3, 1)}),
            std::vector<int>({4, 13, 2, 3, 18, 0x33}));
  gxtkSurface* grey = Load("data/grey_alpha_4x4.png");  // fewer than four bytes a pixel: ignored
  device->WritePixels2(grey, rows, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ(grey->data[0], 100);
  device->DrawSurface(s, 50, 50);
  ExpectPixels({{53, 51, 0x112233}, {54, 51, 0x804020}});
}

TEST_F(Surface_Gl, TexturesAreRebuiltFromTheirPixelsAfterTheWindowIsReopened) {
  gxtkSurface* drawn = Load("data/rgba_2x2.png");
  gxtkSurface* idle = Load("data/strip_64x16.png");
  gxtkSurface* written = device->CreateSurface(2, 2);
  ASSERT_TRUE(drawn && idle);
  device->DrawSurface(drawn, 0, 0);
  device->Flush();
  const int before = glfwGraphicsSeq;
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, true);  // full screen: a new window and context
  EXPECT_EQ(glfwGraphicsSeq, before + 1);
  ASSERT_EQ(device->BeginRender(), 1);
  device->Cls(0, 0, 0);
  Array<int> green(4);  // written while the texture is stale: kept in memory for the next build
  for (int i = 0; i < 4; ++i) green[i] = static_cast<int>(0xFF00FF00u);
  device->WritePixels2(written, green, 0, 0, 2, 2, 0, 2);
  device->DrawSurface(drawn, 30, 30);
  device->DrawSurface(written, 40, 30);
  ExpectPixels({{31, 30, 0xFF0000}, {30, 31, 0x000080}, {41, 31, 0x00FF00}});
  EXPECT_EQ(idle->contextSeq, before);  // never drawn again, never rebuilt
  // Discarding a surface whose texture died with the old context leaves the new context alone,
  // even when the old name has been given out again.
  const GLuint live = drawn->texture;
  idle->Discard();
  EXPECT_TRUE(glIsTexture(live));
  EXPECT_EQ(idle->data, nullptr);
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  ASSERT_EQ(device->BeginRender(), 1);
  EXPECT_EQ(std::vector<int>({device->Width(), device->Height()}), std::vector<int>({640, 480}));
}

TEST_F(Surface_Gl, ImagesDrawThroughTheModuleWithHandleRotationScaleAndTint) {
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
  EXPECT_EQ(s->data, nullptr);
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

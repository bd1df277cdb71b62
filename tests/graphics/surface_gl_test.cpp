// Surfaces on real OpenGL: premultiplied PNGs from a real encoder on screen, texture sizes and the
// power-of-two retry, pixel writes and their uploads, textures rebuilt after the window is
// re-opened, images drawn through the module, and the release of textures and pixels.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl_support.h"

namespace {

using bbtest::Near;
using bbtest::Rgb;

// Surfaces standing alone, each with its own texture: the texture pages are off.
class Surface_Gl : public bbtest::GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    if (device) device->useTexturePages = false;
  }
  // The texture's texels as RGBA bytes.
  static std::vector<unsigned char> TextureBytes(gxtkSurface* s, int texWidth, int texHeight) {
    std::vector<unsigned char> bytes(static_cast<size_t>(texWidth) * texHeight * 4);
    s->Bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
  }
};

TEST_F(Surface_Gl, PngsFromARealEncoderArrivePremultiplied) {
  gxtkSurface* grey = device->LoadSurface(String("data/grey_alpha_4x4.png"));
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(grey->contextSeq, glfwGraphicsSeq);
  EXPECT_EQ(grey->format, GL_LUMINANCE_ALPHA);
  EXPECT_FLOAT_EQ(grey->uScale, 0.25f);
  std::vector<unsigned char> texels = TextureBytes(grey, 4, 4);
  EXPECT_EQ(texels[0], 100);
  EXPECT_EQ(texels[3], 128);

  gxtkSurface* rgba = device->LoadSurface(String("data/rgba_2x2.png"));
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(rgba->format, GL_RGBA);

  // Over black the colour is the stored one; over white the destination shows through by 1 - alpha.
  device->DrawSurface(grey, 10, 10);
  device->DrawSurface(rgba, 20, 10);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(11, 11), {100, 100, 100}));
  EXPECT_TRUE(Near(Pixel(20, 10), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(21, 10), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(20, 11), {0, 0, 128}));
  EXPECT_TRUE(Near(Pixel(21, 11), {10 * 64 / 255, 200 * 64 / 255, 30 * 64 / 255}));

  device->Cls(255, 255, 255);
  device->DrawSurface(grey, 10, 10);
  device->DrawSurface(rgba, 20, 10);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(11, 11), {227, 227, 227}));
  EXPECT_TRUE(Near(Pixel(20, 10), {255, 255, 255}));
  EXPECT_TRUE(Near(Pixel(21, 10), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(20, 11), {127, 127, 255}));

  // An RGB file is opaque and drawn as it is; a cut-out of it shows only that frame.
  gxtkSurface* strip = device->LoadSurface(String("data/strip_64x16.png"));
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->format, GL_RGB);
  device->DrawSurface2(strip, 100, 100, 32, 0, 16, 16);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(100, 100), {0, 0, 255}));
  EXPECT_TRUE(Near(Pixel(115, 115), {0, 0, 255}));
  EXPECT_TRUE(Near(Pixel(116, 100), {255, 255, 255}));
}

TEST_F(Surface_Gl, MissingFilesGiveNullWithoutForcingASweep) {
  gc_force_sweep = false;
  EXPECT_EQ(device->LoadSurface(String("data/missing.png")), nullptr);
  EXPECT_FALSE(gc_force_sweep);

  // The unsafe half makes no texture; completing it on this thread does.
  gxtkSurface* s = new gxtkSurface;
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/missing.png")), nullptr);
  EXPECT_EQ(s->data, nullptr);
  EXPECT_EQ(device->LoadSurface__UNSAFE__(s, String("data/rgba_2x2.png")), s);
  EXPECT_EQ(s->contextSeq, -1);
  EXPECT_EQ(s->width, 2);
  EXPECT_EQ(s->OnUnsafeLoadComplete(), 1);
  EXPECT_EQ(s->contextSeq, glfwGraphicsSeq);
  EXPECT_EQ(s->Loaded(), 1);
}

TEST_F(Surface_Gl, TextureSizesAndThePowerOfTwoRetry) {
  // This driver takes any size.
  gxtkSurface* s = device->CreateSurface(100, 60);
  EXPECT_FLOAT_EQ(s->uScale, 0.01f);
  EXPECT_FLOAT_EQ(s->vScale, 1.0f / 60);
  EXPECT_EQ(s->data, nullptr);

  // A size the driver refuses is tried again at powers of two.
  GLint max = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  ASSERT_GT(max, 0);
  gxtkSurface* wide = device->CreateSurface(max + 1, 3);
  EXPECT_FLOAT_EQ(wide->uScale, 1.0f / static_cast<float>(bbPowerOfTwoAtLeast(max + 1)));
  EXPECT_FLOAT_EQ(wide->vScale, 0.25f);
  // An error left over from elsewhere does not trigger the retry.
  glBindTexture(GL_TEXTURE_2D, 0);
  glEnable(0xFFFF);  // GL_INVALID_ENUM
  gxtkSurface* plain = device->CreateSurface(100, 60);
  EXPECT_FLOAT_EQ(plain->uScale, 0.01f);
  glGetError();
}

TEST_F(Surface_Gl, PixelWritesArePremultipliedAndUploaded) {
  gxtkSurface* s = device->CreateSurface(16, 4);
  Array<int> src(7 * 2 + 2);
  for (int i = 0; i < src.Length(); ++i) src[i] = static_cast<int>(0x80FF8040u);
  src[2] = static_cast<int>(0xFF112233u);
  // A 4 x 2 rectangle at (3, 1), from offset 2 with a pitch of 7.
  device->WritePixels2(s, src, 3, 1, 4, 2, 2, 7);
  ASSERT_NE(s->data, nullptr);
  const unsigned char* p = s->data + (1 * 16 + 3) * 4;
  EXPECT_EQ(p[0], 0x11);
  EXPECT_EQ(p[1], 0x22);
  EXPECT_EQ(p[2], 0x33);
  EXPECT_EQ(p[3], 0xFF);
  EXPECT_EQ(p[4], 128);  // 255 * 128 / 255
  EXPECT_EQ(p[5], 64);   // 128 * 128 / 255
  EXPECT_EQ(p[6], 32);   // 64 * 128 / 255
  EXPECT_EQ(p[7], 128);

  // A full-width rectangle over rows 2 and 3.
  Array<int> rows(32);
  for (int i = 0; i < 32; ++i) rows[i] = static_cast<int>(0xFF000000u | static_cast<unsigned>(i));
  device->WritePixels2(s, rows, 0, 2, 16, 2, 0, 16);

  std::vector<unsigned char> texels = TextureBytes(s, 16, 4);
  for (int y = 1; y < 4; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool written = y >= 2 || (x >= 3 && x < 7);
      if (!written) continue;
      for (int k = 0; k < 4; ++k) {
        size_t at = (static_cast<size_t>(y) * 16 + x) * 4 + k;
        EXPECT_EQ(texels[at], s->data[at]) << x << ", " << y;
      }
    }
  }
  EXPECT_EQ(texels[(3 * 16 + 15) * 4 + 2], 31);

  // Rectangles reaching over the edges are clipped to the surface.
  Array<int> edge(16);
  for (int i = 0; i < 16; ++i) edge[i] = static_cast<int>(0xFF0000FFu);
  device->WritePixels2(s, edge, 14, -1, 4, 4, 0, 4);
  EXPECT_EQ(s->data[(0 * 16 + 15) * 4 + 2], 255);
  EXPECT_EQ(s->data[(2 * 16 + 14) * 4 + 2], 255);
  device->WritePixels2(s, edge, 100, 100, 4, 4, 0, 4);

  // Surfaces of fewer than four bytes per pixel ignore pixel writes.
  gxtkSurface* grey = device->LoadSurface(String("data/grey_alpha_4x4.png"));
  ASSERT_NE(grey, nullptr);
  device->WritePixels2(grey, rows, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ(grey->data[0], 100);

  // Drawn, the written surface shows the premultiplied colours.
  device->DrawSurface(s, 50, 50);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(53, 51), {0x11, 0x22, 0x33}));
  EXPECT_TRUE(Near(Pixel(54, 51), {128, 64, 32}));
}

TEST_F(Surface_Gl, TexturesAreRebuiltFromTheirPixelsAfterTheWindowIsReopened) {
  gxtkSurface* drawn = device->LoadSurface(String("data/rgba_2x2.png"));
  gxtkSurface* idle = device->LoadSurface(String("data/strip_64x16.png"));
  gxtkSurface* written = device->CreateSurface(2, 2);
  ASSERT_NE(drawn, nullptr);
  ASSERT_NE(idle, nullptr);
  device->DrawSurface(drawn, 0, 0);
  device->Flush();
  int before = glfwGraphicsSeq;

  // Full screen: a new window and a new OpenGL context.
  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, true);
  EXPECT_EQ(glfwGraphicsSeq, before + 1);
  ASSERT_EQ(device->BeginRender(), 1);
  EXPECT_GT(device->Width(), 0);
  device->Cls(0, 0, 0);
  EXPECT_EQ(drawn->contextSeq, before);

  // Pixels written while the texture is stale wait in memory for the next build.
  Array<int> px(4);
  for (int i = 0; i < 4; ++i) px[i] = static_cast<int>(0xFF00FF00u);
  device->WritePixels2(written, px, 0, 0, 2, 2, 0, 2);

  device->DrawSurface(drawn, 30, 30);
  device->DrawSurface(written, 40, 30);
  device->Flush();
  EXPECT_EQ(drawn->contextSeq, glfwGraphicsSeq);
  EXPECT_EQ(written->contextSeq, glfwGraphicsSeq);
  EXPECT_EQ(idle->contextSeq, before);  // never drawn again, never rebuilt
  EXPECT_TRUE(Near(Pixel(31, 30), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(30, 31), {0, 0, 128}));
  EXPECT_TRUE(Near(Pixel(41, 31), {0, 255, 0}));

  // Discarding a surface whose texture died with the old context leaves the new context alone,
  // even when the old name has been given out again.
  GLuint live = drawn->texture;
  idle->Discard();
  EXPECT_TRUE(glIsTexture(live));
  EXPECT_EQ(idle->data, nullptr);

  bbtest::Host()->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  ASSERT_EQ(device->BeginRender(), 1);
  EXPECT_EQ(device->Width(), 640);
  EXPECT_EQ(device->Height(), 480);
}

TEST_F(Surface_Gl, ImagesDrawThroughTheModuleWithHandleRotationAndScale) {
  c_Image* marker = bb_graphics_LoadImage(String("marker_16x16.png"), 1, c_Image::CentreHandle);
  ASSERT_NE(marker, nullptr);  // the module maps names into ./data/ of the working folder
  bb_graphics_DrawImage2(marker, 100, 50, 0, 1, 1, 0);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(92, 42), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(93, 42), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(107, 57), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(108, 57), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(91, 42), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(92, 41), {0, 0, 0}));
  EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
  EXPECT_EQ(bb_graphics_context->m_transformed, 0);

  // Quarter turn and double size about the centre: the red corner pixel goes to the lower left
  // and becomes 2 x 2; the whole image covers (284, 184) to (316, 216).
  bb_graphics_DrawImage2(marker, 300, 200, 90, 2, 2, 0);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(284, 214), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(285, 215), {255, 0, 0}));
  EXPECT_TRUE(Near(Pixel(286, 215), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(315, 184), {0, 255, 0}));
  EXPECT_TRUE(Near(Pixel(283, 200), {0, 0, 0}));
  EXPECT_TRUE(Near(Pixel(300, 216), {0, 0, 0}));

  // Frames of a strip, tinted through the module colour.
  c_Image* strip = bb_graphics_LoadImage(String("strip_64x16.png"), 4, 0);
  ASSERT_NE(strip, nullptr);
  bb_graphics_SetColor(255, 255, 128);
  bb_graphics_DrawImage(strip, 400, 300, 3);
  bb_graphics_DrawImage(strip, 420, 300, 0);
  device->Flush();
  EXPECT_TRUE(Near(Pixel(405, 305), {255, 255, 128}));
  EXPECT_TRUE(Near(Pixel(425, 305), {255, 0, 0}));
}

TEST_F(Surface_Gl, DiscardAndCollectionReleaseTexturesAndPixels) {
  gxtkSurface* s = device->LoadSurface(String("data/rgba_2x2.png"));
  ASSERT_NE(s, nullptr);
  GLuint name = s->texture;
  EXPECT_TRUE(glIsTexture(name));
  s->Discard();
  EXPECT_FALSE(glIsTexture(name));
  EXPECT_EQ(s->contextSeq, -1);
  EXPECT_EQ(s->data, nullptr);
  s->Discard();
  EXPECT_EQ(s->contextSeq, -1);

  // A surface nothing refers to is destroyed by the collector, texture and all.
  gc_clear_roots();
  gc_add_root([] { gc_mark_q(bb_graphics_device); });
  gc_add_root([] { gc_mark_q(bb_graphics_context); });
  gxtkSurface* garbage = device->LoadSurface(String("data/rgba_2x2.png"));
  ASSERT_NE(garbage, nullptr);
  GLuint dead = garbage->texture;
  EXPECT_TRUE(glIsTexture(dead));
  device->DrawSurface(garbage, 0, 0);  // held by the pending batch until it is drawn
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
    return device->LoadSurface(String::FromUtf8(bbtest::WriteTempFile(bbtest::Png(w, h, 6, rows), name.c_str())));
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

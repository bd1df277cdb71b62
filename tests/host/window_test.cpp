// The real window under an X server, opened by the window_probe program through the host as the
// game opens it: title and size, keys and characters from real X events arriving with the
// runtime's codes, clicks in window pixels, and a close request ending the process with status 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/session.h"

namespace {

TEST(RealWindow, TitleSizeKeysClicksAndACloseRequest) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  e2e::Session probe(e2e::Session::FreshFolder("window-probe", false), "", ZUDODO_PROBE);
  ASSERT_TRUE(probe.WaitOutput("ready")) << "the probe never ran an update";
  ASSERT_TRUE(probe.WaitWindow());
  EXPECT_EQ(probe.Title(), "Garvolin Zudodo");
  int w, h;
  probe.Size(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);

  // F9 marks the end of the sequence. The left Alt key has no runtime code: nothing but the keys
  // below may be reported.
  probe.Type("Right a shift+b Delete Alt_L KP_Add F1 F9");
  ASSERT_TRUE(probe.WaitOutput("hit 120"));
  const std::string out = probe.Output();
  std::string hits;
  for (size_t at = out.find("hit "); at != std::string::npos; at = out.find("hit ", at + 1))
    hits += out.substr(at, out.find('\n', at) - at) + ",";
  EXPECT_EQ(hits, "hit 39,hit 65,hit 16,hit 66,hit 46,hit 107,hit 112,hit 120,");
  for (const char* want : {"char 65575", "char 97", "char 66", "char 127", "char 43"})
    EXPECT_TRUE(probe.WaitOutput(want, 0)) << want;

  // The left button is also touch 0.
  probe.Click(100, 50);
  EXPECT_TRUE(probe.WaitOutput("mouse 100 50"));
  EXPECT_TRUE(probe.WaitOutput("hit 384"));

  probe.RequestClose();
  EXPECT_EQ(probe.WaitExit(), 0);
}

}  // namespace

// The generator is deterministic and data/ is what it makes: a fresh run into a temporary
// folder reproduces the committed files byte for byte (a few pictures, every sound effect, one
// tune and the demo song with its instruments, to keep the test quick).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "asset_files.h"
#include "scratch.h"

namespace {

TEST(Assets_Generator, FreshRunReproducesTheCommittedFiles) {
  const std::filesystem::path out = bbtest::ScratchFolder() + "assetgen_run";
  const std::string cmd = std::string("\"") + ZUDODO_ASSETGEN + "\" \"" + out.string() +
                          "\" --only pictures --only sounds --only tunes --only music --picture bits "
                          "--picture fonts/small --picture world-08 --picture default_font --tune 3 > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    const std::string rel = std::filesystem::relative(entry.path(), out).string();
    SCOPED_TRACE(rel);
    const auto fresh = assets_test::readBytes(entry.path().string());
    const auto committed = assets_test::readBytes(assets_test::dataPath(rel));
    ASSERT_FALSE(committed.empty()) << "not in data/";
    EXPECT_TRUE(fresh == committed) << "differs from data/: regenerate with assetgen";
    ++compared;
  }
  // 3 pictures x 3 resolutions, the built-in font, 25 effects, a tune, the song and 19 instruments.
  EXPECT_EQ(compared, 9 + 1 + 25 + 1 + 1 + 16 + 3);
  std::filesystem::remove_all(out);
}

}  // namespace

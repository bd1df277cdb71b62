// assetgen: writes every picture, font, sound effect and tune of the game into a data folder,
// and the contact sheet of all pictures. The output depends on nothing but this program: no time
// stamps, fixed seeds, so two runs give byte-identical files.
//
//   assetgen [DATA_DIR] [--sheet FILE] [--only pictures|sounds|tunes|music]...
//            [--picture NAME]... [--tune N]...
//
// DATA_DIR defaults to "data"; without --sheet no contact sheet is written. --only limits the
// run to some kinds of asset; --picture and --tune limit the pictures and tunes written to the
// ones named (handy for checking a few files quickly).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "audio.h"
#include "contact_sheet.h"
#include "fonts.h"
#include "music.h"
#include "strip.h"

using namespace assetgen;

namespace {

std::vector<Picture> allPictures() {
  std::vector<Picture> pics;
  addSpritePictures(pics);
  addWallPictures(pics);
  addInterfacePictures(pics);
  addArtworkPictures(pics);
  addFontPictures(pics);
  return pics;
}

std::string threeDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", n);
  return buf;
}

int usage() {
  std::fprintf(stderr,
               "usage: assetgen [DATA_DIR] [--sheet FILE] [--only pictures|sounds|tunes|music]... [--picture NAME]... "
               "[--tune N]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dataDir = "data";
  std::string sheetPath;
  std::set<std::string> only, pictureNames;
  std::set<int> tuneNumbers;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--sheet" && i + 1 < argc) {
      sheetPath = argv[++i];
    } else if (a == "--only" && i + 1 < argc) {
      only.insert(argv[++i]);
    } else if (a == "--picture" && i + 1 < argc) {
      pictureNames.insert(argv[++i]);
    } else if (a == "--tune" && i + 1 < argc) {
      tuneNumbers.insert(std::atoi(argv[++i]));
    } else if (a == "-h" || a == "--help") {
      return usage();
    } else if (!a.empty() && a[0] != '-') {
      dataDir = a;
    } else {
      return usage();
    }
  }
  const auto wanted = [&only](const char* kind) { return only.empty() || only.count(kind) > 0; };
  int failures = 0;

  if (wanted("pictures") || !sheetPath.empty()) {
    const std::vector<Picture> pics = allPictures();
    std::vector<SheetEntry> sheet;
    for (const Picture& p : pics) {
      if (!pictureNames.empty() && pictureNames.count(p.name) == 0) continue;
      for (int scale : kScales) {
        const Image img = renderPicture(p, scale);
        if (wanted("pictures")) {
          const std::string path = dataDir + "/" + p.name + suffixFor(scale) + ".png";
          if (!writePng(path, img)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            ++failures;
          }
        }
        if (scale == 2) sheet.push_back({p, img});
      }
    }
    const Image font = renderDefaultFont();
    const bool fontWanted = pictureNames.empty() || pictureNames.count("default_font") > 0;
    if (wanted("pictures") && fontWanted && !writePng(dataDir + "/default_font.png", font)) ++failures;
    if (!sheetPath.empty()) {
      if (!writePng(sheetPath, renderContactSheet(sheet, font))) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", sheetPath.c_str());
        ++failures;
      }
    }
    std::printf("assetgen: %zu pictures\n", sheet.size());
  }

  if (wanted("sounds")) {
    const std::vector<SoundEffect> sfx = makeSoundEffects();
    for (const SoundEffect& s : sfx) {
      const std::string path = dataDir + "/sfx/" + threeDigits(s.number) + ".wav";
      if (!writeWav(path, s.samples, kSfxRate)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ++failures;
      }
    }
    std::printf("assetgen: %zu sound effects\n", sfx.size());
  }

  if (wanted("tunes")) {
    for (int n = 1; n <= 6; ++n) {
      if (!tuneNumbers.empty() && tuneNumbers.count(n) == 0) continue;
      const Tune t = makeTune(n);
      const std::string path = dataDir + "/sfx/" + t.name + ".ogg";
      if (!writeOgg(path, t.left, t.right, kTuneRate, 0.0f)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ++failures;
      }
      std::printf("assetgen: %s, %.1f s\n", t.name.c_str(), static_cast<double>(t.left.size()) / kTuneRate);
    }
  }
  if (wanted("music")) {
    const std::string songPath = dataDir + "/music/demo.png";
    if (!writePng(songPath, renderSongImage(makeDemoSongPatterns()))) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", songPath.c_str());
      ++failures;
    }
    const std::vector<InstrumentSample> instruments = makeInstrumentSamples();
    for (const InstrumentSample& s : instruments) {
      const std::string path = dataDir + "/inst/" + s.name + ".wav";
      if (!writeWav(path, s.samples, kInstrumentRate)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ++failures;
      }
    }
    std::printf("assetgen: demo song, %zu instruments\n", instruments.size());
  }
  return failures == 0 ? 0 : 1;
}

// Decoding sound files through the host's LoadAudioData: WAVE files as sox writes them and with the
// chunk layouts other tools produce, hostile and truncated headers, damaged Ogg Vorbis streams and
// huge comment headers, and the choice of decoder by extension.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "audio_support.h"

namespace {

// The test program is linked with --wrap=malloc and --wrap=realloc: every allocation the decoders
// make passes through here, and the largest since the last reset is noted.
std::atomic<size_t> largest_allocation{0};
void* Noted(void* block, size_t size) {
  for (size_t seen = largest_allocation; size > seen && !largest_allocation.compare_exchange_weak(seen, size);) {}
  return block;
}

}  // namespace

extern "C" {
void* __real_malloc(size_t size);
void* __real_realloc(void* p, size_t size);
void* __wrap_malloc(size_t size) { return Noted(__real_malloc(size), size); }
void* __wrap_realloc(void* p, size_t size) { return Noted(__real_realloc(p, size), size); }
}

namespace {

using bbtest::Bytes;
using bbtest::Sine;

// The decoded block (freed with the value) and its four facts.
struct Decoded {
  std::unique_ptr<unsigned char, decltype(&std::free)> data{nullptr, &std::free};
  int length = 0, channels = 0, format = 0, hertz = 0;
  Bytes Pcm() const { return Bytes(data.get(), data.get() + length * channels * format); }
};

Decoded Load(const std::string& path) {
  Decoded d;
  BBGlfwGame* host = BBGlfwGame::_glfwGame ? BBGlfwGame::_glfwGame : new BBGlfwGame;
  d.data.reset(host->LoadAudioData(String::FromUtf8(path), &d.length, &d.channels, &d.format, &d.hertz));
  return d;
}

Decoded Load(const Bytes& bytes, const char* name) { return Load(bbtest::WriteScratch(name, bytes)); }

// The samples sox itself reads from the file.
Bytes SoxRaw(const std::string& path) {
  EXPECT_TRUE(bbtest::Run("sox " + path + " -t raw " + path + ".raw"));
  return bbtest::ReadBytes(path + ".raw");
}

void PutU32(Bytes& bytes, size_t at, unsigned value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST(AudioLoader, PcmFilesDecodeToTheSamplesSoxReads) {
  const struct {
    const char* options;
    int hertz, channels, format;
  } cases[] = {{"-b 8 -c 1", 22050, 1, 1}, {"-b 16 -c 2", 44100, 2, 2}};
  for (const auto& c : cases) {
    const std::string wav = Sine("pcm.wav", c.hertz, c.options, "3001s");
    const Decoded d = Load(wav);
    EXPECT_EQ(std::vector<int>({d.length, d.channels, d.format, d.hertz}),
              std::vector<int>({3001, c.channels, c.format, c.hertz}));
    EXPECT_EQ(d.Pcm(), SoxRaw(wav)) << c.options;
  }
}

TEST(AudioLoader, ChunksBeforeTheDataAreSkippedPaddedOrNotAndTheFormatChunkMayBeLonger) {
  const std::string plain = Sine("plain.wav", 22050, "-b 16 -c 1", "3000s");
  const Bytes wav = bbtest::ReadBytes(plain), pcm = SoxRaw(plain);
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  const auto with = [&wav](size_t at, const Bytes& extra) {
    Bytes b = wav;
    b.insert(b.begin() + long(at), extra.begin(), extra.end());
    return b;
  };
  // An odd-sized comment list, as editors store comments, with and without RIFF's pad byte.
  const Bytes list = {'L', 'I', 'S', 'T', 17, 0, 0, 0, 'I', 'N', 'F', 'O',
                      'I', 'C', 'M', 'T', 5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'};
  Bytes padded = list;
  padded.push_back(0);
  Bytes fmt18 = with(36, {0, 0});  // an 18-byte format chunk with an empty extension size
  PutU32(fmt18, 16, 18);
  for (const Bytes& file : {with(36, list), with(36, padded), fmt18}) EXPECT_EQ(Load(file, "variant.wav").Pcm(), pcm);
  EXPECT_FALSE(Load(with(12, list), "variant.wav").data) << "the format chunk must come first";
}

TEST(AudioLoader, OtherFormatsAndTruncatedFilesGiveNothing) {
  EXPECT_FALSE(Load(Sine("extensible.wav", 22050, "-b 24 -c 1", "1000s")).data);
  EXPECT_FALSE(Load(Sine("alaw.wav", 8000, "-e a-law -c 1", "1000s")).data);
  EXPECT_FALSE(Load(bbtest::ReadBytes(Sine("sun.au", 22050, "-b 16 -c 1", "1000s")), "notriff.wav").data);
  const Bytes wav = bbtest::ReadBytes(Sine("whole.wav", 22050, "-b 16 -c 1", "4000s"));
  for (size_t cut : {size_t(6), size_t(30), size_t(40), wav.size() / 2, wav.size() - 1}) {
    EXPECT_FALSE(Load(Bytes(wav.begin(), wav.begin() + long(cut)), "cut.wav").data) << "cut after " << cut;
  }
}

TEST(AudioLoader, HostileHeadersAreRefusedBeforeAnythingIsAllocated) {
  const Bytes wav = bbtest::ReadBytes(Sine("base.wav", 22050, "-b 16 -c 2", "1000s"));
  const struct {
    const char* what;
    size_t at;
    unsigned value, width;
  } patches[] = {
      {"4 GiB data chunk", 40, 0xfffffff0u, 4},
      {"2 GiB data chunk", 40, 0x7ffffff0u, 4},
      {"data chunk one byte past the end", 40, 4001, 4},
      {"4 GiB format chunk", 16, 0xffffff00u, 4},
      {"format chunk shorter than its fields", 16, 14, 4},
      {"no channels", 22, 0, 2},
      {"4 bits per sample", 34, 4, 2},
  };
  for (const auto& p : patches) {
    Bytes bad = wav;
    for (unsigned i = 0; i < p.width; ++i) bad[p.at + i] = static_cast<unsigned char>(p.value >> (8 * i));
    largest_allocation = 0;
    EXPECT_FALSE(Load(bad, "bad.wav").data) << p.what;
    EXPECT_LT(largest_allocation.load(), 64u * 1024) << p.what;
  }
}

TEST(AudioLoader, DamagedOggStreamsEndQuietly) {
  const Bytes ogg = bbtest::ReadBytes(bbtest::Ogg(Sine("tone.wav", 44100, "-b 16 -c 2", "50000s")));
  for (size_t cut : {size_t(20), size_t(200), ogg.size() / 2}) {
    EXPECT_LE(Load(Bytes(ogg.begin(), ogg.begin() + long(cut)), "cut.ogg").length, 50000) << "cut after " << cut;
  }
  for (size_t at : {size_t(30), size_t(120), size_t(400), ogg.size() / 3}) {  // scrambled headers and packets
    Bytes bad = ogg;
    for (size_t i = at; i < at + 64 && i < bad.size(); ++i) bad[i] ^= static_cast<unsigned char>(i * 37 + 11);
    EXPECT_LE(Load(bad, "bad.ogg").length, 50000 + 8192) << "scrambled at " << at;
  }
}

TEST(AudioLoader, OggCommentHeadersOfMegabytesDoNotUpsetTheDecoder) {
  // More than a fixed decoder arena of 4 MiB holds, which once made the decoder read through a
  // null list while giving up. The stream is valid and decodes to its frames.
  const std::string ogg = bbtest::Ogg(Sine("tone.wav", 22050, "-b 16 -c 1", "5000s"));
  const std::string big = bbtest::ScratchFolder() + "big.ogg";
  ASSERT_TRUE(bbtest::Run("(printf big=; head -c 4200000 /dev/zero | tr '\\0' v; echo; yes c=c | head -n 10000) | "
                          "vorbiscomment -w -c /dev/stdin " + ogg + " " + big));
  const Decoded d = Load(big);
  EXPECT_EQ(std::vector<int>({d.length, d.channels}), std::vector<int>({5000, 1}));
}

TEST(AudioLoader, TheExtensionChoosesTheDecoderWhateverItsCaseAndAnOpenedFileForcesASweep) {
  const Bytes wav = bbtest::ReadBytes(Sine("tone.wav", 22050, "-b 16 -c 1", "500s"));
  EXPECT_EQ(Load(wav, "LOUD.WAV").length, 500);
  gc_force_sweep = false;
  EXPECT_FALSE(Load(bbtest::ScratchFolder() + "missing.wav").data);
  EXPECT_FALSE(gc_force_sweep);
  EXPECT_FALSE(Load(wav, "tone.mp3").data);
  EXPECT_FALSE(Load(wav, "tone.ogg").data);  // a WAVE file is not an Ogg stream
  EXPECT_TRUE(gc_force_sweep);
}

}  // namespace

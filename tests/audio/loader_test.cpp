// Decoding sound files through the host's LoadAudioData: WAVE files as real encoders write them,
// the chunk layouts other tools produce, hostile and truncated headers, Ogg Vorbis streams, and
// the choice of decoder by extension.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <ogg/ogg.h>

#include "audio_support.h"
#include "runtime/host/game.h"

namespace {

// The decoded block and its four facts; the block is freed with the value.
struct Decoded {
  std::unique_ptr<unsigned char, decltype(&std::free)> data{nullptr, &std::free};
  int length = 0, channels = 0, format = 0, hertz = 0;
  std::vector<unsigned char> Bytes() const {
    return std::vector<unsigned char>(data.get(), data.get() + length * channels * format);
  }
};

class AudioLoader : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!BBGlfwGame::_glfwGame) new BBGlfwGame;
  }
  Decoded Load(const std::string& path) {
    Decoded d;
    d.data.reset(BBGlfwGame::_glfwGame->LoadAudioData(String::FromUtf8(path), &d.length, &d.channels,
                                                      &d.format, &d.hertz));
    return d;
  }
  // A 440 Hz tone of the given number of frames, made by sox in the format the options give.
  std::string Sine(const std::string& name, int hertz, const std::string& options, int frames) {
    std::string path = scratch.Path(name);
    std::string rate = "-r " + std::to_string(hertz);
    EXPECT_TRUE(RunTool("sox " + rate + " -n " + options + " " + path + " synth " +
                        std::to_string(frames) + "s sine 440 vol 0.5"))
        << "sox is needed to make the test sounds";
    return path;
  }
  // The sample bytes sox itself reads from a file, for comparison with our decoder.
  std::vector<unsigned char> SoxRaw(const std::string& path) {
    std::string raw = path + ".raw";
    EXPECT_TRUE(RunTool("sox " + path + " -t raw " + raw));
    return ReadBytes(raw);
  }
  ScratchDir scratch;
};

TEST_F(AudioLoader, PcmFilesDecodeToTheirSamplesAndFormat) {
  std::string mono8 = Sine("mono8.wav", 22050, "-b 8 -c 1", 2205);
  Decoded d = Load(mono8);
  ASSERT_TRUE(d.data);
  EXPECT_EQ(d.length, 2205);
  EXPECT_EQ(d.channels, 1);
  EXPECT_EQ(d.format, 1);  // unsigned 8-bit
  EXPECT_EQ(d.hertz, 22050);
  EXPECT_EQ(d.Bytes(), SoxRaw(mono8));

  std::string stereo16 = Sine("stereo16.wav", 44100, "-b 16 -c 2", 10000);
  ASSERT_EQ(ReadBytes(stereo16).size(), 44u + 40000u);  // one 40000-byte data chunk
  d = Load(stereo16);
  ASSERT_TRUE(d.data);
  EXPECT_EQ(d.length, 10000);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.format, 2);
  EXPECT_EQ(d.hertz, 44100);
  EXPECT_EQ(d.Bytes(), SoxRaw(stereo16));
}

TEST_F(AudioLoader, ChunksBeforeTheDataAndLongerFormatChunksAreSkipped) {
  std::string plain = Sine("plain.wav", 22050, "-b 16 -c 1", 3000);
  std::vector<unsigned char> expected = SoxRaw(plain);
  std::vector<unsigned char> wav = ReadBytes(plain);
  long data = FindChunk(wav, "data");
  ASSERT_EQ(data, 36);

  // A broadcast-extension chunk between format and data, as libsndfile writes it.
  std::string bext = scratch.Path("bext.wav");
  ASSERT_TRUE(RunTool("sndfile-metadata-set --bext-description zudodo " + plain + " " + bext));
  ASSERT_LT(FindChunk(ReadBytes(bext), "bext"), FindChunk(ReadBytes(bext), "data"));
  EXPECT_EQ(Load(bext).Bytes(), expected);

  // An odd-sized INFO list before the data, as editors store comments.
  std::vector<unsigned char> list = {'L', 'I', 'S', 'T', 17, 0, 0, 0, 'I', 'N', 'F', 'O', 'I',
                                     'C', 'M', 'T', 5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'};
  std::vector<unsigned char> withList = wav;
  withList.insert(withList.begin() + data, list.begin(), list.end());
  WriteBytes(scratch.Path("list.wav"), withList);
  EXPECT_EQ(Load(scratch.Path("list.wav")).Bytes(), expected);
  // The same list with the zero pad byte that RIFF asks for after an odd-sized chunk.
  std::vector<unsigned char> padded = wav;
  std::vector<unsigned char> listPadded = list;
  listPadded.push_back(0);
  padded.insert(padded.begin() + data, listPadded.begin(), listPadded.end());
  WriteBytes(scratch.Path("padded.wav"), padded);
  EXPECT_EQ(Load(scratch.Path("padded.wav")).Bytes(), expected);

  // An 18-byte format chunk (with an empty extension size) has its two extra bytes skipped.
  std::vector<unsigned char> fmt18 = wav;
  fmt18.insert(fmt18.begin() + data, {0, 0});
  PutU32(fmt18, 16, 18);
  WriteBytes(scratch.Path("fmt18.wav"), fmt18);
  Decoded d = Load(scratch.Path("fmt18.wav"));
  EXPECT_EQ(d.length, 3000);
  EXPECT_EQ(d.Bytes(), expected);

  // The format chunk must come first.
  std::vector<unsigned char> listFirst = wav;
  listFirst.insert(listFirst.begin() + 12, list.begin(), list.end());
  WriteBytes(scratch.Path("listfirst.wav"), listFirst);
  EXPECT_FALSE(Load(scratch.Path("listfirst.wav")).data);
}

TEST_F(AudioLoader, OtherFormatsAndDamagedFilesGiveNothing) {
  EXPECT_FALSE(Load(Sine("extensible.wav", 22050, "-b 24 -c 1", 1000)).data);
  EXPECT_FALSE(Load(Sine("alaw.wav", 8000, "-e a-law -c 1", 1000)).data);
  std::string au = Sine("sun.au", 22050, "-b 16 -c 1", 1000);
  std::rename(au.c_str(), scratch.Path("notriff.wav").c_str());
  EXPECT_FALSE(Load(scratch.Path("notriff.wav")).data);
  EXPECT_FALSE(Load(scratch.Path("missing.wav")).data);

  std::vector<unsigned char> wav = ReadBytes(Sine("whole.wav", 22050, "-b 16 -c 1", 4000));
  for (size_t cut : {size_t(6), size_t(30), size_t(40), wav.size() / 2, wav.size() - 1}) {
    WriteBytes(scratch.Path("cut.wav"), std::vector<unsigned char>(wav.begin(), wav.begin() + long(cut)));
    EXPECT_FALSE(Load(scratch.Path("cut.wav")).data) << "cut after " << cut << " bytes";
  }
}

TEST_F(AudioLoader, HostileHeadersAreRefusedBeforeAnythingIsAllocated) {
  std::vector<unsigned char> wav = ReadBytes(Sine("base.wav", 22050, "-b 16 -c 2", 1000));
  struct Patch {
    const char* what;
    size_t at;
    unsigned value;
    unsigned width;
  } patches[] = {
      {"4 GiB data chunk", 40, 0xfffffff0u, 4},
      {"data chunk one byte past the end", 40, 4001, 4},
      {"4 GiB format chunk", 16, 0xffffff00u, 4},
      {"format chunk shorter than its fields", 16, 14, 4},
      {"no channels", 22, 0, 2},
      {"4 bits per sample", 34, 4, 2},
  };
  for (const Patch& p : patches) {
    std::vector<unsigned char> bad = wav;
    for (unsigned i = 0; i < p.width; ++i) bad[p.at + i] = static_cast<unsigned char>(p.value >> (8 * i));
    WriteBytes(scratch.Path("bad.wav"), bad);
    ResetLargestAllocation();
    EXPECT_FALSE(Load(scratch.Path("bad.wav")).data) << p.what;
    EXPECT_LT(LargestAllocation(), 64u * 1024) << p.what;
  }
  // A chunk before the data that claims more than the file holds.
  std::vector<unsigned char> bad = wav;
  bad.insert(bad.begin() + 36, {'j', 'u', 'n', 'k', 0xf0, 0xff, 0xff, 0xff});
  WriteBytes(scratch.Path("junk.wav"), bad);
  EXPECT_FALSE(Load(scratch.Path("junk.wav")).data);
}

TEST_F(AudioLoader, OggVorbisDecodesWholeToSixteenBitFrames) {
  std::string wav = Sine("tone.wav", 44100, "-b 16 -c 1", 100000);
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("tone.ogg") + " " + wav)) << "oggenc is needed";
  Decoded d = Load(scratch.Path("tone.ogg"));
  ASSERT_TRUE(d.data);
  EXPECT_EQ(d.length, 100000);
  EXPECT_EQ(d.channels, 1);
  EXPECT_EQ(d.format, 2);
  EXPECT_EQ(d.hertz, 44100);
  std::vector<float> samples;
  const short* pcm = reinterpret_cast<const short*>(d.data.get());
  for (int i = 0; i < d.length; ++i) samples.push_back(pcm[i] / 32768.0f);
  EXPECT_NEAR(Frequency(samples, 44100), 440, 1);
  EXPECT_NEAR(Rms(samples), 0.5 / std::sqrt(2.0), 0.02);

  std::string stereo = Sine("stereo.wav", 22050, "-b 16 -c 2", 30000);
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("stereo.ogg") + " " + stereo));
  d = Load(scratch.Path("stereo.ogg"));
  EXPECT_EQ(d.length, 30000);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.hertz, 22050);
}

TEST_F(AudioLoader, DamagedOggStreamsEndQuietly) {
  std::string wav = Sine("tone.wav", 44100, "-b 16 -c 2", 50000);
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("tone.ogg") + " " + wav));
  std::vector<unsigned char> ogg = ReadBytes(scratch.Path("tone.ogg"));
  for (size_t cut : {size_t(20), size_t(200), ogg.size() / 2}) {
    WriteBytes(scratch.Path("cut.ogg"), std::vector<unsigned char>(ogg.begin(), ogg.begin() + long(cut)));
    Decoded d = Load(scratch.Path("cut.ogg"));
    EXPECT_LE(d.length, 50000) << "cut after " << cut;
  }
  // Scrambled bytes in the headers and in the audio packets.
  for (size_t at : {size_t(30), size_t(120), size_t(400), ogg.size() / 3}) {
    std::vector<unsigned char> bad = ogg;
    for (size_t i = at; i < at + 64 && i < bad.size(); ++i) bad[i] ^= static_cast<unsigned char>(i * 37 + 11);
    WriteBytes(scratch.Path("bad.ogg"), bad);
    Decoded d = Load(scratch.Path("bad.ogg"));
    EXPECT_LE(d.length, 50000 + 8192) << "scrambled at " << at;
  }
}

TEST_F(AudioLoader, HostileOggCommentHeadersAreRefusedWithoutHugeAllocations) {
  std::string wav = Sine("tone.wav", 22050, "-b 16 -c 1", 5000);
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("tone.ogg") + " " + wav));
  std::vector<unsigned char> ogg = ReadBytes(scratch.Path("tone.ogg"));
  const unsigned char tag[] = {3, 'v', 'o', 'r', 'b', 'i', 's'};
  size_t comment = size_t(std::search(ogg.begin(), ogg.end(), tag, tag + 7) - ogg.begin());
  ASSERT_LT(comment, ogg.size());
  size_t vendor = ogg[comment + 7] | ogg[comment + 8] << 8;
  size_t count = comment + 11 + vendor;
  struct Patch {
    const char* what;
    size_t at;
    unsigned value;
  } patches[] = {
      {"vendor longer than the packet", comment + 7, 0x7ffffff0u},
      {"vendor length of -1", comment + 7, 0xffffffffu},
      {"a billion comments", count, 0x40000000u},
      {"a comment longer than the packet", count + 4, 0x10000000u},
  };
  for (const Patch& p : patches) {
    std::vector<unsigned char> bad = ogg;
    PutU32(bad, p.at, p.value);
    WriteBytes(scratch.Path("bad.ogg"), bad);
    ResetLargestAllocation();
    EXPECT_FALSE(Load(scratch.Path("bad.ogg")).data) << p.what;
    EXPECT_LE(LargestAllocation(), 5u * 1024 * 1024) << p.what;
  }
}

// The Ogg file at path again, its comment header replaced by the given packet (libogg repaginates).
std::vector<unsigned char> WithCommentPacket(const std::string& path, std::vector<unsigned char> comment) {
  std::vector<unsigned char> in = ReadBytes(path), out;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, long(in.size()));
  std::copy(in.begin(), in.end(), buffer);
  ogg_sync_wrote(&sync, long(in.size()));
  ogg_stream_state from, to;
  bool started = false;
  ogg_page page;
  long packetNo = 0;
  while (ogg_sync_pageout(&sync, &page) == 1) {
    if (!started) {
      ogg_stream_init(&from, ogg_page_serialno(&page));
      ogg_stream_init(&to, ogg_page_serialno(&page));
      started = true;
    }
    ogg_stream_pagein(&from, &page);
    ogg_packet packet;
    while (ogg_stream_packetout(&from, &packet) == 1) {
      if (packetNo++ == 1) {
        packet.packet = comment.data();
        packet.bytes = long(comment.size());
      }
      ogg_stream_packetin(&to, &packet);
      // The headers end on a page of their own, as encoders write them.
      while (packetNo == 3 ? ogg_stream_flush(&to, &page) : ogg_stream_pageout(&to, &page)) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
      }
    }
  }
  while (ogg_stream_flush(&to, &page)) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  }
  ogg_stream_clear(&from);
  ogg_stream_clear(&to);
  ogg_sync_clear(&sync);
  return out;
}

TEST_F(AudioLoader, OggCommentHeadersOfMegabytesDoNotUpsetTheDecoder) {
  // A vendor text of 4 MB and 10000 comments: more than a fixed decoder arena of 4 MiB holds,
  // which once made the decoder read through a null list while giving up. The stream is valid
  // and decodes to its frames.
  std::string wav = Sine("tone.wav", 22050, "-b 16 -c 1", 5000);
  ASSERT_TRUE(RunTool("oggenc -Q -o " + scratch.Path("tone.ogg") + " " + wav));
  std::vector<unsigned char> comment = {3, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0};
  const unsigned vendor = 4180000, count = 10000;
  PutU32(comment, 7, vendor);
  comment.insert(comment.end(), vendor, 'v');
  comment.insert(comment.end(), {0, 0, 0, 0});
  PutU32(comment, comment.size() - 4, count);
  for (unsigned i = 0; i < count; ++i) comment.insert(comment.end(), {1, 0, 0, 0, 'c'});
  comment.push_back(1);  // framing bit
  WriteBytes(scratch.Path("big.ogg"), WithCommentPacket(scratch.Path("tone.ogg"), comment));
  Decoded d = Load(scratch.Path("big.ogg"));
  ASSERT_TRUE(d.data);
  EXPECT_EQ(d.length, 5000);
  EXPECT_EQ(d.channels, 1);
}

TEST_F(AudioLoader, TheExtensionChoosesTheDecoderWhateverItsCase) {
  std::string wav = Sine("tone.wav", 22050, "-b 16 -c 1", 500);
  std::vector<unsigned char> bytes = ReadBytes(wav);
  WriteBytes(scratch.Path("LOUD.WAV"), bytes);
  WriteBytes(scratch.Path("tone.mp3"), bytes);
  WriteBytes(scratch.Path("tone.ogg"), bytes);
  EXPECT_EQ(Load(scratch.Path("LOUD.WAV")).length, 500);
  EXPECT_FALSE(Load(scratch.Path("tone.mp3")).data);
  EXPECT_FALSE(Load(scratch.Path("tone.ogg")).data);  // a WAVE file is not an Ogg stream
}

}  // namespace

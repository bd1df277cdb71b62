// WAV (16-bit PCM, mono) and Ogg Vorbis (stereo, libvorbisenc) writers.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "audio.h"

namespace assetgen {
namespace {

// Serial number of every Ogg stream we write: fixed, so the bytes depend only on the audio.
constexpr int kOggSerial = 0x5A0D0D0;

void makeParent(const std::string& path) {
  const std::filesystem::path fp(path);
  if (fp.has_parent_path()) std::filesystem::create_directories(fp.parent_path());
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v & 0xffff);
  put16(b, v >> 16);
}
void putTag(std::vector<uint8_t>& b, const char* t) { b.insert(b.end(), t, t + 4); }

int16_t toPcm(float v) {
  const float c = std::clamp(v, -1.0f, 1.0f);
  return static_cast<int16_t>(std::lround(c * 32767.0f));
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<float>& samples, int rate) {
  makeParent(path);
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + dataBytes);
  putTag(b, "RIFF");
  put32(b, 36 + dataBytes);
  putTag(b, "WAVE");
  putTag(b, "fmt ");
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, 1);  // mono
  put32(b, static_cast<uint32_t>(rate));
  put32(b, static_cast<uint32_t>(rate) * 2);
  put16(b, 2);   // block align
  put16(b, 16);  // bits per sample
  putTag(b, "data");
  put32(b, dataBytes);
  for (float v : samples) put16(b, static_cast<uint16_t>(toPcm(v)));
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

bool writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right, int rate,
              float quality) {
  makeParent(path);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = true;
  const auto writePage = [&](const ogg_page& pg) {
    ok = ok && std::fwrite(pg.header, 1, static_cast<size_t>(pg.header_len), f) == static_cast<size_t>(pg.header_len);
    ok = ok && std::fwrite(pg.body, 1, static_cast<size_t>(pg.body_len), f) == static_cast<size_t>(pg.body_len);
  };

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    std::fclose(f);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", path.substr(path.find_last_of('/') + 1).c_str());
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, kOggSerial);

  ogg_packet header, headerComm, headerCode;
  vorbis_analysis_headerout(&vd, &vc, &header, &headerComm, &headerCode);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &headerComm);
  ogg_stream_packetin(&os, &headerCode);
  ogg_page og;
  while (ogg_stream_flush(&os, &og) != 0) writePage(og);

  const size_t total = std::min(left.size(), right.size());
  const size_t chunk = 4096;
  size_t pos = 0;
  bool eos = false;
  while (!eos) {
    const size_t n = std::min(chunk, total - pos);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i) {
        buf[0][i] = left[pos + i];
        buf[1][i] = right[pos + i];
      }
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      pos += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op) == 1) {
        ogg_stream_packetin(&os, &op);
        while (!eos && ogg_stream_pageout(&os, &og) != 0) {
          writePage(og);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
    if (n == 0 && !eos) {
      // Everything was handed over; the loop above ends when the last page is out.
      while (ogg_stream_flush(&os, &og) != 0) writePage(og);
      eos = true;
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return std::fclose(f) == 0 && ok;
}

}  // namespace assetgen

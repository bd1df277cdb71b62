// kx_player.cpp: the player's state, its hooks and the loading of the song image and samples.
#include "kx_player.h"

#include "runtime/host/app.h"

c_KxPlayer* c_KxPlayer::m_new() {
  gc_assign(m_settings, Array<int>(8));
  gc_assign(m_instrument, Array<int>(8));
  gc_assign(m_drumsA, Array<c_Sound*>(9));
  gc_assign(m_drumsB, Array<c_Sound*>(9));
  gc_assign(m_voiceSound, Array<c_Sound*>(8));
  // One element more than the layout needs, as the song format has always had.
  gc_assign(m_patterns, Array<int>(kPatterns * kPatternSize + 1));
  gc_assign(m_patternCount, Array<int>(8));
  gc_assign(m_voiceChannel, Array<int>(8));
  gc_assign(m_voiceSounding, Array<int>(8));
  gc_assign(m_voicePattern, Array<int>(8));
  gc_assign(m_voiceMuted, Array<int>(8));
  gc_assign(m_voiceLeadIn, Array<int>(8));
  gc_assign(m_voiceMutedNext, Array<int>(8));
  gc_assign(m_voicePitch, Array<float>(8));
  gc_assign(m_voiceEnvelope, Array<float>(8));
  gc_assign(m_voiceLevel, Array<float>(8));
  return this;
}

void c_KxPlayer::mark() {
  gc_mark_q(m_settings);
  gc_mark_q(m_instrument);
  gc_mark_q(m_drumsA);
  gc_mark_q(m_drumsB);
  gc_mark_q(m_voiceSound);
  gc_mark_q(m_songImage);
  gc_mark_q(m_patterns);
  gc_mark_q(m_patternCount);
  gc_mark_q(m_voiceChannel);
  gc_mark_q(m_voiceSounding);
  gc_mark_q(m_voicePattern);
  gc_mark_q(m_voiceMuted);
  gc_mark_q(m_voiceLeadIn);
  gc_mark_q(m_voiceMutedNext);
  gc_mark_q(m_voicePitch);
  gc_mark_q(m_voiceEnvelope);
  gc_mark_q(m_voiceLevel);
}

int c_KxPlayer::p_Kx_Init(int channelBase, int a, int b, int c, int d) {
  m_channelBase = channelBase;
  m_settings[1] = a;
  m_settings[2] = b;
  m_settings[3] = c;
  m_settings[4] = d;
  return 0;
}

void c_KxPlayer::StopSoundingVoices() {
  const int voices = m_voiceCount < 8 ? m_voiceCount : 8;
  for (int i = 0; i < voices; ++i) {
    const int ch = m_voiceChannel[i];
    // Channels the player never plays on (the music channel and beyond) are left alone.
    if (ch >= 1 && ch < gxtkAudio::kMusicChannel && m_voiceSounding[i] == 1) {
      bb_audio_StopChannel(ch);
      m_voiceSounding[i] = 0;
    }
  }
}

int c_KxPlayer::p_Kx_Stop(int full) {
  StopSoundingVoices();
  if (full == 1) m_state = kStopped;
  return 0;
}

int c_KxPlayer::p_Kx_Alive_U(int paused, int enabled) {
  if (m_state == kStopped) StopSoundingVoices();
  if (m_state == kPlaying && paused == 0 && m_loadStep == 0) {
    if (enabled == 1) p_Kx_MusicPlay();
  } else if (paused == 1) {
    // Playing resumes this long after the pause ends.
    m_nextStepMs = bb_app_Millisecs() + 150;
  }
  if (m_state == kPlaying && (paused == 1 || enabled == 0)) StopSoundingVoices();
  return 0;
}

int c_KxPlayer::p_Kx_Alive_R() {
  // Loading draws and reads pixels: it needs a frame in progress.
  if (!bb_graphics_renderDevice) return 0;
  for (int i = 0; i < kChunksPerFrame && m_loadStep > 0; ++i) p_Kx_LoadChunk();
  bb_graphics_Cls(0, 0, 0);
  return 0;
}

namespace {

c_Sound* LoadInstrument(const char* prefix, int number, const char* suffix) {
  return bb_audio_LoadSound(String("inst/") + String(prefix) + String(number) + String(suffix));
}

}  // namespace

int c_KxPlayer::p_Kx_LoadChunk() {
  const int n = m_loadStep;
  if (n == 1 && bb_graphics_device) {
    gc_assign(m_songImage, bb_graphics_LoadImage2(m_songPath, 64, 64, kPatterns, c_Image::CentreHandle));
  }
  if (bb_audio_device) {
    if (n >= 2 && n <= 9) {
      const String entry = String("-") + String(n - 1) + String(".wav");
      gc_assign(m_drumsA[n - 1], bb_audio_LoadSound(String("inst/d") + String(m_instrument[1]) + entry));
    } else if (n >= 12 && n <= 19) {
      const String entry = String("-") + String(n - 11) + String(".wav");
      gc_assign(m_drumsB[n - 11], bb_audio_LoadSound(String("inst/d") + String(m_instrument[2]) + entry));
    } else if (n == 21) {
      gc_assign(m_voiceSound[2], LoadInstrument("lead", m_instrument[3], ".wav"));
    } else if (n == 22) {
      gc_assign(m_voiceSound[3], LoadInstrument("accompany", m_instrument[4], ".wav"));
    } else if (n == 23) {
      gc_assign(m_voiceSound[4], LoadInstrument("bass", m_instrument[5], ".wav"));
    }
  }
  if (m_songImage && n >= 5 && n < 5 + kDecodedPatterns && bb_graphics_renderDevice) DecodePattern(n - 5);
  m_loadStep += 1;
  m_nextStepMs = bb_app_Millisecs() + 100;
  if (m_loadStep > kLastLoadStep) m_loadStep = 0;
  return 0;
}

void c_KxPlayer::DecodePattern(int pattern) {
  Array<int> pixels(64 * 64);
  bb_graphics_Cls(1, 0, 0);
  bb_graphics_SetAlpha(1);
  bb_graphics_SetColor(1, 0, 0);
  bb_graphics_DrawRect(0, 0, 64, 64);
  bb_graphics_SetColor(255, 255, 255);
  // The handle is centred, so the frame covers pixels 0..63 in both directions.
  bb_graphics_DrawImage(m_songImage, 32, 32, pattern);
  bb_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
  int* out = &m_patterns[pattern * kPatternSize];
  for (int s = 0; s < kSteps; ++s) {
    for (int v = 0; v < 8; ++v) {
      for (int k = 0; k < kCellSize; ++k) {
        const int value = (pixels[s * 64 + v * 8 + k] & 255) >> 3;
        out[v * kVoiceSize + s * kCellSize + k] = value;
        if (value != 0) m_patternCount[v] = pattern;
      }
    }
  }
}

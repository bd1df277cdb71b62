// kx_sequencer.cpp: the player's sequencer tick, note playback, pitch and chord tables and the
// reseeded random song structure.
#include <cmath>
#include <cstdint>

#include "kx_player.h"
#include "runtime/host/app.h"

namespace {

// Rates of notes 1..32 (index 0 unused): equal-tempered semitones with 13 as unison, kept as the
// rounded constants the songs were tuned with rather than computed.
constexpr float kPitch[33] = {0,      0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f,
                              0.707f, 0.749f, 0.7935f, 0.841f, 0.891f,  0.944f, 1.0f,
                              1.059f, 1.122f, 1.189f,  1.26f,  1.335f,  1.414f, 1.498f,
                              1.587f, 1.682f, 1.782f,  1.888f, 2.0f,    2.118f, 2.244f,
                              2.378f, 2.52f,  2.67f,   2.828f, 2.996f};
// Keys of notes 1..32: two rows of a computer keyboard played as a piano.
constexpr char kPitchKeys[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

// Kit entry (1..8) played by drum note n; the white keys of one octave from unison up.
int DrumSlot(int note) {
  switch (note) {
    case 13: return 1;
    case 15: return 2;
    case 17: return 3;
    case 18: return 4;
    case 20: return 5;
    case 22: return 6;
    case 24: return 7;
    case 25: return 8;
    default: return 0;
  }
}

// The player's channels: 1..31 (channel 0 is never used for a voice, 32 is the music channel).
bool VoiceChannel(int ch) { return ch > 0 && ch < gxtkAudio::kMusicChannel; }

// The reseeds: (voice * 7 + section * 9 + song seed) * multiplier - offset, all in wrapping 32-bit
// arithmetic.
int Reseed(int voice, int section, int songSeed, uint32_t multiplier, uint32_t offset) {
  const uint32_t base = static_cast<uint32_t>(voice) * 7u + static_cast<uint32_t>(section) * 9u +
                        static_cast<uint32_t>(songSeed);
  return static_cast<int>(base * multiplier - offset);
}

}  // namespace

float c_KxPlayer::p_GetPitch(int n) { return n >= 1 && n <= 32 ? kPitch[n] : 0.0f; }

float c_KxPlayer::p_GetPitch_Alpha(int c) {
  for (int n = 1; n <= 32; ++n) {
    if (kPitchKeys[n - 1] == c) return kPitch[n];
  }
  return 0.0f;
}

String c_KxPlayer::p_Kx_GetChord(int n) {
  switch (n) {
    case 0: return String("qqqq");
    case 1: return String("qqjj");
    case 2: return String("qqbb");
    case 3: return String("qbqb");
    case 4: return String("qqqj");
    case 5: return String("qqzz");
    default: return String("qqjj");
  }
}

int c_KxPlayer::p_Rand(float lo, float hi) {
  const uint32_t seed = static_cast<uint32_t>(bb_random_Seed) * 1664525u + 1013904223u;
  bb_random_Seed = static_cast<int>(seed);
  const float r = static_cast<float>(seed >> 8) * 5.9604645e-8f;
  return static_cast<int>(std::floor(lo + (hi + 0.99f - lo) * r));
}

int c_KxPlayer::p_Kx_MusicPlay() {
  const int64_t now = bb_app_Millisecs();
  // A due time implausibly far ahead counts as due.
  if (now <= m_nextStepMs && m_nextStepMs <= now + 123456) return 0;
  const int voices = m_voiceCount < 8 ? m_voiceCount : 8;
  for (int v = 0; v < voices; ++v) {
    int p = m_voicePattern[v];
    const int* cell = &m_patterns[p * kPatternSize + v * kVoiceSize + m_step * kCellSize];
    if (cell[kEffect] == kAlternate) {
      // A pattern pair carrying 27/1 and 27/2 at one step swaps from one repeat to the next. A
      // switch that would leave the song's patterns is ignored.
      int to = p;
      if (cell[kParameter] == 1 && m_repeatsLeft % 2 == 1) to = p + 1;
      if (cell[kParameter] == 2 && m_repeatsLeft % 2 == 0) to = p - 1;
      if (to != p && to >= 0 && to < kPatterns) {
        m_voicePattern[v] = p = to;
        cell = &m_patterns[p * kPatternSize + v * kVoiceSize + m_step * kCellSize];
      }
    }
    const int effect = cell[kEffect];
    p_Kx_PlayNote(v, cell[kNote], cell[kVolume], effect, cell[kParameter]);
    // The voices after this one already read the last step of the bar.
    if (effect == kPatternBreak) m_step = kSteps - 1;
  }
  const int tempo = m_tempo > 0 ? m_tempo : 1;
  const float stepMs = (1.0f / static_cast<float>(tempo)) * 8000.0f;
  // The sum in double: a float would lose whole milliseconds once the clock passes 2^24 ms.
  m_nextStepMs = static_cast<int>(static_cast<double>(m_nextStepMs) + static_cast<double>(stepMs));

  m_step = (m_step + 1) % kSteps;
  if (m_step != 0) return 0;
  bb_random_Seed = Reseed(0, m_section, m_songSeed, 2001863745u, 2084129712u);
  AdvanceChord();
  m_repeatsLeft -= 1;
  if (m_repeatsLeft > 0) return 0;
  StartSection();
  return 0;
}

void c_KxPlayer::AdvanceChord() {
  // Each progression's four roots play one bar each; its closing space only marks the end.
  if (m_chord.Length() == 0) return;
  m_chord = m_chord.Slice(1);
  if (m_chord.Length() == 0 || m_chord[0] == ' ') {
    m_chord = p_Kx_GetChord(p_Rand(0, 4)) + String(" ");
  }
}

void c_KxPlayer::StartSection() {
  const uint32_t seed = static_cast<uint32_t>(Reseed(0, m_section, m_songSeed, 2941245873u, 1127147172u));
  bb_random_Seed = static_cast<int>(seed);
  const float r = static_cast<float>(seed >> 8) * 5.9604645e-8f;
  m_repeatsLeft = 2 * static_cast<int>(std::floor(r * 1.99f + 1.0f));
  m_section += 1;
  const int voices = m_voiceCount < 8 ? m_voiceCount : 8;
  for (int i = 0; i < voices; ++i) {
    bb_random_Seed = Reseed(i, m_section, m_songSeed, 1948736821u, 873057359u);
    m_voicePattern[i] = p_Rand(0, static_cast<float>(m_patternCount[i]));
    if (m_state > 1) m_voiceMuted[i] = m_voiceMutedNext[i];
    m_voiceMutedNext[i] = p_Rand(0, 1);
    m_voiceLeadIn[i] = p_Rand(0, 1);
  }
  // The two drum voices never rest together.
  if (m_voiceMuted[0] == 1 && m_voiceMuted[1] == 1) m_voiceMuted[0] = 0;
}

int c_KxPlayer::p_Kx_PlayNote(int voice, int note, int volume, int effect, int parameter) {
  if (voice < 0 || voice >= 8) return 0;
  const int v = voice;
  int muted = m_voiceMuted[v];
  if (m_state >= kPlaying) {
    // A voice that plays in the next section may come in during the last eight steps of this one.
    if (m_repeatsLeft <= 1 && m_step > 55 && m_voiceLeadIn[v] == 1 && m_voiceMutedNext[v] == 0) muted = 0;
    m_transpose = 1.0f;
    if (m_chord.Length() > 0) {
      const float root = p_GetPitch_Alpha(m_chord[0]);
      // A character that names no note leaves the pitch alone instead of sending a rate of 0.
      if (root > 0) m_transpose = root;
    }
  } else {
    m_transpose = 1.0f;
  }
  const int voices = m_voiceCount < 8 ? m_voiceCount : 8;
  for (int i = 0; i < voices; ++i) m_voiceChannel[i] = m_channelBase - 1 - i;
  const int ch = m_voiceChannel[v];
  const bool usable = VoiceChannel(ch);

  if ((v == 0 || v == 1) && note > 0 && !muted && usable) {
    bb_audio_StopChannel(ch);
    c_Sound* hit = nullptr;
    const int slot = DrumSlot(note);
    if (slot > 0) hit = v == 0 ? m_drumsA[slot] : m_drumsB[slot];
    if (hit) {
      m_voiceSounding[v] = 1;
      bb_audio_PlaySound(hit, ch, 0);
      bb_audio_SetChannelPan(ch, v == 0 ? -0.35f : 0.35f);
    }
    m_voicePitch[v] = 1.0f;
    m_voiceEnvelope[v] = 4.0f;
  }

  // Volume 0 keeps the level, 1..30 map onto 0..1, 31 silences at once.
  float level = static_cast<float>(volume - 1) / 29.0f;
  if (level > 1.0f) {
    m_voiceEnvelope[v] = 0;
    level = 0;
  } else if (level < 0) {
    level = 0;
  }
  if (volume > 0 && usable && !muted) {
    m_voiceEnvelope[v] = 1.5f;
    bb_audio_SetChannelVolume(ch, level * m_masterVolume);
    m_voiceLevel[v] = level;
  } else {
    level = m_voiceLevel[v];
  }

  // Held above 1, then faded multiplicatively, then silenced.
  const float e = m_voiceEnvelope[v] - 0.1f;
  m_voiceEnvelope[v] = e;
  if (e < 1.0f) {
    if (e < 0) {
      m_voiceEnvelope[v] = 0;
      level = 0;
    } else {
      level *= e;
    }
    if (usable) {
      bb_audio_SetChannelVolume(ch, level * m_masterVolume);
      m_voiceLevel[v] = level;
    }
  }

  if (v >= 2 && v <= 4 && note > 0 && !muted && usable) {
    bb_audio_StopChannel(ch);
    const float pitch = p_GetPitch(note) * m_transpose;
    m_voicePitch[v] = pitch;
    m_voiceEnvelope[v] = 1.5f;
    bb_audio_SetChannelRate(ch, pitch);
    if (m_voiceSound[v]) {
      m_voiceSounding[v] = 1;
      bb_audio_PlaySound(m_voiceSound[v], ch, m_loopFlags);
    }
  }

  if (muted || !usable) return 0;
  float pitch = m_voicePitch[v];
  switch (effect) {
    case kSlideUp: pitch = std::fmin(pitch + static_cast<float>(parameter) / 180.0f, 4.0f); break;
    case kSlideDown: pitch = std::fmax(pitch - static_cast<float>(parameter) / 180.0f, 0.25f); break;
    case kSlideUpFast: pitch = std::fmin(pitch + static_cast<float>(parameter) / 15.0f, 4.0f); break;
    case kSlideDownFast: pitch = std::fmax(pitch - static_cast<float>(parameter) / 15.0f, 0.25f); break;
    default: return 0;
  }
  m_voicePitch[v] = pitch;
  bb_audio_SetChannelRate(ch, pitch);
  return 0;
}

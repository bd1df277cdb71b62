// kx_player.h: c_KxPlayer, the game's procedural music player.
//
// A song is a set of 64-step patterns for five voices (drum kits A and B, lead, accompaniment,
// bass) stored in the blue channel of one image of 64 frames, and WAVE instrument samples chosen by
// number. The player loads the image and the samples a few steps per rendered frame, decodes each
// pattern by drawing its frame and reading the pixels back, and sequences the patterns on five
// audio channels of its own. Which pattern each voice plays, how long a section lasts, which voices
// rest and the chord root of each bar are drawn from the shared random generator after reseeding it
// from the song seed, so one song seed always gives the same music.
// Depends on: the graphics module (image loading, drawing, read-back), the audio module, the host's
// clock and the shared random generator.
// Must not touch: OpenGL or OpenAL directly, audio channels outside its own five, game state (the
// game passes its pause flag and music setting in).
#pragma once

#include "runtime/audio/sound.h"
#include "runtime/graphics/graphics.h"
#include "runtime/object/array.h"
#include "runtime/object/object.h"

class c_KxPlayer : public Object {
 public:
  // Pattern data layout: value k of voice v at step s of pattern p is element
  // p * kPatternSize + v * kVoiceSize + s * kCellSize + k.
  static constexpr int kPatterns = 64;
  static constexpr int kSteps = 64;
  static constexpr int kCellSize = 8;
  static constexpr int kVoiceSize = kSteps * kCellSize;
  static constexpr int kPatternSize = 8 * kVoiceSize;
  // Frames 0 to 62 of the song image are decoded, by loading steps 5 to 67.
  static constexpr int kDecodedPatterns = 63;
  static constexpr int kLastLoadStep = 70;
  static constexpr int kChunksPerFrame = 3;
  // Cell values.
  static constexpr int kNote = 0, kVolume = 1, kEffect = 2, kParameter = 3;
  // Effects.
  static constexpr int kSlideUp = 1, kSlideDown = 2, kSlideUpFast = 3, kSlideDownFast = 4;
  static constexpr int kPatternBreak = 8;
  static constexpr int kAlternate = 27;
  // States.
  static constexpr int kStopped = 0, kPlaying = 2;

  c_KxPlayer* m_new();
  void mark() override;

  // Channel base and the four settings values (kept in m_settings[1..4]).
  int p_Kx_Init(int channelBase, int a, int b, int c, int d);
  // Silences every sounding voice; full == 1 also stops the player.
  int p_Kx_Stop(int full);
  // The update hook, once per game update: plays due steps while playing, loaded, not paused and
  // enabled; otherwise holds and silences.
  int p_Kx_Alive_U(int paused, int enabled);
  // The render hook, first thing in the render pass: up to three loading steps, then a black clear
  // that hides their drawing. Does nothing outside a frame.
  int p_Kx_Alive_R();
  // Performs loading step m_loadStep and advances it.
  int p_Kx_LoadChunk();

  // One sequencer tick: plays at most one due step of every voice.
  int p_Kx_MusicPlay();
  // Plays one pattern cell on one voice.
  int p_Kx_PlayNote(int voice, int note, int volume, int effect, int parameter);
  // Bar roots of chord progression n.
  String p_Kx_GetChord(int n);
  // Playback rate of note n (13 is unison), 0 outside 1..32.
  float p_GetPitch(int n);
  // Playback rate of the note on keyboard key c (piano layout over two rows), 0 for other keys.
  float p_GetPitch_Alpha(int c);
  // One draw of the shared generator: an integer from lo to hi inclusive.
  int p_Rand(float lo, float hi);

  int m_channelBase = 0;
  Array<int> m_settings;
  int m_loadStep = 0;
  Array<int> m_instrument;
  Array<c_Sound*> m_drumsA;
  Array<c_Sound*> m_drumsB;
  Array<c_Sound*> m_voiceSound;
  String m_songPath;
  c_Image* m_songImage = nullptr;
  Array<int> m_patterns;
  Array<int> m_patternCount;
  int m_nextStepMs = 0;
  int m_state = 0;
  int m_voiceCount = 5;
  Array<int> m_voiceChannel;
  Array<int> m_voiceSounding;
  Array<int> m_voicePattern;
  int m_step = 0;
  int m_repeatsLeft = 0;
  Array<int> m_voiceMuted;
  Array<int> m_voiceLeadIn;
  Array<int> m_voiceMutedNext;
  float m_transpose = 0;
  String m_chord;
  Array<float> m_voicePitch;
  Array<float> m_voiceEnvelope;
  float m_masterVolume = 0.5f;
  Array<float> m_voiceLevel;
  int m_loopFlags = 1;
  int m_tempo = 95;
  int m_songSeed = 0;
  int m_section = 0;

 private:
  // The loop of p_Kx_Stop without touching m_state.
  void StopSoundingVoices();
  // Draws frame p of the song image and reads it back into pattern p.
  void DecodePattern(int pattern);
  // Moves the chord string on by one bar, drawing a new progression when its roots are used up.
  void AdvanceChord();
  // Section end: section length, then each voice's pattern, muting and lead-in.
  void StartSection();
};

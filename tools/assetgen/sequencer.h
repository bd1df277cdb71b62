// The tune sequencer: a song is a tempo, melodic tracks of note events (in beats) played by
// synthesiser instruments, and a drum track. Rendering places every event, adds a tempo-synced
// echo per track, and pans the tracks into a stereo mix.
#pragma once

#include <vector>

#include "synth.h"

namespace assetgen {

struct Instrument {
  Note voice;           // wave, envelope, vibrato, volume; freq and length come from the events
  float pan = 0.0f;     // -1 left .. 1 right
  float echo = 0.0f;    // echo level (0 = none), heard on the opposite side
  float echoBeats = 0.75f;
  float gate = 0.9f;    // fraction of the written length that is held before the release
};

struct NoteEvent {
  double beat;      // start, in beats from the song start
  float midi;       // pitch
  float beats;      // written length
  float velocity;   // 0..1
};

struct Track {
  Instrument instrument;
  std::vector<NoteEvent> events;
};

enum class Drum { Kick, Snare, Hat, OpenHat };
struct DrumHit {
  double beat;
  Drum drum;
  float velocity;
};

struct Song {
  float bpm = 120.0f;
  double lengthBeats = 0.0;  // the song ends here (plus the last releases)
  std::vector<Track> tracks;
  std::vector<DrumHit> drums;
  float drumVolume = 0.5f;
};

// Renders the song at `rate` into equal-length stereo buffers, normalised with a short fade-out.
void renderSong(const Song& song, int rate, std::vector<float>& left, std::vector<float>& right);

}  // namespace assetgen

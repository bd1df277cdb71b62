// music_support.h: what the music tests share: a host whose clock the test sets, an audio device that
// logs the player's channel commands (over the audio tests' loopback output), a player as the game sets it up.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/music/kx_player.h"
#include "runtime/host/app.h"
#include "tests/audio/audio_support.h"

namespace kxtest {

using Log = std::vector<std::string>;
using P = c_KxPlayer;

// The audio channels of the five voices with the game's channel base of 32.
constexpr int kDrumsA = 31, kDrumsB = 30, kLead = 29, kAccompany = 28, kBass = 27;

// The test program's one host: the desktop host (it loads files) with a clock only the test moves.
struct ClockHost : BBDesktopGame {
  int Millisecs() override { return now; }
  int now = 1000;
};
inline ClockHost* Clock() {
  static ClockHost* host = static_cast<ClockHost*>(bb_app__game = new ClockHost);
  return host;
}

// A value as the log writes it: four significant digits.
inline std::string Format(float value) { return (std::ostringstream() << std::setprecision(4) << value).str(); }

// Forwards everything to OpenAL and logs the channel commands: "29 rate 1.26", "31 play A1 0"; samples
// are named by their place in a NewPlayer (kit entries A1-A8 and B1-B8, voices v2-v4), any other "?".
class RecordingAudio : public gxtkAudio {
 public:
  using gxtkAudio::gxtkAudio;
  void PlaySample(gxtkSample* s, int ch, int flags) override {
    const unsigned n = s->buffer;
    Note(ch, "play " + (n > 100 ? "?ABv"[n / 100] + std::to_string(n % 100) : "?") + " " + std::to_string(flags));
    gxtkAudio::PlaySample(s, ch, flags);
  }
  void StopChannel(int ch) override { Note(ch, "stop"), gxtkAudio::StopChannel(ch); }
  void SetVolume(int ch, float v) override { Note(ch, "volume " + Format(v)), gxtkAudio::SetVolume(ch, v); }
  void SetPan(int ch, float pan) override { Note(ch, "pan " + Format(pan)), gxtkAudio::SetPan(ch, pan); }
  void SetRate(int ch, float rate) override { Note(ch, "rate " + Format(rate)), gxtkAudio::SetRate(ch, rate); }
  void Note(int channel, const std::string& what) { log.push_back(std::to_string(channel) + " " + what); }

  Log log;
};

// A player as the game creates it (channel base 32), playing, with a silent sample in every kit entry and voice.
inline c_KxPlayer* NewPlayer() {
  c_KxPlayer* p = (new c_KxPlayer)->m_new();
  p->p_Kx_Init(32, 4, 3, 3, 4);
  for (int slot = 1; slot <= 8; ++slot) {
    gc_assign(p->m_drumsA[slot], (new c_Sound)->m_new(new gxtkSample(100 + slot)));
    gc_assign(p->m_drumsB[slot], (new c_Sound)->m_new(new gxtkSample(200 + slot)));
    if (slot >= 2 && slot <= 4) gc_assign(p->m_voiceSound[slot], (new c_Sound)->m_new(new gxtkSample(300 + slot)));
  }
  p->m_state = c_KxPlayer::kPlaying;
  p->m_nextStepMs = Clock()->now;
  return p;
}

// A fresh heap, a recording device over a loopback output, and a new player.
class KxFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    gc_clear_roots();
    out = std::make_unique<bbtest::Loopback<RecordingAudio>>();
    player = NewPlayer();
  }
  Log& Commands() { return out->audio->log; }
  // What the commands of one kind ("" for all) to one channel said: "1.26" of "29 rate 1.26".
  Log Sent(int channel, const std::string& op) {
    const std::string prefix = std::to_string(channel) + " " + op;
    const size_t from = prefix.size() + !op.empty();
    Log said;
    for (const std::string& line : Commands())
      if (!line.compare(0, prefix.size(), prefix)) said.push_back(line.substr(std::min(line.size(), from)));
    return said;
  }
  // Writes the cell of voice v at step s of pattern p.
  void SetCell(int p, int v, int s, int note, int volume, int effect = 0, int parameter = 0) {
    int* cell = &player->m_patterns[p * P::kPatternSize + v * P::kVoiceSize + s * P::kCellSize];
    cell[P::kNote] = note, cell[P::kVolume] = volume, cell[P::kEffect] = effect, cell[P::kParameter] = parameter;
  }
  // Updates with the next step due: the clock moves just past the due time before each.
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) Clock()->now = player->m_nextStepMs + 1, player->p_Kx_Alive_U(0, 1);
  }

  std::unique_ptr<bbtest::Loopback<RecordingAudio>> out;
  c_KxPlayer* player = nullptr;
};

}  // namespace kxtest

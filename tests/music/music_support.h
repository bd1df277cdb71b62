// music_support.h: what the music tests share: a host whose clock the test sets, an audio device
// that logs every channel command the player gives (over the audio tests' loopback output), and a
// player set up as the game sets it up.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game/music/kx_player.h"
#include "runtime/host/app.h"
#include "tests/audio/audio_support.h"

namespace kxtest {

using Log = std::vector<std::string>;

// The audio channels of the five voices with the game's channel base of 32.
constexpr int kDrumsA = 31, kDrumsB = 30, kLead = 29, kAccompany = 28, kBass = 27;

// The desktop host (it loads files) with a clock that moves only when the test moves it.
class ClockHost : public BBDesktopGame {
 public:
  int Millisecs() override { return now; }
  int now = 1000;
};

// The one host of the test program, installed as the application layer's host.
inline ClockHost* Clock() {
  static ClockHost* host = [] {
    auto* h = new ClockHost;
    bb_app__game = h;
    return h;
  }();
  return host;
}

// A value as the log writes it: four significant digits.
inline std::string Format(float value) {
  std::ostringstream s;
  s.precision(4);
  s << value;
  return s.str();
}

// Forwards everything to OpenAL and logs the channel commands ("29 rate 1.26", "31 play A1 0"),
// each sample named by its place in the player: drum kit entries A1-A8 and B1-B8, voices v2-v4.
class RecordingAudio : public gxtkAudio {
 public:
  using gxtkAudio::gxtkAudio;
  void PlaySample(gxtkSample* sample, int channel, int flags) override {
    Note(channel, "play " + Name(sample) + " " + std::to_string(flags));
    gxtkAudio::PlaySample(sample, channel, flags);
  }
  void StopChannel(int channel) override {
    Note(channel, "stop");
    gxtkAudio::StopChannel(channel);
  }
  void SetVolume(int channel, float volume) override {
    Note(channel, "volume " + Format(volume));
    gxtkAudio::SetVolume(channel, volume);
  }
  void SetPan(int channel, float pan) override {
    Note(channel, "pan " + Format(pan));
    gxtkAudio::SetPan(channel, pan);
  }
  void SetRate(int channel, float rate) override {
    Note(channel, "rate " + Format(rate));
    gxtkAudio::SetRate(channel, rate);
  }

  Log log;
  c_KxPlayer* player = nullptr;  // whose samples are named

 private:
  void Note(int channel, const std::string& what) { log.push_back(std::to_string(channel) + " " + what); }
  std::string Name(gxtkSample* sample) const {
    for (int slot = 1; player && slot <= 8; ++slot) {
      if (player->m_drumsA[slot] && player->m_drumsA[slot]->m_sample == sample) return "A" + std::to_string(slot);
      if (player->m_drumsB[slot] && player->m_drumsB[slot]->m_sample == sample) return "B" + std::to_string(slot);
    }
    for (int v = 2; player && v <= 4; ++v) {
      if (player->m_voiceSound[v] && player->m_voiceSound[v]->m_sample == sample) return "v" + std::to_string(v);
    }
    return "?";
  }
};

// A player as the game creates it (channel base 32), playing and loaded, with a sample of its own
// in every kit entry and melodic voice; its samples are the ones the log names.
inline c_KxPlayer* NewPlayer() {
  c_KxPlayer* player = (new c_KxPlayer)->m_new();
  player->p_Kx_Init(32, 4, 3, 3, 4);
  for (int slot = 1; slot <= 8; ++slot) {
    gc_assign(player->m_drumsA[slot], (new c_Sound)->m_new(new gxtkSample));
    gc_assign(player->m_drumsB[slot], (new c_Sound)->m_new(new gxtkSample));
  }
  for (int v = 2; v <= 4; ++v) gc_assign(player->m_voiceSound[v], (new c_Sound)->m_new(new gxtkSample));
  player->m_state = c_KxPlayer::kPlaying;
  player->m_nextStepMs = Clock()->now;
  if (auto* audio = dynamic_cast<RecordingAudio*>(bb_audio_device)) audio->player = player;
  return player;
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
  void TearDown() override { out.reset(); }

  Log& Commands() { return out->audio->log; }
  // What the commands of one kind (all, for "") to one channel said, in order: "1.26" of "29 rate 1.26".
  Log Sent(int channel, const std::string& op) {
    const std::string prefix = std::to_string(channel) + " " + op;
    Log said;
    for (const std::string& line : Commands()) {
      if (line.compare(0, prefix.size(), prefix) != 0) continue;
      const std::string rest = line.substr(prefix.size());
      said.push_back(rest.empty() || rest[0] != ' ' ? rest : rest.substr(1));
    }
    return said;
  }
  // Writes the cell of voice v at step s of pattern p.
  void SetCell(int p, int v, int s, int note, int volume, int effect = 0, int parameter = 0) {
    int* cell = &player->m_patterns[p * c_KxPlayer::kPatternSize + v * c_KxPlayer::kVoiceSize + s * c_KxPlayer::kCellSize];
    cell[c_KxPlayer::kNote] = note;
    cell[c_KxPlayer::kVolume] = volume;
    cell[c_KxPlayer::kEffect] = effect;
    cell[c_KxPlayer::kParameter] = parameter;
  }
  // One update with the next step due: the clock moves just past the due time.
  void Tick() {
    Clock()->now = player->m_nextStepMs + 1;
    player->p_Kx_Alive_U(0, 1);
  }
  void Bars(int n) {
    for (int i = 0; i < n * 64; ++i) Tick();
  }

  std::unique_ptr<bbtest::Loopback<RecordingAudio>> out;
  c_KxPlayer* player = nullptr;
};

}  // namespace kxtest

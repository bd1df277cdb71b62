// music_support.h: what the music tests share: a host whose clock the test sets, an audio device
// over OpenAL Soft's loopback output that records every channel command the player issues, and a
// player set up as the game sets it up.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "game/music/kx_player.h"
#include "runtime/audio/device.h"
#include "runtime/host/game.h"

namespace kxtest {

// The desktop host (it loads files) with a clock that moves only when the test moves it.
class ClockHost : public BBDesktopGame {
 public:
  int Millisecs() override { return now; }
  int now = 1000;
};
// The one host of the test program, installed as the application layer's host.
ClockHost* Clock();

struct Command {
  enum Op { Stop, Play, Volume, Pan, Rate };
  Op op;
  int channel;
  float value;                  // volume, pan or rate
  gxtkSample* sample = nullptr; // Play
  int flags = 0;                // Play
};

// Forwards everything to OpenAL and keeps a log of the channel commands.
class RecordingAudio : public gxtkAudio {
 public:
  RecordingAudio(ALCdevice* device, const ALCint* attributes) : gxtkAudio(device, attributes) {}
  void PlaySample(gxtkSample* sample, int channel, int flags) override;
  void StopChannel(int channel) override;
  void SetVolume(int channel, float volume) override;
  void SetPan(int channel, float pan) override;
  void SetRate(int channel, float rate) override;

  // The commands of one kind on one channel, in order.
  std::vector<Command> Of(Command::Op op, int channel) const;
  std::vector<Command> log;
};

// A recording device over a loopback output of its own, installed as the audio module's device for
// as long as it lives. Nothing is heard; sources advance only as far as the test renders.
class Loopback {
 public:
  static constexpr int kRate = 22050;
  Loopback();
  ~Loopback();
  Loopback(const Loopback&) = delete;
  Loopback& operator=(const Loopback&) = delete;
  // The next frames of the mix, interleaved left and right.
  std::vector<float> Render(int frames);

  RecordingAudio* audio = nullptr;

 private:
  ALCdevice* device_ = nullptr;
};

// A log with each sample named by the drum slot (1-8 kit A, 11-18 kit B) or voice (22-24) of the
// player that holds it, so that logs of different loads or players can be compared.
using Event = std::tuple<int, int, float, int, int>;
std::vector<Event> Heard(const std::vector<Command>& log, c_KxPlayer* player);

// A player as the game creates it (channel base 32), playing and loaded, with a distinct silent
// sound in every drum slot and melodic voice so that the log shows which one was played.
c_KxPlayer* NewPlayer();
// Writes the cell of voice v at step s of pattern p.
void SetCell(c_KxPlayer* player, int p, int v, int s, int note, int volume, int effect = 0, int parameter = 0);
// One update with the next step due: the clock moves just past the due time.
void Tick(c_KxPlayer* player);

// Queues the roots, marks everything and sweeps; garbage waits in the free list.
void FullCollection();
bool Reclaimed(const void* p);

}  // namespace kxtest

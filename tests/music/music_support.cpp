// music_support.cpp: the clock host, the recording device and the player set-up.
#include "music_support.h"

#include <AL/alext.h>

#include <cstdlib>
#include <map>

#include "runtime/audio/sound.h"
#include "runtime/host/app.h"
#include "runtime/object/gc.h"

namespace kxtest {

ClockHost* Clock() {
  static ClockHost* host = [] {
    auto* h = new ClockHost;
    bb_app__game = h;
    return h;
  }();
  return host;
}

void RecordingAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  log.push_back({Command::Play, channel, 0, sample, flags});
  gxtkAudio::PlaySample(sample, channel, flags);
}

void RecordingAudio::StopChannel(int channel) {
  log.push_back({Command::Stop, channel, 0});
  gxtkAudio::StopChannel(channel);
}

void RecordingAudio::SetVolume(int channel, float volume) {
  log.push_back({Command::Volume, channel, volume});
  gxtkAudio::SetVolume(channel, volume);
}

void RecordingAudio::SetPan(int channel, float pan) {
  log.push_back({Command::Pan, channel, pan});
  gxtkAudio::SetPan(channel, pan);
}

void RecordingAudio::SetRate(int channel, float rate) {
  log.push_back({Command::Rate, channel, rate});
  gxtkAudio::SetRate(channel, rate);
}

std::vector<Command> RecordingAudio::Of(Command::Op op, int channel) const {
  std::vector<Command> out;
  for (const Command& c : log) {
    if (c.op == op && c.channel == channel) out.push_back(c);
  }
  return out;
}

Loopback::Loopback() {
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  if (!open) std::abort();
  device_ = open(nullptr);
  if (!device_) std::abort();
  const ALCint attributes[] = {ALC_FREQUENCY, kRate, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, ALC_HRTF_SOFT, ALC_FALSE,
                               ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE, 0};
  audio = new RecordingAudio(device_, attributes);
  gxtkAudio::discarded.clear();
  bb_audio_SetAudioDevice(audio);
}

Loopback::~Loopback() {
  bb_audio_device = nullptr;
  gxtkAudio::discarded.clear();
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(audio->alcContext);
  alcCloseDevice(device_);
}

std::vector<float> Loopback::Render(int frames) {
  auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(device_, "alcRenderSamplesSOFT"));
  std::vector<float> mix(static_cast<size_t>(frames) * 2);
  render(device_, mix.data(), frames);
  return mix;
}

std::vector<Event> Heard(const std::vector<Command>& log, c_KxPlayer* player) {
  std::map<gxtkSample*, int> who;
  for (int slot = 1; slot <= 8; ++slot) {
    if (player->m_drumsA[slot]) who[player->m_drumsA[slot]->m_sample] = slot;
    if (player->m_drumsB[slot]) who[player->m_drumsB[slot]->m_sample] = 10 + slot;
  }
  for (int v = 2; v <= 4; ++v) {
    if (player->m_voiceSound[v]) who[player->m_voiceSound[v]->m_sample] = 20 + v;
  }
  std::vector<Event> out;
  for (const Command& c : log) {
    const auto found = who.find(c.sample);
    out.emplace_back(c.op, c.channel, c.value, c.sample && found != who.end() ? found->second : -1, c.flags);
  }
  return out;
}

c_KxPlayer* NewPlayer() {
  Clock();
  c_KxPlayer* player = (new c_KxPlayer)->m_new();
  player->p_Kx_Init(32, 4, 3, 3, 4);
  for (int slot = 1; slot <= 8; ++slot) {
    gc_assign(player->m_drumsA[slot], (new c_Sound)->m_new(new gxtkSample));
    gc_assign(player->m_drumsB[slot], (new c_Sound)->m_new(new gxtkSample));
  }
  for (int v = 2; v <= 4; ++v) gc_assign(player->m_voiceSound[v], (new c_Sound)->m_new(new gxtkSample));
  player->m_state = c_KxPlayer::kPlaying;
  player->m_nextStepMs = Clock()->now;
  return player;
}

void SetCell(c_KxPlayer* player, int p, int v, int s, int note, int volume, int effect, int parameter) {
  int* cell = &player->m_patterns[p * c_KxPlayer::kPatternSize + v * c_KxPlayer::kVoiceSize + s * c_KxPlayer::kCellSize];
  cell[c_KxPlayer::kNote] = note;
  cell[c_KxPlayer::kVolume] = volume;
  cell[c_KxPlayer::kEffect] = effect;
  cell[c_KxPlayer::kParameter] = parameter;
}

void Tick(c_KxPlayer* player) {
  Clock()->now = player->m_nextStepMs + 1;
  player->p_Kx_Alive_U(0, 1);
}

void FullCollection() {
  gc_mark();
  gc_mark_queued(0x7fffffff);
  gc_sweep();
}

bool Reclaimed(const void* p) {
  for (const gc_object* q = gc_free_list.succ; q != &gc_free_list; q = q->succ) {
    if (q == p) return true;
  }
  return false;
}

}  // namespace kxtest

// state_fuzz.cpp: the game's save loader (c_MyApp::p_Load) on arbitrary state files.
//
// The input is written as the state file of a scratch working folder and loaded by the game the
// way it starts. Promises checked: the loaded settings keep their floors; saving what was loaded
// and loading that again gives back the same values. state_seeds.cpp shares start-up and save.
#include <unistd.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "game/app.h"
#include "game/globals.h"
#include "runtime/host/start.h"
#include "runtime/object/gc.h"
#include "runtime/services/files.h"

c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace {

// Loads the real state file; a save is kept in memory, so that the round trip needs no disk.
class StateHost : public BBGlfwGame {
 public:
  std::string saved;
  int SaveState(String state) override {
    saved = state.ToUtf8();
    return 0;
  }
};

StateHost* host = nullptr;
c_MyApp* app = nullptr;

template <class T>
std::vector<T> Copy(const Array<T>& array) {
  return std::vector<T>(array.Data(), array.Data() + array.Length());
}

// The values a save writes and a load reads.
auto Values() {
  return std::make_tuple(Copy(app->m_Settings), Copy(app->m_Scores), Copy(app->m_Quest), Copy(app->m_BadgeGot));
}

void WriteStateFile(const void* data, size_t size) {
  std::ofstream file(bbStateFileName, std::ios::binary);
  FUZZ_CHECK(file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size)).good());
}

}  // namespace

// Saves the game as a player's quitting would: the text of the state file.
std::string SaveText() {
  app->p_Save();
  app->p_FinishSave();
  FUZZ_CHECK(app->m_SaveCursor == -1);
  return std::exchange(host->saved, std::string());
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The status lines of every load would drown libFuzzer's report.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  char folder[] = "/tmp/zudodo-state-fuzz-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
  gc_init();
  host = new StateHost;
  bbProgramInit = bbGameInit;
  app = static_cast<c_MyApp*>(bbStartProgram());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteStateFile(data, size);
  app->p_Load();
  const Array<int>& s = app->m_Settings;
  FUZZ_CHECK(s[10] >= 64 && s[11] >= 64 && s[12] >= 8 && s[14] == 1);
  FUZZ_CHECK(bb_GW_overscan == 0.0f);
  // The round trip writes and reads a whole save; it is taken for inputs the size of a save and
  // for one smaller input in eight, chosen by size so that a failing input fails again.
  if (size < 32768 && size % 8 != 0) {
    gc_collect();
    return 0;
  }
  const auto loaded = Values();

  const std::string text = SaveText();
  WriteStateFile(text.data(), text.size());
  // Loading it again must not reset anything, so first spoil every value it should restore.
  for (int i = 0; i < app->m_Settings.Length(); ++i) app->m_Settings[i] = -7;
  for (int i = 0; i < app->m_BadgeGot.Length(); ++i) app->m_BadgeGot[i] = !app->m_BadgeGot[i];
  for (int i = 0; i < 480; ++i) app->m_Scores[i] ^= 0x5a5a;
  for (int i = 0; i < 20000; ++i) app->m_Quest[i] ^= 0x5a5a;
  app->p_Load();
  FUZZ_CHECK(Values() == loaded);
  gc_collect();
  return 0;
}

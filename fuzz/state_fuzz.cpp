// state_fuzz.cpp: the game's save loader (c_MyApp::p_Load) on arbitrary state files.
//
// The input is written as the state file of a scratch working folder and loaded by the game the
// way it starts. Promises checked: the loaded settings keep their floors; saving what was loaded
// and loading that again gives back exactly the same values.
#include <unistd.h>

#include <cstring>
#include <string>
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
  String saved;
  int SaveState(String state) override {
    saved = state;
    return 0;
  }
};

StateHost* host = nullptr;
c_MyApp* app = nullptr;

// The values a save writes and a load reads.
struct Values {
  std::vector<int> settings, scores, quest;
  std::vector<bool> badges;
  explicit Values(c_MyApp* a)
      : settings(a->m_Settings.Data(), a->m_Settings.Data() + a->m_Settings.Length()),
        scores(a->m_Scores.Data(), a->m_Scores.Data() + a->m_Scores.Length()),
        quest(a->m_Quest.Data(), a->m_Quest.Data() + a->m_Quest.Length()),
        badges(a->m_BadgeGot.Data(), a->m_BadgeGot.Data() + a->m_BadgeGot.Length()) {}
  bool operator==(const Values& o) const {
    return settings == o.settings && scores == o.scores && quest == o.quest && badges == o.badges;
  }
};

void WriteStateFile(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(bbStateFileName, "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The status lines of every load would drown libFuzzer's report.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  char folder[] = "/tmp/zudodo-state-fuzz-XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
  gc_init();
  host = new StateHost;
  bbProgramInit = bbGameInit;
  bbRegisterRoots();
  bbInit();
  gc_mark();
  app = static_cast<c_MyApp*>(bbNewApplication());
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
  Values loaded(app);

  app->p_Save();
  app->p_FinishSave();
  FUZZ_CHECK(app->m_SaveCursor == -1);
  std::string text = host->saved.ToUtf8();
  WriteStateFile(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  // Loading it again must not reset anything, so first spoil every value it should restore.
  for (int i = 0; i < app->m_Settings.Length(); ++i) app->m_Settings[i] = -7;
  for (int i = 0; i < app->m_BadgeGot.Length(); ++i) app->m_BadgeGot[i] = !app->m_BadgeGot[i];
  for (int i = 0; i < 480; ++i) app->m_Scores[i] ^= 0x5a5a;
  for (int i = 0; i < 20000; ++i) app->m_Quest[i] ^= 0x5a5a;
  app->p_Load();
  FUZZ_CHECK(Values(app) == loaded);
  host->saved = String();
  gc_collect();
  return 0;
}

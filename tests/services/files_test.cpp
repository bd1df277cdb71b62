// Paths, whole-file loading and the state file, in a scratch working directory.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/host/app.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "runtime/services/databuffer.h"
#include "runtime/services/files.h"
#include "scratch.h"

namespace {

String S(const char* utf8) { return String::FromUtf8(utf8); }

std::string ReadFile(const char* path) {
  std::stringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

void WriteFile(const char* path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Each test runs in a fresh folder of its own, as the game runs in its folder.
class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    dir_ = bbtest::ScratchFolder() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_EQ(mkdir(dir_.c_str(), 0755), 0);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    bb_app__game = &host_;
  }
  std::string dir_;
  BBGlfwGame host_;
};

TEST(Paths, BareNamesGoToTheDataFolderAndTheSchemesMapOntoFolders) {
  const struct {
    const char *path, *fixed, *file;
  } rows[] = {
      {"gfx/a.png", "app://data/gfx/a.png", "gfx/a.png"}, {"./.gamestate", "./.gamestate", "./.gamestate"},
      {"/a.png", "/a.png", "/a.png"},                        {"file://x/y", "file://x/y", "file://x/y"},
      {"a/b:/c", "app://data/a/b:/c", "a/b:/c"},  // a slash before the colon: not a scheme
      {"app://data/title.png", "app://data/title.png", "./data/title.png"},
      {"app://internal/save", "app://internal/save", "./internal/save"},
      {"app://external/x", "app://external/x", "./external/x"},
      {"app:foo", "app://data/app:foo", ""},  // a colon without a slash: no scheme
      {"app://DATA/x", "app://DATA/x", ""},  // schemes are case-sensitive
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(bb_data_FixDataPath(S(row.path)).ToUtf8(), row.fixed);
    EXPECT_EQ(bbPathToFilePath(S(row.path)).ToUtf8(), row.file);
  }
}

TEST_F(Files, FilesOpenByUtf8NameAndLoadWholeWhateverTheirSize) {
  mkdir("data", 0755);
  WriteFile("data/caf\xc3\xa9.txt", "hello");
  EXPECT_EQ(host_.LoadString(S("app://data/caf\xc3\xa9.txt")).ToUtf8(), "hello");
  EXPECT_EQ(host_.LoadString(S("app://data/missing")).ToUtf8(), "");
  EXPECT_EQ(host_.OpenFile(S("app:foo"), S("rb")), nullptr);
  std::string bytes;
  for (size_t size : {0, 4095, 4096, 4097, 10000}) {
    bytes.resize(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    WriteFile("blob", bytes);
    int length = -1;
    unsigned char* data = host_.LoadData(S("blob"), &length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<size_t>(length)), bytes) << size;
    std::free(data);
  }
  int length = 123;
  EXPECT_EQ(host_.LoadData(S("nothing"), &length), nullptr);
  EXPECT_EQ(length, 123) << "length is untouched on failure";
  // Data buffers load through the host, once.
  BBDataBuffer* b = new BBDataBuffer;
  EXPECT_TRUE(b->_Load(S("blob")));
  EXPECT_EQ(b->Length(), 10000);
  EXPECT_EQ(b->PeekByte(9999), static_cast<signed char>(bytes.back()));
  EXPECT_FALSE(b->_Load(S("blob")));
  EXPECT_FALSE((new BBDataBuffer)->_Load(S("nothing")));
}

TEST_F(Files, StateRoundTripsAsUtf8AndAFailedWriteLeavesTheOldStateAndNoTemporaryFile) {
  EXPECT_EQ(bb_app_LoadState().ToUtf8(), "") << "no state file yet";
  EXPECT_EQ(bb_app_SaveState(String()), 0);
  EXPECT_EQ(ReadFile(".gamestate"), "");
  const Char units[] = {u'A', 0xe9, u'|', 0xd83d, 0xde00, 0x20ac};
  String state(units, 6);
  EXPECT_EQ(bb_app_SaveState(state), 0);
  EXPECT_EQ(ReadFile(".gamestate"), "A\xc3\xa9|\xed\xa0\xbd\xed\xb8\x80\xe2\x82\xac")
      << "each unit on its own, no byte-order mark, no line break";
  EXPECT_TRUE(bb_app_LoadState() == state);
  // A file size limit stops the new state part-way (root ignores permissions, but not this limit).
  struct rlimit saved, small;
  getrlimit(RLIMIT_FSIZE, &saved);
  small = saved;
  small.rlim_cur = 64;
  signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int result = bb_app_SaveState(S(std::string(1000, 'x').c_str()));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(result, -2);
  EXPECT_TRUE(bb_app_LoadState() == state);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "only the state file";

  // A state file linked into a synced folder is saved through the link; either way the file keeps
  // its permissions.
  mkdir("synced", 0755);
  for (const char* file : {"synced/state", ".gamestate"}) {
    const bool linked = file[0] == 's';
    WriteFile(file, "old");
    chmod(file, 0640);
    if (linked) { ASSERT_EQ(unlink(".gamestate") + symlink("synced/state", ".gamestate"), 0); }
    ASSERT_EQ(bb_app_SaveState(S("new")), 0);
    struct stat st;
    EXPECT_TRUE(lstat(".gamestate", &st) == 0 && S_ISLNK(st.st_mode) == linked) << file;
    EXPECT_TRUE(stat(file, &st) == 0 && (st.st_mode & 0777) == 0640) << file;
    EXPECT_EQ(ReadFile(file), "new");
    unlink(".gamestate");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("synced"), {}), 1) << "nothing beside the link's target";

  // A working directory that no longer exists: nothing can be created in it.
  mkdir("gone", 0755);
  ASSERT_EQ(chdir("gone"), 0);
  ASSERT_EQ(rmdir((dir_ + "/gone").c_str()), 0);
  EXPECT_EQ(bb_app_SaveState(S("x")), -1);
  EXPECT_EQ(bb_app_LoadState().ToUtf8(), "");
}

}  // namespace

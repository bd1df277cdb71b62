// Paths, whole-file loading and the state file, in a scratch working directory.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/host/app.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "runtime/services/files.h"

namespace {

std::string N(const String& s) { return s.ToUtf8(); }
String S(const char* utf8) { return String::FromUtf8(utf8); }

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const char* path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// Files in a folder, without "." and "..".
int CountEntries(const char* folder) {
  int n = 0;
  DIR* d = opendir(folder);
  while (dirent* e = readdir(d)) n += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
  closedir(d);
  return n;
}

// Runs each test in a fresh temporary working directory, as the game runs in its folder.
class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    char templ[] = "/tmp/zudodo-files-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    char* cwd = getcwd(nullptr, 0);
    old_ = cwd;
    std::free(cwd);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    host_ = new BBGlfwGame;
    bb_app__game = host_;
  }
  void TearDown() override {
    delete host_;
    if (chdir(old_.c_str()) != 0) std::abort();
    std::string cmd = "rm -rf '" + dir_ + "'";
    if (std::system(cmd.c_str()) != 0) std::abort();
  }
  std::string dir_, old_;
  BBGlfwGame* host_ = nullptr;
};

TEST(Paths, FixDataPathAddsTheDataSchemeToBareNames) {
  EXPECT_EQ(N(bb_data_FixDataPath(S("gfx/a.png"))), "app://data/gfx/a.png");
  EXPECT_EQ(N(bb_data_FixDataPath(S("title.png"))), "app://data/title.png");
  EXPECT_EQ(N(bb_data_FixDataPath(S("./a.png"))), "./a.png");
  EXPECT_EQ(N(bb_data_FixDataPath(S("/a.png"))), "/a.png");
  EXPECT_EQ(N(bb_data_FixDataPath(S("file://x/y"))), "file://x/y");
  EXPECT_EQ(N(bb_data_FixDataPath(S("app://data/x"))), "app://data/x");
  EXPECT_EQ(N(bb_data_FixDataPath(S("a/b:/c"))), "app://data/a/b:/c") << "a slash before the colon";
}

TEST(Paths, DesktopMappingOfTheSchemes) {
  EXPECT_EQ(N(bbPathToFilePath(S("app://data/title.png"))), "./data/title.png");
  EXPECT_EQ(N(bbPathToFilePath(S("app://data/"))), "./data/");
  EXPECT_EQ(N(bbPathToFilePath(S("app://internal/save"))), "./internal/save");
  EXPECT_EQ(N(bbPathToFilePath(S("app://external/x"))), "./external/x");
  EXPECT_EQ(N(bbPathToFilePath(S("app:foo"))), "");
  EXPECT_EQ(N(bbPathToFilePath(S("app://DATA/x"))), "") << "schemes are case-sensitive";
  EXPECT_EQ(N(bbPathToFilePath(S("./.gamestate"))), "./.gamestate");
  EXPECT_EQ(N(bbPathToFilePath(S("Title.PNG"))), "Title.PNG");
}

TEST_F(Files, OpenFileMapsPathsAndRefusesTheEmptyPath) {
  mkdir("data", 0755);
  WriteFile("data/caf\xc3\xa9.txt", "hello");
  std::FILE* f = host_->OpenFile(S("app://data/caf\xc3\xa9.txt"), S("rb"));
  ASSERT_NE(f, nullptr) << "UTF-8 file names open";
  std::fclose(f);
  EXPECT_EQ(host_->OpenFile(S("app:foo"), S("rb")), nullptr);
  EXPECT_EQ(host_->OpenFile(S("app://data/missing"), S("rb")), nullptr);
  EXPECT_EQ(N(host_->LoadString(S("app://data/caf\xc3\xa9.txt"))), "hello");
  EXPECT_EQ(N(host_->LoadString(S("app://data/missing"))), "");
}

TEST_F(Files, LoadDataReadsWholeFilesOfAnySize) {
  for (size_t size : {size_t(0), size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(10000)}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    WriteFile("blob", bytes);
    int length = -1;
    gc_force_sweep = false;
    unsigned char* data = host_->LoadData(S("blob"), &length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(length, static_cast<int>(size));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<size_t>(length)), bytes) << size;
    EXPECT_TRUE(gc_force_sweep);
    std::free(data);
  }
  int length = 123;
  EXPECT_EQ(host_->LoadData(S("nothing"), &length), nullptr);
  EXPECT_EQ(length, 123) << "length is untouched on failure";
}

TEST_F(Files, StateRoundTripsAccentsAndSurrogatePairs) {
  const Char units[] = {u'A', 0xe9, u'|', 0xd83d, 0xde00, 0x20ac};
  String state(units, 6);
  EXPECT_EQ(bb_app_SaveState(state), 0);
  EXPECT_EQ(ReadFile(".gamestate"), "A\xc3\xa9|\xed\xa0\xbd\xed\xb8\x80\xe2\x82\xac")
      << "each unit on its own, no byte-order mark, no line break";
  EXPECT_TRUE(bb_app_LoadState() == state);
  EXPECT_EQ(bb_app_SaveState(S("\xc3\xa9")), 0);
  EXPECT_EQ(ReadFile(".gamestate"), "\xc3\xa9");
}

TEST_F(Files, EmptyAndMissingStates) {
  EXPECT_EQ(N(bb_app_LoadState()), "") << "no state file yet";
  EXPECT_EQ(bb_app_SaveState(String()), 0);
  struct stat st;
  ASSERT_EQ(stat(".gamestate", &st), 0);
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(bb_app_LoadState().Length(), 0);
}

TEST_F(Files, AFailedWriteLeavesTheOldStateIntact) {
  ASSERT_EQ(bb_app_SaveState(S("old|state|1234")), 0);
  // Limit file sizes so that the new state cannot be written in full (root ignores permissions,
  // but not this limit); the write fails with EFBIG instead of a signal.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string big(1000, 'x');
  int result = bb_app_SaveState(S(big.c_str()));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(result, -2);
  EXPECT_EQ(ReadFile(".gamestate"), "old|state|1234");
  EXPECT_EQ(CountEntries("."), 1) << "no temporary file is left behind";
}

// A state file linked into a synced folder is saved through the link; either way the file keeps
// its permissions.
TEST_F(Files, AStateIsSavedThroughALinkAndKeepsItsPermissions) {
  mkdir("synced", 0755);
  for (const char* file : {"synced/state", ".gamestate"}) {
    const bool linked = file[0] == 's';
    WriteFile(file, "old");
    chmod(file, 0600);
    if (linked && symlink("synced/state", ".gamestate") != 0) FAIL();
    ASSERT_EQ(bb_app_SaveState(S("new")), 0);
    struct stat st;
    EXPECT_TRUE(lstat(".gamestate", &st) == 0 && S_ISLNK(st.st_mode) == linked) << file;
    EXPECT_TRUE(stat(file, &st) == 0 && (st.st_mode & 0777) == 0600) << file;
    EXPECT_EQ(ReadFile(file), "new");
    unlink(".gamestate");
  }
  EXPECT_EQ(CountEntries("synced"), 1);
}

TEST_F(Files, AStateThatCannotBeCreatedReportsMinusOne) {
  // A working directory that no longer exists: nothing can be created in it.
  mkdir("gone", 0755);
  ASSERT_EQ(chdir("gone"), 0);
  ASSERT_EQ(rmdir((dir_ + "/gone").c_str()), 0);
  EXPECT_EQ(bb_app_SaveState(S("x")), -1);
  EXPECT_EQ(N(bb_app_LoadState()), "");
  ASSERT_EQ(chdir(dir_.c_str()), 0);
}

}  // namespace

// The platform layer against one set of expectations on each side (POSIX here, Windows under
// Wine): files opened by UTF-8 names and replaced whole or not at all, the counter and sleep,
// threads, and IPv4 sockets over the loopback interface.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "runtime/platform/clock.h"
#include "runtime/platform/file.h"
#include "runtime/platform/socket.h"
#include "runtime/platform/thread.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder of the test's own in the temporary folder, no other run's, removed afterwards.
class PlatformFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    do dir_ = fs::temp_directory_path() / ("zudodo-platform-" + std::to_string(random()));
    while (!fs::create_directory(dir_));
  }
  void TearDown() override { fs::remove_all(dir_, ignored_); }
  // The UTF-8 path of a name in the folder.
  std::string Path(const std::string& utf8Name) const { return (dir_ / fs::u8path(utf8Name)).u8string(); }
  std::string Read(const std::string& utf8Name) const {
    std::FILE* f = bbPlatformOpenFile(Path(utf8Name).c_str(), "rb");
    if (!f) return "<cannot open>";
    std::string bytes;
    char block[256];
    for (size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) bytes.append(block, n);
    std::fclose(f);
    return bytes;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().u8string());
    return names;
  }
  int Replace(const std::string& utf8Name, const std::string& bytes) {
    return bbPlatformReplaceFile(Path(utf8Name).c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                 bytes.size());
  }

  fs::path dir_;
  std::error_code ignored_;
};

TEST_F(PlatformFiles, NamesOutsideAsciiOpenUnderTheirOwnNameAndBytesStayAsWritten) {
  const std::string name = "\xC3\xA9tat-\xC5\xBE\xE2\x82\xAC.txt";  // état-ž€.txt
  const std::string bytes("line\r\nnext\n\0end\x1A", 15);
  std::FILE* f = bbPlatformOpenFile(Path(name).c_str(), "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  EXPECT_EQ(Names(), std::vector<std::string>{name});
  EXPECT_TRUE(bbPlatformPathExists(Path(name).c_str()));
  EXPECT_EQ(Read(name), bytes) << "binary modes: no line-end or end-of-file translation";
  EXPECT_EQ(Read("absent"), "<cannot open>");
  EXPECT_FALSE(bbPlatformPathExists(Path("absent").c_str()));
  EXPECT_EQ(bbPlatformOpenFile("", "rb"), nullptr);
}

TEST_F(PlatformFiles, ReplacingSwapsTheWholeFileOrLeavesEverythingAsItWas) {
  ASSERT_EQ(Replace(".gamestate", std::string(10000, 'a')), 0);
  ASSERT_EQ(Replace(".gamestate", "short"), 0);
  EXPECT_EQ(Read(".gamestate"), "short");
  ASSERT_EQ(Replace(".gamestate", ""), 0);
  EXPECT_EQ(Read(".gamestate"), "");
  EXPECT_EQ(Replace("missing/.gamestate", "x"), -1) << "no folder for the temporary file";
  // A folder in the file's place cannot be replaced by a file: the move fails, the temporary goes.
  fs::create_directory(dir_ / "taken");
  EXPECT_EQ(Replace("taken", "x"), -2);
  EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
  EXPECT_EQ(Names().size(), 2u) << "nothing beside the state file and the folder";
}

TEST(PlatformClock, TheCounterMeasuresASleepAndTheLocalTimeIsADate) {
  const long long frequency = bbPlatformCounterFrequency();
  for (double wanted : {0.05, 0.0004}) {  // a sleep under a millisecond sleeps too
    const long long before = bbPlatformCounter();
    bbPlatformSleep(wanted);
    const double seconds = static_cast<double>(bbPlatformCounter() - before) / static_cast<double>(frequency);
    EXPECT_TRUE(frequency > 0 && before >= 0);
    EXPECT_TRUE(seconds >= wanted * 0.9 && seconds < 2.0) << seconds;
  }
  const BBLocalTime t = bbPlatformLocalTime();
  EXPECT_TRUE(t.year >= 2024 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
              t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 61)
      << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":" << t.second;
}

TEST(PlatformThreads, EachThreadRunsItsFunctionOnceAndIsJoined) {
  std::atomic<int> runs{0};
  BBPlatformThread* threads[4];
  for (BBPlatformThread*& t : threads)
    ASSERT_NE(t = bbPlatformThreadStart([](void* p) { ++*static_cast<std::atomic<int>*>(p); }, &runs), nullptr);
  for (BBPlatformThread* t : threads) bbPlatformThreadJoin(t);
  EXPECT_EQ(runs.load(), 4);
}

TEST(PlatformSockets, TcpAndUdpOverLoopback) {
  ASSERT_TRUE(bbPlatformSocketsInit());
  ASSERT_TRUE(bbPlatformSocketsInit()) << "a second start is harmless";
  BBIPv4Address loopback, bound, peer, to, from, sender;
  ASSERT_TRUE(bbPlatformResolveIPv4("127.0.0.1", &loopback.address));
  EXPECT_EQ(bbPlatformNetworkToHost16(bbPlatformHostToNetwork16(0x1234)), 0x1234);

  BBNativeSocket server = bbPlatformSocketOpen(true), client = bbPlatformSocketOpen(true);
  ASSERT_TRUE(server != kBBNoSocket && bbPlatformSocketBind(server, loopback) && bbPlatformSocketListen(server, 1));
  ASSERT_TRUE(bbPlatformSocketLocalAddress(server, &bound));
  EXPECT_NE(bound.port, 0) << "port 0 binds to a free port";
  ASSERT_TRUE(bbPlatformSocketConnect(client, bound));
  BBNativeSocket accepted = bbPlatformSocketAccept(server);
  ASSERT_NE(accepted, kBBNoSocket);
  ASSERT_TRUE(bbPlatformSocketRemoteAddress(client, &peer));
  EXPECT_TRUE(peer.address == loopback.address && peer.port == bound.port);
  ASSERT_EQ(bbPlatformSocketSend(client, "ping", 4), 4);
  char got[16] = {};
  ASSERT_EQ(bbPlatformSocketReceive(accepted, got, sizeof got), 4);
  EXPECT_STREQ(got, "ping");
  for (BBNativeSocket s : {accepted, client, server}) bbPlatformSocketClose(s);

  BBNativeSocket a = bbPlatformSocketOpen(false), b = bbPlatformSocketOpen(false);
  ASSERT_TRUE(bbPlatformSocketBind(a, loopback) && bbPlatformSocketBind(b, loopback));
  ASSERT_TRUE(bbPlatformSocketLocalAddress(b, &to) && bbPlatformSocketLocalAddress(a, &sender));
  ASSERT_EQ(bbPlatformSocketSendTo(a, "datagram", 8, to), 8);
  ASSERT_EQ(bbPlatformSocketReceiveFrom(b, got, sizeof got, &from), 8);
  EXPECT_STREQ(got, "datagram");
  EXPECT_EQ(from.port, sender.port);
  for (BBNativeSocket s : {a, b}) bbPlatformSocketClose(s);
  EXPECT_EQ(bbPlatformSocketReceive(kBBNoSocket, got, 1), -1) << "no socket, no bytes";
}

}  // namespace

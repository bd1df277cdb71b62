// startup_bench.cpp: startup_bench GAME starts the game's real executable once, in a fresh folder
// holding a link to data/, and prints the time from starting the process to its first rendered
// frame and to the first frame of the title menu, as "name: value" lines (milliseconds). The game
// reports both frames through its start-up trace (runtime/host/startup_trace.h); the process is
// ended once the title menu is shown.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

long long NowMicros() {
  timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_usec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: startup_bench GAME\n");
    return 2;
  }
  char* game = realpath(argv[1], nullptr);
  if (!game) return 1;
  char folder[] = "/tmp/zudodo-startup-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  std::string link = std::string(folder) + "/data";
  if (symlink(ZUDODO_SOURCE_DIR "/data", link.c_str()) != 0) return 1;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;

  long long start = NowMicros();
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder) != 0) _exit(127);
    dup2(pipeFds[1], 2);
    close(pipeFds[0]);
    close(pipeFds[1]);
    int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, 1);
    setenv("ZUDODO_STARTUP_TRACE", "1", 1);
    setenv("ALSOFT_DRIVERS", "null", 0);
    execl(game, game, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);

  long long firstFrame = -1, titleMenu = -1;
  std::string pending;
  long long deadline = start + 60 * 1000000LL;
  while (titleMenu < 0 && NowMicros() < deadline) {
    pollfd p{pipeFds[0], POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) continue;
    char buffer[512];
    ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::string line = pending.substr(0, end);
      long long at = 0;
      if (std::sscanf(line.c_str(), "startup: first frame %lld", &at) == 1) firstFrame = at;
      if (std::sscanf(line.c_str(), "startup: title menu %lld", &at) == 1) titleMenu = at;
    }
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  std::string remove = std::string("rm -rf '") + folder + "'";
  if (std::system(remove.c_str()) != 0) return 1;
  if (firstFrame < 0 || titleMenu < 0) {
    std::fprintf(stderr, "startup_bench: the game did not report its first frame and title menu\n");
    return 1;
  }
  std::printf("startup_first_frame_ms: %.1f\n", static_cast<double>(firstFrame - start) / 1000.0);
  std::printf("startup_title_menu_ms: %.1f\n", static_cast<double>(titleMenu - start) / 1000.0);
  return 0;
}

// error.cpp: output lines, runtime errors and the debugger stop over the standard streams.
#include "error.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/object/gc.h"
#include "runtime/object/object.h"

const char* dbg_info = nullptr;
String dbg_exstack;
int dbg_suspend = 0;
int dbg_stepmode = 0;

int bbPrint(String s) {
  // One buffer, grown as needed, for the life of the process.
  static std::string line;
  line.clear();
  for (int i = 0; i < s.Length(); ++i) bbUtf8Append(line, static_cast<unsigned>(s[i]));
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
  return 0;
}

int bbDebugLog(String s) { return bbPrint(s); }

void (*bbAtNormalExit)() = nullptr;

void bbError(String message) {
  if (message.Length() == 0) {
    if (bbAtNormalExit) bbAtNormalExit();
    std::exit(0);
  }
  std::string narrow = message.ToNarrow();
  dbg_error(narrow.c_str());
}

namespace {

// Writes a line to standard error, each unit narrowed to its low byte.
void dbg_write_line(const String& s) {
  std::string narrow = s.ToNarrow();
  std::fprintf(stderr, "%s\n", narrow.c_str());
}

// Parses "@<address>" and returns the object only if the collector holds it right now; reading
// any other address typed on the debugger's input would be unsafe.
Object* dbg_object_at(const char* text) {
  char* end = nullptr;
  unsigned long long value = std::strtoull(text, &end, 16);
  if (end == text) return nullptr;
  void* p = reinterpret_cast<void*>(static_cast<std::uintptr_t>(value));
  if (!gc_holds(p)) return nullptr;
  return dynamic_cast<Object*>(static_cast<gc_object*>(p));
}

// The debugger stop: reads commands until one resumes (returns) or ends the process.
void dbg_stop() {
  std::fprintf(stderr, "{{~~%s~~}}\n\n", dbg_info ? dbg_info : "");
  std::fflush(stderr);
  for (;;) {
    char buf[256];
    if (!std::fgets(buf, sizeof buf, stdin)) std::exit(-1);
    size_t n = std::strlen(buf);
    if (n == 0 || buf[n - 1] != '\n') std::exit(-1);
    buf[n - 1] = 0;
    switch (buf[0]) {
      case '?':
        break;
      case '@': {
        Object* obj = dbg_object_at(buf + 1);
        dbg_write_line(obj ? obj->debug() : String());
        std::fflush(stderr);
        break;
      }
      case 'r':
        dbg_suspend = 0;
        dbg_stepmode = 0;
        return;
      case 's':
      case 'e':
        dbg_suspend = 1;
        dbg_stepmode = buf[0];
        return;
      case 'l':
        dbg_suspend = 0;
        dbg_stepmode = 'l';
        return;
      case 'q':
        std::exit(0);
      default:
        std::printf("????? %s ?????\n", buf);
        std::fflush(stdout);
        std::exit(-1);
    }
  }
}

}  // namespace

void dbg_error(const char* err) {
  for (;;) {
    bbPrint(String("Runtime Error : ") + String(err));
    bbPrint(dbg_exstack);
    dbg_stop();
  }
}

void sighandler(int sig) {
  switch (sig) {
    case SIGFPE: dbg_error("Floating point exception");
    case SIGSEGV: dbg_error("Memory access violation");
    case SIGILL: dbg_error("Illegal instruction");
    default: dbg_error("Unknown signal");
  }
}

void bbInstallSignalHandlers() {
  std::signal(SIGSEGV, sighandler);
  std::signal(SIGILL, sighandler);
  std::signal(SIGFPE, sighandler);
}

// replay.cpp: runs a fuzz target over files instead of under libFuzzer. Each argument is a file or
// a folder whose files are fed one by one, in name order, to the target; the run fails as the
// target fails (abort, sanitizer report). Used by the ordinary tests to replay the corpora.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"

// Targets that need no start-up leave this out.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int*, char***);

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes->insert(bytes->end(), block, block + n);
  std::fclose(file);
  return true;
}

void Collect(const std::string& path, std::vector<std::string>* files) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    files->push_back(path);
    return;
  }
  DIR* dir = opendir(path.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) Collect(path + "/" + name, files);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) Collect(argv[i], &files);
  if (files.empty()) {
    std::fprintf(stderr, "replay: no input files\n");
    return 1;
  }
  // Every input is read before the target starts, which may change the working folder.
  std::vector<std::vector<uint8_t>> inputs(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    if (!ReadFile(files[i], &inputs[i])) {
      std::fprintf(stderr, "replay: cannot read %s\n", files[i].c_str());
      return 1;
    }
  }
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  for (size_t i = 0; i < files.size(); ++i) {
    std::fprintf(stderr, "replay: %s (%zu bytes)\n", files[i].c_str(), inputs[i].size());
    // A copy of exactly the input's size, so that a read past its end is caught.
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(inputs[i].size() ? inputs[i].size() : 1));
    std::copy(inputs[i].begin(), inputs[i].end(), copy);
    LLVMFuzzerTestOneInput(copy, inputs[i].size());
    std::free(copy);
  }
  std::fprintf(stderr, "replay: %zu inputs passed\n", files.size());
  return 0;
}

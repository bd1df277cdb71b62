// replay.cpp: runs a fuzz target over files instead of under libFuzzer. Each argument is a file or
// a folder whose files are fed one by one, in name order, to the target; the run fails as the
// target fails (abort, sanitizer report). Used by the ordinary tests to replay the corpora.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"

// Targets that need no start-up leave this out.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int*, char***);

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (!std::filesystem::is_directory(argv[i])) files.push_back(argv[i]);
    else
      for (const auto& entry : std::filesystem::directory_iterator(argv[i])) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  // Every input is read before the target starts, which may change the working folder.
  std::vector<std::vector<uint8_t>> inputs;
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
      return 1;
    }
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (files.empty()) {
    std::fprintf(stderr, "replay: no input files\n");
    return 1;
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

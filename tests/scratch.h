// scratch.h: a folder of this test program's own for the files its tests write, made once per
// process under the test temporary folder, so that two runs of the suite never meet.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace bbtest {

// The folder, with a trailing slash.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string pattern = ::testing::TempDir() + "zudodo-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/";
  }();
  return folder;
}

}  // namespace bbtest

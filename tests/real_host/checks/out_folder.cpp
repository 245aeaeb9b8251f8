// The one main() of the real-host check programs: the folder comes as the
// only argument or in TARVIK_REAL_HOST_OUT; listing the tests needs none.
#include "checks/out_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string& OutFolder() {
  static std::string folder;
  return folder;
}

}  // namespace

const std::string& RealHostOutFolder() { return OutFolder(); }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const char* fromEnvironment = std::getenv("TARVIK_REAL_HOST_OUT");
  if (argc == 2)
    OutFolder() = argv[1];
  else if (fromEnvironment != nullptr)
    OutFolder() = fromEnvironment;
  if (OutFolder().empty() && !::testing::GTEST_FLAG(list_tests)) {
    const std::string program = std::filesystem::path(argv[0]).filename().string();
    std::fprintf(stderr, "usage: %s [gtest options] OUT_FOLDER, or set TARVIK_REAL_HOST_OUT\n", program.c_str());
    return 2;
  }
  return RUN_ALL_TESTS();
}

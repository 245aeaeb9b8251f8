// Runs the built tarvik-route in a folder of its own for the tool tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/program_run.h"

namespace tools_test {

inline const std::string kTool = TARVIK_ROUTE_PROGRAM;
inline const std::string kSource = TARVIK_SOURCE_DIR;

// A fresh folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder() {
    char name[] = "/tmp/tarvik_tools_XXXXXX";
    path_ = mkdtemp(name) != nullptr ? name : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Arguments are passed through the shell as written.
inline test_support::ProgramRun RunTool(const std::string& arguments) {
  const TempFolder errFolder;
  return test_support::RunCommand(kTool + " " + arguments, errFolder.File("stderr"));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace tools_test

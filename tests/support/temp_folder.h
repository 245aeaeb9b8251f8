// A fresh folder for one test's files, removed with everything in it when
// the object goes, the same as the working directory of a module test, and
// the two ways tests move bytes in and out of files.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Makes the folders above path as needed.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-test-XXXXXX").string();
    // A test that cannot have its folder must stop, not write elsewhere.
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return std::filesystem::path(path_) / name; }
  // Returns the written file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteBytes(File(name), bytes);
    return File(name);
  }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// Switches into a fresh folder, as the host runs the module from its own;
// goes back before the folder goes.
class TempWorkingDirectory {
 public:
  TempWorkingDirectory() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(folder_.Path()); }
  ~TempWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  // The module's route folder below it, created on first use.
  std::filesystem::path RouteFolder() const {
    const auto folder = folder_ / "Config" / "TKMFD" / "routes";
    std::filesystem::create_directories(folder);
    return folder;
  }
  void WriteRoute(const std::string& name, const std::string& text) const { WriteBytes(RouteFolder() / name, text); }

 private:
  std::filesystem::path previous_;
  TempFolder folder_;
};

}  // namespace test_support

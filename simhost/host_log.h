// The simulated host's log. Each line goes to the log file as it is
// written and to whoever listens; it is kept in memory only when asked, as
// tests read it there: a route of millions of waypoints writes tens of
// millions of lines, more than memory should hold.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace simhost {

class HostLog {
 public:
  using Listener = std::function<void(std::string_view line)>;

  HostLog() = default;
  ~HostLog();
  HostLog(const HostLog&) = delete;
  HostLog& operator=(const HostLog&) = delete;

  // Lines are appended to the file from now on; empty: to no file. The file
  // before is closed, and a failure to finish it is kept as a write fault.
  // Throws std::runtime_error when the file cannot be opened.
  void SetFile(const std::string& path);
  void WriteLine(const char* line);

  // Every line written from now on, one call each; an empty listener stops.
  void SetListener(Listener listener) { listener_ = std::move(listener); }
  // Whether lines are kept in memory (on at first and after Reset).
  void KeepLines(bool keep);
  const std::vector<std::string>& Lines() const { return lines_; }
  void ClearLines() { lines_.clear(); }

  // The first line the file did not take, as "PATH: cannot write it: why",
  // or empty. Lines after a fault are not written to the file.
  const std::string& WriteFault() const { return writeFault_; }
  // Forgets the lines, the listener and the fault, keeps lines again; the
  // file stays.
  void Reset();

 private:
  void FileFailed();

  std::vector<std::string> lines_;
  bool keepLines_ = true;
  Listener listener_;
  std::string path_;
  std::FILE* file_ = nullptr;
  std::string writeFault_;
};

}  // namespace simhost

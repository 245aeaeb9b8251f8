#include "simhost/host_log.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace simhost {

HostLog::~HostLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void HostLog::SetFile(const std::string& path) {
  if (file_ != nullptr) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) FileFailed();
  }
  path_ = path;
  if (path.empty()) return;
  file_ = std::fopen(path.c_str(), "a");
  if (file_ == nullptr) throw std::runtime_error("cannot open log file " + path);
}

void HostLog::WriteLine(const char* line) {
  if (keepLines_) lines_.emplace_back(line);
  if (listener_) listener_(line);
  if (file_ == nullptr || !writeFault_.empty()) return;
  // Flushed line by line, so that the log holds every line up to a crash.
  if (std::fputs(line, file_) == EOF || std::fputc('\n', file_) == EOF || std::fflush(file_) != 0) FileFailed();
}

void HostLog::KeepLines(bool keep) {
  keepLines_ = keep;
  if (!keep) {
    lines_.clear();
    lines_.shrink_to_fit();
  }
}

void HostLog::Reset() {
  lines_.clear();
  keepLines_ = true;
  listener_ = nullptr;
  writeFault_.clear();
}

void HostLog::FileFailed() {
  if (writeFault_.empty()) writeFault_ = path_ + ": cannot write it: " + std::strerror(errno);
}

}  // namespace simhost

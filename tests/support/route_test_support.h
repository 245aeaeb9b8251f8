// Helpers shared by the route tests: temporary route files and an error
// sink that records what it is told.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "route/section_text.h"

namespace route_test {

// A file holding the given bytes, removed when the object goes.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes) {
    char name[] = "/tmp/tarvik_route_XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    if (fd >= 0) {
      std::size_t written = 0;
      while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
      }
      close(fd);
    }
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

class RecordingSink final : public ErrorSink {
 public:
  void ReportError(const std::string& message) override { messages.push_back(message); }
  std::vector<std::string> messages;
};

}  // namespace route_test

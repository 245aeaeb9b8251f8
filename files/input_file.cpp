#include "files/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace files {

std::string WhyUnreadable(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat status {};
  const bool folder = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
  close(fd);
  return folder ? "it is a folder" : "";
}

}  // namespace files

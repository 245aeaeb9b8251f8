#include "files/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace files {

namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;
constexpr int kMostLinksFollowed = 40;  // as the kernel allows
constexpr int kNameTries = 100;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link at its end followed; a link that leads
// nowhere gives the path of the file it would make.
bool FollowLinks(std::string& path, int& why) {
  for (int followed = 0; followed <= kMostLinksFollowed; ++followed) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
      why = errno;
      return why == ENOENT;
    }
    if (!S_ISLNK(status.st_mode)) return true;
    std::string to(4096, '\0');
    const ssize_t length = readlink(path.c_str(), to.data(), to.size());
    if (length < 0) {
      why = errno;
      return false;
    }
    to.resize(static_cast<std::size_t>(length));
    path = to.starts_with('/') ? to : FolderOf(path) + "/" + to;
  }
  why = ELOOP;
  return false;
}

bool WriteAll(int fd, std::string_view bytes, int& why) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      why = written < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A name nobody can guess ahead, so that a file or link left there by
// someone else is met by O_EXCL and another name tried.
int CreateTemporary(const std::string& target, std::string& temporary, int& why) {
  std::random_device random;
  for (int tries = 0; tries < kNameTries; ++tries) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.partial", static_cast<unsigned>(random()));
    temporary = FolderOf(target) + "/." + NameOf(target) + suffix;
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      why = errno;
      temporary.clear();
      return -1;
    }
  }
  why = EEXIST;
  temporary.clear();
  return -1;
}

bool SameFile(const struct stat& a, const std::string& path) {
  struct stat b {};
  return stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::string OutputName(const std::string& path) { return path == "-" ? "standard output" : path; }

OutputFile::~OutputFile() {
  if (fd_ >= 0 && kind_ != Kind::StandardOutput) close(fd_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

std::string OutputFile::Open(const std::string& path, const std::vector<std::string>& inputs) {
  if (path == "-") {
    // What stdio holds goes first, so that the two keep their order.
    if (std::fflush(stdout) != 0) return std::strerror(errno);
    kind_ = Kind::StandardOutput;
    fd_ = STDOUT_FILENO;
    return {};
  }
  if (path.empty()) return std::strerror(ENOENT);
  target_ = path;
  int why = 0;
  if (!FollowLinks(target_, why)) return std::strerror(why);
  struct stat status {};
  targetExisted_ = stat(target_.c_str(), &status) == 0;
  if (targetExisted_) {
    if (S_ISDIR(status.st_mode)) return "it is a folder";
    for (const std::string& input : inputs)
      if (SameFile(status, input)) return "it is the input file " + input;
    if (!S_ISREG(status.st_mode)) {
      // A device or a pipe is written in place: a rename would replace it.
      kind_ = Kind::Device;
      fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
      return fd_ < 0 ? std::strerror(errno) : "";
    }
    targetMode_ = status.st_mode & 07777;
    targetLinked_ = status.st_nlink > 1;
  }
  fd_ = CreateTemporary(target_, temporary_, why);
  if (fd_ < 0) return std::strerror(why);
  if (targetExisted_ && fchmod(fd_, targetMode_) != 0 && errno_ == 0) errno_ = errno;
  return {};
}

void OutputFile::Write(std::string_view bytes) {
  if (fd_ < 0 || errno_ != 0) return;
  buffer_.append(bytes);
  if (buffer_.size() >= kBufferBytes) Flush();
}

bool OutputFile::Flush() {
  if (errno_ == 0 && !WriteAll(fd_, buffer_, errno_)) {
    buffer_.clear();
    return false;
  }
  buffer_.clear();
  return errno_ == 0;
}

std::string OutputFile::Fault() const { return std::strerror(errno_); }

std::string OutputFile::Commit() {
  if (fd_ < 0) return std::strerror(EBADF);
  const bool flushed = Flush();
  if (kind_ == Kind::StandardOutput) {
    fd_ = -1;
    return flushed ? "" : Fault();
  }
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && errno_ == 0) errno_ = errno;
  if (errno_ != 0) return Fault();
  if (kind_ == Kind::Device) return {};
  if (targetLinked_) return RewriteLinkedTarget();
  if (rename(temporary_.c_str(), target_.c_str()) != 0) return std::strerror(errno);
  temporary_.clear();
  return {};
}

// A rename would part the target from its other links. The whole text is
// in the temporary by now; the target's room for it is taken before its
// first byte changes, so a full disk leaves it as it was.
std::string OutputFile::RewriteLinkedTarget() {
  std::string text;
  const int from = open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return std::strerror(errno);
  char chunk[kBufferBytes];
  ssize_t got = 0;
  while ((got = read(from, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(got));
  const int readWhy = errno;
  close(from);
  if (got < 0) return std::strerror(readWhy);
  const int to = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
  if (to < 0) return std::strerror(errno);
  int why = 0;
  if (!text.empty()) why = posix_fallocate(to, 0, static_cast<off_t>(text.size()));
  if (why != 0 && why != EINVAL && why != EOPNOTSUPP) {
    close(to);
    return std::strerror(why);
  }
  why = 0;
  const bool written = WriteAll(to, text, why) && ftruncate(to, static_cast<off_t>(text.size())) == 0;
  if (!written && why == 0) why = errno;
  if (close(to) != 0 && why == 0) why = errno;
  if (why != 0) {
    // The target is part old, part new: the whole new text stays beside it.
    const std::string kept = temporary_;
    temporary_.clear();
    return std::string(std::strerror(why)) + "; the whole text is in " + kept;
  }
  return {};
}

std::string WriteOutputFile(const std::string& path, std::string_view bytes, const std::vector<std::string>& inputs) {
  OutputFile file;
  if (std::string why = file.Open(path, inputs); !why.empty()) return why;
  file.Write(bytes);
  return file.Commit();
}

}  // namespace files

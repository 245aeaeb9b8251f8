// The one way every output file is written, by the tools and the
// simulator alike. The text goes into a fresh temporary file beside the
// target, made exclusively so that nothing already there is followed or
// removed, and takes the target's place only once every write and the
// close succeeded: a failure leaves the old file as it was and no half
// file. "-" is standard output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace files {

// "standard output" for "-", else the path: for messages.
std::string OutputName(const std::string& path);

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // a temporary not put in place is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Empty on success, else why the file cannot be written. An output that
  // is one of the inputs (same device and inode) is refused. A symbolic
  // link is written through: the file it leads to is replaced.
  std::string Open(const std::string& path, const std::vector<std::string>& inputs = {});

  // Buffered; the first failure is kept and reported by Commit.
  void Write(std::string_view bytes);

  // Puts the whole text in place; empty on success, else why not. The
  // replaced file's mode is kept; a file with more than one hard link is
  // rewritten in place so the links keep sharing it.
  std::string Commit();

  bool IsOpen() const { return fd_ >= 0; }

 private:
  enum class Kind { Replace, Device, StandardOutput };
  bool Flush();
  std::string Fault() const;
  std::string RewriteLinkedTarget();

  Kind kind_ = Kind::Replace;
  int fd_ = -1;
  std::string target_;     // the file replaced, links followed
  std::string temporary_;  // beside it, until committed
  bool targetExisted_ = false;
  unsigned targetMode_ = 0;
  bool targetLinked_ = false;  // more than one hard link
  std::string buffer_;
  int errno_ = 0;  // the first failure
};

// Open, Write and Commit in one.
std::string WriteOutputFile(const std::string& path, std::string_view bytes,
                            const std::vector<std::string>& inputs = {});

}  // namespace files

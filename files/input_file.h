// Whether a file opens for reading, asked the same way by the tools and
// the simulator before they read, so both name the same reason.
#pragma once

#include <string>

namespace files {

// Empty when the path opens for reading as a file; else why not: the
// system's words ("Permission denied", "No such file or directory") or
// "it is a folder".
std::string WhyUnreadable(const std::string& path);

}  // namespace files

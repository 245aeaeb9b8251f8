// Root reads every file whatever its mode, and CI runs as root: a case
// about a file that may not be read runs as nobody. Where that cannot be
// done the case fails; it never passes unseen.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace test_support {

inline constexpr uid_t kNobody = 65534;

// Put before a command line: runs the program as nobody when we are root.
inline std::string AsUnprivileged() {
  return geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups -- " : "";
}

// Runs the check in a child process, as nobody when we are root. 0 when the
// check held, 1 when it did not, 2 when privileges could not be dropped.
inline int InUnprivilegedChild(const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                           setresuid(kNobody, kNobody, kNobody) != 0))
      _exit(2);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 2;
  return WEXITSTATUS(status);
}

}  // namespace test_support

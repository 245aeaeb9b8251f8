// Runs a built program the way a user would, through the shell, and reads
// back what it printed and how it ended.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace test_support {

struct ProgramRun {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Standard error goes to errPath (quoted here) and is read back from it.
inline ProgramRun RunCommand(const std::string& commandLine, const std::string& errPath) {
  ProgramRun run;
  std::FILE* pipe = popen((commandLine + " 2>'" + errPath + "'").c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errPath, std::ios::binary);
  std::ostringstream errText;
  errText << err.rdbuf();
  run.err = errText.str();
  return run;
}

}  // namespace test_support

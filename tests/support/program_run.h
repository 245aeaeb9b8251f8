// Runs a built program the way a user would, through the shell, and reads
// back what it printed and how it ended. Every test that starts a program
// goes through RunCommand.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_folder.h"

namespace test_support {

struct ProgramRun {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// The command line is given to the shell as written; standard error is
// kept in a folder of the run's own, so that runs never share it.
inline ProgramRun RunCommand(const std::string& commandLine) {
  ProgramRun run;
  const TempFolder errFolder;
  const std::string errPath = errFolder.File("stderr");
  std::FILE* pipe = popen((commandLine + " 2>'" + errPath + "'").c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.out.append(chunk, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadBytes(errPath);
  return run;
}

}  // namespace test_support

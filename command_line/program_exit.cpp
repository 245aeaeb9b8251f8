#include "command_line/program_exit.h"

#include <cstdio>

#include "text/terminal_text.h"

namespace command_line {

int Fail(const std::string& program, int status, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program.c_str(), TerminalText(message).c_str());
  return status;
}

void SayOutOfMemory(const char* program, const char* message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", program, message);
}

}  // namespace command_line

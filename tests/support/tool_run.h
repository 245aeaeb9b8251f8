// Runs the built tarvik-route for the tool tests.
#pragma once

#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace tools_test {

inline const std::string kTool = TARVIK_ROUTE_PROGRAM;
inline const std::string kSource = TARVIK_SOURCE_DIR;

using test_support::ReadBytes;
using test_support::TempFolder;
using test_support::WriteBytes;

// Arguments are passed through the shell as written.
inline test_support::ProgramRun RunTool(const std::string& arguments) {
  return test_support::RunCommand(kTool + " " + arguments);
}

}  // namespace tools_test

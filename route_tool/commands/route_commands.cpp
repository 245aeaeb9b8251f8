#include "route_tool/commands/route_commands.h"

#include <cstdio>

#include "files/output_file.h"
#include "route/route_messages.h"
#include "command_line/program_exit.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

int Fail(int status, const std::string& message) { return command_line::Fail(kProgram, status, message); }

int WriteOutput(const std::string& path, const std::string& bytes, const std::string& input) {
  if (const std::string why = files::WriteOutputFile(path, bytes, {input}); !why.empty())
    return Fail(kExitUsage, "cannot write " + files::OutputName(path) + ": " + why);
  return kExitOk;
}

bool OneRouteFileRead(const Arguments& files, const CommandLine& line, RouteInput& input, int& status) {
  if (files.size() != 1) {
    status = line.Refuse("expected one route file");
    return false;
  }
  const std::string& path = files.front();
  if (const std::string why = ReadRouteInput(path, input); !why.empty()) {
    status = Fail(kExitUsage, "cannot read " + path + ": " + why);
    return false;
  }
  return true;
}

int ModuleReadStatus(const RouteSource& source) {
  if (!source.errorFlag) return kExitOk;
  // Not a fault of the file: check would run out of memory too.
  if (source.errorText == route_messages::kOutOfMemory) return Fail(kExitUsage, kNotEnoughMemory);
  return Fail(kExitFailed,
              source.path + ": the module reads this file with an error; see tarvik-route check " + source.path);
}

int OutputFinished(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail(kExitUsage, "cannot write the output");
  return status;
}

}  // namespace route_tool

// tarvik-route plan: the route planner in the browser. The server is a
// program of its own beside tarvik-route (tarvik-route-planner), started
// in this process's place: the HTTP library and what it needs (TLS,
// compression) are then loaded only by the planner, and the other
// commands still start in little memory.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "route_tool/commands/route_commands.h"

namespace route_tool {
namespace {

constexpr char kUsage[] = "tarvik-route plan [FILE.route] [--base BASE.cfg]... [--folder DIR] [--port N] [--no-open]";
constexpr char kPlannerProgram[] = "tarvik-route-planner";

}  // namespace

std::string ReadPlanOptions(const Arguments& arguments, PlanOptions& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--base" || argument == "--folder" || argument == "--port") {
      if (i + 1 == arguments.size()) return argument + " needs a value";
      const std::string& value = arguments[++i];
      if (argument == "--base") {
        options.bases.push_back(value);
      } else if (argument == "--folder") {
        options.folder = value;
      } else {
        int port = -1;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
        if (error != std::errc{} || end != value.data() + value.size() || port < 0 || port > 65535)
          return "--port needs a port number from 0 (any free port) to 65535, not " + value;
        options.port = port;
      }
    } else if (argument == "--no-open") {
      options.open = false;
    } else if (argument.starts_with("-")) {
      return "unknown option " + argument;
    } else if (options.file) {
      return "expected at most one route file";
    } else {
      options.file = argument;
    }
  }
  return {};
}

std::filesystem::path PlannerProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::path() : self.parent_path()) / kPlannerProgram;
}

int RunPlan(const Arguments& arguments) {
  PlanOptions options;
  if (const std::string problem = ReadPlanOptions(arguments, options); !problem.empty())
    return UsageError(problem, kUsage);
  const std::string program = PlannerProgram().string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  return Fail(kExitUsage, "cannot start " + program + ": " + std::strerror(errno));
}

int RunPlanUsage(const std::string& problem) { return UsageError(problem, kUsage); }

}  // namespace route_tool

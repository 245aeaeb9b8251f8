// tarvik-route plan: the route planner in the browser. Starts the local
// server, prints the address with the session's token, opens it where a
// browser is at hand, and serves until it is stopped.
#include <spawn.h>
#include <sys/wait.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "route_tool/commands/route_commands.h"
#include "route_tool/planner/planner_safety.h"
#include "route_tool/planner/planner_server.h"

extern char** environ;

namespace route_tool {
namespace {

constexpr char kUsage[] = "tarvik-route plan [FILE.route] [--base BASE.cfg]... [--folder DIR] [--port N] [--no-open]";

// Hands the address to the desktop's browser, when there is a desktop.
void OpenInBrowser(const std::string& address) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return;
  const char* arguments[] = {"xdg-open", address.c_str(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char* const*>(arguments), environ) == 0) {
    int status = 0;
    waitpid(child, &status, 0);
  }
}

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

int RunPlanCommand(const PlanOptions& options) {
  namespace fs = std::filesystem;
  // The folder: as given, else the route file's, else the current one.
  fs::path folder = options.folder;
  if (folder.empty()) folder = options.file ? fs::path(*options.file).parent_path() : fs::path(".");
  if (folder.empty()) folder = ".";
  std::error_code error;
  if (!fs::is_directory(folder, error)) return Fail(kExitUsage, folder.string() + ": not a folder");
  PlannerSession session(folder);
  for (const std::string& base : options.bases) {
    if (const std::string why = session.AddBaseFile(base); !why.empty()) return Fail(kExitUsage, why);
  }
  if (options.file) {
    const ApiReply opened = session.OpenGiven(*options.file);
    if (opened.status != 200) return Fail(kExitUsage, opened.body.value("error", *options.file));
  }
  const std::string token = NewSessionToken();
  if (token.empty()) return Fail(kExitUsage, "cannot read the system's random source for the session's token");
  PlannerServer server(session, token);
  std::string why;
  if (!server.Bind(options.port, why)) return Fail(kExitUsage, why);
  std::printf("%s\n", server.Address().c_str());
  std::fflush(stdout);
  if (options.open) OpenInBrowser(server.Address());
  return server.Run() ? kExitOk : Fail(kExitUsage, "the server stopped: cannot serve on the port");
}

int RunPlan(const Arguments& arguments) {
  PlanOptions options;
  if (const std::string problem = ReadPlanOptions(arguments, options); !problem.empty())
    return UsageError(problem, kUsage);
  return RunPlanCommand(options);
}

}  // namespace route_tool

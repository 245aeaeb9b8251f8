// The planner program behind tarvik-route plan: starts the local server,
// prints the address with the session's token, opens it where a browser
// is at hand, and serves until it is stopped.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "route_tool/commands/route_commands.h"
#include "route_tool/planner/planner_safety.h"
#include "route_tool/planner/planner_server.h"
#include "simhost/sim_host.h"

extern char** environ;

namespace route_tool {
namespace {

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
  if (!server.Bind(static_cast<int>(options.port), why)) return Fail(kExitUsage, why);
  std::printf("%s\n", server.Address().c_str());
  std::fflush(stdout);
  if (options.open) OpenInBrowser(server.Address());
  return server.Run() ? kExitOk : Fail(kExitUsage, "the server stopped: cannot serve on the port");
}

}  // namespace route_tool

int main(int argc, char** argv) {
  simhost::host().KeepLogLines(false);
  route_tool::PlanOptions options;
  const route_tool::Arguments arguments(argv + 1, argv + argc);
  // The same line tarvik-route checked, read the same way.
  route_tool::CommandLine line("tarvik-route", std::string("tarvik-route plan ") + route_tool::kPlanArguments,
                               route_tool::kPlanAbout);
  if (const std::optional<int> end = route_tool::ReadPlanOptions(line, arguments, options)) return *end;
  try {
    return route_tool::RunPlanCommand(options);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tarvik-route: %s\n", route_tool::kNotEnoughMemory);
    return route_tool::kExitUsage;
  }
}

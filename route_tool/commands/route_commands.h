// The commands of tarvik-route, one source each. Every command takes the
// arguments after its name, writes its own output and returns the exit
// status; messages about the run go to standard error as
// "tarvik-route: ...".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "route_tool/core/route_source.h"

namespace route_tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // errors in the input, or --strict warnings
inline constexpr int kExitUsage = 2;   // usage error, or a file that cannot be read or written

// What a command that runs out of memory says, with kExitUsage: the input
// is more than this machine can read.
inline constexpr char kNotEnoughMemory[] = "not enough memory to finish; the input is too large for this machine";

using Arguments = std::vector<std::string>;

int RunParse(const Arguments& arguments);
int RunCheck(const Arguments& arguments);
int RunLegs(const Arguments& arguments);
int RunDraw(const Arguments& arguments);
int RunExport(const Arguments& arguments);
int RunImport(const Arguments& arguments);
int RunFromBase(const Arguments& arguments);
int RunPlan(const Arguments& arguments);

// tarvik-route plan's options; RunPlan starts the planner program with them.
struct PlanOptions {
  std::optional<std::string> file;
  std::vector<std::string> bases;
  std::string folder;  // empty: the route file's folder, else the current one
  int port = 0;        // 0: any free port
  bool open = true;
};
// Empty when the arguments make sense, else the usage error's message.
std::string ReadPlanOptions(const Arguments& arguments, PlanOptions& options);
// The usage error of plan, written; its status.
int RunPlanUsage(const std::string& problem);
// Serves until stopped; in the planner program (route_tool/planner/planner_main.cpp).
int RunPlanCommand(const PlanOptions& options);

// Writes "tarvik-route: <message>" and a line end to standard error and
// returns the status.
int Fail(int status, const std::string& message);
// A usage error: the message, then the command's usage line.
int UsageError(const std::string& message, const char* usage);

// Writes a command's output ("-": standard output), refused when it is the
// input; the status, with a failure already reported.
int WriteOutput(const std::string& path, const std::string& bytes, const std::string& input);

// The one route file a command reads, read once; false with the usage
// error or the reason already written.
bool OneRouteFileRead(const Arguments& files, const char* usage, RouteInput& input, int& status);

// kExitOk when the module reads the route without an error; else the
// failure, written: running out of memory as itself (kExitUsage), any
// other error as a pointer to check (kExitFailed).
int ModuleReadStatus(const RouteSource& source);

}  // namespace route_tool

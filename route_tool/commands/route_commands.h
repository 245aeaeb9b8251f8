// The commands of tarvik-route, one source each. The program makes each
// command's line from its row in main.cpp's table (name, usage, what it
// does); the command adds its options to it (command_line/command_line.h
// says how), parses the arguments after its name, writes its own output
// and returns the exit status. Messages about the run go to standard error
// as "tarvik-route: ...". A new command is a Run function here and a row
// in that table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

inline constexpr char kProgram[] = "tarvik-route";
inline constexpr int kExitOk = command_line::kExitOk;
inline constexpr int kExitFailed = 1;                        // errors in the input, or --strict warnings
inline constexpr int kExitUsage = command_line::kExitUsage;  // also a file that cannot be read or written

// What a command that runs out of memory says, with kExitUsage: the input
// is more than this machine can read.
inline constexpr char kNotEnoughMemory[] = "not enough memory to finish; the input is too large for this machine";

using Arguments = std::vector<std::string>;
using command_line::CommandLine;

int RunParse(CommandLine& line, const Arguments& arguments);
int RunCheck(CommandLine& line, const Arguments& arguments);
int RunLegs(CommandLine& line, const Arguments& arguments);
int RunDraw(CommandLine& line, const Arguments& arguments);
int RunExport(CommandLine& line, const Arguments& arguments);
int RunImport(CommandLine& line, const Arguments& arguments);
int RunFromBase(CommandLine& line, const Arguments& arguments);
// Checks the line, then starts the planner program with it.
int RunPlan(CommandLine& line, const Arguments& arguments);

// tarvik-route plan's options, read alike by tarvik-route and the planner program.
struct PlanOptions {
  std::optional<std::string> file;
  std::vector<std::string> bases;
  std::string folder;  // empty: the route file's folder, else the current one
  std::size_t port = 0;  // 0: any free port
  bool open = true;
};
inline constexpr char kPlanArguments[] = "[FILE.route] [--base BASE.cfg]... [--folder DIR] [--port N] [--no-open]";
inline constexpr char kPlanAbout[] = "the route planner in the browser: prints the address to open";
// Empty to go on; else the status to end with (help shown or line refused).
std::optional<int> ReadPlanOptions(CommandLine& line, const Arguments& arguments, PlanOptions& options);
// Serves until stopped; in the planner program (route_tool/planner/planner_main.cpp).
int RunPlanCommand(const PlanOptions& options);

// Writes "tarvik-route: <message>" and a line end to standard error and
// returns the status.
int Fail(int status, const std::string& message);

// Writes a command's output ("-": standard output), refused when it is the
// input; the status, with a failure already reported.
int WriteOutput(const std::string& path, const std::string& bytes, const std::string& input);

// The one route file a command reads, read once; false with the refusal
// or the reason already written.
bool OneRouteFileRead(const Arguments& files, const CommandLine& line, RouteInput& input, int& status);

// kExitOk when the module reads the route without an error; else the
// failure, written: running out of memory as itself (kExitUsage), any
// other error as a pointer to check (kExitFailed).
int ModuleReadStatus(const RouteSource& source);

// The status of a command that printed to standard output, once all of it
// is out; a failure to write it is kExitUsage, said.
int OutputFinished(int status);

}  // namespace route_tool

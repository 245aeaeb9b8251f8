// tarvik-sim: runs a scenario file in the simulated host and reports what
// the module's displays showed. docs/scenario.md describes the file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "command_line/program_exit.h"

#include "files/output_file.h"
#include "simulator/progress.h"
#include "simulator/run.h"
#include "simulator/scenario.h"
#include "simulator/summary.h"
#include "text/terminal_text.h"
#include "surfaces/cairo_surface.h"

namespace {

constexpr char kProgram[] = "tarvik-sim";
constexpr int kExitInputFault = 1;

constexpr char kUsage[] =
    "tarvik-sim SCENARIO.json [--out DIR] [--frames SECONDS] [--record] [--overview-rows N] [--module FILE]";
constexpr char kAbout[] = "Runs a scenario in the simulated host and reports what the module's displays showed.";

int Run(int argc, char** argv) {
  std::vector<std::string> scenarios;
  simulator::RunOptions options;
  options.modulePath = TARVIK_MODULE_PATH;
  command_line::CommandLine line(kProgram, kUsage, kAbout);
  line.Version(std::string(kProgram) + " " TARVIK_VERSION);
  line.Text("--out", options.outputFolder, "DIR", "output folder (default: out/<scenario name>)");
  double frameIntervalSeconds = 0.0;
  line.Number("--frames", frameIntervalSeconds, {.unit = "seconds"}, "SECONDS",
              "interval of the PNG frames (default: the scenario's frameInterval; 0: none)");
  line.Flag("--record", options.recordDrawCalls, "also write every display's draw calls to recording/");
  line.WholeNumber("--overview-rows", options.overviewRows, 1, "N", "moments on the overview sheet (default 6)");
  line.Text("--module", options.modulePath, "FILE", "the module library (default: the one built with this program)");
  line.Rest(scenarios, "SCENARIO.json", "the scenario file");
  if (const std::optional<int> end = line.Parse(std::vector<std::string>(argv + 1, argv + argc))) return *end;
  if (scenarios.empty()) return line.Refuse("expected a scenario file");
  if (scenarios.size() > 1) return line.Refuse("expected one scenario file");
  const std::string& scenarioPath = scenarios.front();
  if (line.Given("--frames")) options.frameIntervalSeconds = frameIntervalSeconds;
  if (options.outputFolder.empty())
    options.outputFolder = "out/" + std::filesystem::path(scenarioPath).stem().string();
  if (std::filesystem::path(options.modulePath).is_relative())
    options.modulePath = std::filesystem::absolute(options.modulePath).string();

  const simulator::ScenarioResult read = simulator::ReadScenario(scenarioPath);
  if (!read.scenario) {
    std::fprintf(stderr, "%s\n", TerminalText(read.error).c_str());
    return kExitInputFault;
  }
  options.showProgress = simulator::ProgressBar::OnTerminal();
  simulator::RunOutcome outcome;
  std::string error;
  const bool ran = simulator::RunScenario(*read.scenario, options, outcome, error);
  simhost::ReleaseCairoStaticData();  // every surface and the sheet are gone by now, whichever way the run ended
  if (!ran) {
    std::fprintf(stderr, "%s\n", TerminalText(error).c_str());
    return kExitInputFault;
  }
  std::ostringstream summary;
  simulator::WriteSummary(outcome, summary);
  // It quotes route texts and names from the files, and is shown on a terminal.
  const std::string summaryText = TerminalText(summary.str());
  const std::string summaryFile = (std::filesystem::path(options.outputFolder) / "summary.txt").string();
  if (const std::string why = files::WriteOutputFile(summaryFile, summaryText); !why.empty()) {
    std::fprintf(stderr, "%s: cannot write it: %s\n", summaryFile.c_str(), why.c_str());
    return kExitInputFault;
  }
  if (const std::string why = files::WriteOutputFile("-", summaryText); !why.empty())
    return command_line::Fail(kProgram, kExitInputFault, "cannot write the summary to standard output: " + why);
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  return command_line::RunWithinMemory(
      kProgram, "not enough memory to finish; the scenario or a route is too large for this machine",
      kExitInputFault, [&] { return Run(argc, argv); });
}

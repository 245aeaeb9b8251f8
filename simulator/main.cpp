// tarvik-sim: runs a scenario file in the simulated host and reports what
// the module's displays showed. docs/scenario.md describes the file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <sstream>
#include <string>

#include "files/output_file.h"
#include "simulator/progress.h"
#include "simulator/run.h"
#include "simulator/scenario.h"
#include "simulator/summary.h"
#include "text/terminal_text.h"
#include "surfaces/cairo_surface.h"

namespace {

constexpr int kExitInputFault = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: tarvik-sim SCENARIO.json [--out DIR] [--frames SECONDS] [--record] [--overview-rows N] [--module FILE]\n"
    "       tarvik-sim --help | --version\n"
    "  --out DIR          output folder (default: out/<scenario name>)\n"
    "  --frames SECONDS   interval of the PNG frames (default: the scenario's frameInterval; 0: none)\n"
    "  --record           also write every display's draw calls to recording/\n"
    "  --overview-rows N  moments on the overview sheet (default 6)\n"
    "  --module FILE      the module library (default: the one built with this program)\n";

bool ParseNumber(const std::string& text, double& value) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  in >> value;
  return !in.fail() && in.eof();
}

int Run(int argc, char** argv) {
  std::string scenarioPath;
  simulator::RunOptions options;
  options.modulePath = TARVIK_MODULE_PATH;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    double number = 0.0;
    if (arg == "--out" && hasValue) {
      options.outputFolder = argv[++i];
    } else if (arg == "--module" && hasValue) {
      options.modulePath = argv[++i];
    } else if (arg == "--frames") {
      if (!hasValue || !ParseNumber(argv[i + 1], number) || !(number >= 0.0)) {
        std::fprintf(stderr, "tarvik-sim: --frames needs a number of seconds from 0 up, found %s\n%s",
                     hasValue ? ("\"" + std::string(argv[i + 1]) + "\"").c_str() : "nothing", kUsage);
        return kExitUsage;
      }
      options.frameIntervalSeconds = number;
      ++i;
    } else if (arg == "--overview-rows" && hasValue && ParseNumber(argv[i + 1], number) && number >= 1.0) {
      options.overviewRows = static_cast<std::size_t>(number);
      ++i;
    } else if (arg == "--record") {
      options.recordDrawCalls = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return EXIT_SUCCESS;
    } else if (arg == "--version") {
      std::fputs("tarvik-sim " TARVIK_VERSION "\n", stdout);
      return EXIT_SUCCESS;
    } else if (scenarioPath.empty() && !arg.starts_with("--")) {
      scenarioPath = arg;
    } else {
      std::fprintf(stderr, "tarvik-sim: unexpected argument \"%s\"\n%s", arg.c_str(), kUsage);
      return kExitUsage;
    }
  }
  if (scenarioPath.empty()) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
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
  if (const std::string why = files::WriteOutputFile("-", summaryText); !why.empty()) {
    std::fprintf(stderr, "tarvik-sim: cannot write the summary to standard output: %s\n", why.c_str());
    return kExitInputFault;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    // Nothing more is allocated to say so.
    std::fflush(stdout);
    std::fputs("tarvik-sim: not enough memory to finish; the scenario or a route is too large for this machine\n",
               stderr);
    return kExitInputFault;
  }
}

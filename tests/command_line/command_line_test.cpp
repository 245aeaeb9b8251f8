// Every command of both programs parses its line through one layer: the
// same refusal for a repeated or unknown option and a missing value, the
// same --help, number checks that say what they want.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/tool_run.h"

namespace {

struct Command {
  std::string program;  // as run
  std::string name;     // as it signs its messages
  std::string command;  // the words before the options
  std::string usage;
  std::vector<std::string> options;  // every option it has
  std::string valued;                // a single-valued option with a good value; empty when it has none
  std::string arguments;             // the rest of a line that makes sense
};

const std::string kRoute = TARVIK_ROUTE_PROGRAM;
const std::string kSim = TARVIK_SIM_PROGRAM;

const std::vector<Command> kCommands = {
    {kRoute, "tarvik-route", "check", "tarvik-route check [--strict] [--json] FILE...", {"--strict", "--json"}, "",
     "a.route"},
    {kRoute, "tarvik-route", "legs", "tarvik-route legs [--body-radius METRES] FILE", {"--body-radius"},
     "--body-radius 1000", "a.route"},
    {kRoute, "tarvik-route", "draw", "tarvik-route draw FILE -o PLAN.png|PLAN.svg", {"-o"}, "-o plan.png", "a.route"},
    {kRoute, "tarvik-route", "export", "tarvik-route export --format gpx|geojson FILE [-o OUT]", {"--format", "-o"},
     "--format gpx", "a.route"},
    {kRoute, "tarvik-route", "import", "tarvik-route import FILE.gpx -o FILE.route [--radius METRES]",
     {"-o", "--radius"}, "-o b.route", "a.gpx"},
    {kRoute, "tarvik-route", "from-base", "tarvik-route from-base BASE.cfg [-o FILE.route]", {"-o"}, "-o b.route",
     "a.cfg"},
    {kRoute, "tarvik-route", "parse", "tarvik-route parse [--json] FILE", {"--json"}, "", "a.route"},
    {kSim, "tarvik-sim", "",
     "tarvik-sim SCENARIO.json [--out DIR] [--frames SECONDS] [--record] [--overview-rows N] [--module FILE]",
     {"--out", "--frames", "--record", "--overview-rows", "--module", "--version"}, "--out out", "a.json"},
    {kRoute, "tarvik-route", "plan",
     "tarvik-route plan [FILE.route] [--base BASE.cfg]... [--folder DIR] [--port N] [--no-open]",
     {"--base", "--folder", "--port", "--no-open"}, "--folder d", "a.route"},
};

test_support::ProgramRun RunLine(const Command& c, const std::string& line) {
  return test_support::RunCommand(c.program + " " + c.command + " " + line);
}

std::string Refusal(const Command& c, const std::string& message) {
  return c.name + ": " + message + "\nUsage: " + c.usage + "\n";
}

void ExpectRefused(const Command& c, const std::string& line, const std::string& message) {
  const test_support::ProgramRun run = RunLine(c, line);
  EXPECT_EQ(run.exitCode, 2) << line;
  EXPECT_EQ(run.out, "") << line;
  EXPECT_EQ(run.err, Refusal(c, message)) << line;
}

std::string OptionName(const std::string& optionAndValue) { return optionAndValue.substr(0, optionAndValue.find(' ')); }

TEST(CommandLine, EveryCommandRefusesAnUnknownOptionARepeatedOneAndAMissingValueAlike) {
  for (const Command& c : kCommands) {
    SCOPED_TRACE(c.name + " " + c.command);
    ExpectRefused(c, "-x " + c.arguments, "unknown option -x");
    ExpectRefused(c, c.arguments + " --frobnicate", "unknown option --frobnicate");
    if (c.valued.empty()) continue;
    ExpectRefused(c, c.valued + " " + c.arguments + " " + c.valued, OptionName(c.valued) + " given twice");
    ExpectRefused(c, c.arguments + " " + OptionName(c.valued), OptionName(c.valued) + " needs a value");
  }
}

TEST(CommandLine, EveryCommandHasHelpWithItsUsageAndOptions) {
  for (const Command& c : kCommands) {
    SCOPED_TRACE(c.name + " " + c.command);
    const test_support::ProgramRun run = RunLine(c, "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("Usage: " + c.usage + "\n", 0), 0u) << run.out;
    for (const std::string& option : c.options) EXPECT_NE(run.out.find("  " + option + " "), std::string::npos) << option;
  }
}

TEST(CommandLine, NumberOptionsSayWhatTheyWant) {
  struct Case {
    const Command& command;
    std::string line;
    std::string message;
  };
  const Command& legs = kCommands[1];
  const Command& import = kCommands[4];
  const Command& sim = kCommands[7];
  const Command& plan = kCommands[8];
  const Case cases[] = {
      {sim, "a.json --overview-rows 0", "--overview-rows needs a whole number from 1 up, not 0"},
      {sim, "a.json --frames -1", "--frames needs a number of seconds from 0 up, not -1"},
      {legs, "--body-radius 0 a.route", "--body-radius needs a number of metres above 0 and at most 1e+12, not 0"},
      {import, "a.gpx -o b.route --radius 5m", "--radius needs a number of metres from 0 up, not 5m"},
      {plan, "--port 70000", "--port needs a whole number from 0 to 65535, not 70000"},
      {plan, "--port 80.5", "--port needs a whole number from 0 up, not 80.5"},
  };
  for (const Case& c : cases) ExpectRefused(c.command, c.line, c.message);
}

// Options may stand after the file as well as before it.
TEST(CommandLine, AnOptionAfterTheFileIsTheSameOption) {
  const std::string example = TARVIK_SOURCE_DIR "/examples/routes/example.route";
  const test_support::ProgramRun before = RunLine(kCommands[6], "--json " + example);
  const test_support::ProgramRun after = RunLine(kCommands[6], example + " --json");
  EXPECT_EQ(after.exitCode, 0) << after.err;
  EXPECT_EQ(after.out.rfind("{\"waypoints\":", 0), 0u) << after.out;
  EXPECT_EQ(after.out, before.out);
}

}  // namespace

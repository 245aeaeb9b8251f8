// The one command-line layer of tarvik-route's commands and tarvik-sim,
// over CLI11, so that every command parses, helps and refuses alike:
// "--help" shows the usage line and the options; a repeated single-valued
// option, an unknown option, an option without its value and a number out
// of its range are refused as "<program>: <message>", then
// "Usage: <usage line>", on standard error with kExitUsage.
//
// A new command is a few lines. tarvik-route makes its line from a row of
// main.cpp's table ({"plan", "FILE [-o OUT]", "what it does", RunPlan});
// the command adds its options and parses:
//   int RunPlan(CommandLine& line, const Arguments& arguments) {
//     std::string outPath = "-";
//     Arguments files;
//     line.Text("-o", outPath, "OUT", "where the output goes");
//     line.Number("--radius", radiusMetres, {.unit = "metres"}, "METRES", "what it is");
//     line.Rest(files, "FILE", "the route file");
//     if (const std::optional<int> end = line.Parse(arguments)) return *end;
//     if (files.size() != 1) return line.Refuse("expected one route file");
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_line/number_wanted.h"

namespace command_line {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;  // a command line that makes no sense

class CommandLine {
 public:
  // usage: the synopsis, without "Usage: "; about: what the command does,
  // for --help.
  CommandLine(std::string program, std::string usage, std::string about);
  ~CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // An option without a value; given more than once it stays set.
  void Flag(const std::string& name, bool& value, const std::string& help);
  // A single-valued option; value keeps its default when it is not given.
  void Text(const std::string& name, std::string& value, const std::string& valueName, const std::string& help);
  void Number(const std::string& name, double& value, const NumberWanted& wanted, const std::string& valueName,
              const std::string& help);
  void WholeNumber(const std::string& name, std::size_t& value, std::size_t lowest, const std::string& valueName,
                   const std::string& help);
  // An option that may be given again: each time one value, all kept in order.
  void Texts(const std::string& name, std::vector<std::string>& values, const std::string& valueName,
             const std::string& help);
  // Every argument that is not an option, in order.
  void Rest(std::vector<std::string>& values, const std::string& valueName, const std::string& help);
  // Only at a program's top level: "--version" shows the text.
  void Version(const std::string& text);
  // Parsing stops at the first argument that is not an option: it and
  // all after it are left for Remaining (a program's command and its
  // arguments).
  void StopAtFirstArgument();

  // Whether the option was on the line.
  bool Given(const std::string& name) const;
  std::vector<std::string> Remaining() const;

  // Empty to go on; else the status to end with, the help, the version
  // or the refusal already written.
  std::optional<int> Parse(const std::vector<std::string>& arguments);
  // Refuses a line that parsed but makes no sense, the same way as the
  // parser does; kExitUsage.
  int Refuse(const std::string& message) const;

 private:
  struct Parser;
  std::string program_;
  std::string usage_;
  std::unique_ptr<Parser> parser_;
};

}  // namespace command_line

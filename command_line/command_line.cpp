#include "command_line/command_line.h"

#include <CLI/CLI.hpp>
#include <functional>

#include "command_line/program_exit.h"

namespace command_line {
namespace {

// --help: the usage line as a refusal shows it, what the command does,
// then the arguments and options as CLI11 lists them.
class Help : public CLI::Formatter {
 public:
  Help(std::string usage, std::string about) : usage_(std::move(usage)), about_(std::move(about)) {}
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override {
    return "Usage: " + usage_ + "\n\n" + about_ + "\n" + make_positionals(app) + make_groups(app, mode);
  }

 private:
  std::string usage_;
  std::string about_;
};

// A number's check, its words naming the option: "--frames needs a
// number of seconds from 0 up, not -1".
CLI::Validator Wanting(const std::string& name, std::function<std::string(const std::string&)> problem) {
  return CLI::Validator(
      [name, problem](std::string& text) {
        const std::string words = problem(text);
        return words.empty() ? words : name + " " + words;
      },
      "");
}

}  // namespace

struct CommandLine::Parser {
  CLI::App app;
  std::vector<CLI::Option*> valued;  // options that take a value, for naming them in a refusal
};

CommandLine::CommandLine(std::string program, std::string usage, std::string about)
    : program_(std::move(program)), usage_(std::move(usage)), parser_(std::make_unique<Parser>()) {
  parser_->app.formatter(std::make_shared<Help>(usage_, std::move(about)));
  parser_->app.set_help_flag("-h,--help", "this help");
}

CommandLine::~CommandLine() = default;

void CommandLine::Flag(const std::string& name, bool& value, const std::string& help) {
  parser_->app.add_flag(name, value, help)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void CommandLine::Text(const std::string& name, std::string& value, const std::string& valueName,
                       const std::string& help) {
  parser_->valued.push_back(parser_->app.add_option(name, value, help)->type_name(valueName));
}

void CommandLine::Number(const std::string& name, double& value, const NumberWanted& wanted,
                         const std::string& valueName, const std::string& help) {
  const auto problem = [wanted](const std::string& text) { return NumberProblem(wanted, text); };
  parser_->valued.push_back(parser_->app.add_option(name, value, help + ": " + Described(wanted))
                                ->type_name(valueName)
                                ->check(Wanting(name, problem)));
}

void CommandLine::WholeNumber(const std::string& name, std::size_t& value, std::size_t lowest,
                              const std::string& valueName, const std::string& help) {
  const auto problem = [lowest](const std::string& text) { return WholeNumberProblem(lowest, text); };
  parser_->valued.push_back(parser_->app.add_option(name, value, help + ": " + DescribedWhole(lowest))
                                ->type_name(valueName)
                                ->check(Wanting(name, problem)));
}

void CommandLine::Texts(const std::string& name, std::vector<std::string>& values, const std::string& valueName,
                        const std::string& help) {
  parser_->app.add_option(name, values, help)->type_name(valueName)->allow_extra_args(false);
}

void CommandLine::Rest(std::vector<std::string>& values, const std::string& valueName, const std::string& help) {
  parser_->app.add_option(valueName, values, help)->type_name("");
}

void CommandLine::Version(const std::string& text) {
  parser_->app.set_version_flag("--version", text, "the release, and nothing else");
}

void CommandLine::StopAtFirstArgument() { parser_->app.prefix_command(); }

bool CommandLine::Given(const std::string& name) const { return parser_->app.count(name) > 0; }

std::vector<std::string> CommandLine::Remaining() const { return parser_->app.remaining(); }

std::optional<int> CommandLine::Parse(const std::vector<std::string>& arguments) {
  CLI::App& app = parser_->app;
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
    return std::nullopt;
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return kExitOk;
  } catch (const CLI::CallForVersion& version) {
    std::printf("%s\n", version.what());
    return kExitOk;
  } catch (const CLI::ExtrasError&) {
    const std::string first = app.remaining().empty() ? std::string() : app.remaining().front();
    return Refuse((first.size() > 1 && first.front() == '-' ? "unknown option " : "unexpected argument ") + first);
  } catch (const CLI::ValidationError& error) {
    // The check's words, which name the option.
    const std::string what = error.what();
    return Refuse(what.substr(what.find(": ") + 2));
  } catch (const CLI::ArgumentMismatch& error) {
    // CLI11 names the option first: too many values, or none.
    const std::string what = error.what();
    for (const CLI::Option* option : parser_->valued) {
      if (what.rfind(option->get_name() + ":", 0) != 0) continue;
      return Refuse(option->get_name() + (option->count() > 1 ? " given twice" : " needs a value"));
    }
    return Refuse(what);
  } catch (const CLI::ParseError& error) {
    return Refuse(error.what());
  }
}

int CommandLine::Refuse(const std::string& message) const {
  return Fail(program_, kExitUsage, message + "\nUsage: " + usage_);
}

}  // namespace command_line

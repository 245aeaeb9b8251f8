// Every problem of a route file at once, each at its place in the file:
// the errors the module's reader reports, read on past each error, and
// warnings for what the reader accepts but is very likely a mistake. Then
// the module's verdict: what it loads and the error text it shows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "route_tool/core/route_source.h"

namespace route_tool {

enum class Severity { Error, Warning };

struct Diagnostic {
  FilePlace place;
  Severity severity = Severity::Error;
  std::string message;
};

// What the module makes of the file, read exactly as it reads it.
struct ModuleVerdict {
  std::size_t points = 0;
  std::size_t runways = 0;
  std::size_t waypoints = 0;
  bool errorFlag = false;
  std::string errorText;
};

struct RouteCheck {
  std::string path;
  std::vector<Diagnostic> diagnostics;  // in file order, errors before warnings at one place
  ModuleVerdict verdict;
  std::size_t ErrorCount() const;
  std::size_t WarningCount() const;
};

// Checks a route file read once (see ReadRouteInput).
RouteCheck CheckRouteInput(const RouteInput& input);
// Reads the file and checks it; a file that cannot be read checks as empty.
RouteCheck CheckRouteFile(const std::string& path);

// "FILE:LINE:COLUMN: error: message", or "FILE: error: message" for the
// file as a whole.
std::string DiagnosticLine(const std::string& path, const Diagnostic& diagnostic);
// "FILE: the module loads 4 points, 1 runway, 5 waypoints; no error", or
// with 'error text "..."', the text in C escapes so that it is exact.
std::string VerdictLine(const std::string& path, const ModuleVerdict& verdict);
// A text in double quotes with C escapes for '"', '\\' and control bytes.
std::string QuotedExactly(const std::string& text);

}  // namespace route_tool

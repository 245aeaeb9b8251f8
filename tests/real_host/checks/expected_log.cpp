// The module's reader, run here with a host log of its own.
#include "checks/expected_log.h"

#include "host/oapi.h"
#include "route/route_file_reader.h"

namespace {

std::vector<std::string>* capturedLines = nullptr;

}  // namespace

// The one host function the reader calls.
void host_interface::oapiWriteLog(const char* line) {
  if (capturedLines != nullptr) capturedLines->emplace_back(line);
}

std::vector<std::string> ExpectedParseLog(const std::string& routeFile) {
  std::vector<std::string> lines;
  capturedLines = &lines;
  RouteFileReader reader;
  reader.ParseRouteFile(routeFile);
  capturedLines = nullptr;
  return lines;
}

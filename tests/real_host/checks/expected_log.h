// The log lines the module's own route reader writes for a file: what the
// real host's log must hold once the module loads it.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> ExpectedParseLog(const std::string& routeFile);

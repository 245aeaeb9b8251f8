// Reading tarvik-sim's summary in the simulator's end-to-end tests.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

// The summary's lines for one vessel, from its heading to the next blank line.
inline std::vector<std::string> VesselSection(const std::string& summary, const std::string& vessel) {
  std::vector<std::string> lines;
  std::istringstream in(summary);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("Vessel " + vessel + ",", 0) == 0) inside = true;
    else if (inside && line.empty()) break;
    else if (inside) lines.push_back(line);
  }
  return lines;
}

// One "WP n of m current" line (waypoint n, from 1), or "no route"
// (waypoint 0, count 0).
struct Shown {
  double timeSeconds;
  int waypoint;
  int count;
};

inline std::vector<Shown> WaypointsShown(const std::vector<std::string>& section) {
  std::vector<Shown> shown;
  for (const std::string& line : section) {
    double t = 0.0;
    int number = 0;
    int count = 0;
    char word[16] = {};
    if (std::sscanf(line.c_str(), " %lf s  WP %d of %d %15s", &t, &number, &count, word) == 4 &&
        std::string(word) == "current")
      shown.push_back({t, number, count});
    else if (std::sscanf(line.c_str(), " %lf s  no %15s", &t, word) == 2 && std::string(word) == "route")
      shown.push_back({t, 0, 0});
  }
  return shown;
}

}  // namespace test_support

// Reading tarvik-sim's summary and host log in the simulator's end-to-end
// tests.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The host log of a clean parse of a file with the given points, runways
// and waypoint references ('R' runway, 'P' point).
inline std::vector<std::string> CleanParseLog(int points, const std::string& references) {
  std::vector<std::string> log = {"Tarvik MFD: Start parsing file...", "Parsing Points...", "..start spilt 1..",
                                  "..end spilt 1..", ".1.."};
  for (int i = 0; i < points; ++i) log.insert(log.end(), {"..", "..start spilt 2..", "..end spilt 2.."});
  log.insert(log.end(), {"Ok!", "Parsing Runways...", "Ok!", "getRoute 1", "getRoute 2"});
  for (char reference : references) {
    log.insert(log.end(), {".1", ".2", ".3", ".4"});
    if (reference == 'R') log.push_back(".5");
    else log.insert(log.end(), {".6", ".7"});
    log.insert(log.end(), {".8", ".9"});
  }
  log.push_back("Tarvik MFD: Parsing completed!");
  return log;
}

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

inline std::vector<int> WaypointNumbers(const std::vector<Shown>& shown) {
  std::vector<int> numbers;
  for (const Shown& s : shown) numbers.push_back(s.waypoint);
  return numbers;
}

}  // namespace test_support

#include "route/route_records.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr std::array<std::pair<std::string_view, TaskKind>, 4> kTaskKeywords{{
    {"TURN", Turn},
    {"LOOP", Loop},
    {"TAKEOFF", Takeoff},
    {"LAND", Land},
}};

}  // namespace

const char* TaskKeyword(std::int32_t task) {
  for (const auto& [word, kind] : kTaskKeywords)
    if (kind == task) return word.data();
  return "?";
}

bool TaskFromKeyword(std::string_view keyword, std::int32_t& task) {
  for (const auto& [word, kind] : kTaskKeywords) {
    if (keyword == word) {
      task = kind;
      return true;
    }
  }
  return false;
}

double RunwayCentre(double end1, double end2) {
  if (end1 > end2) return end2 + (end1 - end2) * 0.5;
  if (end1 < end2) return end1 + (end2 - end1) * 0.5;
  return end1;
}

double RunwayCentreLongitude(double end1, double end2) {
  const double plain = RunwayCentre(end1, end2);
  if (!(std::fabs(end1 - end2) > std::numbers::pi)) return plain;
  // The two centres of a circle's two arcs are pi apart; the shorter arc's
  // is the one nearer the ends.
  return plain + (plain < end1 ? std::numbers::pi : -std::numbers::pi);
}

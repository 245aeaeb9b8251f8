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
  // Moving an end by whole turns moves the centre by as many half turns,
  // so the shorter way's centre is the plain one plus whole half turns;
  // adding them at once keeps a centre such as exactly pi exact.
  constexpr double kTurn = 2 * std::numbers::pi;
  double halfTurns = -std::round((end2 - end1) / kTurn);
  halfTurns -= 2 * std::round((plain + halfTurns * std::numbers::pi) / kTurn);
  const double centre = plain + halfTurns * std::numbers::pi;
  // Into (-pi, pi], where rounding may have left it on the edge.
  if (centre <= -std::numbers::pi) return plain + (halfTurns + 2) * std::numbers::pi;
  if (centre > std::numbers::pi) return plain + (halfTurns - 2) * std::numbers::pi;
  return centre;
}

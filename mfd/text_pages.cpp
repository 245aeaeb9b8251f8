// The text pages: the route file browser, the waypoint table and the block
// of details on the current waypoint beside the map. Texts lie on a grid of
// twenty lines over the display height.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "mfd/tarvik_mfd.h"
#include "nav/surface_geometry.h"

namespace {

// A window of at most this many rows follows the selection down a list.
constexpr std::int64_t kWindowRows = 14;

int LineTop(std::int32_t displayHeight, int line) { return static_cast<int>(displayHeight / 20.0 * line); }

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  // A format that fails gives the empty text.
  std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

void DrawText(oapi::Sketchpad* skp, int x, int y, const std::string& text) {
  skp->Text(x, y, text.c_str(), static_cast<int>(text.size()));
}

// The first row shown: the selection while a full window follows it,
// otherwise the last window of the list.
std::int64_t FirstShown(std::int64_t count, std::int64_t selected) {
  const std::int64_t first = count > selected + kWindowRows ? selected : count - kWindowRows;
  return first < 0 ? 0 : first;
}

const char* TaskText(std::int32_t task) {
  switch (task) {
    case Turn: return "TURN";
    case Loop: return "LOOP";
    case Takeoff: return "TOFF";
    case Land: return "LAND";
    default: return "";
  }
}

}  // namespace

void TarvikMFD::DrawFilePage(oapi::Sketchpad* skp) {
  const auto count = static_cast<std::int64_t>(routeFiles.size());
  const std::int64_t selected = route.selectedFile;
  const std::int64_t first = FirstShown(count, selected);
  for (std::int64_t i = first; i < count; ++i) {
    skp->SetTextColor(i == selected ? brightColor : dimColor);
    DrawText(skp, 10, LineTop(displayHeight, static_cast<int>(i - first) + 2), routeFiles[static_cast<std::size_t>(i)]);
  }
}

void TarvikMFD::DrawListPage(oapi::Sketchpad* skp) {
  const auto count = static_cast<std::int64_t>(route.waypoints.size());
  const std::int64_t current = route.currentIndex;
  const std::int64_t first = FirstShown(count, current);
  for (std::int64_t i = first; i < count; ++i) {
    const int line = static_cast<int>(i - first) + 5;
    // This row and every later one start at or below the bottom edge: nothing
    // of them shows, and a long route would cost a row each per redraw.
    if (LineTop(displayHeight, line) >= displayHeight) break;
    const Waypoint& w = route.waypoints[static_cast<std::size_t>(i)];
    double legKm = 0.0;
    if (i + 1 < count) {
      const Waypoint& next = route.waypoints[static_cast<std::size_t>(i + 1)];
      legKm = SurfaceDistance(w.latitude, w.longitude, next.latitude, next.longitude) / 1000;
    }
    const std::string what = w.description.empty() ? TaskText(w.task) : w.description;
    skp->SetTextColor(i == current ? brightColor : dimColor);
    DrawText(skp, 10, LineTop(displayHeight, line),
             Format("%2i %5.0f %5.0f %4.0f %s", static_cast<int>(i + 1), w.speed, w.altitude, legKm, what.c_str()));
  }
  skp->SetTextColor(brightColor);
  DrawText(skp, 5, LineTop(displayHeight, 2), "|ID | SPD | ALT | DIST NEXT | DESC|");
  DrawText(skp, 5, LineTop(displayHeight, 3), "|#  | m/s |  m  |     km    |\\TASK|");
}

void TarvikMFD::DrawInfoBlock(oapi::Sketchpad* skp) {
  skp->SetTextColor(brightColor);
  if (route.currentIndex >= route.waypoints.size()) return;
  const Waypoint& w = route.waypoints[route.currentIndex];
  const double distanceMetres = DistanceFromFocus(w.latitude, w.longitude);

  std::string lines[8];
  lines[2] = w.name.empty() ? Format("WP: %i", static_cast<int>(route.currentIndex + 1)) : Format("WP: %s", w.name.c_str());
  lines[3] = Format("DIST: %.0f km", distanceMetres / 1000);
  switch (w.task) {
    case Turn:
    case Loop:
      lines[4] = Format("ALT: %.0f m", w.altitude);
      lines[5] = Format("SPD: %.0f m/s", w.speed);
      lines[6] = w.task == Turn ? "TASK: TURN" : "TASK: LOOP";
      break;
    case Takeoff: lines[4] = "TASK: TAKEOFF"; break;
    case Land: lines[4] = "TASK: LAND"; break;
    default: break;
  }
  if (!w.description.empty()) lines[7] = Format("DESCR: %s", w.description.c_str());

  skp->SetFont(GetDefaultFont(0));
  for (int line = 2; line <= 7; ++line) DrawText(skp, 10, LineTop(displayHeight, line), lines[line]);
}

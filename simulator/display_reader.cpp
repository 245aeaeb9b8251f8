#include "simulator/display_reader.h"

#include <cstdlib>
#include <cstring>

namespace simulator {

namespace {

constexpr int kTextMargin = 10;  // page rows start here; title and headers at 5

// The title is the first text of every redraw and is drawn bright.
std::optional<DWORD> BrightColour(const TextCapture& redraw) {
  if (redraw.Texts().empty()) return std::nullopt;
  return redraw.Texts().front().colour;
}

}  // namespace

oapi::Font* TextCapture::SetFont(oapi::Font* font) {
  oapi::Font* previous = font_;
  font_ = font;
  return previous;
}

oapi::Pen* TextCapture::SetPen(oapi::Pen* pen) {
  oapi::Pen* previous = pen_;
  pen_ = pen;
  return previous;
}

DWORD TextCapture::SetTextColor(DWORD colour) {
  const DWORD previous = colour_;
  colour_ = colour;
  return previous;
}

bool TextCapture::Text(int x, int y, const char* str, int len) {
  texts_.push_back({x, y, colour_, std::string(str, static_cast<std::size_t>(len < 0 ? 0 : len))});
  return true;
}

void TextCapture::Clear() {
  texts_.clear();
  shapes_ = 0;
}

ShownPage PageOf(const simhost::DisplaySlot& slot) {
  if (!slot.Active()) return ShownPage::None;
  const char* switchLabel = slot.Label(5);
  const char* zoomLabel = slot.Label(2);
  if (switchLabel != nullptr && std::strcmp(switchLabel, "GRA") == 0) return ShownPage::Waypoints;
  if (zoomLabel != nullptr && std::strcmp(zoomLabel, "Z+") == 0) return ShownPage::Map;
  return ShownPage::Files;
}

ModuleRouteView ReadWaypointTable(const TextCapture& redraw) {
  ModuleRouteView view;
  const auto bright = BrightColour(redraw);
  for (const auto& t : redraw.Texts()) {
    if (t.x != kTextMargin || t.text.size() < 2) continue;
    // A row starts with the waypoint number, "%2i"; rows run to the last
    // waypoint, so the last number is the count.
    char* end = nullptr;
    const long number = std::strtol(t.text.c_str(), &end, 10);
    if (end == t.text.c_str() || number < 1) continue;
    view.waypointCount = static_cast<std::size_t>(number);
    if (bright && t.colour == *bright) view.current = static_cast<std::size_t>(number - 1);
  }
  return view;
}

FileBrowserView ReadFileBrowser(const TextCapture& redraw) {
  FileBrowserView view;
  const auto bright = BrightColour(redraw);
  for (const auto& t : redraw.Texts()) {
    if (t.x != kTextMargin) continue;
    if (bright && t.colour == *bright) view.selected = view.names.size();
    view.names.push_back(t.text);
  }
  return view;
}

}  // namespace simulator

// Reading a display the way a person does: redraw it onto a surface that
// keeps the texts with their colours, then read the page. The module's
// current waypoint is the bright row of the waypoint table; the selected
// route file is the bright name of the file browser.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/sketchpad.h"
#include "simhost/module_loader.h"
#include "simulator/pilot.h"

namespace simulator {

// Keeps the texts of a redraw and counts the shapes; draws nothing.
class TextCapture : public oapi::Sketchpad {
 public:
  struct DrawnText {
    int x;
    int y;
    DWORD colour;
    std::string text;
  };

  oapi::Font* SetFont(oapi::Font* font) override;
  oapi::Pen* SetPen(oapi::Pen* pen) override;
  DWORD SetTextColor(DWORD colour) override;
  bool Text(int x, int y, const char* str, int len) override;
  void MoveTo(int, int) override {}
  void LineTo(int, int) override { ++shapes_; }
  void Line(int, int, int, int) override { ++shapes_; }
  void Rectangle(int, int, int, int) override { ++shapes_; }
  void Ellipse(int, int, int, int) override { ++shapes_; }

  void Clear();
  const std::vector<DrawnText>& Texts() const { return texts_; }
  int Shapes() const { return shapes_; }

 private:
  std::vector<DrawnText> texts_;
  int shapes_ = 0;
  DWORD colour_ = 0;
  oapi::Font* font_ = nullptr;
  oapi::Pen* pen_ = nullptr;
};

enum class ShownPage { Map, Files, Waypoints, None };

// Which page a display in the mode shows, from its button labels.
ShownPage PageOf(const simhost::DisplaySlot& slot);

// The route in the waypoint table of a redraw of the List page.
ModuleRouteView ReadWaypointTable(const TextCapture& redraw);

struct FileBrowserView {
  std::vector<std::string> names;
  std::optional<std::size_t> selected;
};
FileBrowserView ReadFileBrowser(const TextCapture& redraw);

}  // namespace simulator

// The display object of the TarvikMFD mode: answers the host's keys,
// buttons, label and menu queries and redraws. It keeps no route across
// host calls: each key and redraw pulls the focus vessel's record, works on
// the private copy and pushes it back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/mfd.h"
#include "host/sketchpad.h"
#include "nav/route_registry.h"

enum DisplayPage : std::int32_t {
  Graphical = 0,   // map with the info block
  FileSelect = 1,  // route file browser
  List = 2,        // waypoint table
};

// Key codes (keyboard scan codes) that the display answers.
namespace keys {
constexpr DWORD P = 0x19;
constexpr DWORD N = 0x31;
constexpr DWORD KeypadPlus = 0x4E;
constexpr DWORD KeypadMinus = 0x4A;
constexpr DWORD L = 0x26;
constexpr DWORD S = 0x1F;
constexpr DWORD D = 0x20;
constexpr DWORD C = 0x2E;
}  // namespace keys

// A projected map position [pixels].
struct MapPoint {
  std::int32_t x;
  std::int32_t y;
  std::int32_t size;
};

// Every value that fits in 32 bits is kept exactly; only what does not is
// clamped to +-kMapPixelLimit. The layers add a symbol's size and their
// offsets in 64 bits and clamp the sum the same way. A position that is
// not a finite number comes out as kOffMapPixel in x and y; the layers
// skip such symbols together with their lines and labels.
inline constexpr std::int32_t kMapPixelLimit = 2147483647;
inline constexpr std::int32_t kOffMapPixel = -2147483647 - 1;

class TarvikMFD : public MFD2 {
 public:
  TarvikMFD(DWORD width, DWORD height, VESSEL* vessel, std::uint32_t displayId);
  ~TarvikMFD() override;

  bool ConsumeKeyQueued(DWORD key) override;
  bool ConsumeButtonPress(int bt, int event) override;
  char* LabelOfButton(int bt) override;
  int MenuOfButtons(const MFDBUTTONMENU** menu) const override;
  bool UpdateSketchpad(oapi::Sketchpad* skp) override;

  void PullRoute();
  void PushRoute();
  void ListRouteFiles();
  void LoadSelectedRoute();

  // Text pages
  void DrawFilePage(oapi::Sketchpad* skp);
  void DrawListPage(oapi::Sketchpad* skp);
  void DrawInfoBlock(oapi::Sketchpad* skp);

  // Map page
  MapPoint ProjectToMap(double latitude, double longitude, double sizeMetres);
  double RelativeBearing(double latitude, double longitude);
  void DrawRouteLayer(oapi::Sketchpad* skp);
  void DrawOwnShipLayer(oapi::Sketchpad* skp);
  void DrawBaseLayer(oapi::Sketchpad* skp);
  void DrawNavaidLayer(oapi::Sketchpad* skp);
  void DrawRunwayLayer(oapi::Sketchpad* skp);

  // This display's entry in route.displays (it always has one after a pull).
  DisplayState& State();

  std::int32_t displayHeight;
  std::int32_t displayWidth;
  const char* fontFace;
  VesselRoute route;
  std::uint32_t displayId;
  DWORD dimColor = 0;
  DWORD brightColor = 0;
  std::int32_t centerX;
  std::int32_t centerY;
  oapi::Pen* dimPen = nullptr;
  oapi::Pen* brightPen = nullptr;
  std::vector<std::string> routeFiles;
  std::string errorText;
};

// The route folder and the listing pattern, as the host's platform writes
// paths.
inline constexpr const char* kRouteFolder = ".\\Config\\TKMFD\\routes\\";
inline constexpr const char* kRouteFilePattern = ".\\Config\\TKMFD\\routes\\*.route";

// Face of the fonts the map creates; the rendering surface has it.
inline constexpr const char* kFontFace = "DejaVu Sans";

// The display object: construction, keys and buttons, labels and menus,
// the route file browser and the redraw frame. Every key and redraw works
// on a private copy of the focus vessel's record: pull, work, push.
#include "mfd/tarvik_mfd.h"

#include <cstdio>
#include <cstring>

#include "host/oapi.h"
#include "platform/platform.h"
#include "mfd/button_tables.h"
#include "mfd/host_resources.h"
#include "route/route_file_reader.h"

namespace {

struct ColorScheme {
  DWORD dim;
  DWORD bright;
};

// 0x00BBGGRR: green, yellow, blue, red, white.
constexpr ColorScheme kColorSchemes[] = {
    {0x005500, 0x00FF00}, {0x005555, 0x00FFFF}, {0x550000, 0xFF0000}, {0x000055, 0x0000FF}, {0x555555, 0xFFFFFF},
};
constexpr std::int32_t kColorSchemeCount = 5;

// Refused instead of read, to the host log and the debug line.
constexpr char kNameIsAPath[] = "Error: route file name holds a path separator, not opened: ";

bool HoldsPathSeparator(const char* name) { return std::strpbrk(name, "/\\") != nullptr; }

constexpr std::uint32_t kInitialRangeMetres = 2000;
constexpr std::uint32_t kSmallestRangeMetres = 250;
constexpr std::uint64_t kLargestRangeMetres = 131072000;  // 2000 m doubled 16 times
constexpr std::uint64_t kZoomOutLimitMetres = 131073000;

constexpr const char* kErrorNotice = "ERROR PARSING TARVIK MFD ROUTE FILE! SEE ORBITER LOG FILE...";

std::uint32_t ZoomedIn(std::uint32_t rangeMetres) {
  const std::uint32_t half = rangeMetres / 2;
  return half < 249 ? kSmallestRangeMetres : half;
}

std::uint32_t ZoomedOut(std::uint32_t rangeMetres) {
  // In 64 bits: a doubled range never wraps.
  const std::uint64_t doubled = 2 * static_cast<std::uint64_t>(rangeMetres);
  return static_cast<std::uint32_t>(doubled < kZoomOutLimitMetres ? doubled : kLargestRangeMetres);
}

ColorScheme SchemeOf(std::int32_t colorScheme) {
  return kColorSchemes[colorScheme >= 0 && colorScheme < kColorSchemeCount ? colorScheme : 0];
}

const DisplayState* FindState(const VesselRoute& route, std::uint32_t displayId) {
  for (const DisplayState& d : route.displays)
    if (d.displayId == displayId) return &d;
  return nullptr;
}

// Line k of the twenty-line text grid.
int LineY(std::int32_t displayHeight, int line) { return static_cast<int>(displayHeight / 20.0 * line); }

void ReleasePen(oapi::Pen*& pen) {
  ReleasePenIfAny(pen);
  pen = nullptr;
}

void Text(oapi::Sketchpad* skp, int x, int y, const char* text) {
  skp->Text(x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace

TarvikMFD::TarvikMFD(DWORD width, DWORD height, VESSEL* vessel, std::uint32_t displayIdentifier)
    : MFD2(width, height, vessel),
      displayHeight(static_cast<std::int32_t>(height)),
      displayWidth(static_cast<std::int32_t>(width)),
      fontFace(kFontFace),
      displayId(displayIdentifier),
      centerX(displayWidth / 2),
      centerY(displayHeight - displayHeight / 3) {
  PullRoute();
}

// The record stays in the registry: a display that opens again resumes it.
TarvikMFD::~TarvikMFD() = default;

DisplayState& TarvikMFD::State() {
  for (DisplayState& d : route.displays)
    if (d.displayId == displayId) return d;
  // Only a copy that was never pulled lacks the entry; give it a new one.
  DisplayState fresh;
  fresh.displayId = displayId;
  fresh.scale = static_cast<double>(displayHeight) / kInitialRangeMetres;
  fresh.range = kInitialRangeMetres;
  route.displays.push_back(fresh);
  return route.displays.back();
}

void TarvikMFD::PullRoute() { ::PullRoute(displayId, displayHeight, route); }

void TarvikMFD::PushRoute() { ::PushRoute(displayId, route); }

// No exception leaves the module: running out of memory drops the key.
bool TarvikMFD::ConsumeKeyQueued(DWORD key) try {
  PullRoute();
  std::int32_t page = State().page;
  std::uint32_t range = State().range;

  if (key == keys::D) route.waypoints.clear();
  if (key == keys::C) route.colorScheme = route.colorScheme >= kColorSchemeCount - 1 ? 0 : route.colorScheme + 1;

  const bool onWaypoints = page == Graphical || page == List;
  switch (key) {
    case keys::P:
      if (onWaypoints) {
        if (route.currentIndex > 0) --route.currentIndex;
      } else if (route.fileCount > 0) {
        route.selectedFile = route.selectedFile == 0 ? route.fileCount - 1 : route.selectedFile - 1;
      }
      break;
    case keys::N:
      if (onWaypoints) {
        if (route.currentIndex + 1 < route.waypoints.size()) ++route.currentIndex;
      } else if (route.fileCount > 0) {
        route.selectedFile = route.selectedFile >= route.fileCount - 1 ? 0 : route.selectedFile + 1;
      }
      break;
    case keys::KeypadPlus:
      if (page == Graphical) range = ZoomedIn(range);
      break;
    case keys::KeypadMinus:
      if (page == Graphical) range = ZoomedOut(range);
      break;
    case keys::L:
      if (page == FileSelect) {
        LoadSelectedRoute();
        page = List;
      } else {
        ListRouteFiles();
        page = FileSelect;
      }
      break;
    case keys::S:
      page = page == List ? Graphical : List;
      break;
    default:
      break;
  }

  DisplayState& state = State();
  state.page = page;
  state.range = range;
  state.scale = static_cast<double>(displayHeight) / range;
  InvalidateButtons();
  PushRoute();
  return false;
} catch (...) {
  return false;
}

bool TarvikMFD::ConsumeButtonPress(int bt, int event) {
  if ((event & PANEL_MOUSE_LBDOWN) == 0) return false;
  const DWORD key = KeyOfButton(bt);
  if (key == 0) return false;
  return ConsumeKeyQueued(key);
}

// Labels and menus read the page the last key or redraw left in the copy.
char* TarvikMFD::LabelOfButton(int bt) {
  // The host only reads the label; the tables are constant.
  return const_cast<char*>(ButtonLabel(State().page, bt));
}

int TarvikMFD::MenuOfButtons(const MFDBUTTONMENU** menu) const {
  if (menu != nullptr) {
    const DisplayState* state = FindState(route, displayId);
    *menu = ButtonMenu(state != nullptr ? state->page : Graphical);
  }
  return kButtonCount;
}

void TarvikMFD::ListRouteFiles() {
  WIN32_FIND_DATAA found{};
  const ScopedFolderSearch search(FindFirstFileA(kRouteFilePattern, &found));
  routeFiles.clear();
  route.selectedFile = 0;
  route.fileCount = 0;
  route.currentIndex = 0;
  if (search.Get() == INVALID_HANDLE_VALUE) return;
  do {
    // Folders are skipped, "." and ".." among them.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    // The folder is a boundary: a name that is a path could lead out of it.
    if (HoldsPathSeparator(found.cFileName)) continue;
    routeFiles.emplace_back(found.cFileName);
    ++route.fileCount;
  } while (FindNextFileA(search.Get(), &found) != 0);
}

void TarvikMFD::LoadSelectedRoute() {
  RouteFileReader reader;
  route.waypoints.clear();
  std::string refused;
  if (route.selectedFile < routeFiles.size()) {
    const std::string& name = routeFiles[route.selectedFile];
    if (HoldsPathSeparator(name.c_str())) {
      refused = std::string(kNameIsAPath) + name;
      oapiWriteLog(refused.c_str());
    } else {
      route.waypoints = reader.ParseRouteFile(std::string(kRouteFolder) + name);
      route.runways = reader.GetRunways();
    }
  }
  // Sequencing may have moved the index on the old route while the browser
  // was shown: a new route starts at its first waypoint.
  if (!route.waypoints.empty() && route.currentIndex >= route.waypoints.size()) route.currentIndex = 0;
  errorText = refused.empty() ? reader.errorText : refused;
}

// Running out of memory ends the frame early; the pens still go back.
bool TarvikMFD::UpdateSketchpad(oapi::Sketchpad* skp) try {
  PullRoute();

  char* debugLine = oapiDebugString();
  if (errorText.size() >= 2)
    std::strcpy(debugLine, kErrorNotice);
  else
    debugLine[0] = '\0';

  DisplayState& state = State();
  state.scale = static_cast<double>(displayHeight) / state.range;

  const ColorScheme scheme = SchemeOf(route.colorScheme);
  dimColor = scheme.dim;
  brightColor = scheme.bright;
  dimPen = oapiCreatePen(1, 1, dimColor);
  brightPen = oapiCreatePen(1, 1, brightColor);

  skp->SetTextColor(brightColor);
  char title[64];
  std::snprintf(title, sizeof title, "Tarvik MFD               %.2f", state.range / 1000.0);
  Text(skp, 5, LineY(displayHeight, 0), title);

  switch (state.page) {
    case Graphical:
      DrawRouteLayer(skp);
      DrawOwnShipLayer(skp);
      DrawBaseLayer(skp);
      DrawNavaidLayer(skp);
      DrawInfoBlock(skp);
      DrawRunwayLayer(skp);
      break;
    case FileSelect:
      DrawFilePage(skp);
      break;
    case List:
      DrawListPage(skp);
      break;
    default:
      break;
  }

  ReleasePen(dimPen);
  ReleasePen(brightPen);
  PushRoute();
  return true;
} catch (...) {
  ReleasePen(dimPen);
  ReleasePen(brightPen);
  return true;
}

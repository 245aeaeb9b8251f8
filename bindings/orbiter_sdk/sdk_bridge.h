// The bridge between the module side and the SDK side of the binding; how
// the seam works: README.md beside this file.
#pragma once

#include <cstdint>

namespace sdk_bridge {

// An object of the real host: body, base, vessel (its OBJHANDLE), radio
// source, pen, font, sketchpad or display.
using Handle = void*;

// The bits of a button event pass through as they are: the module's values
// must be the SDK's (each side checks its own against these).
inline constexpr int kMouseLeftDown = 0x01;
inline constexpr int kMouseLeftUp = 0x04;
inline constexpr int kMouseLeftPressed = 0x10;

// ---- Offered by the module side ------------------------------------------

// One display in the module's mode, as the SDK side's display object sees
// it. Deleting it deletes the module's display object.
class DisplayHooks {
 public:
  virtual ~DisplayHooks() = default;
  virtual bool Redraw(Handle sketchpad) = 0;
  virtual bool Key(int key) = 0;
  virtual bool Button(int button, int event) = 0;
  virtual const char* Label(int button) = 0;
  // The button menu: its length, and each line by index.
  virtual int MenuSize() = 0;
  virtual void MenuLine(int index, const char*& line1, const char*& line2, char& key) = 0;
};

// The module object's callbacks.
class ModuleHooks {
 public:
  virtual ~ModuleHooks() = default;
  virtual void SimulationStart(int renderMode) = 0;
  virtual void SimulationEnd() = 0;
  virtual void PreStep(double simTimeSeconds, double stepSeconds, double mjd) = 0;
  virtual void PostStep(double simTimeSeconds, double stepSeconds, double mjd) = 0;
  virtual void TimeJump(double simTimeSeconds, double stepSeconds, int mode) = 0;
  virtual void FocusChanged(Handle newFocus, Handle oldFocus) = 0;
  virtual void TimeAccelerationChanged(double newWarp, double oldWarp) = 0;
  virtual void NewVessel(Handle vessel) = 0;
  virtual void DeleteVessel(Handle vessel) = 0;
  virtual void VesselJump(Handle vessel) = 0;
  virtual void Pause(bool paused) = 0;
};

// A display selects a mode registered with RegisterMode(…, modeContext):
// the module side makes its display object, or answers null. hostDisplay is
// the SDK side's display object, for InvalidateButtons and DefaultFont.
DisplayHooks* OpenDisplay(void* modeContext, std::uint32_t displayId, int widthPx, int heightPx, Handle vessel,
                          Handle hostDisplay);

// ---- Offered by the SDK side ---------------------------------------------

// Vessels, by their object handle
Handle FocusVessel();  // null when there is none
Handle VesselEquPos(Handle vessel, double& longitudeRad, double& latitudeRad, double& radiusMetres);
void VesselStatus(Handle vessel, Handle& body, Handle& base, int& status);
double VesselAltitude(Handle vessel);
double VesselAirspeed(Handle vessel);
void VesselTouchdownPoints(Handle vessel, double (&points)[3][3]);  // x, y, z of each
int VesselNavCount(Handle vessel);
Handle VesselNavSource(Handle vessel, int receiver);

// Bodies, bases, radio, messages: those that pass unchanged
#define BRIDGED_CALL(result, hostName, bridgeName, parameters, arguments) result bridgeName parameters;
#include "bindings/orbiter_sdk/bridged_calls.inc"
#undef BRIDGED_CALL
bool FocusHeading(double& headingRad);
int BaseCount(Handle body);
int BasePadCount(Handle base);
bool BasePadEquPos(Handle base, int pad, double* longitudeRad, double* latitudeRad, double* radiusMetres);
struct NavSummary {
  int type = 0;
  const char* identifier = nullptr;
  Handle body = nullptr;  // of a VOR
  double longitudeRad = 0.0;
  double latitudeRad = 0.0;
};
NavSummary NavData(Handle source);

// Drawing
Handle CreatePen(int style, int width, std::uint32_t colour);
void ReleasePen(Handle pen);
Handle CreateFont(int heightPx, bool proportional, const char* face, int style);
void ReleaseFont(Handle font);
Handle SelectFont(Handle sketchpad, Handle font);  // returns the font it had
Handle SelectPen(Handle sketchpad, Handle pen);    // returns the pen it had
std::uint32_t SetTextColour(Handle sketchpad, std::uint32_t colour);
bool Text(Handle sketchpad, int x, int y, const char* text, int length);
void MoveTo(Handle sketchpad, int x, int y);
void LineTo(Handle sketchpad, int x, int y);
void Line(Handle sketchpad, int x0, int y0, int x1, int y1);
void Rectangle(Handle sketchpad, int x0, int y0, int x1, int y1);
void Ellipse(Handle sketchpad, int x0, int y0, int x1, int y1);
// An open chain of points, x and y of each in turn.
void Polyline(Handle sketchpad, const int* xy, int points);

// Displays
Handle DefaultFont(Handle hostDisplay, int index);
void InvalidateButtons(Handle hostDisplay);

// Registration
int RegisterMode(const char* name, int key, void* modeContext);
bool UnregisterMode(int mode);
void RegisterModule(ModuleHooks* hooks, Handle moduleHandle);
// The module object is going: the host hears of it no more.
void UnregisterModule(ModuleHooks* hooks);

// ---- Offered by the Windows side (Windows only) ---------------------------

// The folder search of the host's platform (windows_side.cpp; on Linux the
// module's own platform/platform.cpp lists folders). Calls found for each entry
// that matches the pattern's last component, in the file system's order;
// false when the folder cannot be searched or nothing matches.
using FolderEntryFound = void (*)(void* context, const char* name, bool directory);
bool ListFolder(const char* pattern, FolderEntryFound found, void* context);

}  // namespace sdk_bridge

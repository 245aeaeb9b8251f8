// The bridge over the real host's SDK: its display and module classes
// forward to the module's hooks, its functions answer the module side. The
// same file builds against the Linux port's SDK and the Windows SDK: where
// their signatures differ (message procedure, key and label types, module
// handle), the types are taken from the SDK itself. No exception leaves
// here into the host.
#include <Orbitersdk.h>

#include <cstdint>
#include <list>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

#include "bindings/orbiter_sdk/sdk_bridge.h"

static_assert(PANEL_MOUSE_LBDOWN == sdk_bridge::kMouseLeftDown && PANEL_MOUSE_LBUP == sdk_bridge::kMouseLeftUp &&
                  PANEL_MOUSE_LBPRESSED == sdk_bridge::kMouseLeftPressed,
              "the SDK's button event bits differ from the ones the module was built with");

using sdk_bridge::Handle;

namespace {

// ---- Types the SDK editions spell differently -----------------------------

template <class Method>
struct FirstParameter;
template <class C, class R, class A>
struct FirstParameter<R (C::*)(A)> {
  using type = A;
};
using KeyCode = FirstParameter<decltype(&MFD::ConsumeKeyBuffered)>::type;
using LabelText = decltype(std::declval<MFD&>().ButtonLabel(0));

struct ModuleHandleProbe : oapi::ModuleNV {
  using oapi::ModuleNV::hModule;
};
using ModuleHandle = decltype(ModuleHandleProbe::hModule);

OBJHANDLE Object(Handle handle) { return static_cast<OBJHANDLE>(handle); }

VESSEL* VesselInterface(Handle vessel) {
  return vessel != nullptr ? oapiGetVesselInterface(Object(vessel)) : nullptr;
}

// ---- Displays -------------------------------------------------------------

// The host's display object of a display in the module's mode.
class BoundDisplay final : public MFD2 {
 public:
  BoundDisplay(int widthPx, int heightPx, VESSEL* vessel) : MFD2(widthPx, heightPx, vessel) {}
  ~BoundDisplay() override { delete hooks; }

  bool Update(oapi::Sketchpad* skp) override try {
    return hooks->Redraw(skp);
  } catch (...) {
    return false;
  }

  bool ConsumeKeyBuffered(KeyCode key) override try {
    return hooks->Key(static_cast<int>(key));
  } catch (...) {
    return false;
  }

  bool ConsumeButton(int bt, int event) override try {
    return hooks->Button(bt, event);
  } catch (...) {
    return false;
  }

  LabelText ButtonLabel(int bt) override try {
    return const_cast<LabelText>(hooks->Label(bt));
  } catch (...) {
    return nullptr;
  }

  // The SDK's menu record is packed; the module's is not: copy the lines.
  int ButtonMenu(const MFDBUTTONMENU** menu) const override try {
    const int size = hooks->MenuSize();
    menu_.assign(size > 0 ? static_cast<std::size_t>(size) : 0, MFDBUTTONMENU{});
    for (int i = 0; i < size; ++i) {
      const char* line1 = nullptr;
      const char* line2 = nullptr;
      char key = 0;
      hooks->MenuLine(i, line1, line2, key);
      menu_[static_cast<std::size_t>(i)].line1 = line1;
      menu_[static_cast<std::size_t>(i)].line2 = line2;
      menu_[static_cast<std::size_t>(i)].selchar = key;
    }
    if (menu != nullptr) *menu = menu_.empty() ? nullptr : menu_.data();
    return size;
  } catch (...) {
    return 0;
  }

  void Invalidate() { InvalidateButtons(); }
  oapi::Font* DefaultFont(int index) const { return GetDefaultFont(index); }

  sdk_bridge::DisplayHooks* hooks = nullptr;

 private:
  mutable std::vector<MFDBUTTONMENU> menu_;
};

// Displays outside the panel (external windows) get numbers after the
// panel's own. Unused where the SDK numbers displays with an integer.
[[maybe_unused]] int ExternalDisplayNumber(const void* display) {
  static std::map<const void*, int> numbers;
  const auto found = numbers.find(display);
  if (found != numbers.end()) return found->second;
  const int number = MAXMFD + static_cast<int>(numbers.size());
  numbers.emplace(display, number);
  return number;
}

template <class Id>
int DisplayNumber(const Id& mfd) {
  if constexpr (std::is_integral_v<Id>)
    return static_cast<int>(mfd);
  else
    return mfd.internal ? mfd.id : ExternalDisplayNumber(mfd.emfd);
}

template <class Result>
Result AsMessageResult(void* display) {
  if constexpr (std::is_pointer_v<Result>)
    return static_cast<Result>(display);
  else
    return static_cast<Result>(reinterpret_cast<std::intptr_t>(display));
}

// The mode's message procedure, in whatever shape this SDK declares it.
template <class Procedure>
struct ModeMessages;
template <class Result, class Message, class Id, class OpenSpec, class VesselArgument>
struct ModeMessages<Result (*)(Message, Id, OpenSpec, VesselArgument)> {
  static Result Receive(Message msg, Id mfd, OpenSpec openSpec, VesselArgument vesselArgument) try {
    if (static_cast<int>(msg) != static_cast<int>(OAPI_MSG_MFD_OPENEDEX)) return Result{};
    auto* open = reinterpret_cast<MFDMODEOPENSPEC*>(openSpec);
    auto* vessel = reinterpret_cast<VESSEL*>(vesselArgument);
    if (open == nullptr) return Result{};
    // Width, height and the mode's registered record, in every SDK edition.
    const auto& [widthPx, heightPx, modeRecord] = *open;
    if (modeRecord == nullptr) return Result{};
    auto* display = new BoundDisplay(widthPx, heightPx, vessel);
    display->hooks = sdk_bridge::OpenDisplay(modeRecord->context, static_cast<std::uint32_t>(DisplayNumber(mfd)),
                                             widthPx, heightPx, vessel != nullptr ? vessel->GetHandle() : nullptr,
                                             display);
    if (display->hooks == nullptr) {
      delete display;
      return Result{};
    }
    return AsMessageResult<Result>(static_cast<MFD*>(display));
  } catch (...) {
    return Result{};
  }
};
using ModeProcedure = decltype(MFDMODESPECEX::msgproc);

// ---- The module object ----------------------------------------------------

class BoundModule final : public oapi::Module {
 public:
  BoundModule(ModuleHandle handle, sdk_bridge::ModuleHooks* hooks) : oapi::Module(handle), hooks_(hooks) {}

  void clbkSimulationStart(RenderMode mode) override { Forward([&] { hooks_->SimulationStart(mode); }); }
  void clbkSimulationEnd() override { Forward([&] { hooks_->SimulationEnd(); }); }
  void clbkPreStep(double simt, double simdt, double mjd) override {
    Forward([&] { hooks_->PreStep(simt, simdt, mjd); });
  }
  void clbkPostStep(double simt, double simdt, double mjd) override {
    Forward([&] { hooks_->PostStep(simt, simdt, mjd); });
  }
  // The SDK reports the new date here, where the module's interface has a
  // jump mode; the module uses neither.
  void clbkTimeJump(double simt, double simdt, double) override {
    Forward([&] { hooks_->TimeJump(simt, simdt, 0); });
  }
  void clbkFocusChanged(OBJHANDLE newFocus, OBJHANDLE oldFocus) override {
    Forward([&] { hooks_->FocusChanged(newFocus, oldFocus); });
  }
  void clbkTimeAccChanged(double newWarp, double oldWarp) override {
    Forward([&] { hooks_->TimeAccelerationChanged(newWarp, oldWarp); });
  }
  void clbkNewVessel(OBJHANDLE vessel) override { Forward([&] { hooks_->NewVessel(vessel); }); }
  void clbkDeleteVessel(OBJHANDLE vessel) override { Forward([&] { hooks_->DeleteVessel(vessel); }); }
  void clbkVesselJump(OBJHANDLE vessel) override { Forward([&] { hooks_->VesselJump(vessel); }); }
  void clbkPause(bool paused) override { Forward([&] { hooks_->Pause(paused); }); }

 private:
  template <class Call>
  static void Forward(Call call) try {
    call();
  } catch (...) {
  }

  sdk_bridge::ModuleHooks* hooks_;
};

std::map<sdk_bridge::ModuleHooks*, BoundModule*>& BoundModules() {
  static std::map<sdk_bridge::ModuleHooks*, BoundModule*> modules;
  return modules;
}

// The SDK keeps a pointer to each registered record.
std::list<MFDMODESPECEX>& ModeRecords() {
  static std::list<MFDMODESPECEX> records;
  return records;
}

oapi::Sketchpad* Pad(Handle skp) { return static_cast<oapi::Sketchpad*>(skp); }

}  // namespace

namespace sdk_bridge {

// ---- Vessels --------------------------------------------------------------

Handle FocusVessel() {
  VESSEL* focus = oapiGetFocusInterface();
  return focus != nullptr ? focus->GetHandle() : nullptr;
}

Handle VesselEquPos(Handle vessel, double& longitudeRad, double& latitudeRad, double& radiusMetres) {
  longitudeRad = latitudeRad = radiusMetres = 0.0;
  VESSEL* v = VesselInterface(vessel);
  return v != nullptr ? v->GetEquPos(longitudeRad, latitudeRad, radiusMetres) : nullptr;
}

void VesselStatus(Handle vessel, Handle& body, Handle& base, int& status) {
  body = base = nullptr;
  status = 0;
  VESSEL* v = VesselInterface(vessel);
  if (v == nullptr) return;
  VESSELSTATUS vs{};
  v->GetStatus(vs);
  body = vs.rbody;
  base = vs.base;
  status = static_cast<int>(vs.status);
}

double VesselAltitude(Handle vessel) {
  VESSEL* v = VesselInterface(vessel);
  return v != nullptr ? v->GetAltitude() : 0.0;
}

double VesselAirspeed(Handle vessel) {
  VESSEL* v = VesselInterface(vessel);
  return v != nullptr ? v->GetAirspeed() : 0.0;
}

void VesselTouchdownPoints(Handle vessel, double (&points)[3][3]) {
  VESSEL* v = VesselInterface(vessel);
  if (v == nullptr) return;
  VECTOR3 p[3]{};
  v->GetTouchdownPoints(p[0], p[1], p[2]);
  for (int i = 0; i < 3; ++i) {
    points[i][0] = p[i].x;
    points[i][1] = p[i].y;
    points[i][2] = p[i].z;
  }
}

int VesselNavCount(Handle vessel) {
  VESSEL* v = VesselInterface(vessel);
  return v != nullptr ? static_cast<int>(v->GetNavCount()) : 0;
}

Handle VesselNavSource(Handle vessel, int receiver) {
  VESSEL* v = VesselInterface(vessel);
  return v != nullptr ? v->GetNavSource(receiver) : nullptr;
}

// ---- Bodies, bases, radio -------------------------------------------------

double ObjectSize(Handle object) { return object != nullptr ? oapiGetSize(Object(object)) : 0.0; }

bool FocusHeading(double& headingRad) { return oapiGetFocusHeading(&headingRad); }

void ObjectName(Handle object, char* name, int size) {
  if (name == nullptr || size <= 0) return;
  name[0] = '\0';
  if (object != nullptr) oapiGetObjectName(Object(object), name, size);
}

int BaseCount(Handle body) { return body != nullptr ? static_cast<int>(oapiGetBaseCount(Object(body))) : 0; }

Handle BaseByIndex(Handle body, int index) { return body != nullptr ? oapiGetBaseByIndex(Object(body), index) : nullptr; }

void BaseEquPos(Handle base, double* longitudeRad, double* latitudeRad, double* radiusMetres) {
  if (base != nullptr) oapiGetBaseEquPos(Object(base), longitudeRad, latitudeRad, radiusMetres);
}

int BasePadCount(Handle base) { return base != nullptr ? static_cast<int>(oapiGetBasePadCount(Object(base))) : 0; }

bool BasePadEquPos(Handle base, int pad, double* longitudeRad, double* latitudeRad, double* radiusMetres) {
  return base != nullptr && oapiGetBasePadEquPos(Object(base), pad, longitudeRad, latitudeRad, radiusMetres);
}

NavSummary NavData(Handle source) {
  NavSummary summary;
  if (source == nullptr) return summary;
  NAVDATA data{};
  oapiGetNavData(static_cast<NAVHANDLE>(source), &data);
  summary.type = static_cast<int>(data.type);
  summary.identifier = data.descr;
  if (data.type == TRANSMITTER_VOR) {
    summary.body = data.vor.hPlanet;
    summary.longitudeRad = data.vor.lng;
    summary.latitudeRad = data.vor.lat;
  }
  return summary;
}

// ---- Drawing --------------------------------------------------------------

Handle CreatePen(int style, int width, std::uint32_t colour) { return oapiCreatePen(style, width, colour); }

void ReleasePen(Handle pen) { oapiReleasePen(static_cast<oapi::Pen*>(pen)); }

Handle CreateFont(int heightPx, bool proportional, const char* face, int style) {
  return oapiCreateFont(heightPx, proportional, const_cast<char*>(face), static_cast<FontStyle>(style));
}

void ReleaseFont(Handle font) { oapiReleaseFont(static_cast<oapi::Font*>(font)); }

Handle SelectFont(Handle skp, Handle font) { return Pad(skp)->SetFont(static_cast<oapi::Font*>(font)); }

Handle SelectPen(Handle skp, Handle pen) { return Pad(skp)->SetPen(static_cast<oapi::Pen*>(pen)); }

std::uint32_t SetTextColour(Handle skp, std::uint32_t colour) {
  return static_cast<std::uint32_t>(Pad(skp)->SetTextColor(colour));
}

bool Text(Handle skp, int x, int y, const char* text, int length) { return Pad(skp)->Text(x, y, text, length); }

void MoveTo(Handle skp, int x, int y) { Pad(skp)->MoveTo(x, y); }

void LineTo(Handle skp, int x, int y) { Pad(skp)->LineTo(x, y); }

void Line(Handle skp, int x0, int y0, int x1, int y1) { Pad(skp)->Line(x0, y0, x1, y1); }

void Rectangle(Handle skp, int x0, int y0, int x1, int y1) { Pad(skp)->Rectangle(x0, y0, x1, y1); }

void Ellipse(Handle skp, int x0, int y0, int x1, int y1) { Pad(skp)->Ellipse(x0, y0, x1, y1); }

void Polyline(Handle skp, const int* xy, int points) try {
  std::vector<oapi::IVECTOR2> chain(static_cast<std::size_t>(points));
  for (int i = 0; i < points; ++i) {
    chain[static_cast<std::size_t>(i)].x = xy[2 * i];
    chain[static_cast<std::size_t>(i)].y = xy[2 * i + 1];
  }
  Pad(skp)->Polyline(chain.data(), points);
} catch (...) {
  // Out of memory: that arc is not drawn.
}

// ---- Displays, messages, registration -------------------------------------

Handle DefaultFont(Handle hostDisplay, int index) {
  return hostDisplay != nullptr ? static_cast<BoundDisplay*>(hostDisplay)->DefaultFont(index) : nullptr;
}

void InvalidateButtons(Handle hostDisplay) {
  if (hostDisplay != nullptr) static_cast<BoundDisplay*>(hostDisplay)->Invalidate();
}

char* DebugString() { return oapiDebugString(); }

void WriteLog(const char* line) { oapiWriteLog(const_cast<char*>(line)); }

int RegisterMode(const char* name, int key, void* modeContext) {
  MFDMODESPECEX& record = ModeRecords().emplace_back();
  record.name = const_cast<char*>(name);
  record.key = key;
  record.context = modeContext;
  record.msgproc = &ModeMessages<ModeProcedure>::Receive;
  return oapiRegisterMFDMode(record);
}

bool UnregisterMode(int mode) { return oapiUnregisterMFDMode(mode); }

void RegisterModule(ModuleHooks* hooks, Handle moduleHandle) {
  auto* module = new BoundModule(reinterpret_cast<ModuleHandle>(moduleHandle), hooks);
  BoundModules()[hooks] = module;
  oapiRegisterModule(module);
}

void UnregisterModule(ModuleHooks* hooks) {
  const auto found = BoundModules().find(hooks);
  if (found == BoundModules().end()) return;
  delete found->second;
  BoundModules().erase(found);
}

}  // namespace sdk_bridge

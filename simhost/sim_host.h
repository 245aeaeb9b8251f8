// The simulated host: a small world of bodies, bases, radio transmitters
// and vessels behind the host's functions, plus the host log, the debug
// line, counted drawing resources and the registrations of modules and
// display modes. One instance per process, reset between tests.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/oapi.h"
#include "simhost/host_log.h"

namespace simhost {

struct LatLon {
  double latitudeRad = 0.0;
  double longitudeRad = 0.0;
};

// Every OBJHANDLE of the simulated host points to one of these.
struct Object {
  enum class Kind { Body, Base, Vessel };
  Object(Kind k, std::string n) : kind(k), name(std::move(n)) {}
  virtual ~Object() = default;
  Kind kind;
  std::string name;
};

struct Base;

struct Body : Object {
  Body(std::string n, double radius) : Object(Kind::Body, std::move(n)), radiusMetres(radius) {}
  double radiusMetres;
  std::vector<Base*> bases;  // in order of creation
};

struct Base : Object {
  Base(std::string n, Body* b, LatLon p) : Object(Kind::Base, std::move(n)), body(b), position(p) {}
  Body* body;
  LatLon position;
  std::vector<LatLon> pads;
};

// Every NAVHANDLE points to one of these.
struct Transmitter {
  DWORD type = TRANSMITTER_VOR;
  std::string id;
  Body* body = nullptr;
  LatLon position;
};

struct VesselSpec {
  std::string name;
  Body* body = nullptr;
  LatLon position;
  double headingRad = 0.0;
  double altitudeMetres = 0.0;
  double airspeed = 0.0;  // [m/s]
  // Touchdown points in the vessel's frame [m], y vertical; a plane
  // standing on its gear has them below the centre.
  std::array<VECTOR3, 3> touchdown{{{0.0, -2.0, 10.0}, {-3.0, -2.0, -2.0}, {3.0, -2.0, -2.0}}};
  Base* landedBase = nullptr;
  std::vector<Transmitter*> receivers;  // null entries are untuned receivers
};

struct Vessel : Object {
  explicit Vessel(const VesselSpec& vesselSpec);
  ~Vessel() override;
  Body* body;
  LatLon position;
  double headingRad;
  double altitudeMetres;
  double airspeed;
  std::array<VECTOR3, 3> touchdown;
  Base* landedBase;
  std::vector<Transmitter*> receivers;
  std::unique_ptr<VESSEL> iface;  // the interface the module sees
};

struct SimPen : oapi::Pen {
  SimPen(int s, int w, DWORD c) : style(s), width(w), colour(c) {}
  int style;  // 1 solid, 2 dashed
  int width;
  DWORD colour;
};

struct SimFont : oapi::Font {
  SimFont(int h, bool p, std::string f, int s, int defaultIdx = -1)
      : height(h), proportional(p), face(std::move(f)), style(s), defaultIndex(defaultIdx) {}
  int height;
  bool proportional;
  std::string face;
  int style;
  int defaultIndex;  // >= 0 for a display's own font, which is never released
};

struct ModeRegistration {
  int id;
  std::string name;
  DWORD key;
  void* context;
  OAPI_MSGTYPE (*msgproc)(UINT, UINT, WPARAM, LPARAM);
};

class Host {
 public:
  // Empties the world and every record, the log's lines, listener and
  // fault included; keeps the log file setting.
  void Reset();

  // World building
  Body& AddBody(std::string name, double radiusMetres);
  Base& AddBase(Body& body, std::string name, LatLon position, std::vector<LatLon> pads = {});
  Transmitter& AddTransmitter(Body& body, DWORD type, std::string id, LatLon position);
  Vessel& AddVessel(const VesselSpec& vesselSpec);  // the first vessel gets the focus
  // Tells every registered module first, as the host does, then destroys it.
  void DeleteVessel(Vessel& vessel);
  void SetFocus(Vessel& vessel);
  Vessel* Focus() const { return focus_; }
  Vessel* FindVessel(const std::string& name) const;
  const std::vector<std::unique_ptr<Body>>& Bodies() const { return bodies_; }
  const std::vector<std::unique_ptr<Vessel>>& Vessels() const { return vessels_; }
  // The object or transmitter a handle names, or null for a handle that
  // names none of this world's (null, stale or made up).
  Object* FindObject(const void* handle) const;
  Transmitter* FindTransmitter(const void* handle) const;

  // Host log: appended to a file when one is set, told to a listener, and
  // kept in memory unless KeepLogLines(false).
  void SetLogFile(const std::string& path) { log_.SetFile(path); }  // empty: no file
  void WriteLog(const char* line);
  const std::vector<std::string>& LogLines() const { return log_.Lines(); }
  void ClearLog() { log_.ClearLines(); }
  void KeepLogLines(bool keep) { log_.KeepLines(keep); }
  void SetLogListener(HostLog::Listener listener) { log_.SetListener(std::move(listener)); }
  // "PATH: cannot write it: why" for the first line the log file did not
  // take, or empty.
  const std::string& LogWriteFault() const { return log_.WriteFault(); }
  // While muted, log lines are dropped: the simulator's own reading of a
  // route must not show in the module's log.
  bool logMuted = false;

  char* DebugLine() { return debugLine_.data(); }
  static constexpr std::size_t kDebugLineSize = 256;

  // Drawing resources, counted so that a leak shows.
  oapi::Pen* CreatePen(int style, int width, DWORD colour);
  void ReleasePen(oapi::Pen* pen);
  oapi::Font* CreateFont(int height, bool prop, const char* face, int style);
  void ReleaseFont(oapi::Font* font);
  oapi::Font* DefaultFont(DWORD index);
  int LivePens() const { return livePens_; }
  int LiveFonts() const { return liveFonts_; }
  int PensCreated() const { return pensCreated_; }
  int FontsCreated() const { return fontsCreated_; }

  // Registrations
  int RegisterMode(const MFDMODESPECEX& modeSpec);
  bool UnregisterMode(int id);
  const std::vector<ModeRegistration>& Modes() const { return modes_; }
  const ModeRegistration* ModeByKey(DWORD key) const;
  void RegisterModule(oapi::Module* module);
  void UnregisterModule(oapi::Module* module);  // called by ~Module
  const std::vector<oapi::Module*>& Modules() const { return modules_; }

  // Calls the module slots the host calls each step and at the end of a run.
  void StepModules(double simt, double simdt, double mjd);
  void EndRun();

  // Counters the tests read.
  int date2IntCalls = 0;
  int initLibCalls = 0;
  HINSTANCE lastInitLib = nullptr;
  int invalidateButtonsCalls = 0;

  // When on, every host function the module calls appends its name here.
  bool traceCalls = false;
  std::vector<std::string> calls;
  // A host function of this name throws when called: the way for tests to
  // reach the module's paths for failures it cannot otherwise meet (an
  // allocation that fails inside a key, a redraw or the opening of a
  // display).
  std::string throwIn;
  // Without a graphics client the host makes no pens or fonts: it answers
  // null, as the real host does.
  bool graphicsClient = true;
  void Trace(const char* name) {
    if (traceCalls) calls.emplace_back(name);
    if (!throwIn.empty() && throwIn == name) throw std::runtime_error(std::string("thrown in ") + name);
  }

 private:
  std::vector<std::unique_ptr<Body>> bodies_;
  std::vector<std::unique_ptr<Base>> bases_;
  std::vector<std::unique_ptr<Transmitter>> transmitters_;
  std::vector<std::unique_ptr<Vessel>> vessels_;
  Vessel* focus_ = nullptr;
  HostLog log_;
  std::array<char, kDebugLineSize> debugLine_{};
  int livePens_ = 0;
  int liveFonts_ = 0;
  int pensCreated_ = 0;
  int fontsCreated_ = 0;
  std::vector<std::unique_ptr<SimFont>> defaultFonts_;
  std::vector<ModeRegistration> modes_;
  int nextModeId_ = 1;
  std::vector<oapi::Module*> modules_;
};

// The process's one simulated host.
Host& host();

}  // namespace simhost

// The run itself: the clock stepping the pilots and the module, the
// timeline applied as it comes due, the vessels watched through their
// pilots' displays, and the displays redrawn at the refresh interval.
#include "simulator/run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "mfd/tarvik_mfd.h"
#include "simhost/module_loader.h"
#include "simhost/sim_host.h"
#include "simulator/display_reader.h"
#include "simulator/frame_recorder.h"
#include "simulator/log_outcome.h"
#include "simulator/output_folder.h"
#include "simulator/pilot.h"
#include "simulator/pilot_route_file.h"
#include "simulator/progress.h"
#include "simulator/world_builder.h"

namespace simulator {

namespace fs = std::filesystem;

namespace {

// The first whole multiple of the interval after t, in one step however
// small the interval.
double NextMultipleAfter(double t, double intervalSeconds) {
  return (std::floor(t / intervalSeconds) + 1.0) * intervalSeconds;
}

constexpr DWORD kModeSelectKey = 0x11;
constexpr double kStartDateMjd = 60000.0;
constexpr double kSecondsPerDay = 86400.0;

class Simulation {
 public:
  Simulation(const Scenario& scenario, const RunOptions& options)
      : scenario_(scenario), options_(options), frames_(scenario, options, folders_) {}
  ~Simulation() {
    Shutdown();
    simhost::host().SetLogListener(nullptr);
  }
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // Everything that can fail before a run; writes nothing.
  bool Prepare(std::string& error) {
    if (const double frames = options_.frameIntervalSeconds.value_or(0.0);
        frames > 0.0 && !(scenario_.durationSeconds + frames > scenario_.durationSeconds)) {
      char written[32];
      std::snprintf(written, sizeof written, "%g", frames);
      error = std::string("--frames: ") + written + " s is too small to move the clock on over the duration";
      return false;
    }
    if (!ReadPilotRoutes(error)) return false;
    simhost::host().Reset();
    // The log is counted as it is written, never held: a large route
    // writes some twelve lines per waypoint.
    simhost::host().KeepLogLines(false);
    simhost::host().SetLogListener([this](std::string_view line) { logReads_.Line(line); });
    vesselsByName_ = BuildWorld(scenario_);
    module_ = simhost::LoadedModule::Load(options_.modulePath, error);
    if (module_ == nullptr) {
      error = options_.modulePath + ": module: " + error;
      return false;
    }
    for (const TimelineEvent& e : scenario_.timeline) {
      if (e.kind == TimelineEvent::Kind::SelectMode && simhost::host().ModeByKey(e.code) == nullptr) {
        error = scenario_.path + ": " + e.place + "/modeKey: no display mode answers key " + std::to_string(e.code);
        return false;
      }
    }
    return PrepareOutputFolder(options_.outputFolder, scenario_.routeFolder, options_.recordDrawCalls, folders_, error);
  }

  void Execute() {
    simhost::host().SetLogFile(folders_.logFile);
    fs::current_path(folders_.hostWorkingDirectory);
    OpenDisplays();
    const double dt = scenario_.timeStepSeconds;
    const double frameInterval = options_.frameIntervalSeconds.value_or(scenario_.frameIntervalSeconds);
    // Checked when the scenario was read: a count that a long holds.
    const auto steps = static_cast<long long>(std::ceil(scenario_.durationSeconds / dt - 1e-9));
    ProgressBar progress(scenario_.durationSeconds, options_.showProgress);

    double nextRedraw = 0.0;
    double nextFrame = 0.0;
    std::size_t nextOverview = 0;
    const std::vector<double>& overviewTimes = scenario_.overviewTimes;
    auto redrawIfDue = [&](double t, bool last) {
      const double eps = dt * 1e-3;
      if (t + eps < nextRedraw && !last) return;
      const bool forOverview = nextOverview < overviewTimes.size() && overviewTimes[nextOverview] <= t + eps;
      const bool frame = forOverview || (frameInterval > 0.0 && (t + eps >= nextFrame || last));
      frames_.Redraw(t, frame, forOverview);
      if (nextRedraw <= t + eps) nextRedraw = NextMultipleAfter(t + eps, scenario_.refreshIntervalSeconds);
      if (frameInterval > 0.0 && frame && nextFrame <= t + eps) nextFrame = NextMultipleAfter(t + eps, frameInterval);
      while (nextOverview < overviewTimes.size() && overviewTimes[nextOverview] <= t + eps) ++nextOverview;
    };

    ApplyEventsUpTo(0.0);
    ObserveVessels(0.0);
    redrawIfDue(0.0, steps == 0);
    for (long long step = 1; step <= steps; ++step) {
      const double t = std::min(static_cast<double>(step) * dt, scenario_.durationSeconds);
      for (VesselRun& v : vessels_)
        if (v.pilot) v.pilot->Fly(dt, t);
      simhost::host().StepModules(t, dt, kStartDateMjd + t / kSecondsPerDay);
      for (VesselRun& v : vessels_)
        if (v.pilot) v.pilot->SequenceOwnCopy(t);
      ApplyEventsUpTo(t);
      ObserveVessels(t);
      redrawIfDue(t, step == steps);
      progress.Update(t);
    }
    progress.Finish();
    outcome_.steps = steps;

    for (VesselRun& v : vessels_)
      if (!v.deleted) v.end = EndOf(*v.vessel);
    simhost::host().EndRun();
    Shutdown();
    frames_.ComposeSheet();
  }

  // The files the run could not write, the first of them named: the host
  // log before the pictures.
  std::string WriteFault() const {
    const std::string& log = simhost::host().LogWriteFault();
    return log.empty() ? frames_.WriteFault() : log;
  }

  RunOutcome Outcome() {
    RunOutcome& o = outcome_;
    o.scenarioPath = scenario_.path;
    o.outputFolder = options_.outputFolder;
    o.durationSeconds = scenario_.durationSeconds;
    o.timeStepSeconds = scenario_.timeStepSeconds;
    o.displayCount = scenario_.displays.size();
    o.drawCallsRecorded = options_.recordDrawCalls;
    o.frameCount = frames_.FrameCount();
    o.vessels.clear();
    for (const VesselRun& v : vessels_) {
      VesselOutcome vo;
      vo.name = v.scenarioEntry->name;
      vo.routeFile = v.scenarioEntry->routeFile;
      vo.route = v.route;
      vo.module = v.moduleHistory;
      vo.deletedAtSeconds = v.deletedAt;
      vo.end = v.end;
      if (v.pilot) {
        vo.pilotStarted = v.pilot->Started();
        vo.pilotCopy = v.pilot->OwnHistory();
        vo.laps.assign(v.pilot->Laps().begin(), v.pilot->Laps().end());
        vo.nextPresses = v.pilot->NextPresses();
        vo.milestones = v.pilot->Milestones();
      }
      o.vessels.push_back(std::move(vo));
    }
    ReadHostOutcome(simhost::host(), logReads_, o);
    return o;
  }

 private:
  struct VesselRun {
    const VesselScenario* scenarioEntry = nullptr;
    simhost::Vessel* vessel = nullptr;
    WaypointList route;
    std::unique_ptr<Pilot> pilot;
    std::unique_ptr<simhost::DisplaySlot> display;  // the pilot's own, never drawn
    ModuleRouteView lastView;
    std::vector<SequenceEvent> moduleHistory;
    bool deleted = false;
    std::optional<double> deletedAt;
    VesselEnd end;
  };

  bool ReadPilotRoutes(std::string& error) {
    vessels_.resize(scenario_.vessels.size());
    for (std::size_t i = 0; i < scenario_.vessels.size(); ++i) {
      const VesselScenario& scenarioEntry = scenario_.vessels[i];
      vessels_[i].scenarioEntry = &scenarioEntry;
      if (scenarioEntry.routeFile.empty()) continue;
      if (!ReadPilotRoute(scenario_, i, vessels_[i].route, error)) return false;
    }
    return true;
  }

  void OpenDisplays() {
    simhost::Host& host = simhost::host();
    simhost::Vessel* focus = host.Focus();
    for (std::size_t i = 0; i < vessels_.size(); ++i) {
      VesselRun& v = vessels_[i];
      v.vessel = vesselsByName_.at(v.scenarioEntry->name);
      if (!v.route.empty()) v.pilot = std::make_unique<Pilot>(*v.vessel, v.route, v.scenarioEntry->pilot);
      // The pilot's display shows the waypoint table of its own vessel.
      v.display = std::make_unique<simhost::DisplaySlot>(kPilotDisplayIds + static_cast<UINT>(i), 256, 256);
      WithFocusOn(*v.vessel, [&] {
        if (v.display->SelectMode(kModeSelectKey, v.vessel->iface.get())) v.display->Key(keys::S);
      });
    }
    outcome_.focusChanges.emplace_back(0.0, focus->name);
    frames_.Open();
  }

  template <typename Work>
  void WithFocusOn(simhost::Vessel& vessel, Work work) {
    simhost::Host& host = simhost::host();
    simhost::Vessel* before = host.Focus();
    if (before != &vessel) host.SetFocus(vessel);
    work();
    if (before != nullptr && before != &vessel) host.SetFocus(*before);
  }

  void ApplyEventsUpTo(double t) {
    const double eps = scenario_.timeStepSeconds * 1e-3;
    while (nextEvent_ < scenario_.timeline.size() && scenario_.timeline[nextEvent_].atSeconds <= t + eps)
      Apply(scenario_.timeline[nextEvent_++], t);
    simhost::Vessel* focus = simhost::host().Focus();
    if (focus != nullptr && outcome_.focusChanges.back().second != focus->name)
      outcome_.focusChanges.emplace_back(t, focus->name);
  }

  void Note(const TimelineEvent& e, double t, const std::string& what) {
    char when[32];
    std::snprintf(when, sizeof when, "%.1f s", t);
    outcome_.notes.push_back(std::string(when) + " (" + e.place + "): " + what);
  }

  void Apply(const TimelineEvent& e, double t) {
    simhost::Host& host = simhost::host();
    switch (e.kind) {
      case TimelineEvent::Kind::SelectMode:
        if (!frames_.Slot(e.display).SelectMode(e.code, host.Focus()->iface.get())) Note(e, t, "the mode did not open");
        break;
      case TimelineEvent::Kind::LeaveMode:
        frames_.Slot(e.display).LeaveMode();
        break;
      case TimelineEvent::Kind::Key:
        frames_.Slot(e.display).Key(e.code);
        break;
      case TimelineEvent::Kind::Button:
        frames_.Slot(e.display).Button(e.button, e.buttonEvent);
        break;
      case TimelineEvent::Kind::LoadRoute:
        if (!LoadRoute(frames_.Slot(e.display), e.name)) Note(e, t, "the file browser does not list " + e.name);
        break;
      case TimelineEvent::Kind::Focus:
        host.SetFocus(*vesselsByName_.at(e.name));
        break;
      case TimelineEvent::Kind::Delete:
        DeleteVessel(e.name, t);
        break;
    }
  }

  // Loads a route file as a person would: open the browser afresh, step
  // through the names with N until the wanted one is bright, load it with L.
  bool LoadRoute(simhost::DisplaySlot& slot, const std::string& file) {
    capture_.Clear();
    slot.Redraw(capture_);
    if (PageOf(slot) == ShownPage::Files) slot.Key(keys::S);  // L there would load, not list
    slot.Key(keys::L);
    capture_.Clear();
    slot.Redraw(capture_);
    const std::size_t names = ReadFileBrowser(capture_).names.size();
    for (std::size_t tries = 0; tries < names; ++tries) {
      const FileBrowserView view = ReadFileBrowser(capture_);
      if (view.selected && view.names[*view.selected] == file) {
        slot.Key(keys::L);
        return true;
      }
      slot.Key(keys::N);
      capture_.Clear();
      slot.Redraw(capture_);
    }
    return false;
  }

  void DeleteVessel(const std::string& name, double t) {
    for (VesselRun& v : vessels_) {
      if (v.scenarioEntry->name != name || v.deleted) continue;
      v.display->LeaveMode();
      v.end = EndOf(*v.vessel);
      if (v.pilot) v.pilot->VesselDeleted();
      v.deleted = true;
      v.deletedAt = t;
      simhost::host().DeleteVessel(*v.vessel);
      v.vessel = nullptr;
      vesselsByName_.erase(name);
    }
  }

  ModuleRouteView ReadModuleRoute(VesselRun& v) {
    ModuleRouteView view;
    WithFocusOn(*v.vessel, [&] {
      capture_.Clear();
      v.display->Redraw(capture_);
      // A key on a display of the vessel may have turned the page.
      if (PageOf(*v.display) != ShownPage::Waypoints) {
        v.display->Key(keys::S);
        if (PageOf(*v.display) != ShownPage::Waypoints) v.display->Key(keys::S);
        capture_.Clear();
        v.display->Redraw(capture_);
      }
      view = ReadWaypointTable(capture_);
    });
    return view;
  }

  void ObserveVessels(double t) {
    for (VesselRun& v : vessels_) {
      if (v.deleted || !v.display->Active()) continue;
      Record(v, ReadModuleRoute(v), t);
      if (v.pilot && v.pilot->WantsNextWaypoint()) {
        WithFocusOn(*v.vessel, [&] { v.display->Key(keys::N); });
        v.pilot->NextWaypointPressed(t);
        Record(v, ReadModuleRoute(v), t);
      }
    }
  }

  void Record(VesselRun& v, const ModuleRouteView& view, double t) {
    if (v.moduleHistory.empty() || !(view == v.lastView)) {
      // The first look is recorded only once a route shows.
      if (!v.moduleHistory.empty() || view.waypointCount > 0) v.moduleHistory.push_back({t, view});
    }
    v.lastView = view;
    if (v.pilot) v.pilot->Observe(view, t);
  }

  static VesselEnd EndOf(const simhost::Vessel& vessel) {
    VesselEnd e;
    e.position = vessel.position;
    e.altitudeMetres = vessel.altitudeMetres;
    const auto& td = vessel.touchdown;
    e.heightMetres = vessel.altitudeMetres + std::min({td[0].y, td[1].y, td[2].y});
    e.airspeed = vessel.airspeed;
    e.headingRad = vessel.headingRad;
    if (vessel.landedBase != nullptr) e.baseName = vessel.landedBase->name;
    return e;
  }

  // Every display leaves the mode, then the module is unloaded; the log
  // file is closed. Safe to call twice.
  void Shutdown() {
    frames_.Close();
    for (VesselRun& v : vessels_)
      if (v.display) v.display->LeaveMode();
    if (module_) {
      outcome_.moduleDate = module_->Date();
      outcome_.moduleVersion = module_->Version();
      module_->Unload();
      module_.reset();
    }
    if (!folders_.logFile.empty()) simhost::host().SetLogFile("");
  }

  const Scenario& scenario_;
  const RunOptions& options_;
  OutputFolders folders_;
  VesselsByName vesselsByName_;
  std::unique_ptr<simhost::LoadedModule> module_;
  std::vector<VesselRun> vessels_;
  FrameRecorder frames_;
  std::size_t nextEvent_ = 0;
  TextCapture capture_;
  RunOutcome outcome_;
  LogReads logReads_;
};

}  // namespace

bool RunScenario(const Scenario& scenario, const RunOptions& options, RunOutcome& outcome, std::string& error) {
  const fs::path startDirectory = fs::current_path();
  bool ran = false;
  {
    Simulation simulation(scenario, options);
    if (simulation.Prepare(error)) {
      simulation.Execute();
      outcome = simulation.Outcome();
      error = simulation.WriteFault();
      ran = error.empty();
    }
  }
  fs::current_path(startDirectory);
  simhost::host().Reset();
  return ran;
}

}  // namespace simulator

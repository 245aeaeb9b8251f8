#include "sim/simulator/run.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "mfd/tarvik_mfd.h"
#include "route/route_file_reader.h"
#include "route/route_messages.h"
#include "sim/host/module_loader.h"
#include "sim/host/sim_host.h"
#include "sim/simulator/display_reader.h"
#include "sim/simulator/frame_picture.h"
#include "sim/simulator/output_folder.h"
#include "sim/simulator/overview_sheet.h"
#include "sim/simulator/pilot.h"
#include "sim/simulator/progress.h"
#include "sim/simulator/tee_surface.h"
#include "sim/simulator/world_builder.h"
#include "sim/surfaces/cairo_surface.h"
#include "sim/surfaces/recording_surface.h"

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

// The reads of route files the log shows that ended with an error: the
// last message of each, as the display keeps it.
std::vector<std::string> ReadsWithAnError(const std::vector<std::string>& log) {
  namespace msg = route_messages;
  std::vector<std::string> lastErrors;
  std::string lastError;
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i] == msg::kStartParsing) lastError.clear();
    if (log[i] == msg::kErrorLogHeader && i + 1 < log.size()) lastError = log[i + 1];
    if (log[i] == msg::kParsingCompleted && !lastError.empty()) lastErrors.push_back(lastError);
  }
  return lastErrors;
}

// Standard output silenced for as long as it lives: the reader echoes its
// reports there, and the pilot's own reading must not show.
class SilencedStdout {
 public:
  SilencedStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      close(null);
    }
  }
  ~SilencedStdout() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, STDOUT_FILENO);
      close(saved_);
    }
  }
  SilencedStdout(const SilencedStdout&) = delete;
  SilencedStdout& operator=(const SilencedStdout&) = delete;

 private:
  int saved_ = -1;
};

// The pilot's own reading of its route file, kept out of the module's log.
bool ReadPilotRoute(const std::string& path, WaypointList& route, std::string& errorText) {
  sim::host().logMuted = true;
  {
    SilencedStdout quiet;
    RouteFileReader reader;
    route = reader.ParseRouteFile(path);
    errorText = reader.errorText;
  }
  sim::host().logMuted = false;
  return errorText.empty();
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string FrameName(std::size_t display, double timeSeconds) {
  char name[64];
  std::snprintf(name, sizeof name, "display%zu_t%07.1fs.png", display, timeSeconds);
  return name;
}

const char* PageName(ShownPage page) {
  switch (page) {
    case ShownPage::Map: return "map";
    case ShownPage::Files: return "files";
    case ShownPage::Waypoints: return "list";
    case ShownPage::None: break;
  }
  return "no mode";
}

class Simulation {
 public:
  Simulation(const Scenario& scenario, const RunOptions& options) : scenario_(scenario), options_(options) {}
  ~Simulation() { Shutdown(); }
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
    sim::host().Reset();
    vesselsByName_ = BuildWorld(scenario_);
    module_ = sim::LoadedModule::Load(options_.modulePath, error);
    if (module_ == nullptr) {
      error = options_.modulePath + ": module: " + error;
      return false;
    }
    for (const TimelineEvent& e : scenario_.timeline) {
      if (e.kind == TimelineEvent::Kind::SelectMode && sim::host().ModeByKey(e.code) == nullptr) {
        error = scenario_.path + ": " + e.place + "/modeKey: no display mode answers key " + std::to_string(e.code);
        return false;
      }
    }
    return PrepareOutputFolder(options_.outputFolder, scenario_.routeFolder, options_.recordDrawCalls, folders_, error);
  }

  void Execute() {
    sim::host().SetLogFile(folders_.logFile);
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
      RedrawDisplays(t, frame, forOverview);
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
      sim::host().StepModules(t, dt, kStartDateMjd + t / kSecondsPerDay);
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
    sim::host().EndRun();
    Shutdown();
    ComposeSheet();
  }

  // The files the run could not write, the first of them named.
  std::string WriteFault() const {
    if (unwritten_.empty()) return {};
    std::string fault = unwritten_.front() + ": cannot write it";
    if (unwritten_.size() > 1) fault += " (nor " + std::to_string(unwritten_.size() - 1) + " more files)";
    return fault;
  }

  RunOutcome Outcome() {
    RunOutcome& o = outcome_;
    o.scenarioPath = scenario_.path;
    o.outputFolder = options_.outputFolder;
    o.durationSeconds = scenario_.durationSeconds;
    o.timeStepSeconds = scenario_.timeStepSeconds;
    o.displayCount = scenario_.displays.size();
    o.drawCallsRecorded = options_.recordDrawCalls;
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
    const sim::Host& host = sim::host();
    o.pensCreated = host.PensCreated();
    o.fontsCreated = host.FontsCreated();
    o.livePens = host.LivePens();
    o.liveFonts = host.LiveFonts();
    o.logLines = host.LogLines().size();
    const std::vector<std::string>& log = host.LogLines();
    o.parsesStarted = static_cast<std::size_t>(std::count(log.begin(), log.end(), route_messages::kStartParsing));
    o.parsesCompleted = static_cast<std::size_t>(std::count(log.begin(), log.end(), route_messages::kParsingCompleted));
    o.readsWithAnError = ReadsWithAnError(log);
    return o;
  }

 private:
  struct VesselRun {
    const VesselScenario* scenarioEntry = nullptr;
    sim::Vessel* vessel = nullptr;
    WaypointList route;
    std::unique_ptr<Pilot> pilot;
    std::unique_ptr<sim::DisplaySlot> display;  // the pilot's own, never drawn
    ModuleRouteView lastView;
    std::vector<SequenceEvent> moduleHistory;
    bool deleted = false;
    std::optional<double> deletedAt;
    VesselEnd end;
  };

  struct DisplayRun {
    std::unique_ptr<sim::DisplaySlot> slot;
    std::unique_ptr<sim::CairoSurface> picture;
    sim::RecordingSurface recording;
    std::ofstream recordingFile;
  };

  struct FrameRow {
    double timeSeconds;
    bool forOverview;
    std::string focus;
    std::vector<std::string> paths;
    std::vector<std::string> pages;
  };

  bool ReadPilotRoutes(std::string& error) {
    vessels_.resize(scenario_.vessels.size());
    for (std::size_t i = 0; i < scenario_.vessels.size(); ++i) {
      const VesselScenario& scenarioEntry = scenario_.vessels[i];
      vessels_[i].scenarioEntry = &scenarioEntry;
      if (scenarioEntry.routeFile.empty()) continue;
      std::string errorText;
      if (!ReadPilotRoute(scenario_.routeFolder + "/" + scenarioEntry.routeFile, vessels_[i].route, errorText)) {
        error = scenario_.path + ": /vessels/" + std::to_string(i) + "/route: route file \"" + scenarioEntry.routeFile +
                "\" does not read cleanly: " + OneLine(errorText);
        return false;
      }
      if (vessels_[i].route.empty()) {
        error = scenario_.path + ": /vessels/" + std::to_string(i) + "/route: route file \"" + scenarioEntry.routeFile +
                "\" holds no waypoints";
        return false;
      }
    }
    return true;
  }

  void OpenDisplays() {
    sim::Host& host = sim::host();
    sim::Vessel* focus = host.Focus();
    for (std::size_t i = 0; i < vessels_.size(); ++i) {
      VesselRun& v = vessels_[i];
      v.vessel = vesselsByName_.at(v.scenarioEntry->name);
      if (!v.route.empty()) v.pilot = std::make_unique<Pilot>(*v.vessel, v.route, v.scenarioEntry->pilot);
      // The pilot's display shows the waypoint table of its own vessel.
      v.display = std::make_unique<sim::DisplaySlot>(kPilotDisplayIds + static_cast<UINT>(i), 256, 256);
      WithFocusOn(*v.vessel, [&] {
        if (v.display->SelectMode(kModeSelectKey, v.vessel->iface.get())) v.display->Key(keys::S);
      });
    }
    outcome_.focusChanges.emplace_back(0.0, focus->name);
    for (std::size_t i = 0; i < scenario_.displays.size(); ++i) {
      const DisplaySpec& displaySpec = scenario_.displays[i];
      auto d = std::make_unique<DisplayRun>();
      d->slot = std::make_unique<sim::DisplaySlot>(static_cast<UINT>(i), displaySpec.widthPx, displaySpec.heightPx);
      d->picture = std::make_unique<sim::CairoSurface>(static_cast<int>(displaySpec.widthPx), static_cast<int>(displaySpec.heightPx));
      if (options_.recordDrawCalls)
        d->recordingFile.open(folders_.recordingFolder + "/display" + std::to_string(i) + ".txt");
      displays_.push_back(std::move(d));
    }
  }

  template <typename Work>
  void WithFocusOn(sim::Vessel& vessel, Work work) {
    sim::Host& host = sim::host();
    sim::Vessel* before = host.Focus();
    if (before != &vessel) host.SetFocus(vessel);
    work();
    if (before != nullptr && before != &vessel) host.SetFocus(*before);
  }

  void ApplyEventsUpTo(double t) {
    const double eps = scenario_.timeStepSeconds * 1e-3;
    while (nextEvent_ < scenario_.timeline.size() && scenario_.timeline[nextEvent_].atSeconds <= t + eps)
      Apply(scenario_.timeline[nextEvent_++], t);
    sim::Vessel* focus = sim::host().Focus();
    if (focus != nullptr && outcome_.focusChanges.back().second != focus->name)
      outcome_.focusChanges.emplace_back(t, focus->name);
  }

  void Note(const TimelineEvent& e, double t, const std::string& what) {
    char when[32];
    std::snprintf(when, sizeof when, "%.1f s", t);
    outcome_.notes.push_back(std::string(when) + " (" + e.place + "): " + what);
  }

  void Apply(const TimelineEvent& e, double t) {
    sim::Host& host = sim::host();
    DisplayRun* d = e.display >= 0 ? displays_[static_cast<std::size_t>(e.display)].get() : nullptr;
    switch (e.kind) {
      case TimelineEvent::Kind::SelectMode:
        if (!d->slot->SelectMode(e.code, host.Focus()->iface.get())) Note(e, t, "the mode did not open");
        break;
      case TimelineEvent::Kind::LeaveMode:
        d->slot->LeaveMode();
        break;
      case TimelineEvent::Kind::Key:
        d->slot->Key(e.code);
        break;
      case TimelineEvent::Kind::Button:
        d->slot->Button(e.button, e.buttonEvent);
        break;
      case TimelineEvent::Kind::LoadRoute:
        if (!LoadRoute(*d->slot, e.name)) Note(e, t, "the file browser does not list " + e.name);
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
  bool LoadRoute(sim::DisplaySlot& slot, const std::string& file) {
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
      sim::host().DeleteVessel(*v.vessel);
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

  void RedrawDisplays(double t, bool frame, bool forOverview) {
    if (displays_.empty()) return;
    FrameRow row{t, forOverview, sim::host().Focus() != nullptr ? sim::host().Focus()->name : "", {}, {}};
    for (std::size_t i = 0; i < displays_.size(); ++i) {
      DisplayRun& d = *displays_[i];
      d.picture->Clear();
      if (d.slot->Active()) {
        if (options_.recordDrawCalls) {
          d.recording.Clear();
          TeeSurface both(*d.picture, d.recording);
          d.slot->Redraw(both);
          char header[64];
          std::snprintf(header, sizeof header, "# redraw at %.1f s\n", t);
          d.recordingFile << header;
          for (const std::string& line : d.recording.Lines()) d.recordingFile << line << '\n';
        } else {
          d.slot->Redraw(*d.picture);
        }
      }
      if (!frame) continue;
      // Under each display, the debug line as that display's redraw left
      // it: the next display's redraw may clear it again.
      const std::string path = folders_.framesFolder + "/" + FrameName(i, t);
      if (!WriteFramePng(d.picture->Raster(), sim::host().DebugLine(), path)) {
        // A frame that did not reach the disk is neither kept nor listed.
        std::error_code ignored;
        fs::remove(path, ignored);
        unwritten_.push_back(path);
        continue;
      }
      row.paths.push_back(path);
      row.pages.push_back(PageName(PageOf(*d.slot)));
      ++outcome_.frameCount;
    }
    if (frame) frames_.push_back(std::move(row));
  }

  static VesselEnd EndOf(const sim::Vessel& vessel) {
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
    for (std::size_t i = 0; i < displays_.size(); ++i) {
      DisplayRun& d = *displays_[i];
      if (!d.recordingFile.is_open()) continue;
      d.recordingFile.close();
      if (d.recordingFile.fail())
        unwritten_.push_back(folders_.recordingFolder + "/display" + std::to_string(i) + ".txt");
    }
    for (auto& d : displays_) d->slot->LeaveMode();
    for (VesselRun& v : vessels_)
      if (v.display) v.display->LeaveMode();
    if (module_) {
      outcome_.moduleDate = module_->Date();
      outcome_.moduleVersion = module_->Version();
      module_->Unload();
      module_.reset();
    }
    if (!folders_.logFile.empty()) sim::host().SetLogFile("");
  }

  void ComposeSheet() {
    // A sheet of frames that are missing would show what the run did not.
    if (frames_.empty() || !unwritten_.empty()) return;
    // The scenario's moments when it names them, else an even spread.
    std::vector<std::size_t> picked;
    for (std::size_t i = 0; i < frames_.size(); ++i)
      if (frames_[i].forOverview) picked.push_back(i);
    if (picked.empty()) picked = PickRows(frames_.size(), options_.overviewRows);
    std::vector<std::vector<SheetCell>> rows;
    for (std::size_t index : picked) {
      const FrameRow& f = frames_[index];
      std::vector<SheetCell> row;
      for (std::size_t i = 0; i < f.paths.size(); ++i) {
        char caption[160];
        std::snprintf(caption, sizeof caption, "display %zu  %.0f s  %s  (%s)", i, f.timeSeconds, f.focus.c_str(),
                      f.pages[i].c_str());
        row.push_back({f.paths[i], caption});
      }
      rows.push_back(std::move(row));
    }
    std::string error;
    const std::string title = "Tarvik MFD  " + fs::path(scenario_.path).filename().string();
    if (!ComposeOverview(title, rows, folders_.overviewFile, error)) unwritten_.push_back(folders_.overviewFile);
  }

  const Scenario& scenario_;
  const RunOptions& options_;
  OutputFolders folders_;
  VesselsByName vesselsByName_;
  std::unique_ptr<sim::LoadedModule> module_;
  std::vector<VesselRun> vessels_;
  std::vector<std::unique_ptr<DisplayRun>> displays_;
  std::vector<FrameRow> frames_;
  std::vector<std::string> unwritten_;  // files the run could not write
  std::size_t nextEvent_ = 0;
  TextCapture capture_;
  RunOutcome outcome_;
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
  sim::host().Reset();
  return ran;
}

}  // namespace simulator

#include "simulator/summary.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "geodesy/great_circle.h"
#include "geodesy/angles.h"

namespace simulator {

namespace {


std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// "WP 3 of 7 current  TURN  \"Over the lake\"", or what stands instead.
std::string Describe(const ModuleRouteView& view, const WaypointList& route) {
  if (view.waypointCount == 0) return "no route";
  if (!view.current) return Format("%zu waypoints, none current", view.waypointCount);
  std::string text = Format("WP %zu of %zu current", *view.current + 1, view.waypointCount);
  if (view.waypointCount == route.size() && *view.current < route.size()) {
    const Waypoint& w = route[*view.current];
    text += Format("  %s", TaskKeyword(w.task));
    if (!w.description.empty()) text += "  \"" + w.description + "\"";
  }
  return text;
}

bool SameView(const SequenceEvent& a, const SequenceEvent& b) { return a.route == b.route; }

// The module's events from the pilot's start on, to hold against the
// pilot's own copy.
std::vector<SequenceEvent> FromStart(const std::vector<SequenceEvent>& module, const std::vector<SequenceEvent>& own) {
  std::vector<SequenceEvent> out;
  if (own.empty()) return out;
  for (const SequenceEvent& e : module)
    if (e.timeSeconds >= own.front().timeSeconds) out.push_back(e);
  return out;
}

void WriteComparison(const VesselOutcome& v, double stepSeconds, std::ostream& out) {
  if (!v.pilotStarted) {
    out << "  pilot: waited; the module never showed " << (v.routeFile.empty() ? "a route" : v.routeFile) << "\n";
    return;
  }
  const std::vector<SequenceEvent> module = FromStart(v.module, v.pilotCopy);
  bool sameOrder = module.size() == v.pilotCopy.size();
  for (std::size_t i = 0; sameOrder && i < module.size(); ++i) sameOrder = SameView(module[i], v.pilotCopy[i]);
  if (!sameOrder) {
    out << "  pilot's copy differs from the module; the pilot's copy:\n";
    for (const SequenceEvent& e : v.pilotCopy)
      out << Format("  %9.1f s  ", e.timeSeconds) << Describe(e.route, v.route) << "\n";
    return;
  }
  std::size_t late = 0;
  for (std::size_t i = 0; i < module.size(); ++i)
    if (std::abs(module[i].timeSeconds - v.pilotCopy[i].timeSeconds) > stepSeconds * 0.5) ++late;
  if (late == 0) {
    out << "  pilot's copy: the same waypoints at the same times\n";
    return;
  }
  out << Format("  pilot's copy: the same waypoints; %zu at other times:\n", late);
  for (std::size_t i = 0; i < module.size(); ++i)
    if (std::abs(module[i].timeSeconds - v.pilotCopy[i].timeSeconds) > stepSeconds * 0.5)
      out << Format("  %9.1f s  ", v.pilotCopy[i].timeSeconds) << Describe(v.pilotCopy[i].route, v.route)
          << Format("  (module: %.1f s)\n", module[i].timeSeconds);
}

std::string Hemisphere(double valueRad, char positive, char negative) {
  return Format("%.5f %c", std::abs(valueRad) * geodesy::kDegreesPerRadian, valueRad < 0.0 ? negative : positive);
}

void WriteEnd(const VesselOutcome& v, std::ostream& out) {
  const VesselEnd& e = v.end;
  out << (v.deletedAtSeconds ? Format("  deleted at %.1f s, at ", *v.deletedAtSeconds) : std::string("  ended at "))
      << Hemisphere(e.position.latitudeRad, 'N', 'S') << " "
      << Hemisphere(geodesy::WrapToPi(e.position.longitudeRad), 'E', 'W')
      << Format(", heading %03.0f, altitude %.1f m, height %.1f m, airspeed %.1f m/s", e.headingRad * geodesy::kDegreesPerRadian,
                e.altitudeMetres, e.heightMetres, e.airspeed);
  if (e.heightMetres == 0.0 && e.airspeed == 0.0) out << ", at rest";
  if (!e.baseName.empty()) out << ", landed at " << e.baseName;
  out << "\n";
}

void WriteFinalRoute(const VesselOutcome& v, std::ostream& out) {
  if (v.module.empty()) {
    out << "  route in the module: none\n";
    return;
  }
  const ModuleRouteView& last = v.module.back().route;
  if (last.waypointCount == 0) {
    out << Format("  route in the module: emptied at %.1f s\n", v.module.back().timeSeconds);
    return;
  }
  if (last.current && *last.current + 1 == last.waypointCount && last.waypointCount == v.route.size() &&
      (v.route.back().task == Land || v.route.back().task == Takeoff)) {
    out << Format("  route in the module: held at WP %zu of %zu (%s) since %.1f s\n", *last.current + 1,
                  last.waypointCount, TaskKeyword(v.route.back().task), v.module.back().timeSeconds);
    return;
  }
  out << "  route in the module: " << Describe(last, v.route) << "\n";
}

}  // namespace

namespace {

// A message on one line, its line feeds written as \n.
std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
  return line;
}

}  // namespace

void WriteSummary(const RunOutcome& o, std::ostream& out) {
  out << "Summary of " << o.scenarioPath << "\n";
  out << Format("  %.1f s simulated in %lld steps of %g s; %zu displays; module of %s, version %d\n",
                o.durationSeconds, o.steps, o.timeStepSeconds, o.displayCount, o.moduleDate.c_str(),
                o.moduleVersion);
  out << "  focus:";
  for (const auto& [time, name] : o.focusChanges) out << Format(" %s from %.1f s;", name.c_str(), time);
  out << "\n";
  for (const VesselOutcome& v : o.vessels) {
    out << "\nVessel " << v.name;
    if (!v.routeFile.empty()) out << Format(", route %s (%zu waypoints)", v.routeFile.c_str(), v.route.size());
    out << "\n";
    for (const SequenceEvent& e : v.module)
      out << Format("  %9.1f s  ", e.timeSeconds) << Describe(e.route, v.route) << "\n";
    for (const auto& [index, laps] : v.laps)
      out << Format("  loop at WP %zu: %d lap%s", index + 1, laps, laps == 1 ? "" : "s") << "\n";
    for (double t : v.nextPresses) out << Format("  pilot pressed N at %.1f s to leave the loop\n", t);
    if (!v.milestones.empty()) {
      out << "  pilot:";
      for (std::size_t i = 0; i < v.milestones.size(); ++i)
        out << (i > 0 ? "," : "") << Format(" %s at %.1f s", v.milestones[i].second.c_str(), v.milestones[i].first);
      out << "\n";
    }
    if (!v.routeFile.empty()) WriteComparison(v, o.timeStepSeconds, out);
    WriteFinalRoute(v, out);
    WriteEnd(v, out);
  }
  out << "\n";
  for (const std::string& note : o.notes) out << "Note: " << note << "\n";
  out << Format("Drawing resources: %d pens and %d fonts created; %d pens and %d fonts still held\n", o.pensCreated,
                o.fontsCreated, o.livePens, o.liveFonts);
  out << Format("Host log: %zu lines; %zu route parses started, %zu completed\n", o.logLines, o.parsesStarted,
                o.parsesCompleted);
  for (const std::string& text : o.readsWithAnError)
    out << "A route loaded with an error (the display says so on the debug line): \"" << OneLine(text) << "\"\n";
  out << "Output in " << o.outputFolder << ": " << o.frameCount << " frames in frames/"
      << (o.frameCount > 0 ? ", overview.png" : "") << ", host.log"
      << (o.drawCallsRecorded ? ", draw calls in recording/" : "") << ", summary.txt\n";
}

}  // namespace simulator

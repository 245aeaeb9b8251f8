#include "tools/route_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/input_file.h"
#include "host/platform.h"
#include "sim/host/sim_host.h"

ReaderEchoSilenced::ReaderEchoSilenced() {
  std::fflush(stdout);
  savedStdout_ = dup(STDOUT_FILENO);
  const int devNull = open("/dev/null", O_WRONLY);
  if (savedStdout_ >= 0 && devNull >= 0) dup2(devNull, STDOUT_FILENO);
  if (devNull >= 0) close(devNull);
}

ReaderEchoSilenced::~ReaderEchoSilenced() {
  std::fflush(stdout);
  if (savedStdout_ >= 0) {
    dup2(savedStdout_, STDOUT_FILENO);
    close(savedStdout_);
  }
}

RouteSource ReadRouteSource(const std::string& path) {
  sim::host().ClearLog();
  ReadTrace trace;
  RouteFileReader reader(&trace);
  RouteSource source;
  source.path = path;
  {
    const ReaderEchoSilenced quiet;
    source.waypoints = reader.ParseRouteFile(path);
  }
  source.runways = reader.GetRunways();
  source.errorText = reader.errorText;
  source.errorFlag = reader.errorFlag;
  for (const ReadTrace::PointLine& point : trace.points)
    if (point.read) source.points.push_back(point.point);
  for (std::size_t i = 0; i < trace.runways.size() && source.runwayEnds.size() < source.runways.size(); ++i)
    if (trace.runways[i].read) source.runwayEnds.push_back({trace.runways[i].end1Point, trace.runways[i].end2Point});
  for (const ReadTrace::WaypointLine& line : trace.waypoints)
    if (line.routeIndex >= 0) source.references.push_back({line.onRunway, line.index});
  return source;
}

std::string UnreadableReason(const std::string& path) { return files::WhyUnreadable(NativePath(path)); }

std::string ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) return std::strerror(errno);
  char buffer[1 << 16];
  std::size_t got = 0;
  bool tooLarge = false;
  while (!tooLarge && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
    tooLarge = bytes.size() > kLargestRouteFileBytes;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (tooLarge || failed) bytes.clear();
  if (tooLarge) return "it is larger than 256 MiB";
  return failed ? "it cannot be read" : "";
}

FileLines::FileLines(const std::string& fileBytes, const TextOrigins& origins) : bytes_(fileBytes), origins_(origins) {
  lineStarts_.push_back(0);
  for (std::size_t i = 0; i < bytes_.size(); ++i)
    if (bytes_[i] == '\n' && i + 1 < bytes_.size()) lineStarts_.push_back(i + 1);
}

FilePlace FileLines::PlaceOfFileOffset(std::size_t offset) const {
  const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  const auto line = static_cast<std::size_t>(after - lineStarts_.begin());
  return {line, offset - lineStarts_[line - 1] + 1};
}

FilePlace FileLines::PlaceOf(std::string_view fileText, std::string_view inText) const {
  if (inText.data() == nullptr || inText.data() < fileText.data() ||
      inText.data() >= fileText.data() + fileText.size())
    return {};
  const auto offset = static_cast<std::size_t>(inText.data() - fileText.data());
  if (offset >= origins_.size()) return {};
  return PlaceOfFileOffset(origins_[offset]);
}

std::string_view FileLines::Line(std::size_t number) const {
  if (number == 0 || number > lineStarts_.size()) return {};
  const std::size_t start = lineStarts_[number - 1];
  std::size_t end = number < lineStarts_.size() ? lineStarts_[number] - 1 : bytes_.size();
  if (end > start && bytes_[end - 1] == '\n') --end;
  if (end > start && bytes_[end - 1] == '\r') --end;
  return bytes_.substr(start, end - start);
}

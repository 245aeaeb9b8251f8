#include "route_tool/core/route_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "simhost/sim_host.h"

namespace route_tool {

RouteSource ReadRouteSource(RouteInput input) {
  simhost::host().ClearLog();
  ReadTrace trace;
  trace.wantOrigins = false;  // nothing here points at the file's lines
  RouteFileReader reader(&trace);
  reader.SetReportEcho(DiscardEcho);
  RouteSource source;
  source.path = input.path;
  reader.ParseRouteBytes(std::move(input.bytes), input.tooLarge);
  source.waypoints = std::move(reader.waypoints);
  source.runways = std::move(reader.runways);
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

RouteSource ReadRouteSource(const std::string& path) {
  RouteInput input;
  ReadRouteInput(path, input);
  return ReadRouteSource(std::move(input));
}

FilePlace PlaceOfPoint(const RouteInput& input, std::size_t point) {
  ReadTrace trace;
  RouteFileReader reader(&trace);
  reader.SetReportEcho(DiscardEcho);
  reader.ParseRouteBytes(input.bytes, input.tooLarge);
  std::size_t readPoints = 0;
  for (const ReadTrace::PointLine& line : trace.points) {
    if (!line.read) continue;
    if (readPoints++ == point) return FileLines(input.bytes, trace.origins).PlaceOf(reader.fileText, line.line.text);
  }
  return {};
}

std::string ReadFileBytes(const std::string& path, std::string& bytes, bool* tooLarge) {
  bytes.clear();
  if (tooLarge != nullptr) *tooLarge = false;
  const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    close(fd);
    return "it is a folder";
  }
  // A regular file's size is known; a pipe's is found by reading.
  if (S_ISREG(status.st_mode) && status.st_size > 0)
    bytes.reserve(std::min(static_cast<std::size_t>(status.st_size), kLargestRouteFileBytes) + 1);
  char buffer[1 << 16];
  bool larger = false;
  bool failed = false;
  while (!larger) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      failed = got < 0;
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
    larger = bytes.size() > kLargestRouteFileBytes;
  }
  close(fd);
  if (larger || failed) {
    bytes.clear();
    bytes.shrink_to_fit();
  }
  if (tooLarge != nullptr) *tooLarge = larger;
  if (larger) return "it is larger than 256 MiB";
  return failed ? "it cannot be read" : "";
}

std::string ReadRouteInput(const std::string& path, RouteInput& input) {
  input.path = path;
  const std::string why = ReadFileBytes(path, input.bytes, &input.tooLarge);
  return input.tooLarge ? "" : why;
}

FileLines::FileLines(const std::string& fileBytes, const TextOrigins& origins)
    : bytes_(fileBytes), origins_(origins), starts_(fileBytes) {}

std::size_t FileLines::LineCount() const {
  // A last line feed ends the last line; no line of the file follows it.
  return starts_.Count() - (!bytes_.empty() && bytes_.back() == '\n' ? 1 : 0);
}

FilePlace FileLines::PlaceOf(std::string_view fileText, std::string_view inText) const {
  if (inText.data() == nullptr || inText.data() < fileText.data() ||
      inText.data() >= fileText.data() + fileText.size())
    return {};
  const auto offset = static_cast<std::size_t>(inText.data() - fileText.data());
  if (offset >= origins_.size()) return {};
  return starts_.PlaceOf(origins_[offset]);
}

std::string_view FileLines::Line(std::size_t number) const {
  if (number == 0 || number > LineCount()) return {};
  const std::size_t start = starts_.StartOf(number);
  std::size_t end = starts_.StartOf(number + 1);
  if (end > start && bytes_[end - 1] == '\n') --end;
  if (end > start && bytes_[end - 1] == '\r') --end;
  return bytes_.substr(start, end - start);
}

}  // namespace route_tool

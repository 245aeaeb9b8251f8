#include "simulator/output_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "files/input_file.h"
#include "files/output_file.h"

namespace simulator {

namespace fs = std::filesystem;

namespace {

bool IsRouteFile(const fs::directory_entry& entry) {
  std::string ext = entry.path().extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return entry.is_regular_file() && ext == ".route";
}

// What a run writes into its output folder, removed before it starts.
constexpr const char* kReplacedByARun[] = {"frames", "recording", "overview.png", "host.log", "summary.txt", "host"};

constexpr std::size_t kNamesShown = 5;

// Empty when the folder may take a run's output: missing, empty, or marked
// by an earlier run. Else why not, naming what is in the way.
std::string WhyNotOurs(const fs::path& root, const std::string& folder) {
  std::error_code ec;
  const fs::file_status status = fs::status(root, ec);
  if (!fs::exists(status)) return {};
  if (!fs::is_directory(status)) return folder + ": output folder: it is not a folder";
  if (fs::is_regular_file(root / kOutputMarkerName, ec)) return {};
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(root, ec)) names.insert(entry.path().filename());
  if (ec) return folder + ": output folder: " + ec.message();
  if (names.empty()) return {};
  std::string shown;
  std::size_t listed = 0;
  for (const std::string& name : names) {
    if (listed++ == kNamesShown) break;
    shown += (shown.empty() ? "" : ", ") + name;
  }
  if (names.size() > kNamesShown) shown += " and " + std::to_string(names.size() - kNamesShown) + " more";
  return folder + ": output folder holds files no run wrote (" + shown + "); give a new or empty folder";
}

}  // namespace

bool PrepareOutputFolder(const std::string& folder, const std::string& routeFolder, bool withRecording,
                         OutputFolders& out, std::string& error) {
  const fs::path root = fs::absolute(folder).lexically_normal();
  out.root = root.string();
  out.framesFolder = (root / "frames").string();
  out.recordingFolder = withRecording ? (root / "recording").string() : "";
  out.overviewFile = (root / "overview.png").string();
  out.logFile = (root / "host.log").string();
  out.summaryFile = (root / "summary.txt").string();
  out.hostWorkingDirectory = (root / "host").string();
  std::error_code ec;
  // A run replaces these; routes kept in one of them would be gone before
  // the run could copy them.
  const fs::path routesAt = fs::weakly_canonical(fs::absolute(routeFolder), ec);
  for (const char* name : kReplacedByARun) {
    const fs::path replaced = fs::weakly_canonical(root / name, ec);
    const auto [end, rest] = std::mismatch(replaced.begin(), replaced.end(), routesAt.begin(), routesAt.end());
    if (end == replaced.end()) {
      error = routeFolder + ": route folder: lies in " + replaced.string() +
              ", which a run replaces; choose another output folder";
      return false;
    }
  }
  if (error = WhyNotOurs(root, folder); !error.empty()) return false;
  fs::create_directories(root, ec);
  if (ec) {
    error = folder + ": output folder: " + ec.message();
    return false;
  }
  const std::string marker = (root / kOutputMarkerName).string();
  if (!fs::is_regular_file(marker, ec)) {
    if (const std::string why = files::WriteOutputFile(marker, "This folder holds the output of tarvik-sim; a run replaces it.\n");
        !why.empty()) {
      error = marker + ": cannot write it: " + why;
      return false;
    }
  }
  // Only what a run writes is removed: the folder may hold other things.
  for (const char* name : kReplacedByARun) {
    fs::remove_all(root / name, ec);
    if (ec) {
      error = (root / name).string() + ": cannot remove the earlier run's output: " + ec.message();
      return false;
    }
  }
  const fs::path routes = root / "host" / "Config" / "TKMFD" / "routes";
  fs::create_directories(routes, ec);
  if (!ec) fs::create_directories(out.framesFolder, ec);
  if (!ec && withRecording) fs::create_directories(out.recordingFolder, ec);
  if (ec) {
    error = folder + ": output folder: " + ec.message();
    return false;
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(routeFolder, ec)) {
    if (!IsRouteFile(entry)) continue;
    // Through the one writer, so that a full disk is reported like any other.
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string why;
    if (in.is_open() && !in.bad()) {
      why = files::WriteOutputFile((routes / entry.path().filename()).string(), bytes);
    } else if ((why = files::WhyUnreadable(entry.path().string())).empty()) {
      why = "it cannot be read";
    }
    if (!why.empty()) {
      error = entry.path().string() + ": cannot copy into the host's folder: " + why;
      return false;
    }
  }
  if (ec) {
    error = routeFolder + ": route folder: " + ec.message();
    return false;
  }
  return true;
}

}  // namespace simulator

// The output folder of a run and the host's working directory inside it.
// The module reads its routes from ".\Config\TKMFD\routes\" below the host's
// working directory, so a run stages a copy of the scenario's route folder
// there and works in it; the source tree is never written to.
#pragma once

#include <string>

namespace simulator {

struct OutputFolders {
  std::string root;                   // absolute
  std::string framesFolder;           // root/frames
  std::string recordingFolder;        // root/recording, on request
  std::string overviewFile;           // root/overview.png
  std::string logFile;                // root/host.log
  std::string summaryFile;            // root/summary.txt
  std::string hostWorkingDirectory;   // root/host, holding Config/TKMFD/routes
};

// Marks a folder as a run's own on its first run.
inline constexpr char kOutputMarkerName[] = ".tarvik-sim-output";

// Makes the folder (or clears what an earlier run wrote into it) and stages
// the route files. A folder that is neither new, empty nor marked as a
// run's own is refused, naming what is in it; nothing is removed before
// every check passed. On failure returns false with the reason in error.
bool PrepareOutputFolder(const std::string& folder, const std::string& routeFolder, bool withRecording,
                         OutputFolders& out, std::string& error);

}  // namespace simulator

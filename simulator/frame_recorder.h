// The scenario's displays through a run: each redrawn into its picture at
// the refresh interval (its draw calls recorded when asked), frames written
// at the moments the clock names, the overview sheet composed from them at
// the end, and every file that could not be written kept to report.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "simhost/module_loader.h"
#include "simulator/output_folder.h"
#include "simulator/run.h"
#include "simulator/scenario.h"
#include "surfaces/cairo_surface.h"
#include "surfaces/recording_surface.h"

namespace simulator {

class FrameRecorder {
 public:
  // The folders are filled in before Open.
  FrameRecorder(const Scenario& scenario, const RunOptions& options, const OutputFolders& folders)
      : scenario_(scenario), options_(options), folders_(folders) {}

  // A slot and a picture for each of the scenario's displays.
  void Open();

  simhost::DisplaySlot& Slot(int display) { return *displays_[static_cast<std::size_t>(display)]->slot; }

  // Redraws every display at time t; with frame, writes each picture as a
  // frame, remembered for the overview sheet.
  void Redraw(double t, bool frame, bool forOverview);

  // Closes the draw-call recordings, then every display leaves its mode.
  // Safe to call twice.
  void Close();

  void ComposeSheet();

  std::size_t FrameCount() const { return frameCount_; }

  // The files the run could not write, the first of them named with why;
  // empty when all were written.
  std::string WriteFault() const;

 private:
  std::string RecordingPath(std::size_t display) const {
    return folders_.recordingFolder + "/display" + std::to_string(display) + ".txt";
  }
  struct DisplayRun {
    std::unique_ptr<simhost::DisplaySlot> slot;
    std::unique_ptr<simhost::CairoSurface> picture;
    simhost::RecordingSurface recording;
    files::OutputFile recordingFile;
  };

  struct FrameRow {
    double timeSeconds;
    bool forOverview;
    std::string focus;
    std::vector<std::string> paths;
    std::vector<std::string> pages;
  };

  const Scenario& scenario_;
  const RunOptions& options_;
  const OutputFolders& folders_;
  std::vector<std::unique_ptr<DisplayRun>> displays_;
  std::vector<FrameRow> frames_;
  std::size_t frameCount_ = 0;
  struct Unwritten {
    std::string path;
    std::string why;
  };
  std::vector<Unwritten> unwritten_;  // files the run could not write
};

}  // namespace simulator

// The scenario's displays through a run, and the files they leave: frames,
// draw-call recordings and the overview sheet.
#include "simulator/frame_recorder.h"

#include <cstdio>
#include <filesystem>

#include "simhost/sim_host.h"
#include "simulator/display_reader.h"
#include "simulator/frame_picture.h"
#include "simulator/overview_sheet.h"
#include "simulator/tee_surface.h"

namespace simulator {

namespace fs = std::filesystem;

namespace {

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

}  // namespace

void FrameRecorder::Open() {
  for (std::size_t i = 0; i < scenario_.displays.size(); ++i) {
    const auto& size = scenario_.displays[i];
    auto d = std::make_unique<DisplayRun>();
    d->slot = std::make_unique<simhost::DisplaySlot>(static_cast<UINT>(i), size.widthPx, size.heightPx);
    d->picture = std::make_unique<simhost::CairoSurface>(static_cast<int>(size.widthPx), static_cast<int>(size.heightPx));
    if (options_.recordDrawCalls) {
      const std::string path = RecordingPath(i);
      if (const std::string why = d->recordingFile.Open(path); !why.empty()) unwritten_.push_back({path, why});
    }
    displays_.push_back(std::move(d));
  }
}

void FrameRecorder::Redraw(double t, bool frame, bool forOverview) {
  if (displays_.empty()) return;
  FrameRow row{t, forOverview, simhost::host().Focus() != nullptr ? simhost::host().Focus()->name : "", {}, {}};
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
        d.recordingFile.Write(header);
        for (const std::string& line : d.recording.Lines()) {
          d.recordingFile.Write(line);
          d.recordingFile.Write("\n");
        }
      } else {
        d.slot->Redraw(*d.picture);
      }
    }
    if (!frame) continue;
    // Under each display, the debug line as that display's redraw left
    // it: the next display's redraw may clear it again.
    const std::string path = folders_.framesFolder + "/" + FrameName(i, t);
    // A frame that did not reach the disk is not listed.
    if (const std::string why = WriteFramePng(d.picture->Raster(), simhost::host().DebugLine(), path); !why.empty()) {
      unwritten_.push_back({path, why});
      continue;
    }
    row.paths.push_back(path);
    row.pages.push_back(PageName(PageOf(*d.slot)));
    ++frameCount_;
  }
  if (frame) frames_.push_back(std::move(row));
}

void FrameRecorder::Close() {
  for (std::size_t i = 0; i < displays_.size(); ++i) {
    DisplayRun& d = *displays_[i];
    if (!d.recordingFile.IsOpen()) continue;
    if (const std::string why = d.recordingFile.Commit(); !why.empty()) unwritten_.push_back({RecordingPath(i), why});
  }
  for (auto& d : displays_) d->slot->LeaveMode();
}

void FrameRecorder::ComposeSheet() {
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
  if (!ComposeOverview(title, rows, folders_.overviewFile, error)) unwritten_.push_back({folders_.overviewFile, error});
}

std::string FrameRecorder::WriteFault() const {
  if (unwritten_.empty()) return {};
  const Unwritten& first = unwritten_.front();
  std::string fault = first.path + ": cannot write it";
  if (!first.why.empty()) fault += ": " + first.why;
  if (unwritten_.size() > 1) fault += " (nor " + std::to_string(unwritten_.size() - 1) + " more files)";
  return fault;
}

}  // namespace simulator

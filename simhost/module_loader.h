// How the simulated host loads a module library and lets its displays use
// the module's modes, as the host does with a plug-in: load the file (the
// library's attach step runs), find the entry points by name, call
// InitModule; at the end opcDLLExit, then unload (detach runs ExitModule).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/oapi.h"

namespace simhost {

// A module library loaded by the simulated host.
class LoadedModule {
 public:
  // dlopen (the attach step runs), find entry points by name, call
  // InitModule(hInst). On failure returns null and sets error.
  static std::unique_ptr<LoadedModule> Load(const std::string& path, std::string& error);
  ~LoadedModule();  // Unload() if still loaded
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // opcDLLExit(hInst) then dlclose (detach runs ExitModule); idempotent.
  // Every display must have left the module's modes before.
  void Unload();
  HINSTANCE Instance() const { return instance_; }
  const char* Date() const;  // ModuleDate(), "" when not exported
  int Version() const;       // GetModuleVersion(), 0 when not exported
  // String resources by id (1000, 1001) read from the library file.
  const std::map<int, std::string>& Strings() const { return strings_; }
  const std::string& Path() const { return path_; }

 private:
  LoadedModule() = default;

  std::string path_;
  void* handle_ = nullptr;
  HINSTANCE instance_ = nullptr;
  bool (*opcDLLExit_)(HINSTANCE) = nullptr;
  const char* (*moduleDate_)() = nullptr;
  int (*moduleVersion_)() = nullptr;
  std::map<int, std::string> strings_;
};

// The host's list of modules: every module loaded now, in load order, with
// its file, date and string resources.
const std::vector<const LoadedModule*>& LoadedModules();

// Reads the string resources of a module file; empty when it has none.
std::map<int, std::string> ReadModuleStrings(const std::string& path);

// One cockpit display of the simulated host.
class DisplaySlot {
 public:
  DisplaySlot(UINT displayId, DWORD widthPx, DWORD heightPx);
  ~DisplaySlot();  // LeaveMode()
  DisplaySlot(const DisplaySlot&) = delete;
  DisplaySlot& operator=(const DisplaySlot&) = delete;

  // Finds the registered mode with this selection key and sends it message
  // 4 for this display with the given vessel; owns the display object it
  // returns. A display already in a mode leaves it first.
  bool SelectMode(DWORD key, VESSEL* vessel);
  void LeaveMode();  // destroys the display object
  bool Active() const { return display_ != nullptr; }
  MFD2* Display() const { return display_; }
  bool Key(DWORD key);  // ConsumeKeyQueued
  bool Button(int button, int event = PANEL_MOUSE_LBDOWN);  // ConsumeButtonPress
  const char* Label(int button) const;
  int Menu(const MFDBUTTONMENU** menu) const;
  bool Redraw(oapi::Sketchpad& surface);  // UpdateSketchpad
  UINT Id() const { return id_; }
  DWORD Width() const { return width_; }
  DWORD Height() const { return height_; }

 private:
  UINT id_;
  DWORD width_;
  DWORD height_;
  MFD2* display_ = nullptr;
};

}  // namespace simhost

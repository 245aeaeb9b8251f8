// The SDK side of the bridge, faked: records what the module side asks of
// the host, so that the binding's own rules can be checked without a host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/orbiter_sdk/sdk_bridge.h"

namespace fake_sdk {

// One sketchpad of the host: what is selected, and every text with the
// font it was drawn in.
struct Sketchpad {
  sdk_bridge::Handle font = nullptr;
  sdk_bridge::Handle pen = nullptr;
  std::vector<std::pair<std::string, sdk_bridge::Handle>> texts;
};

struct Host {
  std::vector<std::string> calls;  // "ReleaseFont", "RegisterModule", ...
  void* lastModeContext = nullptr;
  sdk_bridge::ModuleHooks* registeredModule = nullptr;
  sdk_bridge::Handle registeredModuleHandle = nullptr;
  sdk_bridge::ModuleHooks* unregisteredModule = nullptr;
  sdk_bridge::Handle focus = nullptr;
  std::vector<sdk_bridge::Handle> releasedFonts;
  std::vector<sdk_bridge::Handle> releasedPens;
  // The font selected in the sketchpad when each font was released.
  std::vector<sdk_bridge::Handle> selectedAtFontRelease;
  Sketchpad* activeSketchpad = nullptr;
  std::vector<sdk_bridge::Handle> invalidatedDisplays;
  std::string navIdentifier;
  char debugLine[256] = {};
};

Host& host();
void Reset();

// Handles the fake host gives out: distinct, never dereferenced.
sdk_bridge::Handle NewHandle();

}  // namespace fake_sdk

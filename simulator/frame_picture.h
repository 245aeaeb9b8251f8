// A frame as the user sees the display in the host's window: the display's
// picture with the host's debug line in a strip below it, so that a route
// loaded with an error shows in every picture.
#pragma once

#include <cairo.h>

#include <string>

namespace simulator {

inline constexpr int kDebugStripPx = 18;

// Writes the display's picture with the debug line under it as a PNG;
// empty on success, else why the file could not be written.
std::string WriteFramePng(cairo_surface_t* display, const std::string& debugLine, const std::string& path);

}  // namespace simulator

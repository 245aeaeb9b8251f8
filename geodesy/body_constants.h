// The body the tools assume where a file names none: Earth, with the one
// radius the host gives it (the Size of its Earth.cfg), so that a tool's
// metres are the host's.
#pragma once

namespace geodesy {

inline constexpr double kEarthRadiusMetres = 6.37101e6;

}  // namespace geodesy

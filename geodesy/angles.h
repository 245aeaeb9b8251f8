// Angle constants for the tools and the simulator. The module keeps its own
// degree factor as the host's SDK writes it; these are the same doubles.
#pragma once

#include <numbers>

namespace geodesy {

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
inline constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

}  // namespace geodesy

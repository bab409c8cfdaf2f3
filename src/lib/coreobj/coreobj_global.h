#pragma once

// Constants shared across the core object library.

// Degrees to radians: pi / 180.
inline constexpr double DEG_TO_RAD = 0.017453292519943295;

// Mean Earth radius used for great-circle distances.
inline constexpr double EARTH_RADIUS_IN_METERS = 6372797.560856;

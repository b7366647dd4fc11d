#pragma once

// The view's lens: a perspective projection with this vertical field of view
// and these clipping planes (model units, centimetres). Drawing, picking,
// the part pictures and the model builder's camera fit all use it.
namespace vxLens {
inline constexpr double kFieldOfView = 30.0; // degrees, top to bottom
inline constexpr double kNearPlane = 0.2;
inline constexpr double kFarPlane = 1000.0;
// A scene that reaches further from the eye than kFarPlane moves the far
// plane out to its farthest corner, up to this distance (ten kilometres).
inline constexpr double kFarthestPlane = 1.0e6;
} // namespace vxLens

#pragma once
// The table of the main window's 24 face containers, shared by the picture generator (which draws
// them) and the kit (which embeds them). Plain data: no window system.
//
// A container's picture holds kFaceRows rows of faces (its cells), each row the faces side by side:
// up, disabled, pressed, and for four faces held down. Row 0 is the standard design; rows 1..7 vary
// its tint slightly. Faces of one height that are cut straight on a side share one edge profile
// there, so the left end, middle and right end of a header bar join without a seam.

#include <array>
#include <string_view>

namespace vdmq {

enum class TFaceShape {
  Rounded,   // rounded at both ends
  LeftEnd,   // rounded on the left, cut straight on the right
  Middle,    // cut straight on both sides
  RightEnd,  // cut straight on the left, rounded on the right
};

struct TFaceContainerSpec {
  std::string_view Name;
  int FaceWidth, FaceHeight;
  int Faces;  // 3, or 4 with the held-down face
  TFaceShape Shape;
  int Tint;  // the colour family (0 steel blue, 1 deep blue, 2 violet steel)
};

inline constexpr int kFaceRows = 8;

inline constexpr std::array<TFaceContainerSpec, 24> kFaceContainers{{
    {"bcBtn86_28", 86, 28, 3, TFaceShape::Rounded, 0},     {"bc156_40", 156, 40, 3, TFaceShape::Rounded, 1},
    {"bc234_32", 234, 32, 3, TFaceShape::Rounded, 1},      {"bc156_20", 156, 20, 3, TFaceShape::Rounded, 0},
    {"bc156_20_l", 156, 20, 3, TFaceShape::LeftEnd, 0},    {"bc30_20", 30, 20, 3, TFaceShape::Rounded, 0},
    {"bc30_20_r", 30, 20, 3, TFaceShape::RightEnd, 0},     {"bc30_20_m", 30, 20, 3, TFaceShape::Middle, 0},
    {"bc28_28", 28, 28, 3, TFaceShape::Rounded, 0},        {"bc162_20", 162, 20, 3, TFaceShape::Rounded, 0},
    {"bc162_20_l", 162, 20, 3, TFaceShape::LeftEnd, 0},    {"bc162_20_r", 162, 20, 3, TFaceShape::RightEnd, 0},
    {"bc126_20", 126, 20, 3, TFaceShape::Rounded, 0},      {"bc126_20_r", 126, 20, 3, TFaceShape::RightEnd, 0},
    {"bc126_20_l", 126, 20, 3, TFaceShape::LeftEnd, 0},    {"bc126_20_m", 126, 20, 3, TFaceShape::Middle, 0},
    {"bc54_20", 54, 20, 3, TFaceShape::Rounded, 0},        {"bc54_20_r", 54, 20, 3, TFaceShape::RightEnd, 0},
    {"bc54_20_l", 54, 20, 3, TFaceShape::LeftEnd, 0},      {"bc54_20_m", 54, 20, 3, TFaceShape::Middle, 0},
    {"bc_sb160_48_2", 160, 48, 4, TFaceShape::Rounded, 2}, {"bc86_28_2", 86, 28, 3, TFaceShape::Rounded, 0},
    {"bc28_28_2", 28, 28, 3, TFaceShape::Rounded, 2},      {"bc_sb43_28_2", 43, 28, 4, TFaceShape::Rounded, 2},
}};

// The entry of that name, or nullptr.
constexpr const TFaceContainerSpec* FindFaceContainer(std::string_view name) {
  for (const TFaceContainerSpec& s : kFaceContainers)
    if (s.Name == name) return &s;
  return nullptr;
}

}  // namespace vdmq

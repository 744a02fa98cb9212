#pragma once
// Shapes for the rasteriser's meshes: lofts through cross-sections (hulls, superstructures), solids
// of revolution (pods, nozzles, domes, saucers), boxes and flat plates (wings, fins, panels).

#include <vector>

#include "tools/Rasterizer.h"

namespace vdmq::raster {

// A point of a cross-section: across (y) and up (z).
struct TYz {
  float y = 0, z = 0;
};

// A closed cross-section at a position along the model's x axis. Every section of one loft has the
// same number of points, going round in the same sense.
struct TSection {
  float X = 0;
  std::vector<TYz> Outline;
};

// The six-cornered section of a hull: a deck of half width deckHalf at height top, the widest
// point halfWidth at height shoulder, a keel of half width keelHalf at height bottom.
std::vector<TYz> HullOutline(float halfWidth, float top, float bottom, float deckHalf, float keelHalf, float shoulder);
// A rectangle of half width halfWidth from bottom to top, corners cut by chamfer.
std::vector<TYz> BoxOutline(float halfWidth, float bottom, float top, float chamfer = 0.0f);
// A section moved sideways and up.
std::vector<TYz> Shifted(std::vector<TYz> outline, float dy, float dz);

// Flat facets between consecutive sections, and flat caps on the first and last when asked.
void Loft(TMesh& mesh, const std::vector<TSection>& sections, int material, bool capFirst = true, bool capLast = true);

// A solid of revolution about the axis from origin along axis: profile points (along, radius), in
// order; segments around. Smooth around the axis; along it smooth when smoothProfile, else each
// band lit on its own. A profile that starts or ends at radius 0 closes itself.
void Lathe(TMesh& mesh, const TVec3& origin, const TVec3& axis, const std::vector<TPoint>& profile, int segments,
           int material, bool smoothProfile = false);

// An axis-aligned box.
void Box(TMesh& mesh, const TVec3& low, const TVec3& high, int material);

// A flat plate of some thickness: outline (convex, or at least star-shaped about its centroid) in
// the plane through origin spanned by u and v, extruded by half the thickness to either side.
void Plate(TMesh& mesh, const TVec3& origin, const TVec3& u, const TVec3& v, const std::vector<TPoint>& outline,
           float thickness, int material);

}  // namespace vdmq::raster

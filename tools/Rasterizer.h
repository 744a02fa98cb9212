#pragma once
// A small triangle rasteriser for the picture generators: meshes of triangles seen through a
// perspective camera, hidden surfaces removed by a depth buffer at the canvas's sample resolution,
// and shaded once per covered sample (Lambert, rim and specular light). It draws into the raster
// canvas, so its results take the same area-averaged reduction and keyed compositing as every
// other picture: a covered sample is opaque, and a pixel's alpha after the reduction is the share
// of its samples the mesh covers.
//
// World axes are those of the battle arena seen from above: x to the right of the screen, y down
// the screen (towards the viewer of a three-quarter view), z up. A model's own axes are x forward,
// y to the side that faces y at heading 0, z up; a pose turns it by its heading about z.

#include <functional>
#include <limits>
#include <vector>

#include "tools/Raster.h"

namespace vdmq::raster {

struct TVec3 {
  float x = 0, y = 0, z = 0;
};

inline TVec3 operator+(const TVec3& a, const TVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline TVec3 operator-(const TVec3& a, const TVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline TVec3 operator*(const TVec3& a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline float Dot(const TVec3& a, const TVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
TVec3 Cross(const TVec3& a, const TVec3& b);
// The vector scaled to length 1 (the zero vector stays zero).
TVec3 Normalize(const TVec3& v);

// A perspective camera at Eye looking at Target; the focal length is in output pixels, and Target
// lands on Centre (output pixel coordinates).
struct TCamera {
  TVec3 Eye;
  TVec3 Target;
  TVec3 Up{0, 0, 1};
  float Focal = 1.0f;
  TPoint Centre;
};

// A point on the screen: pixel coordinates and the depth along the camera's axis.
struct TScreenPoint {
  float x = 0, y = 0, depth = 0;
};

// Where a model stands: turned by Heading (radians, about z, from x towards y), scaled, moved.
struct TPose {
  float Heading = 0.0f;
  float Scale = 1.0f;
  TVec3 Offset;
  TVec3 ToWorld(const TVec3& p) const;
  TVec3 TurnToWorld(const TVec3& direction) const;
};

// The camera's projection of world points.
class TProjector {
 public:
  explicit TProjector(const TCamera& camera);
  TScreenPoint Project(const TVec3& world) const;
  const TVec3& Eye() const { return eye_; }

 private:
  TVec3 eye_, right_, up_, forward_;
  float focal_;
  TPoint centre_;
};

struct TVertex {
  TVec3 Position;
  TVec3 Normal;
};

struct TTriangle {
  TVertex V[3];
  int Material = 0;
};

struct TMesh {
  std::vector<TTriangle> Triangles;
  // A triangle with one normal for all three corners (a flat facet). Facets are two-sided: the
  // side the camera sees is the one lit, so their winding does not matter.
  void AddFacet(const TVec3& a, const TVec3& b, const TVec3& c, int material);
  void AddQuad(const TVec3& a, const TVec3& b, const TVec3& c, const TVec3& d, int material);
  // A triangle with a normal per corner (a smooth surface); the normals point out of the surface.
  void AddSmooth(const TVertex& a, const TVertex& b, const TVertex& c, int material);
  void Append(const TMesh& other);
};

// What the shader of a covered sample is told: the point and normal in the model's own axes (for
// patterns fixed to the model), the normal in world axes and the unit vector towards the eye.
struct TFragment {
  TVec3 ModelPosition;
  TVec3 ModelNormal;
  TVec3 Normal;
  TVec3 ToEye;
  int Material = 0;
};
// The colour of a covered sample (straight, alpha ignored: covered samples are opaque).
using TShader = std::function<TRgba(const TFragment& fragment)>;

// The light of a scene: one key light, ambient light, a rim light on the edges turned away from
// the viewer, and specular highlights.
struct TLightRig {
  TVec3 KeyDirection{-0.45f, 0.35f, 0.82f};  // towards the light
  TRgba Key{1.0f, 0.97f, 0.92f, 1.0f};
  float Ambient = 0.22f;
  TRgba Rim{0.45f, 0.62f, 0.9f, 1.0f};
  float RimStrength = 0.35f;
  float RimPower = 3.0f;
};
// A surface's lit colour: base times (ambient + key Lambert), plus rim and a Blinn highlight of the
// given strength and exponent.
TRgba LightSurface(const TRgba& base, const TFragment& f, const TLightRig& rig, float specular, float shininess);

// Per-sample depth along the camera axis of what a render covered; infinity where nothing is.
struct TDepthBuffer {
  int Width = 0, Height = 0;  // in samples
  int Supersample = 1;
  std::vector<float> Depth;
  // The depth at the sample under pixel coordinates (x, y), infinity outside.
  float At(float x, float y) const;
};

// Draws the mesh at the pose through the camera into the canvas (and its depth buffer, which must
// match the canvas's samples or be empty, then it is made). Covered samples take the shader's
// colour, opaque; depth decides between triangles, also across calls with the same buffer.
// Triangles with a corner at or behind the camera plane are left out.
void RenderMesh(TCanvas& canvas, TDepthBuffer& depth, const TMesh& mesh, const TCamera& camera, const TPose& pose,
                const TShader& shader);

}  // namespace vdmq::raster

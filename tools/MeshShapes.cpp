#include "tools/MeshShapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vdmq::raster {

std::vector<TYz> HullOutline(float halfWidth, float top, float bottom, float deckHalf, float keelHalf, float shoulder) {
  return {{deckHalf, top},     {halfWidth, shoulder},  {keelHalf, bottom},
          {-keelHalf, bottom}, {-halfWidth, shoulder}, {-deckHalf, top}};
}

std::vector<TYz> BoxOutline(float w, float bottom, float top, float c) {
  if (c <= 0.0f) return {{w, top}, {w, bottom}, {-w, bottom}, {-w, top}};
  return {{w - c, top},     {w, top - c},     {w, bottom + c}, {w - c, bottom},
          {-w + c, bottom}, {-w, bottom + c}, {-w, top - c},   {-w + c, top}};
}

std::vector<TYz> Shifted(std::vector<TYz> outline, float dy, float dz) {
  for (TYz& p : outline) {
    p.y += dy;
    p.z += dz;
  }
  return outline;
}

namespace {

TVec3 At(float x, const TYz& p) { return {x, p.y, p.z}; }

void Cap(TMesh& mesh, const TSection& s, int material) {
  TYz c;
  for (const TYz& p : s.Outline) {
    c.y += p.y;
    c.z += p.z;
  }
  const float n = static_cast<float>(s.Outline.size());
  c.y /= n;
  c.z /= n;
  for (size_t i = 0; i < s.Outline.size(); ++i) {
    const TYz& a = s.Outline[i];
    const TYz& b = s.Outline[(i + 1) % s.Outline.size()];
    mesh.AddFacet(At(s.X, c), At(s.X, a), At(s.X, b), material);
  }
}

// A unit vector at right angles to the axis, and the third one of the frame.
void Frame(const TVec3& axis, TVec3* u, TVec3* v) {
  const TVec3 a = Normalize(axis);
  const TVec3 helper = std::fabs(a.z) < 0.9f ? TVec3{0, 0, 1} : TVec3{1, 0, 0};
  *u = Normalize(Cross(helper, a));
  *v = Cross(a, *u);
}

}  // namespace

void Loft(TMesh& mesh, const std::vector<TSection>& sections, int material, bool capFirst, bool capLast) {
  for (size_t k = 0; k + 1 < sections.size(); ++k) {
    const TSection& s = sections[k];
    const TSection& t = sections[k + 1];
    const size_t n = s.Outline.size();
    for (size_t i = 0; i < n; ++i) {
      const size_t j = (i + 1) % n;
      const TVec3 a = At(s.X, s.Outline[i]), b = At(s.X, s.Outline[j]);
      const TVec3 c = At(t.X, t.Outline[j]), d = At(t.X, t.Outline[i]);
      // A section narrowed to a point gives triangles, not slivers.
      if (Dot(a - b, a - b) > 1e-8f) mesh.AddFacet(a, b, c, material);
      if (Dot(c - d, c - d) > 1e-8f) mesh.AddFacet(a, c, d, material);
    }
  }
  if (sections.empty()) return;
  if (capFirst) Cap(mesh, sections.front(), material);
  if (capLast) Cap(mesh, sections.back(), material);
}

void Lathe(TMesh& mesh, const TVec3& origin, const TVec3& axis, const std::vector<TPoint>& profile, int segments,
           int material, bool smoothProfile) {
  if (profile.size() < 2 || segments < 3) return;
  TVec3 u, v;
  Frame(axis, &u, &v);
  const TVec3 a = Normalize(axis);
  // Normals of each band in the (along, radius) plane.
  std::vector<TPoint> band(profile.size() - 1);
  for (size_t i = 0; i + 1 < profile.size(); ++i) {
    const float da = profile[i + 1].x - profile[i].x, dr = profile[i + 1].y - profile[i].y;
    const float len = std::sqrt(da * da + dr * dr);
    band[i] = len > 0.0f ? TPoint{-dr / len, da / len} : TPoint{0.0f, 1.0f};
  }
  auto normalAt = [&](size_t i, size_t b) {
    TPoint n = band[b];
    if (smoothProfile) {
      const TPoint& p = band[i == 0 ? 0 : i - 1];
      const TPoint& q = band[std::min(i, band.size() - 1)];
      n = {p.x + q.x, p.y + q.y};
    }
    return n;
  };
  for (int k = 0; k < segments; ++k) {
    const float t0 = 2.0f * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(segments);
    const float t1 = 2.0f * std::numbers::pi_v<float> * static_cast<float>(k + 1) / static_cast<float>(segments);
    const TVec3 r0 = u * std::cos(t0) + v * std::sin(t0), r1 = u * std::cos(t1) + v * std::sin(t1);
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
      const TPoint& p = profile[i];
      const TPoint& q = profile[i + 1];
      auto vertex = [&](const TPoint& pt, const TVec3& radial, size_t at) {
        const TPoint n = normalAt(at, i);
        return TVertex{origin + a * pt.x + radial * pt.y, Normalize(a * n.x + radial * n.y)};
      };
      const TVertex p0 = vertex(p, r0, i), p1 = vertex(p, r1, i), q0 = vertex(q, r0, i + 1), q1 = vertex(q, r1, i + 1);
      if (p.y > 0.0f) mesh.AddSmooth(p0, p1, q1, material);
      if (q.y > 0.0f) mesh.AddSmooth(p0, q1, q0, material);
    }
  }
}

void Box(TMesh& mesh, const TVec3& l, const TVec3& h, int material) {
  const TVec3 c[8] = {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z},
                      {l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}};
  mesh.AddQuad(c[0], c[1], c[2], c[3], material);
  mesh.AddQuad(c[4], c[5], c[6], c[7], material);
  mesh.AddQuad(c[0], c[1], c[5], c[4], material);
  mesh.AddQuad(c[1], c[2], c[6], c[5], material);
  mesh.AddQuad(c[2], c[3], c[7], c[6], material);
  mesh.AddQuad(c[3], c[0], c[4], c[7], material);
}

void Plate(TMesh& mesh, const TVec3& origin, const TVec3& u, const TVec3& v, const std::vector<TPoint>& outline,
           float thickness, int material) {
  if (outline.size() < 3) return;
  const TVec3 n = Normalize(Cross(u, v)) * (thickness / 2.0f);
  TPoint c;
  for (const TPoint& p : outline) {
    c.x += p.x;
    c.y += p.y;
  }
  c.x /= static_cast<float>(outline.size());
  c.y /= static_cast<float>(outline.size());
  auto at = [&](const TPoint& p, float side) { return origin + u * p.x + v * p.y + n * side; };
  for (size_t i = 0; i < outline.size(); ++i) {
    const TPoint& p = outline[i];
    const TPoint& q = outline[(i + 1) % outline.size()];
    mesh.AddFacet(at(c, 1), at(p, 1), at(q, 1), material);
    mesh.AddFacet(at(c, -1), at(p, -1), at(q, -1), material);
    mesh.AddQuad(at(p, 1), at(q, 1), at(q, -1), at(p, -1), material);
  }
}

}  // namespace vdmq::raster

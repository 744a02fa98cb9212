#include "tools/Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace vdmq::raster {

TVec3 Cross(const TVec3& a, const TVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TVec3 Normalize(const TVec3& v) {
  const float len = std::sqrt(Dot(v, v));
  return len > 0.0f ? v * (1.0f / len) : v;
}

TVec3 TPose::TurnToWorld(const TVec3& d) const {
  const float c = std::cos(Heading), s = std::sin(Heading);
  return {d.x * c - d.y * s, d.x * s + d.y * c, d.z};
}

TVec3 TPose::ToWorld(const TVec3& p) const { return TurnToWorld(p * Scale) + Offset; }

TProjector::TProjector(const TCamera& c) : eye_(c.Eye), focal_(c.Focal), centre_(c.Centre) {
  forward_ = Normalize(c.Target - c.Eye);
  up_ = Normalize(c.Up - forward_ * Dot(c.Up, forward_));
  right_ = Cross(up_, forward_);
}

TScreenPoint TProjector::Project(const TVec3& p) const {
  const TVec3 v = p - eye_;
  const float z = Dot(v, forward_);
  if (!(z > 0.0f)) return {0, 0, z};
  return {centre_.x + focal_ * Dot(v, right_) / z, centre_.y - focal_ * Dot(v, up_) / z, z};
}

void TMesh::AddFacet(const TVec3& a, const TVec3& b, const TVec3& c, int material) {
  const TVec3 n = Normalize(Cross(b - a, c - a));
  Triangles.push_back({{{a, n}, {b, n}, {c, n}}, material});
}

void TMesh::AddQuad(const TVec3& a, const TVec3& b, const TVec3& c, const TVec3& d, int material) {
  AddFacet(a, b, c, material);
  AddFacet(a, c, d, material);
}

void TMesh::AddSmooth(const TVertex& a, const TVertex& b, const TVertex& c, int material) {
  Triangles.push_back({{a, b, c}, material});
}

void TMesh::Append(const TMesh& other) {
  Triangles.insert(Triangles.end(), other.Triangles.begin(), other.Triangles.end());
}

TRgba LightSurface(const TRgba& base, const TFragment& f, const TLightRig& rig, float specular, float shininess) {
  const TVec3 l = Normalize(rig.KeyDirection);
  const float diffuse = std::max(0.0f, Dot(f.Normal, l));
  const float facing = std::max(0.0f, Dot(f.Normal, f.ToEye));
  TRgba c{base.r * (rig.Ambient + diffuse * rig.Key.r), base.g * (rig.Ambient + diffuse * rig.Key.g),
          base.b * (rig.Ambient + diffuse * rig.Key.b), 1.0f};
  if (specular > 0.0f && diffuse > 0.0f) {
    const float h = std::max(0.0f, Dot(f.Normal, Normalize(l + f.ToEye)));
    const float s = specular * std::pow(h, shininess);
    c.r += s * rig.Key.r;
    c.g += s * rig.Key.g;
    c.b += s * rig.Key.b;
  }
  const float rim = rig.RimStrength * std::pow(1.0f - facing, rig.RimPower);
  c.r += rim * rig.Rim.r;
  c.g += rim * rig.Rim.g;
  c.b += rim * rig.Rim.b;
  return c;
}

float TDepthBuffer::At(float x, float y) const {
  const int sx = static_cast<int>(std::floor(x * static_cast<float>(Supersample)));
  const int sy = static_cast<int>(std::floor(y * static_cast<float>(Supersample)));
  if (sx < 0 || sy < 0 || sx >= Width || sy >= Height) return std::numeric_limits<float>::infinity();
  return Depth[static_cast<size_t>(sy) * Width + sx];
}

namespace {

// The winner of a sample in one render: its triangle and the perspective-correct weights of the
// first two corners.
struct TCover {
  int triangle = -1;
  float b0 = 0, b1 = 0;
};

// Twice the signed area of (a, b, p).
float Edge(const TScreenPoint& a, const TScreenPoint& b, float px, float py) {
  return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

constexpr float kNearPlane = 1e-3f;

}  // namespace

void RenderMesh(TCanvas& canvas, TDepthBuffer& depth, const TMesh& mesh, const TCamera& camera, const TPose& pose,
                const TShader& shader) {
  const int sw = canvas.SampleWidth(), sh = canvas.SampleHeight(), ss = canvas.Supersample();
  if (depth.Width != sw || depth.Height != sh || depth.Supersample != ss) {
    depth.Width = sw;
    depth.Height = sh;
    depth.Supersample = ss;
    depth.Depth.assign(static_cast<size_t>(sw) * sh, std::numeric_limits<float>::infinity());
  }
  const TProjector projector(camera);
  const float scale = static_cast<float>(ss);
  // The winners of this render, kept per thread between renders (fresh memory is slow to come by).
  thread_local std::vector<TCover> cover;
  cover.assign(static_cast<size_t>(sw) * sh, TCover{});
  // Whether each triangle's normals are to be turned round: it is seen from behind.
  std::vector<bool> flip(mesh.Triangles.size(), false);

  for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
    const TTriangle& tri = mesh.Triangles[t];
    TVec3 w[3];
    TScreenPoint p[3];
    bool behind = false;
    for (int i = 0; i < 3; ++i) {
      w[i] = pose.ToWorld(tri.V[i].Position);
      p[i] = projector.Project(w[i]);
      p[i].x *= scale;  // sample coordinates
      p[i].y *= scale;
      behind = behind || p[i].depth <= kNearPlane;
    }
    if (behind) continue;
    TVec3 g = Cross(w[1] - w[0], w[2] - w[0]);
    const TVec3 n = pose.TurnToWorld(tri.V[0].Normal + tri.V[1].Normal + tri.V[2].Normal);
    if (Dot(g, n) < 0.0f) g = g * -1.0f;
    flip[t] = Dot(g, projector.Eye() - w[0]) < 0.0f;

    const float area = Edge(p[0], p[1], p[2].x, p[2].y);
    if (std::fabs(area) < 1e-6f) continue;
    const float sign = area > 0.0f ? 1.0f : -1.0f;
    const float minX = std::min({p[0].x, p[1].x, p[2].x}), maxX = std::max({p[0].x, p[1].x, p[2].x});
    const float minY = std::min({p[0].y, p[1].y, p[2].y}), maxY = std::max({p[0].y, p[1].y, p[2].y});
    const int x0 = std::max(0, static_cast<int>(std::ceil(minX - 0.5f)));
    const int x1 = std::min(sw - 1, static_cast<int>(std::floor(maxX - 0.5f)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(minY - 0.5f)));
    const int y1 = std::min(sh - 1, static_cast<int>(std::floor(maxY - 0.5f)));
    const float iz[3] = {1.0f / p[0].depth, 1.0f / p[1].depth, 1.0f / p[2].depth};
    for (int sy = y0; sy <= y1; ++sy) {
      const float py = static_cast<float>(sy) + 0.5f;
      // The row's span inside all three edges (a sample wider on each side, the exact test below
      // decides).
      float lo = static_cast<float>(x0), hi = static_cast<float>(x1);
      for (int i = 0; i < 3; ++i) {
        const TScreenPoint& a = p[(i + 1) % 3];
        const TScreenPoint& b = p[(i + 2) % 3];
        const float k = -(b.y - a.y) * sign;          // the edge's slope in x
        const float c = Edge(a, b, 0.0f, py) * sign;  // its value at x = 0
        if (k > 0.0f) lo = std::max(lo, -c / k - 1.5f);
        if (k < 0.0f) hi = std::min(hi, -c / k);
        if (k == 0.0f && c < 0.0f) hi = lo - 1.0f;
      }
      const int sxLo = std::max(x0, static_cast<int>(std::floor(lo))),
                sxHi = std::min(x1, static_cast<int>(std::ceil(hi)));
      for (int sx = sxLo; sx <= sxHi; ++sx) {
        const float px = static_cast<float>(sx) + 0.5f;
        const float e0 = Edge(p[1], p[2], px, py) * sign;
        const float e1 = Edge(p[2], p[0], px, py) * sign;
        const float e2 = Edge(p[0], p[1], px, py) * sign;
        if (e0 < 0.0f || e1 < 0.0f || e2 < 0.0f) continue;
        const float b0 = e0 / (area * sign), b1 = e1 / (area * sign), b2 = e2 / (area * sign);
        const float inv = b0 * iz[0] + b1 * iz[1] + b2 * iz[2];
        const float z = 1.0f / inv;
        const size_t k = static_cast<size_t>(sy) * sw + sx;
        if (!(z < depth.Depth[k])) continue;
        depth.Depth[k] = z;
        cover[k] = {static_cast<int>(t), b0 * iz[0] * z, b1 * iz[1] * z};
      }
    }
  }

  for (int sy = 0; sy < sh; ++sy) {
    for (int sx = 0; sx < sw; ++sx) {
      const TCover& c = cover[static_cast<size_t>(sy) * sw + sx];
      if (c.triangle < 0) continue;
      const TTriangle& tri = mesh.Triangles[static_cast<size_t>(c.triangle)];
      const float b2 = 1.0f - c.b0 - c.b1;
      TFragment f;
      f.Material = tri.Material;
      f.ModelPosition = tri.V[0].Position * c.b0 + tri.V[1].Position * c.b1 + tri.V[2].Position * b2;
      f.ModelNormal = Normalize(tri.V[0].Normal * c.b0 + tri.V[1].Normal * c.b1 + tri.V[2].Normal * b2);
      if (flip[static_cast<size_t>(c.triangle)]) f.ModelNormal = f.ModelNormal * -1.0f;
      f.Normal = pose.TurnToWorld(f.ModelNormal);
      f.ToEye = Normalize(projector.Eye() - pose.ToWorld(f.ModelPosition));
      const TRgba col = shader(f);
      canvas.Sample(sx, sy) = {col.r, col.g, col.b, 1.0f};
    }
  }
}

}  // namespace vdmq::raster

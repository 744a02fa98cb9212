#pragma once
// Short animated sprites that live in the arena like units but touch nothing: engine flames,
// missile trails and flashes (TBtLight) and explosions (TBtExploade).

#include <cstdint>

#include "battle/Btunit.h"

namespace vdmq {

class TBtLight : public TBtUnit {
 public:
  TBtLight() = default;

  // Kinds 0..6 (see the table in the source); any other kind gives a dead light.
  virtual void Setup(int x, int y, int kind, int dir);
  // Moves (lights that fly), advances the animation, and ends the light after its loops.
  virtual void Move();
  virtual void Draw();

  int GetLightKind() const { return lightKind_; }
  int GetFrame() const { return frame_; }
  int GetFrameCount() const { return frameCount_; }
  int GetPeriod() const { return period_; }
  int GetLoops() const { return loops_; }
  int GetDrawMode() const { return drawMode_; }
  int GetSheet() const { return sheet_; }
  int GetBaseFrame() const { return baseFrame_; }

 protected:
  // Sets up the animation fields and brings the unit to life at (x, y).
  void SetupAnim(int x, int y, int dir, int speed, int frameCount, int period, int loops, int drawMode, int sheet,
                 int baseFrame);

  int32_t lightKind_ = -1;
  int32_t frame_ = 0;
  int32_t frameCount_ = 0;
  int32_t tick_ = 0;
  int32_t period_ = 0;
  int32_t loops_ = 0;
  int32_t drawMode_ = 0;
  int32_t sheet_ = 0;
  int32_t baseFrame_ = 0;
};

class TBtExploade final : public TBtLight {
 public:
  TBtExploade() = default;

  using TBtLight::Setup;
  // Kind 0: a ship destroyed (sheet 4); kind 1: a missile's end (sheet 5); any other is dead.
  virtual void Setup(int x, int y, int kind);
  // Explosions act on nothing.
  virtual void Act() {}

  int GetExplosionKind() const { return explosionKind_; }

 private:
  int32_t explosionKind_ = -1;
};

}  // namespace vdmq

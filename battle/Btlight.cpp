#include "battle/Btlight.h"

#include "platform/base/StdRandom.h"

namespace vdmq {

void TBtLight::SetupAnim(int x, int y, int dir, int speed, int frameCount, int period, int loops, int drawMode,
                         int sheet, int baseFrame) {
  frame_ = 0;
  tick_ = 0;
  frameCount_ = frameCount;
  period_ = period;
  loops_ = loops;
  drawMode_ = drawMode;
  sheet_ = sheet;
  baseFrame_ = baseFrame;
  TBtUnitInfo u;
  u.x = x;
  u.y = y;
  u.dir = dir;
  u.speed = speed;
  u.maxSpeed = speed;
  Init(u);
}

// Light kinds:
//   0 engine flame      3 frames, endless, sheet 2
//   1 flash             8 frames twice, random heading, speed 40
//   2 trail             8 frames at two frames a step
//   3..6 coloured trails flying on along the missile's heading at speed 40
void TBtLight::Setup(int x, int y, int kind, int dir) {
  lightKind_ = kind;
  switch (kind) {
    case 0: SetupAnim(x, y, 0, 0, 3, 1, -1, 5, 2, 0); break;
    case 1: {
      const int heading = StdRand() % 3600;
      SetupAnim(x, y, heading, 40, 8, 1, 1, 5, 6, 8);
      break;
    }
    case 2: SetupAnim(x, y, 0, 0, 8, 2, 0, 5, 6, 0); break;
    case 3: SetupAnim(x, y, dir, 40, 8, 1, 0, 5, 6, 8); break;
    case 4: SetupAnim(x, y, dir, 40, 8, 1, 0, 5, 6, 16); break;
    case 5: SetupAnim(x, y, dir, 40, 8, 1, 0, 5, 6, 24); break;
    case 6: SetupAnim(x, y, dir, 40, 8, 1, 0, 5, 6, 32); break;
    default:
      SetupAnim(x, y, 0, 0, 0, 0, 0, 0, 0, 0);
      Kill();
      break;
  }
}

void TBtLight::Move() {
  if (alive_) {
    int nx = x_, ny = y_;
    GetNextPos(nx, ny);
    SetPos(nx, ny);
  }
  ++tick_;
  if (tick_ >= period_) {
    tick_ = 0;
    ++frame_;
    if (frame_ >= frameCount_) {
      frame_ = 0;
      if (loops_ >= 1) {
        --loops_;
      } else if (loops_ == 0) {
        Kill();
      }
    }
  }
}

void TBtLight::Draw() {
  if (!alive_) return;
  TBtViewSink* view = BtViewSink();
  if (view == nullptr) return;
  TBtDrawEntry e;
  e.mapX = x_;
  e.mapY = y_;
  e.mode = drawMode_;
  e.slot = sheet_;
  e.frame = baseFrame_ + frame_;
  view->Put(kBtLayerEffect, e);
}

void TBtExploade::Setup(int x, int y, int kind) {
  explosionKind_ = kind;
  lightKind_ = -1;
  switch (kind) {
    case 0: SetupAnim(x, y, 0, 0, 8, 1, 0, 5, 4, 0); break;
    case 1: SetupAnim(x, y, 0, 0, 8, 1, 0, 5, 5, 0); break;
    default:
      SetupAnim(x, y, 0, 0, 0, 0, 0, 0, 0, 0);
      Kill();
      break;
  }
}

}  // namespace vdmq

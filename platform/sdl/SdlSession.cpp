#include "platform/sdl/SdlSession.h"

#include <SDL.h>

#include <cstdio>

#include "platform/core/Application.h"
#include "platform/core/Control.h"
#include "platform/core/MediaPlayer.h"

namespace vdmq {
namespace {

// The media player (owned anywhere below root) with an open video device and a display. (Its
// device is not asked whether it plays: the last frame arrives while the play is settling.)
TMediaPlayer* PlayingVideo(TComponent* root) {
  for (int i = 0; i < root->ComponentCount(); ++i) {
    TComponent* c = root->Components(i);
    if (auto* p = dynamic_cast<TMediaPlayer*>(c);
        p && p->DeviceType == EMediaDeviceType::AviVideo && p->IsOpen() && p->Display)
      return p;
    if (TMediaPlayer* p = PlayingVideo(c)) return p;
  }
  return nullptr;
}

}  // namespace

void ShowVideoFrame(const TMediaRect& rect, const TPixmap& frame) {
  TMediaPlayer* player = PlayingVideo(&App());
  if (!player || frame.Empty()) return;
  TControl* display = player->Display;
  if (!display->Showing()) return;
  TRect dest{rect.left, rect.top, rect.right, rect.bottom};
  if (dest.IsEmpty()) dest = Bounds(0, 0, frame.Width(), frame.Height());
  TPixmap& pixels = const_cast<TPixmap&>(frame);  // read only: the canvas takes a writable view type
  display->Canvas().StretchPixels(dest, TPixelTarget::Of(pixels));
  App().PaintAndPresent();
}

TSdlSession::TSdlSession(const TSdlOptions& options) {
  backend_ = std::make_unique<TSdlBackend>(options);
  App().Shutdown();
  App().Initialize(*backend_);  // throws a clear error when a font file is missing
  clock_ = std::make_unique<TSdlMediaClock>(*backend_);
  media_ = std::make_unique<TSdlMediaService>(*clock_);
  media_->OnVideoFrame = ShowVideoFrame;
  App().SetMediaService(media_.get());
}

TSdlSession::~TSdlSession() {
  App().Shutdown();
  media_.reset();
  backend_.reset();
}

void ReportStartupError(const std::string& message) {
  std::fprintf(stderr, "vdmq: %s\n", message.c_str());
  std::fflush(stderr);
  // A message box needs the video subsystem; without a display this quietly does nothing more.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "VDM_Q", message.c_str(), nullptr);
}

}  // namespace vdmq

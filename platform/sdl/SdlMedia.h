#pragma once
// The real media devices in the media player's terms (see platform/sys/Media.h):
//  - wave audio on the mixer: every wave device plays on the one sound channel, so a new sound cuts
//    off the last (whose pending notification is aborted); a play with wait blocks without
//    dispatching;
//  - CD audio: the disc's tracks as audio files in the "cdda" folder of the drive's root
//    ("track02.ogg", ".flac", ".wav" or ".mp3"), one after the other on one time line, as on a disc;
//  - AVI video through the decoding libraries: frames are handed to the frame sink at their times
//    (positions in frames), the sound plays on its own mixer channel; a file that cannot be decoded
//    opens, and its play reports failure.
// Every device keeps its time on the loop's clock, and the loop thread does all the work: Poll draws
// the frames that fell due, moves CD audio on to the next track and hands over the notifications.
// When no audio device can be opened, the sound plays silently on the mixer's dummy output, so the
// notifications still come at the end of each sound.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Pixmap.h"
#include "platform/sys/FakeMedia.h"
#include "platform/sys/Media.h"

namespace vdmq {

class TSdlMediaDevice;

class TSdlMediaService : public TMediaService {
 public:
  // clock: the loop's clock and blocking pause (the back end's; tests may give a manual clock).
  explicit TSdlMediaService(TMediaClock& clock);
  ~TSdlMediaService() override;
  TSdlMediaService(const TSdlMediaService&) = delete;
  TSdlMediaService& operator=(const TSdlMediaService&) = delete;

  std::unique_ptr<TMediaDevice> Open(EMediaDeviceType type, std::string_view fileName, TMediaCommand cmd,
                                     TMediaNotifySink sink) override;
  std::optional<std::uint64_t> NextEventTime() override;
  void Poll() override;

  // Receives each video frame due, with the device's display rectangle.
  std::function<void(const TMediaRect& rect, const TPixmap& frame)> OnVideoFrame;
  // True when the mixer plays on a real audio device (false: the silent dummy output, or none).
  bool AudibleOutput() const { return audible_; }
  bool MixerOpen() const { return mixer_; }
  // The reason the last video file could not be decoded (diagnostics).
  const std::string& LastVideoError() const { return lastVideoError_; }
  TMediaClock& Clock() { return clock_; }

 private:
  friend class TSdlMediaDevice;
  friend class TWaveDevice;
  friend class TCdDevice;
  friend class TVideoDevice;
  TMediaClock& clock_;
  bool mixer_ = false;
  bool audible_ = false;
  bool ownsAudioInit_ = false;
  std::vector<TSdlMediaDevice*> devices_;
  TSdlMediaDevice* waveOwner_ = nullptr;   // the device playing on the sound channel
  TSdlMediaDevice* musicOwner_ = nullptr;  // the CD device playing music
  std::string lastVideoError_;
};

// The audio track files of a disc's "cdda" folder: index 0 stands for track 1; an empty name is a
// track without a file (the data track). Names are compared without case.
std::vector<std::string> FindCdTracks(const std::string& discRoot);

}  // namespace vdmq

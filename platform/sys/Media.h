#pragma once
// Media devices in the media player's terms: a device of a type (wave audio, CD audio, AVI video) is
// opened on a file name (a game path; for CD audio the drive, "D:"), plays a range given in its time
// format with or without waiting, stops and closes. A command given with `notify` reports how it
// ended through the device's notification sink:
//   Successful  the command completed (a play reached its end position; a stop or close is done);
//   Aborted     a later Play, Stop or Close interrupted it (reported at that command, before the
//               later command's own notification);
//   Superseded  a later command with notify replaced the request without interrupting it;
//   Failure     the device could not carry it out (a video that cannot be decoded).
// Only one notification request is pending per device: the last command given with notify.
// Errors that the player raises for the event in which they arise (a missing file at Open, a command
// on a closed device, an unplayable medium played without notify) are thrown as EGameError.
//
// Notifications are handed to the sink on the message-loop thread, either during the command
// (aborted, and the success of a stop or close) or from TMediaService::Poll, which the message loop
// calls whenever it looks for work; the loop turns each into a posted message for the player control.
// A service whose devices run on their own threads (the real ones) queues its notifications and
// hands them over in Poll as well, after waking the loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vdmq {

enum class EMediaDeviceType { WaveAudio, CdAudio, AviVideo };
// Default formats: milliseconds for wave audio, tracks/minutes/seconds/frames for CD audio, frames
// for video.
enum class EMediaTimeFormat { Milliseconds, Tmsf, Frames };
// The window system's notification values.
enum class EMediaNotify { Successful = 1, Superseded = 2, Aborted = 4, Failure = 8 };

// The Wait and Notify settings of one command.
struct TMediaCommand {
  bool wait = false;
  bool notify = false;
};

struct TMediaRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TMediaRect&) const = default;
};

using TMediaNotifySink = std::function<void(EMediaNotify)>;

// Track/minute/second/frame positions (75 frames a second), track in the low byte.
constexpr std::int32_t MakeTmsf(int track, int minute, int second, int frame) {
  return static_cast<std::int32_t>((track & 0xFF) | ((minute & 0xFF) << 8) | ((second & 0xFF) << 16) |
                                   (static_cast<std::uint32_t>(frame & 0xFF) << 24));
}
constexpr int TmsfTrack(std::int32_t t) { return t & 0xFF; }
constexpr int TmsfMinute(std::int32_t t) { return (t >> 8) & 0xFF; }
constexpr int TmsfSecond(std::int32_t t) { return (t >> 16) & 0xFF; }
constexpr int TmsfFrame(std::int32_t t) { return static_cast<int>((static_cast<std::uint32_t>(t) >> 24) & 0xFF); }

// One open device. Destroying it closes it without any notification.
class TMediaDevice {
 public:
  virtual ~TMediaDevice() = default;
  virtual EMediaDeviceType DeviceType() const = 0;
  virtual void SetTimeFormat(EMediaTimeFormat format) = 0;
  virtual EMediaTimeFormat TimeFormat() const = 0;
  // Positions in the time format.
  virtual std::int32_t Length() = 0;
  virtual std::int32_t Position() = 0;
  virtual int Tracks() = 0;
  virtual bool Playing() = 0;
  // Where a video shows inside its display (the player control owns the display).
  virtual void SetDisplayRect(const TMediaRect& rect) = 0;
  virtual TMediaRect DisplayRect() const = 0;
  // Plays from `from` (the current position when absent) to `to` (exclusive; the end when absent).
  // With TMSF positions a bare track number stands for the start of that track.
  virtual void Play(std::optional<std::int32_t> from, std::optional<std::int32_t> to, TMediaCommand cmd) = 0;
  virtual void Stop(TMediaCommand cmd) = 0;
  // Closes the device; any later command throws.
  virtual void Close(TMediaCommand cmd) = 0;
};

class TMediaService {
 public:
  virtual ~TMediaService() = default;
  // Opens a device on a file (or a CD drive); throws EGameError when it cannot be opened.
  virtual std::unique_ptr<TMediaDevice> Open(EMediaDeviceType type, std::string_view fileName, TMediaCommand cmd,
                                             TMediaNotifySink sink) = 0;
  // When the next notification falls due (the service's clock, in ms), for a loop that would wait.
  virtual std::optional<std::uint64_t> NextEventTime() = 0;
  // Hands every notification that is due to its sink.
  virtual void Poll() = 0;
};

// Length in ms of a RIFF WAVE file from its header (the first bytes of the file suffice).
std::optional<std::uint32_t> WaveDurationMs(std::string_view bytes);

struct TAviInfo {
  std::uint32_t frames = 0;
  std::uint32_t microSecPerFrame = 0;
};
// Frame count and frame time of an AVI file from its main header.
std::optional<TAviInfo> ReadAviInfo(std::string_view bytes);

}  // namespace vdmq

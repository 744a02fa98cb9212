#include "platform/sdl/AviDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#ifdef VDMQ_HAVE_AV
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#endif

namespace vdmq {

#ifdef VDMQ_HAVE_AV

namespace {

std::string AvError(int code) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buf, sizeof buf);
  return buf;
}

// One demuxer with one decoder for one stream of a file.
struct TStreamReader {
  AVFormatContext* fmt = nullptr;
  AVCodecContext* codec = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int stream = -1;
  bool drained = false;

  ~TStreamReader() { Close(); }
  void Close() {
    if (frame) av_frame_free(&frame);
    if (packet) av_packet_free(&packet);
    if (codec) avcodec_free_context(&codec);
    if (fmt) avformat_close_input(&fmt);
    stream = -1;
  }
  bool Open(const std::string& path, AVMediaType type, std::string* error) {
    Close();
    int rc = avformat_open_input(&fmt, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
      if (error) *error = "cannot read the movie: " + AvError(rc);
      return false;
    }
    rc = avformat_find_stream_info(fmt, nullptr);
    if (rc < 0) {
      if (error) *error = "cannot read the movie's streams: " + AvError(rc);
      return false;
    }
    const AVCodec* dec = nullptr;
    stream = av_find_best_stream(fmt, type, -1, -1, &dec, 0);
    if (stream < 0 || !dec) {
      if (error) *error = type == AVMEDIA_TYPE_VIDEO ? "the movie has no decodable picture" : "no sound";
      return false;
    }
    codec = avcodec_alloc_context3(dec);
    if (!codec || avcodec_parameters_to_context(codec, fmt->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec, dec, nullptr) < 0) {
      if (error) *error = "cannot start the movie's decoder";
      return false;
    }
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    drained = false;
    return packet && frame;
  }
  // The next decoded frame of the stream; false at its end or on an error the decoder cannot pass.
  bool Next() {
    for (;;) {
      const int rc = avcodec_receive_frame(codec, frame);
      if (rc == 0) return true;
      if (rc == AVERROR_EOF) return false;
      if (rc != AVERROR(EAGAIN)) return false;
      if (drained) return false;
      // Feed the next packet of our stream.
      for (;;) {
        const int r = av_read_frame(fmt, packet);
        if (r < 0) {
          drained = true;
          avcodec_send_packet(codec, nullptr);
          break;
        }
        if (packet->stream_index != stream) {
          av_packet_unref(packet);
          continue;
        }
        const int s = avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        if (s < 0 && s != AVERROR(EAGAIN)) {
          // A damaged packet: skip it, as a player would, and go on with the next.
          continue;
        }
        break;
      }
    }
  }
  bool Rewind() {
    if (av_seek_frame(fmt, stream, 0, AVSEEK_FLAG_BACKWARD) < 0 && avformat_seek_file(fmt, -1, INT64_MIN, 0, 0, 0) < 0)
      return false;
    avcodec_flush_buffers(codec);
    drained = false;
    return true;
  }
};

}  // namespace

struct TAviDecoder::Impl {
  std::string path;
  TStreamReader video;
  SwsContext* sws = nullptr;
  int width = 0, height = 0;
  double fps = 15;
  std::int64_t frames = 0;
  std::int64_t index = -1;
  TPixmap first;  // frame 0, decoded at Open
  bool firstPending = false;

  ~Impl() {
    if (sws) sws_freeContext(sws);
  }
  bool Convert(TPixmap& out) {
    AVFrame* f = video.frame;
    if (f->width != width || f->height != height) return false;
    sws = sws_getCachedContext(sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), width, height,
                               AV_PIX_FMT_0RGB32, SWS_POINT, nullptr, nullptr, nullptr);
    if (!sws) return false;
    out.Resize(width, height);
    std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(out.Data()), nullptr, nullptr, nullptr};
    int pitch[4] = {width * 4, 0, 0, 0};
    sws_scale(sws, f->data, f->linesize, 0, f->height, dst, pitch);
    return true;
  }
};

TAviDecoder::TAviDecoder() : impl_(std::make_unique<Impl>()) {}
TAviDecoder::~TAviDecoder() = default;
bool TAviDecoder::Available() { return true; }

bool TAviDecoder::Open(const std::string& path, std::string* error) {
  // Damaged movies are expected input: their failure is reported to the caller, not on stderr.
  av_log_set_level(AV_LOG_FATAL);
  impl_ = std::make_unique<Impl>();
  Impl& m = *impl_;
  m.path = path;
  if (!m.video.Open(path, AVMEDIA_TYPE_VIDEO, error)) return false;
  AVStream* st = m.video.fmt->streams[m.video.stream];
  m.width = m.video.codec->width;
  m.height = m.video.codec->height;
  if (m.width <= 0 || m.height <= 0 || m.width > 4096 || m.height > 4096) {
    if (error) *error = "the movie's picture size is not usable";
    return false;
  }
  AVRational r = st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0 ? st->avg_frame_rate : st->r_frame_rate;
  if (r.num > 0 && r.den > 0) m.fps = av_q2d(r);
  if (!(m.fps > 0.5 && m.fps < 1000)) m.fps = 15;
  // Frame counts come from the file's headers: whatever they claim, positions are 32-bit frame
  // numbers, so a count stays below 2^31 (and its time in ms within 64 bits).
  auto count = [](double n) -> std::int64_t {
    if (!(n > 0)) return 0;
    return n >= static_cast<double>(INT32_MAX) ? INT32_MAX : std::llround(n);
  };
  m.frames = std::min<std::int64_t>(st->nb_frames, INT32_MAX);
  if (m.frames <= 0 && st->duration > 0)
    m.frames = count(static_cast<double>(st->duration) * av_q2d(st->time_base) * m.fps);
  if (m.frames <= 0 && m.video.fmt->duration > 0)
    m.frames = count(static_cast<double>(m.video.fmt->duration) / AV_TIME_BASE * m.fps);
  if (!m.video.Next() || !m.Convert(m.first)) {
    if (error) *error = "the movie's first picture cannot be decoded";
    return false;
  }
  m.firstPending = true;
  m.index = -1;
  if (m.frames <= 0) m.frames = 1;
  return true;
}

int TAviDecoder::Width() const { return impl_->width; }
int TAviDecoder::Height() const { return impl_->height; }
double TAviDecoder::FramesPerSecond() const { return impl_->fps; }
std::int64_t TAviDecoder::FrameCount() const { return impl_->frames; }
std::int64_t TAviDecoder::FrameIndex() const { return impl_->index; }

bool TAviDecoder::NextFrame(TPixmap& out) {
  Impl& m = *impl_;
  if (!m.video.codec) return false;
  if (m.firstPending) {
    m.firstPending = false;
    out = m.first;
    m.index = 0;
    return true;
  }
  if (!m.video.Next() || !m.Convert(out)) return false;
  ++m.index;
  return true;
}

bool TAviDecoder::Rewind() {
  Impl& m = *impl_;
  if (!m.video.codec) return false;
  if (m.index < 0) return true;
  if (!m.video.Rewind()) return false;
  m.index = -1;
  return true;
}

bool TAviDecoder::DecodeAudio(int rate, int channels, std::vector<std::int16_t>& pcm) {
  pcm.clear();
  TStreamReader audio;
  if (!audio.Open(impl_->path, AVMEDIA_TYPE_AUDIO, nullptr)) return false;
  SwrContext* swr = nullptr;
  AVChannelLayout outLayout;
  av_channel_layout_default(&outLayout, channels);
  if (swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, rate, &audio.codec->ch_layout, audio.codec->sample_fmt,
                          audio.codec->sample_rate, 0, nullptr) < 0 ||
      swr_init(swr) < 0) {
    swr_free(&swr);
    return false;
  }
  std::vector<std::int16_t> buf;
  constexpr size_t kMaxSamples = 48000u * 2 * 60 * 30;  // half an hour is more than any movie
  while (audio.Next() && pcm.size() < kMaxSamples) {
    const int outCount = swr_get_out_samples(swr, audio.frame->nb_samples);
    if (outCount <= 0) continue;
    buf.resize(static_cast<size_t>(outCount) * channels);
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(buf.data())};
    const int got = swr_convert(swr, out, outCount, const_cast<const std::uint8_t**>(audio.frame->extended_data),
                                audio.frame->nb_samples);
    if (got > 0) pcm.insert(pcm.end(), buf.begin(), buf.begin() + static_cast<long>(got) * channels);
  }
  swr_free(&swr);
  return !pcm.empty();
}

#else  // without the decoding libraries

struct TAviDecoder::Impl {};
TAviDecoder::TAviDecoder() : impl_(std::make_unique<Impl>()) {}
TAviDecoder::~TAviDecoder() = default;
bool TAviDecoder::Available() { return false; }
bool TAviDecoder::Open(const std::string&, std::string* error) {
  if (error) *error = "this build has no movie decoding";
  return false;
}
int TAviDecoder::Width() const { return 0; }
int TAviDecoder::Height() const { return 0; }
double TAviDecoder::FramesPerSecond() const { return 15; }
std::int64_t TAviDecoder::FrameCount() const { return 0; }
bool TAviDecoder::NextFrame(TPixmap&) { return false; }
std::int64_t TAviDecoder::FrameIndex() const { return -1; }
bool TAviDecoder::Rewind() { return false; }
bool TAviDecoder::DecodeAudio(int, int, std::vector<std::int16_t>&) { return false; }

#endif

}  // namespace vdmq

#include <algorithm>
#include <cstring>

#include "platform/posix/sound.h"

#ifdef ZEMBRIK_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace zembrik::posix {
namespace {

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

std::optional<WavSound> read_wav(const Bytes& wav) {
  const std::uint8_t* const begin = wav.data();
  const std::size_t size = wav.size();
  if (size < 12 || std::memcmp(begin, "RIFF", 4) != 0 || std::memcmp(begin + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  WavSound sound;
  bool have_format = false;
  std::size_t at = 12;
  while (size - at >= 8) {
    const std::uint8_t* chunk = begin + at;
    const std::size_t length = le32(chunk + 4);
    const std::size_t available = size - at - 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || available < 16) return std::nullopt;
      const int format = le16(chunk + 8);
      sound.channels = le16(chunk + 10);
      sound.rate = static_cast<int>(le32(chunk + 12));
      sound.bits = le16(chunk + 22);
      if (format != 1 || sound.channels < 1 || sound.channels > 8 || sound.rate < 1000 ||
          sound.rate > 192000 || (sound.bits != 8 && sound.bits != 16)) {
        return std::nullopt;
      }
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) return std::nullopt;
      const std::size_t frame_bytes = static_cast<std::size_t>(sound.channels) * sound.bits / 8;
      sound.samples = chunk + 8;
      sound.frames = std::min(length, available) / frame_bytes;
      if (sound.frames == 0) return std::nullopt;
      return sound;
    }
    if (length > available) return std::nullopt;
    at += 8 + length + (length & 1); // chunks are padded to an even length
  }
  return std::nullopt;
}

bool SoundPlayer::available() {
#ifdef ZEMBRIK_HAVE_ALSA
  return true;
#else
  return false;
#endif
}

SoundPlayer::SoundPlayer(std::string device) : device_(std::move(device)) {}

SoundPlayer::~SoundPlayer() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    superseded_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SoundPlayer::play(const Bytes& wav) {
  if (!read_wav(wav)) return;
#ifdef ZEMBRIK_HAVE_ALSA
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
    next_ = wav;
    superseded_ = true;
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  wake_.notify_all();
#endif
}

void SoundPlayer::run() {
  for (;;) {
    Bytes wav;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || next_.has_value(); });
      if (stopping_) return;
      wav = std::move(*next_);
      next_.reset();
      superseded_ = false;
    }
    play_now(wav);
    ++sounds_finished_;
  }
}

#ifdef ZEMBRIK_HAVE_ALSA

namespace {

// ALSA prints its complaints (no card, unknown device) to stderr; a missing sound is not an
// error worth showing.
void quiet(const char*, int, const char*, int, const char*, ...) {}

} // namespace

bool SoundPlayer::play_now(const Bytes& wav) {
  const std::optional<WavSound> sound = read_wav(wav);
  if (!sound) return false;
  static const bool silenced = [] {
    snd_lib_error_set_handler(&quiet);
    return true;
  }();
  (void)silenced;
  snd_pcm_t* pcm = nullptr;
  // Non-blocking open: a device that is busy or missing means no sound, not a wait.
  if (snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    return false;
  }
  const snd_pcm_format_t format = sound->bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  if (snd_pcm_nonblock(pcm, 0) < 0 ||
      snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED,
                         static_cast<unsigned>(sound->channels),
                         static_cast<unsigned>(sound->rate), 1, 100000) < 0) {
    snd_pcm_close(pcm);
    return false;
  }
  const std::size_t frame_bytes = static_cast<std::size_t>(sound->channels) * sound->bits / 8;
  // Written in pieces of about 10 ms so that a newer sound can stop this one.
  const std::size_t piece = std::max<std::size_t>(1, static_cast<std::size_t>(sound->rate) / 100);
  std::size_t done = 0;
  bool stopped = false;
  while (done < sound->frames) {
    if (superseded_) {
      stopped = true;
      break;
    }
    const std::size_t n = std::min(piece, sound->frames - done);
    snd_pcm_sframes_t written = snd_pcm_writei(pcm, sound->samples + done * frame_bytes, n);
    if (written < 0) written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
    if (written < 0) {
      stopped = true;
      break;
    }
    done += static_cast<std::size_t>(written);
    frames_played_ += static_cast<std::uint64_t>(written);
  }
  if (stopped) {
    snd_pcm_drop(pcm);
  } else {
    snd_pcm_drain(pcm);
  }
  snd_pcm_close(pcm);
  return !stopped;
}

#else

bool SoundPlayer::play_now(const Bytes&) { return false; }

#endif

} // namespace zembrik::posix

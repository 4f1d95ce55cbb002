#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "text/text.h"

namespace zembrik::posix {

// The PCM format and samples of a RIFF WAVE file.
struct WavSound {
  int channels = 0;
  int rate = 0;            // frames per second
  int bits = 0;            // 8 (unsigned) or 16 (signed little-endian)
  const std::uint8_t* samples = nullptr; // interleaved, inside the bytes it was read from
  std::size_t frames = 0;  // whole frames only
};

// Reads a PCM WAVE file; anything else (another format, a truncated header, no data) gives
// nothing. A data chunk longer than the file is cut to the bytes that are there.
std::optional<WavSound> read_wav(const Bytes& wav);

// Plays WAVE sounds on an ALSA device, asynchronously, from memory: play() hands the sound to
// the player's thread and returns at once. A new sound stops the one playing. A sound that
// cannot start at once (no device, device busy, not a PCM WAVE) is not played, and nothing is
// reported. Without ALSA at build time every sound is silently dropped.
class SoundPlayer {
public:
  explicit SoundPlayer(std::string device = "default");
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  void play(const Bytes& wav);

  // Whether this build plays sounds at all.
  static bool available();

  // Frames handed to the device so far, and sounds that ended or were stopped; for tests.
  [[nodiscard]] std::uint64_t frames_played() const { return frames_played_; }
  [[nodiscard]] int sounds_finished() const { return sounds_finished_; }

private:
  void run();
  bool play_now(const Bytes& wav);

  const std::string device_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Bytes> next_;
  bool stopping_ = false;
  std::atomic<bool> superseded_{false};
  std::atomic<std::uint64_t> frames_played_{0};
  std::atomic<int> sounds_finished_{0};
  std::thread thread_;
};

} // namespace zembrik::posix

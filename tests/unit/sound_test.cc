// Reading WAVE files and playing them on ALSA's null device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/posix/sound.h"
#include "resources.h"

namespace zembrik::posix {
namespace {

Bytes bytes_of(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

std::string le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
std::string le16(std::uint16_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8)};
}

// A WAVE file: RIFF header, an optional extra chunk before the format, the format, the data.
std::string wave(std::uint16_t format, std::uint16_t channels, std::uint32_t rate,
                 std::uint16_t bits, const std::string& data, std::uint32_t data_length,
                 const std::string& extra_chunk = {}) {
  const std::uint16_t block = static_cast<std::uint16_t>(channels * bits / 8);
  std::string fmt = "fmt " + le32(16) + le16(format) + le16(channels) + le32(rate) +
                    le32(rate * block) + le16(block) + le16(bits);
  std::string body = "WAVE" + extra_chunk + fmt + "data" + le32(data_length) + data;
  return "RIFF" + le32(static_cast<std::uint32_t>(body.size())) + body;
}

TEST(ReadWav, TheProgramsSoundsHaveTheirFormatAndLength) {
  struct Case {
    const Bytes& wav;
    int channels, rate, bits;
    int milliseconds;
  };
  for (const Case& c : {Case{resources::sound_pass_over(), 1, 22050, 16, 261},
                        Case{resources::sound_click(), 2, 44100, 8, 133}}) {
    const auto sound = read_wav(c.wav);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->channels, c.channels);
    EXPECT_EQ(sound->rate, c.rate);
    EXPECT_EQ(sound->bits, c.bits);
    EXPECT_NEAR(static_cast<double>(sound->frames) * 1000 / sound->rate, c.milliseconds, 1.0);
  }
}

TEST(ReadWav, AcceptsOnlyWholePcmSounds) {
  const std::string four_frames(8, '\x10');
  struct Case {
    const char* what;
    std::string file;
    std::size_t frames; // 0: refused
  };
  const Case cases[] = {
      {"mono 16-bit", wave(1, 1, 22050, 16, four_frames, 8), 4},
      {"an odd chunk before the format is padded", wave(1, 1, 22050, 16, four_frames, 8,
                                                         "LIST" + le32(3) + "abc" + '\0'),
       4},
      {"data longer than the file is cut", wave(1, 2, 44100, 8, four_frames, 4000), 4},
      {"half a frame at the end is dropped", wave(1, 1, 22050, 16, "\1\2\3", 3), 1},
      {"float samples", wave(3, 1, 22050, 32, four_frames, 8), 0},
      {"24-bit samples", wave(1, 1, 22050, 24, four_frames, 8), 0},
      {"no channels", wave(1, 0, 22050, 16, four_frames, 8), 0},
      {"no samples", wave(1, 1, 22050, 16, "", 0), 0},
      {"not RIFF", "RIFX" + wave(1, 1, 22050, 16, four_frames, 8).substr(4), 0},
      {"header only", "RIFF" + le32(4) + "WAVE", 0},
      {"data before the format", "RIFF" + le32(20) + "WAVEdata" + le32(8) + four_frames, 0},
      {"a chunk longer than the file", "RIFF" + le32(20) + "WAVEjunk" + le32(1000) + "xx", 0},
      {"empty", "", 0},
  };
  for (const Case& c : cases) {
    const Bytes file = bytes_of(c.file);
    const auto sound = read_wav(file);
    if (c.frames == 0) {
      EXPECT_FALSE(sound) << c.what;
    } else {
      ASSERT_TRUE(sound) << c.what;
      EXPECT_EQ(sound->frames, c.frames) << c.what;
      EXPECT_GE(sound->samples, file.data()) << c.what;
      EXPECT_LE(sound->samples + sound->frames * sound->channels * sound->bits / 8,
                file.data() + file.size())
          << c.what;
    }
  }
}

// Waits for the player's thread to finish `count` sounds.
bool finished(const SoundPlayer& player, int count) {
  for (int i = 0; i < 500 && player.sounds_finished() < count; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return player.sounds_finished() >= count;
}

TEST(SoundPlayer, PlaysFromMemoryOnTheNullDevice) {
  if (!SoundPlayer::available()) GTEST_SKIP() << "built without ALSA";
  SoundPlayer player("null");
  const auto start = std::chrono::steady_clock::now();
  player.play(resources::sound_click());
  // play() hands the sound over and returns; the player's thread does the rest.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  ASSERT_TRUE(finished(player, 1));
  EXPECT_EQ(player.frames_played(), read_wav(resources::sound_click())->frames);
}

TEST(SoundPlayer, DropsWhatCannotStart) {
  SoundPlayer missing("no_such_device_here");
  missing.play(resources::sound_pass_over());
  SoundPlayer null_device("null");
  null_device.play(bytes_of("RIFF, but not a sound"));
  if (SoundPlayer::available()) {
    EXPECT_TRUE(finished(missing, 1));
  }
  EXPECT_EQ(missing.frames_played(), 0u);
  EXPECT_EQ(null_device.frames_played(), 0u);
  EXPECT_EQ(null_device.sounds_finished(), 0); // never reached the device
}

} // namespace
} // namespace zembrik::posix

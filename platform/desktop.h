#pragma once
#include <functional>

#include "text/bytes.h"
#include "text/text.h"

namespace zembrik {

// Message box styles: an icon plus a button set.
inline constexpr int kStyleInformationOk = 64;
inline constexpr int kStyleInformationOkCancel = 65;
inline constexpr int kResultOk = 0;
inline constexpr int kResultCancel = 1;

// What the program needs of the desktop around its window.
class Desktop {
public:
  virtual ~Desktop() = default;
  // A box with no owner window, modal for the calling thread. 0 for OK, 1 for Cancel (also
  // Esc and the title-bar button on a box with Cancel).
  virtual int message_box(const Text& text, const Text& title, int style) = 0;
  // Opens an address with the default handler, never through a shell. True when it was handed
  // over successfully.
  virtual bool open_address(const Text& address) = 0;
  // Plays a WAV file from memory without waiting; a sound that cannot start at once is dropped.
  virtual void play_sound(const Bytes& wav) = 0;
  // Starts a detached thread; nobody waits for it.
  virtual void start_thread(std::function<void()> body) = 0;
};

// Local wall-clock date and time, to the second.
struct LocalTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
};

// The platform's download of a whole HTTP resource: a GET, the whole body, read from the server
// on every call (never a cache), empty bytes on any failure, status not examined, callable from
// any thread.
class Downloader {
public:
  virtual ~Downloader() = default;
  virtual Bytes download_resource(const Text& address) = 0;
};

} // namespace zembrik

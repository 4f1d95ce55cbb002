#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zembrik::test {

class RawServer;

// One accepted connection, handed to the server's handler on a thread of its own. Closed when
// the handler returns (unless reset() aborted it first).
class RawConnection {
public:
  RawConnection(RawServer& server, int fd) : server_(server), fd_(fd) {}
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // The request exactly as received: its head through the blank line, then as many body bytes
  // as a Content-Length announces. Also recorded by the server. Empty when the peer closed or
  // the server stopped first.
  std::string read_request();
  // Writes all bytes; false once the peer is gone.
  bool send(std::string_view bytes);
  // Aborts the connection with a TCP reset.
  void reset();
  // Blocks until the peer closes the connection or the server stops, discarding what arrives.
  void wait_until_closed();

private:
  // Waits up to a short slice for input; false when the server stops.
  bool wait_readable();

  RawServer& server_;
  int fd_;
  std::string pending_;
};

// A TCP server on 127.0.0.1 at a free port that runs `handler` for every connection, so tests
// can see the exact bytes a client sends and misbehave at will. Stops and joins on destruction.
class RawServer {
public:
  using Handler = std::function<void(RawConnection&)>;
  explicit RawServer(Handler handler);
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  [[nodiscard]] std::string url(std::string_view path = "/") const;
  // Every request read so far, in the order they were read.
  [[nodiscard]] std::vector<std::string> requests() const;
  [[nodiscard]] bool stopping() const { return stopping_; }

private:
  friend class RawConnection;
  void accept_loop();
  void record(std::string request);

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

// A port on 127.0.0.1 where nothing listens: connecting is refused at once.
int closed_port();

// The first line of a request, without its line break.
std::string request_line(std::string_view request);

} // namespace zembrik::test

#pragma once
#include <httplib.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace zembrik::test {

// A cpp-httplib server on 127.0.0.1 at a free port, serving the routes that `routes` installs
// before it starts. Stops and joins on destruction.
class HttpServer {
public:
  explicit HttpServer(const std::function<void(httplib::Server&)>& routes) {
    routes(server_);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() does nothing until the loop runs, so wait for it.
    while (!server_.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~HttpServer() {
    server_.stop();
    thread_.join();
  }
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  [[nodiscard]] int port() const { return port_; }
  [[nodiscard]] std::string url(std::string_view path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }

private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

} // namespace zembrik::test

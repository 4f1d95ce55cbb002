#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace zembrik::test {
namespace {

constexpr int kSliceMs = 20;
constexpr std::size_t kMaxHeadBytes = 1 << 16;

sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int bound_port(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

// The Content-Length a request head announces, 0 when none.
std::size_t content_length(std::string_view head) {
  std::size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string_view::npos) {
    at += 2;
    std::string_view line = head.substr(at, head.find("\r\n", at) - at);
    constexpr std::string_view kName = "content-length:";
    if (line.size() <= kName.size()) continue;
    bool match = true;
    for (std::size_t i = 0; i < kName.size(); ++i) {
      const char c = line[i];
      match = match && (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) == kName[i];
    }
    if (match) return std::strtoul(std::string(line.substr(kName.size())).c_str(), nullptr, 10);
  }
  return 0;
}

} // namespace

RawConnection::~RawConnection() {
  if (fd_ >= 0) close(fd_);
}

bool RawConnection::wait_readable() {
  pollfd p{fd_, POLLIN, 0};
  while (!server_.stopping()) {
    const int ready = poll(&p, 1, kSliceMs);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
  return false;
}

std::string RawConnection::read_request() {
  std::size_t end = std::string::npos;
  char buffer[4096];
  auto fill = [&] {
    if (fd_ < 0 || !wait_readable()) return false;
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    return true;
  };
  while ((end = pending_.find("\r\n\r\n")) == std::string::npos) {
    if (pending_.size() > kMaxHeadBytes || !fill()) return {};
  }
  end += 4;
  const std::size_t total = end + content_length(std::string_view(pending_).substr(0, end));
  while (pending_.size() < total) {
    if (!fill()) return {};
  }
  std::string request = pending_.substr(0, total);
  pending_.erase(0, total);
  server_.record(request);
  return request;
}

bool RawConnection::send(std::string_view bytes) {
  pollfd p{fd_, POLLOUT, 0};
  while (!bytes.empty() && fd_ >= 0 && !server_.stopping()) {
    const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      poll(&p, 1, kSliceMs);
      continue;
    }
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return bytes.empty();
}

void RawConnection::reset() {
  if (fd_ < 0) return;
  linger abort{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  close(fd_);
  fd_ = -1;
}

void RawConnection::wait_until_closed() {
  char buffer[4096];
  while (fd_ >= 0 && wait_readable()) {
    if (recv(fd_, buffer, sizeof buffer, 0) <= 0) return;
  }
}

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = loopback(0);
  if (listen_fd_ < 0 ||
      bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listen_fd_, 64) != 0 || (port_ = bound_port(listen_fd_)) == 0) {
    if (listen_fd_ >= 0) close(listen_fd_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  acceptor_ = std::thread([this] { accept_loop(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  acceptor_.join();
  for (auto& connection : connections_)
    connection.join();
  close(listen_fd_);
}

void RawServer::accept_loop() {
  pollfd p{listen_fd_, POLLIN, 0};
  while (!stopping_) {
    if (poll(&p, 1, kSliceMs) <= 0) continue;
    const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] {
      RawConnection connection(*this, fd);
      handler_(connection);
    });
  }
}

std::string RawServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> RawServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void RawServer::record(std::string request) {
  std::lock_guard lock(mutex_);
  requests_.push_back(std::move(request));
}

int closed_port() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = loopback(0);
  int port = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    port = bound_port(fd);
  }
  if (fd >= 0) close(fd);
  return port;
}

std::string request_line(std::string_view request) {
  return std::string(request.substr(0, request.find("\r\n")));
}

} // namespace zembrik::test

#include "site.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/posix/posix_platform.h"
#include "site_files.h"
#include "text/text.h"

namespace zembrik::site {

namespace {

constexpr const char* kLoopback = "127.0.0.1";

int poll_one(int fd, short events, int timeout_ms) {
  pollfd entry{fd, events, 0};
  int result;
  do {
    result = ::poll(&entry, 1, timeout_ms);
  } while (result < 0 && errno == EINTR);
  return result;
}

int to_milliseconds(time_t sec, time_t usec) {
  return static_cast<int>(sec * 1000 + usec / 1000);
}

void address_of(int fd, bool peer, std::string& ip, int& port) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  auto* address = reinterpret_cast<sockaddr*>(&storage);
  if ((peer ? ::getpeername(fd, address, &length) : ::getsockname(fd, address, &length)) != 0 ||
      storage.ss_family != AF_INET) {
    return;
  }
  const auto* v4 = reinterpret_cast<const sockaddr_in*>(&storage);
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
  ip = text;
  port = ntohs(v4->sin_port);
}

// A socket stream like httplib's own that also keeps every byte handed to the parser, so the
// request head can be logged exactly as it arrived (httplib itself keeps the headers sorted).
class RecordingStream final : public httplib::Stream {
public:
  RecordingStream(int fd, int read_timeout_ms, int write_timeout_ms)
      : fd_(fd), read_timeout_ms_(read_timeout_ms), write_timeout_ms_(write_timeout_ms) {}

  bool is_readable() const override {
    return offset_ < buffer_.size() || poll_one(fd_, POLLIN, read_timeout_ms_) > 0;
  }
  bool is_writable() const override { return poll_one(fd_, POLLOUT, write_timeout_ms_) > 0; }

  ssize_t read(char* ptr, size_t size) override {
    if (offset_ == buffer_.size()) {
      if (!is_readable()) return -1;
      buffer_.resize(4096);
      ssize_t received;
      do {
        received = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
      } while (received < 0 && errno == EINTR);
      buffer_.resize(received > 0 ? static_cast<size_t>(received) : 0);
      offset_ = 0;
      if (received <= 0) return received;
    }
    const size_t count = std::min(size, buffer_.size() - offset_);
    std::memcpy(ptr, buffer_.data() + offset_, count);
    record_.append(buffer_.data() + offset_, count);
    offset_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    ssize_t sent;
    do {
      sent = ::send(fd_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    address_of(fd_, true, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    address_of(fd_, false, ip, port);
  }
  socket_t socket() const override { return fd_; }

  [[nodiscard]] bool has_buffered() const { return offset_ < buffer_.size(); }
  void restart_record() { record_.clear(); }
  [[nodiscard]] const std::string& record() const { return record_; }

private:
  int fd_;
  int read_timeout_ms_;
  int write_timeout_ms_;
  std::string buffer_;
  size_t offset_ = 0;
  std::string record_;
};

std::string trim_blanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// Parses a request head (request line, header lines, blank line) as read from the socket.
Request parse_head(Role role, const std::string& head) {
  Request request{role, {}, {}, {}, {}};
  std::string_view rest(head);
  if (rest.ends_with("\r\n\r\n")) rest.remove_suffix(2);
  request.raw_head = std::string(rest);
  bool first = true;
  while (!rest.empty()) {
    auto end = rest.find("\r\n");
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
    if (first) {
      first = false;
      const auto space1 = line.find(' ');
      const auto space2 =
          line.find(' ', space1 == std::string_view::npos ? line.size() : space1 + 1);
      request.method = std::string(line.substr(0, space1));
      if (space1 != std::string_view::npos) {
        request.target = std::string(line.substr(space1 + 1, space2 - space1 - 1));
      }
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(std::string(line.substr(0, colon)),
                                 trim_blanks(line.substr(colon + 1)));
  }
  return request;
}

} // namespace

struct SiteServer::Routes {
  mutable std::mutex mutex;
  std::map<std::pair<Role, std::string>, Response> responses;
  std::vector<Request> log;
};

class SiteServer::Listener final : public httplib::Server {
public:
  Listener(Role role, std::shared_ptr<Routes> routes) : role_(role), routes_(std::move(routes)) {
    // httplib's default sets SO_REUSEPORT, which would let a second demo site share a port
    // silently; plain SO_REUSEADDR only allows restarting while old connections linger.
    set_socket_options([](socket_t sock) {
      int yes = 1;
      ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    set_keep_alive_timeout(2);
    set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(routes_->mutex);
      const auto found = routes_->responses.find({role_, request.target});
      if (found == routes_->responses.end()) {
        response.status = 404;
      } else {
        response.status = found->second.status;
        response.set_content(found->second.body, found->second.content_type);
      }
      return HandlerResponse::Handled;
    });
  }

  ~Listener() override {
    const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
    if (sock != INVALID_SOCKET) ::close(sock);
  }

  // Binds 127.0.0.1 and returns the port, or -1.
  int bind(int port) {
    if (port == 0) return bind_to_any_port(kLoopback);
    return bind_to_port(kLoopback, port) ? port : -1;
  }

private:
  // The keep-alive loop of httplib, over a stream that records the request head.
  bool process_and_close_socket(socket_t sock) override {
    RecordingStream stream(sock, to_milliseconds(read_timeout_sec_, read_timeout_usec_),
                           to_milliseconds(write_timeout_sec_, write_timeout_usec_));
    bool ok = false;
    for (size_t remaining = keep_alive_max_count_; remaining > 0; --remaining) {
      if (!wait_for_request(stream, sock)) break;
      stream.restart_record();
      bool connection_closed = false;
      ok = process_request(stream, remaining == 1, connection_closed,
                           [&](httplib::Request& request) {
                             Request logged = parse_head(role_, stream.record());
                             // Routing matches the target exactly as it came.
                             request.target = logged.target;
                             // Bodies go out exactly as set, never compressed.
                             request.headers.erase("Accept-Encoding");
                             std::lock_guard lock(routes_->mutex);
                             routes_->log.push_back(std::move(logged));
                           });
      if (!ok || connection_closed) break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
  }

  // Waits for the next request on a kept-alive connection, giving up when the server stops.
  bool wait_for_request(const RecordingStream& stream, socket_t sock) const {
    if (stream.has_buffered()) return true;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    while (svr_sock_ != INVALID_SOCKET) {
      const int ready = poll_one(sock, POLLIN, 20);
      if (ready != 0) return ready > 0;
      if (std::chrono::steady_clock::now() > deadline) return false;
    }
    return false;
  }

  Role role_;
  std::shared_ptr<Routes> routes_;
};

SiteServer::SiteServer(int member_port, int rating_port, int image_port)
    : routes_(std::make_shared<Routes>()) {
  const int ports[3] = {member_port, rating_port, image_port};
  for (int k = 0; k < 3; ++k) {
    listeners_[k] = std::make_unique<Listener>(static_cast<Role>(k), routes_);
    ports_[k] = listeners_[k]->bind(ports[k]);
    if (ports_[k] <= 0) {
      throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(ports[k]));
    }
  }
  for (int k = 0; k < 3; ++k) {
    threads_[k] = std::thread([listener = listeners_[k].get()] { listener->listen_after_bind(); });
  }
  // stop() is a no-op until the accept loop runs; wait for it so the destructor can stop it.
  for (auto& listener : listeners_) {
    while (!listener->is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

SiteServer::~SiteServer() {
  for (int k = 0; k < 3; ++k) {
    listeners_[k]->stop();
    threads_[k].join();
  }
}

std::string SiteServer::host(Role role) const {
  return std::string(kLoopback) + ":" + std::to_string(ports_[static_cast<int>(role)]);
}
std::string SiteServer::member_host() const {
  return host(Role::member);
}
std::string SiteServer::rating_host() const {
  return host(Role::rating);
}
std::string SiteServer::image_host() const {
  return host(Role::image);
}

void SiteServer::set(Role role, std::string target, Response response) {
  std::lock_guard lock(routes_->mutex);
  routes_->responses[{role, std::move(target)}] = std::move(response);
}

void SiteServer::clear() {
  std::lock_guard lock(routes_->mutex);
  routes_->responses.clear();
}

std::vector<Request> SiteServer::requests() const {
  std::lock_guard lock(routes_->mutex);
  return routes_->log;
}

void SiteServer::clear_requests() {
  std::lock_guard lock(routes_->mutex);
  routes_->log.clear();
}

std::string gbk_page(std::string_view utf8_template, const SiteServer& hosts,
                     const std::map<std::string, std::string>& extra) {
  const std::map<std::string, std::string> fixed{{"MEMBER_HOST", hosts.member_host()},
                                                 {"RATING_HOST", hosts.rating_host()},
                                                 {"IMAGE_HOST", hosts.image_host()}};
  std::string filled;
  filled.reserve(utf8_template.size() + utf8_template.size() / 8);
  std::string_view rest = utf8_template;
  while (!rest.empty()) {
    const auto open = rest.find("{{");
    const auto close = open == std::string_view::npos ? open : rest.find("}}", open + 2);
    if (close == std::string_view::npos) {
      filled += rest;
      break;
    }
    const std::string key(rest.substr(open + 2, close - open - 2));
    filled += rest.substr(0, open);
    if (auto value = extra.find(key); value != extra.end()) {
      filled += value->second;
    } else if (auto host = fixed.find(key); host != fixed.end()) {
      filled += host->second;
    } else {
      filled += rest.substr(open, close + 2 - open);
    }
    rest.remove_prefix(close + 2);
  }
  // GBK trail bytes are 40 hex or more, so a byte 0A in the GBK text is always a line feed.
  const std::string gbk = posix::code_page_936().from_utf16(utf8_to_utf16(filled));
  std::string page;
  page.reserve(gbk.size() + gbk.size() / 16);
  for (size_t i = 0; i < gbk.size(); ++i) {
    if (gbk[i] == '\n' && (i == 0 || gbk[i - 1] != '\r')) page += '\r';
    page += gbk[i];
  }
  return page;
}

std::string url_encode_gbk(std::string_view gbk_name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : gbk_name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool safe = byte == '*' || (byte >= ',' && byte <= '9') || (byte >= '@' && byte <= 'Z') ||
                      byte == '_' || (byte >= 'a' && byte <= 'z');
    if (safe) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::string member_target(std::string_view utf8_name) {
  return "/member/user_profile.jhtml?user_id=" +
         url_encode_gbk(posix::code_page_936().from_utf16(utf8_to_utf16(utf8_name)));
}

std::string_view embedded_file(std::string_view name) {
  for (const auto& file : embedded_files()) {
    if (file.name == name) return file.bytes;
  }
  std::fprintf(stderr, "zembrik_site: no embedded file %.*s\n", static_cast<int>(name.size()),
               name.data());
  std::abort();
}

} // namespace zembrik::site

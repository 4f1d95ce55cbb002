// "WinHttp.WinHttpRequest.5.1" on libcurl: one synchronous request per object, each hop of a
// redirect chain on its own easy handle and its own connection, redirects decided here rather
// than by curl so that WinHTTP's rules hold exactly.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/http_redirect.h"
#include "platform/posix/posix_platform.h"
#include "text/text.h"

namespace zembrik::posix {
namespace {

using automation::Call;
using automation::Value;
using SteadyClock = std::chrono::steady_clock;

void ensure_curl_initialised() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool ascii_iequal(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

// Calls `emit` with the UTF-8 bytes of each character; an unpaired surrogate counts as U+FFFD.
template <typename Emit> void for_each_utf8_byte(std::u16string_view text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    auto put = [&](char32_t byte) { emit(static_cast<unsigned char>(byte)); };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | (c >> 6));
      put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      put(0xE0 | (c >> 12));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | (c >> 18));
      put(0x80 | ((c >> 12) & 0x3F));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  }
}

std::string utf8_of(std::u16string_view text) {
  std::string out;
  for_each_utf8_byte(text, [&](unsigned char b) { out.push_back(static_cast<char>(b)); });
  return out;
}

void append_escape(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0x0F]);
}

// An address as it goes on the wire: ASCII as it stands, every other character as its UTF-8
// bytes percent-encoded. nullopt for a NUL, which would cut the address short inside curl.
std::optional<std::string> wire_url(std::u16string_view text) {
  if (text.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  std::string out;
  for_each_utf8_byte(text, [&](unsigned char b) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      append_escape(out, b);
    }
  });
  return out;
}

bool is_token_char(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool is_token(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is_token_char);
}

// A parsed http or https address, normalised by curl; nullopt for anything else.
struct ParsedUrl {
  std::string url;
  std::string scheme;
};

std::optional<ParsedUrl> parse_http_url(const std::string& url, const std::string* base) {
  ensure_curl_initialised();
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), curl_url_cleanup);
  if (!handle) return std::nullopt;
  if (base && curl_url_set(handle.get(), CURLUPART_URL, base->c_str(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  if (curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
  auto part = [&](CURLUPart which) -> std::optional<std::string> {
    char* value = nullptr;
    if (curl_url_get(handle.get(), which, &value, 0) != CURLUE_OK || !value) return std::nullopt;
    std::string result(value);
    curl_free(value);
    return result;
  };
  auto scheme = part(CURLUPART_SCHEME);
  if (!scheme || (*scheme != "http" && *scheme != "https")) return std::nullopt;
  // A host is required; curl accepts "http:///x" in some versions.
  if (auto host = part(CURLUPART_HOST); !host || host->empty()) return std::nullopt;
  auto full = part(CURLUPART_URL);
  if (!full) return std::nullopt;
  return ParsedUrl{std::move(*full), std::move(*scheme)};
}

// The four WinHTTP time-outs in milliseconds; 0 waits without limit.
struct Timeouts {
  long resolve = 0;
  long connect = 60000;
  long send = 30000;
  long receive = 30000;
};

struct Header {
  std::string name;
  std::string value;
};

struct Request {
  std::string method;
  std::string url;
  std::vector<Header> headers;
  std::optional<std::string> body; // sent with a Content-Length when present
  Timeouts timeouts;
};

struct Response {
  long status = 0;
  std::string status_text;
  std::optional<std::string> location;
  Bytes body;
};

// What the callbacks of one transfer share with the loop that drives it.
struct Exchange {
  Bytes body;
  bool connected = false;
  SteadyClock::time_point last_activity = SteadyClock::now();
  std::string status_line;
};

std::size_t on_body(char* data, std::size_t size, std::size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const std::size_t n = size * count;
  if (n > kMaxBodyBytes - exchange->body.size()) return CURL_WRITEFUNC_ERROR;
  exchange->body.insert(exchange->body.end(), data, data + n);
  exchange->last_activity = SteadyClock::now();
  return n;
}

std::size_t on_header(char* data, std::size_t size, std::size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  if (line.starts_with("HTTP/")) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
      line.remove_suffix(1);
    exchange->status_line = std::string(line);
  }
  exchange->last_activity = SteadyClock::now();
  return n;
}

int on_connected(void* user, char*, char*, int, int) {
  auto* exchange = static_cast<Exchange*>(user);
  exchange->connected = true;
  exchange->last_activity = SteadyClock::now();
  return CURL_PREREQFUNC_OK;
}

// "HTTP/1.1 404 Not Found" -> "Not Found".
std::string reason_phrase(std::string_view status_line) {
  for (int field = 0; field < 2; ++field) {
    const auto blank = status_line.find(' ');
    if (blank == std::string_view::npos) return {};
    status_line.remove_prefix(blank + 1);
  }
  return std::string(status_line);
}

bool has_header(const std::vector<Header>& headers, std::string_view name) {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const Header& h) { return ascii_iequal(h.name, name); });
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// The header lines curl is given: the request's own, then WinHTTP's Connection line, then
// removals of curl's defaults that WinHTTP does not send (a "Name:" line sends nothing).
std::optional<HeaderList> header_list(const std::vector<Header>& headers) {
  HeaderList list(nullptr, curl_slist_free_all);
  auto add = [&](const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (!grown) return false;
    (void)list.release();
    list.reset(grown);
    return true;
  };
  for (const auto& h : headers) {
    // "Name;" is curl's way of sending a header with an empty value.
    if (!add(h.value.empty() ? h.name + ";" : h.name + ": " + h.value)) return std::nullopt;
  }
  for (const char* name : {"Accept", "Expect", "Content-Type"}) {
    if (!has_header(headers, name) && !add(std::string(name) + ":")) return std::nullopt;
  }
  return list;
}

long connect_limit(const Timeouts& t) {
  // curl has no time-out of its own for name resolution; it counts within the connect one.
  if (t.connect == 0) return std::numeric_limits<int>::max();
  if (t.resolve == 0) return t.connect;
  return std::min<long>(t.resolve + t.connect, std::numeric_limits<int>::max());
}

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using MultiHandle = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;

bool configure(CURL* easy, const Request& request, curl_slist* headers, Exchange& exchange) {
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_PROXY, ""); // never a proxy from the environment
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_FORBID_REUSE, 1L);
  set(CURLOPT_FRESH_CONNECT, 1L);
  set(CURLOPT_HTTP_CONTENT_DECODING, 0L);
  set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
  set(CURLOPT_CONNECTTIMEOUT_MS, connect_limit(request.timeouts));
  set(CURLOPT_HTTPHEADER, headers);
  set(CURLOPT_WRITEFUNCTION, &on_body);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&exchange));
  set(CURLOPT_HEADERFUNCTION, &on_header);
  set(CURLOPT_HEADERDATA, static_cast<void*>(&exchange));
  set(CURLOPT_PREREQFUNCTION, &on_connected);
  set(CURLOPT_PREREQDATA, static_cast<void*>(&exchange));
  if (request.body) {
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body->size()));
    set(CURLOPT_POSTFIELDS, request.body->data());
    if (request.method != "POST") set(CURLOPT_CUSTOMREQUEST, request.method.c_str());
  } else if (request.method == "GET") {
    set(CURLOPT_HTTPGET, 1L);
  } else if (request.method == "HEAD") {
    set(CURLOPT_NOBODY, 1L);
  } else {
    set(CURLOPT_CUSTOMREQUEST, request.method.c_str());
  }
  return ok;
}

// One request on one fresh connection. nullopt on any failure: no connection, a time-out, a
// broken transfer or a body over kMaxBodyBytes.
//
// The transfer is driven through a multi handle so that the send and receive time-outs can be
// idle time-outs per wait, to the millisecond, as WinHTTP's are.
std::optional<Response> perform(const Request& request) {
  ensure_curl_initialised();
  auto headers = header_list(request.headers);
  EasyHandle easy(curl_easy_init(), curl_easy_cleanup);
  MultiHandle multi(curl_multi_init(), curl_multi_cleanup);
  Exchange exchange;
  if (!headers || !easy || !multi || !configure(easy.get(), request, headers->get(), exchange)) {
    return std::nullopt;
  }
  if (curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK) return std::nullopt;

  const auto body_size = static_cast<curl_off_t>(request.body ? request.body->size() : 0);
  curl_off_t uploaded = 0;
  bool failed = false;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      failed = true;
      break;
    }
    if (running == 0) break;
    int wait_ms = 1000;
    if (exchange.connected) {
      const auto now = SteadyClock::now();
      curl_off_t sent = 0;
      curl_easy_getinfo(easy.get(), CURLINFO_SIZE_UPLOAD_T, &sent);
      if (sent != uploaded) {
        uploaded = sent;
        exchange.last_activity = now;
      }
      const long limit = uploaded < body_size ? request.timeouts.send : request.timeouts.receive;
      if (limit > 0) {
        const auto idle =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - exchange.last_activity);
        if (idle.count() >= limit) {
          failed = true;
          break;
        }
        wait_ms = static_cast<int>(std::min<long>(wait_ms, limit - idle.count()));
      }
    }
    if (curl_multi_poll(multi.get(), nullptr, 0, wait_ms, nullptr) != CURLM_OK) {
      failed = true;
      break;
    }
  }
  CURLcode result = CURLE_FAILED_INIT;
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  }
  curl_multi_remove_handle(multi.get(), easy.get());
  if (failed || result != CURLE_OK) return std::nullopt;

  Response response;
  curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &response.status);
  response.status_text = reason_phrase(exchange.status_line);
  curl_header* location = nullptr;
  if (curl_easy_header(easy.get(), "Location", 0, CURLH_HEADER, -1, &location) == CURLHE_OK) {
    response.location = location->value;
  }
  response.body = std::move(exchange.body);
  return response;
}

// The method of the next hop: 303 turns everything but HEAD into GET, 301 and 302 turn POST
// into GET; the body goes with the method.
void redirect_method(long status, Request& request) {
  const bool to_get = (status == 303 && request.method != "HEAD") ||
                      ((status == 301 || status == 302) && request.method == "POST");
  if (to_get) {
    request.method = "GET";
    request.body.reset();
  }
}

std::optional<Response> send_following_redirects(Request request) {
  for (int redirects = 0;; ++redirects) {
    auto response = perform(request);
    if (!response) return std::nullopt;
    auto next = response->location
                    ? redirect_target(response->status, request.url, *response->location)
                    : std::nullopt;
    if (!next) return response;
    if (redirects == kMaxRedirects) return std::nullopt;
    redirect_method(response->status, request);
    request.url = std::move(*next);
  }
}

std::optional<long> timeout_of(const Value& value) {
  const auto number = value.number();
  if (!number || !std::isfinite(*number)) return std::nullopt;
  const double rounded = std::nearbyint(*number);
  if (rounded < -1 || rounded > std::numeric_limits<int>::max()) return std::nullopt;
  return rounded == -1 ? 0L : static_cast<long>(rounded); // -1 is WinHTTP's other "no limit"
}

class WinHttpRequest final : public automation::Object {
public:
  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    const bool method = kind == Call::method;
    // A property read may come as a method call without arguments, as from script.
    const bool read = kind == Call::get || (method && args.empty());
    if (method && ascii_iequal(member, "SetTimeouts")) return set_timeouts(args);
    if (method && ascii_iequal(member, "Open")) return open(args);
    if (method && ascii_iequal(member, "SetRequestHeader")) return set_request_header(args);
    if (method && ascii_iequal(member, "Send")) return send(args);
    if (!read || !args.empty() || !response_) return std::nullopt;
    if (ascii_iequal(member, "ResponseBody")) return Value(response_->body);
    if (ascii_iequal(member, "Status")) return Value(static_cast<std::int64_t>(response_->status));
    if (ascii_iequal(member, "StatusText")) {
      return Value(utf8_to_utf16(response_->status_text));
    }
    if (ascii_iequal(member, "ResponseText")) {
      // Taken as UTF-8 whatever the Content-Type says.
      return Value(utf8_to_utf16(std::string_view(
          reinterpret_cast<const char*>(response_->body.data()), response_->body.size())));
    }
    return std::nullopt;
  }

private:
  std::optional<Value> set_timeouts(std::span<const Value> args) {
    if (args.size() != 4) return std::nullopt;
    Timeouts t;
    long* fields[] = {&t.resolve, &t.connect, &t.send, &t.receive};
    for (std::size_t i = 0; i < 4; ++i) {
      const auto value = timeout_of(args[i]);
      if (!value) return std::nullopt;
      *fields[i] = *value;
    }
    timeouts_ = t;
    return Value();
  }

  std::optional<Value> open(std::span<const Value> args) {
    if (args.size() < 2 || args.size() > 3) return std::nullopt;
    const auto* method = args[0].text();
    const auto* url = args[1].text();
    if (!method || !url) return std::nullopt;
    if (args.size() == 3 && !args[2].is_empty()) {
      const auto async = args[2].number();
      if (!async || *async != 0) return std::nullopt; // only synchronous requests
    }
    auto verb = utf8_of(*method);
    auto wire = wire_url(*url);
    if (!is_token(verb) || !wire) return std::nullopt;
    auto parsed = parse_http_url(*wire, nullptr);
    if (!parsed) return std::nullopt;
    request_ = Request{std::move(verb), std::move(parsed->url), {}, std::nullopt, {}};
    response_.reset();
    sent_ = false;
    return Value();
  }

  // Adds a header, replaces the value of one of the same name, or removes it for an empty value.
  std::optional<Value> set_request_header(std::span<const Value> args) {
    if (!request_ || sent_ || args.size() != 2) return std::nullopt;
    const auto* name_text = args[0].text();
    const auto* value_text = args[1].text();
    if (!name_text || !value_text) return std::nullopt;
    auto name = utf8_of(*name_text);
    auto value = utf8_of(*value_text);
    // The blank after the colon is ours, so the value's own leading blanks go.
    value.erase(0, value.find_first_not_of(" \t"));
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      return std::nullopt;
    if (!is_token(name)) return std::nullopt;
    auto& headers = request_->headers;
    auto same = std::find_if(headers.begin(), headers.end(),
                             [&](const Header& h) { return ascii_iequal(h.name, name); });
    if (same == headers.end()) {
      if (!value.empty()) headers.push_back({std::move(name), std::move(value)});
    } else if (value.empty()) {
      headers.erase(same);
    } else {
      same->value = std::move(value);
    }
    return Value();
  }

  std::optional<Value> send(std::span<const Value> args) {
    if (!request_ || sent_ || args.size() > 1) return std::nullopt;
    std::string body;
    if (!args.empty()) {
      if (const auto* text = args[0].text()) {
        body = utf8_of(*text);
      } else if (const auto* bytes = args[0].bytes()) {
        body.assign(bytes->begin(), bytes->end());
      } else if (!args[0].is_empty()) {
        return std::nullopt;
      }
    }
    sent_ = true;
    Request request = *request_;
    request.timeouts = timeouts_;
    // WinHTTP announces a length for any body, and for POST and PUT even when it is empty.
    if (!body.empty() || request.method == "POST" || request.method == "PUT") {
      request.body = std::move(body);
    }
    response_ = send_following_redirects(std::move(request));
    if (!response_) return std::nullopt;
    return Value();
  }

  Timeouts timeouts_;
  std::optional<Request> request_;
  bool sent_ = false;
  std::optional<Response> response_;
};

} // namespace

std::optional<std::string> redirect_target(long status, std::string_view from_url,
                                           std::string_view location) {
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) {
    return std::nullopt;
  }
  while (!location.empty() && (location.front() == ' ' || location.front() == '\t')) {
    location.remove_prefix(1);
  }
  while (!location.empty() && (location.back() == ' ' || location.back() == '\t')) {
    location.remove_suffix(1);
  }
  if (location.empty()) return std::nullopt;
  // Servers put raw bytes and blanks in Location; they travel percent-encoded, as curl does.
  std::string target;
  for (const char c : location) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) return std::nullopt;
    if (byte >= 0x80 || byte == ' ') {
      append_escape(target, byte);
    } else {
      target.push_back(c);
    }
  }
  const std::string base(from_url);
  const auto from = parse_http_url(base, nullptr);
  const auto to = parse_http_url(target, &base);
  if (!from || !to) return std::nullopt;
  if (from->scheme == "https" && to->scheme == "http") return std::nullopt;
  return to->url;
}

automation::ObjectRef make_winhttp_request() {
  return std::make_shared<WinHttpRequest>();
}

} // namespace zembrik::posix

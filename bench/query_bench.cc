// CPU time of whole queries against the loopback demo site, and the same with pages built to
// make the lazy patterns backtrack. The time counted is the querying thread's own CPU time
// (the site's threads run in the same process but are not counted).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "site.h"

namespace {

using namespace zembrik;

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

double wall_ms() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Times every Execute of the regular-expression objects it hands out.
std::vector<double> execute_ms;

class TimedRegExp : public automation::Object {
public:
  explicit TimedRegExp(automation::ObjectRef inner) : inner_(std::move(inner)) {}
  std::optional<automation::Value> invoke(std::string_view member, automation::Call kind,
                                          std::span<const automation::Value> args) override {
    if (member != "Execute") return inner_->invoke(member, kind, args);
    const double start = wall_ms();
    auto result = inner_->invoke(member, kind, args);
    execute_ms.push_back(wall_ms() - start);
    return result;
  }

private:
  automation::ObjectRef inner_;
};

struct Stats {
  double mean;
  double median;
  double max;
};

Stats stats_of(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  double sum = 0;
  for (const double x : v) sum += x;
  return {sum / static_cast<double>(v.size()), v[v.size() / 2], v.back()};
}

// 2 MB of text after a start marker, mixing ASCII and runs of Chinese, with no end marker.
std::string backtracking_body(const std::string& start_marker_utf8) {
  std::string utf8 = "<html><body>\n" + start_marker_utf8 + "\n";
  const char* chinese[] = {"支付宝", "个人认证", "淘宝", "实名", "浙江杭州"};
  std::size_t i = 0;
  while (utf8.size() < 2u * 1024u * 1024u) {
    utf8 += "<span class=\"x\">";
    utf8 += chinese[i++ % 5];
    utf8 += "</span> 12 ";
  }
  return gbk(utf8).bytes;
}

} // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  site::SiteServer server;
  server.load_demo_accounts();
  config::set_taobao_hosts(server.member_host(), server.rating_host(), server.image_host());

  posix::Services services;
  services.registry.add("VBScript.RegExp",
                        [] { return std::make_shared<TimedRegExp>(posix::make_regexp()); });
  headless::FakeDesktop desktop;
  install_platform(services.bundle(nullptr, &desktop));
  services.registry.initialize_thread();
  create_module_state();
  headless::HeadlessWindow window;
  install_platform(services.bundle(&window, &desktop));

  const auto query = [&](const std::string& name) { window.query_account(gbk(name)); };

  for (const auto& label : {"safe_buyer", "risky_buyer", "seller"}) {
    const std::string name = site::demo_account(label).name;
    query(name); // warm up
    std::vector<double> cpu;
    std::vector<double> wall;
    for (int r = 0; r < rounds; ++r) {
      const double c0 = thread_cpu_ms();
      const double w0 = wall_ms();
      query(name);
      cpu.push_back(thread_cpu_ms() - c0);
      wall.push_back(wall_ms() - w0);
    }
    const Stats c = stats_of(cpu);
    const Stats w = stats_of(wall);
    std::printf("%-12s %d queries: CPU mean %.3f ms, median %.3f ms, max %.3f ms; wall median "
                "%.3f ms\n",
                label, rounds, c.mean, c.median, c.max, w.median);
  }

  // Pages that make the lazy patterns backtrack: the certification block never closes on the
  // member page, and neither it nor the seller region's </li> closes on the rating page.
  const std::string name = "backtrack";
  const std::string rating_target = "/user-rate-777.htm";
  server.set(site::Role::member, site::member_target(name),
             {200, "text/html; charset=gbk",
              gbk("<a href=\"http://" + server.rating_host() + rating_target + "\">x</a>\n")
                      .bytes +
                  backtracking_body("<!--认证标志-->")});
  server.set(site::Role::rating, rating_target,
             {200, "text/html; charset=gbk",
              gbk("<div>卖家信息</div>\nuserID: '777'\n所在地区：\n").bytes +
                  backtracking_body("<!--认证标志-->")});
  for (int r = 0; r < 3; ++r) {
    execute_ms.clear();
    const double c0 = thread_cpu_ms();
    const double w0 = wall_ms();
    query(name);
    const Stats e = stats_of(execute_ms);
    std::printf("2 MB backtracking pages, run %d: query CPU %.1f ms, wall %.1f ms, %zu executions, "
                "longest %.1f ms; caption %s\n",
                r + 1, thread_cpu_ms() - c0, wall_ms() - w0, execute_ms.size(), e.max,
                to_utf8(window.read_text(controls::分组框查询)).c_str());
  }

  install_platform(services.bundle(nullptr, &desktop));
  exit_clean_up();
  services.registry.uninitialize_thread();
  return 0;
}

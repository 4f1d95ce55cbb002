// The page fetch drives the HTTP component with the program's exact call sequence.
#include <gtest/gtest.h>

#include "tests/support/fakes.h"
#include "web/web.h"

namespace zembrik {
namespace {

using testing_support::CallRecord;
using testing_support::CoreHarness;

TEST(FetchPage, MakesTheExactCallSequence) {
  CoreHarness h;
  const std::string address = "http://member.test/member/user_profile.jhtml?user_id=a%20b";
  h.serve(address, "body");
  const Bytes body = fetch_page(gbk(address));
  EXPECT_EQ(std::string(body.begin(), body.end()), "body");

  ASSERT_EQ(h.web->request_calls.size(), 1u);
  const std::vector<CallRecord>& calls = h.web->request_calls[0];
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"SetTimeouts", {"15000", "15000", "15000", "15000"}},
      {"Open", {"GET", address, "false"}},
      {"SetRequestHeader", {"Referer", " " + address}},
      {"SetRequestHeader", {"Accept", " */*"}},
      {"SetRequestHeader", {"Accept-Language", " zh-cn"}},
      {"SetRequestHeader",
       {"User-Agent", " Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)"}},
      {"SetRequestHeader", {"Content-Type", " application/x-www-form-urlencoded"}},
      {"Send", {""}},
      {"ResponseBody", {}},
  };
  ASSERT_EQ(calls.size(), expected.size());
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].member, expected[i].first) << i;
    EXPECT_EQ(calls[i].args, expected[i].second) << i;
  }
  EXPECT_EQ(calls.back().kind, automation::Call::get);
  EXPECT_EQ(h.registry.thread_depth(), 0);
}

TEST(FetchPage, FailuresGiveEmptyBytesAndKeepInitialisationPaired) {
  CoreHarness h;
  // Not served: Send fails, ResponseBody has nothing.
  EXPECT_TRUE(fetch_page(gbk("http://member.test/none")).empty());
  EXPECT_EQ(h.web->requested.size(), 1u);
  EXPECT_EQ(h.registry.thread_depth(), 0);

  // The component is missing: nothing is sent at all.
  h.registry.remove("WinHttp.WinHttpRequest.5.1");
  EXPECT_TRUE(fetch_page(gbk("http://member.test/none")).empty());
  EXPECT_EQ(h.web->requested.size(), 1u);
  EXPECT_EQ(h.registry.thread_depth(), 0);
}

} // namespace
} // namespace zembrik

// The system's automation objects through IDispatch, under Wine: members by name, values as
// VARIANTs in both directions, failures as empty results.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {
namespace {

using automation::Value;

TEST(ComAutomation, UnknownComponentsAndMembersGiveNothing) {
  EXPECT_EQ(create_component("Zembrik.NoSuchComponent"), nullptr);
  EXPECT_EQ(create_component(""), nullptr);
  const auto regexp = make_regexp();
  ASSERT_NE(regexp, nullptr);
  EXPECT_FALSE(regexp->call("NoSuchMethod"));
  EXPECT_FALSE(regexp->get("NoSuchProperty"));
  EXPECT_FALSE(regexp->put("NoSuchProperty", true));
  // A method called without the argument it needs fails.
  EXPECT_FALSE(regexp->call("Execute"));
}

TEST(ComAutomation, PropertiesAndMethodsCrossBothWays) {
  const auto regexp = make_regexp();
  ASSERT_NE(regexp, nullptr);
  ASSERT_TRUE(regexp->put("Pattern", u"([\\u4e00-\\u9fa5]+)(\\d*)"));
  ASSERT_TRUE(regexp->put("Global", true));
  ASSERT_TRUE(regexp->put("IgnoreCase", false));
  const auto pattern = regexp->get("Pattern");
  ASSERT_TRUE(pattern && pattern->text());
  EXPECT_EQ(*pattern->text(), u"([\\u4e00-\\u9fa5]+)(\\d*)");
  const auto global = regexp->get("Global");
  ASSERT_TRUE(global);
  EXPECT_EQ(global->number(), -1.0); // VARIANT_TRUE

  const auto matches = regexp->call("Execute", {u"北京12 上海 x"});
  ASSERT_TRUE(matches && matches->object());
  const auto count = matches->object()->get("Count");
  ASSERT_TRUE(count);
  EXPECT_EQ(count->number(), 2.0);
  const auto second = matches->object()->get("Item", {1});
  ASSERT_TRUE(second && second->object());
  EXPECT_EQ(*second->object()->get("Value")->text(), u"上海");
  const auto groups = second->object()->get("SubMatches");
  ASSERT_TRUE(groups && groups->object());
  EXPECT_EQ(*groups->object()->get("Item", {0})->text(), u"上海");
  // An empty sub-match is the empty text, not a failure.
  const auto digits = groups->object()->get("Item", {1});
  ASSERT_TRUE(digits);
  EXPECT_TRUE(digits->is_empty() || (digits->text() && digits->text()->empty()));
  // Past the end: a failed call.
  EXPECT_FALSE(matches->object()->get("Item", {2}) &&
               matches->object()->get("Item", {2})->object());
}

TEST(ComAutomation, ObjectsOfOurOwnCannotCross) {
  struct Local : automation::Object {
    std::optional<Value> invoke(std::string_view, automation::Call,
                                std::span<const Value>) override {
      return Value();
    }
  };
  const auto regexp = make_regexp();
  ASSERT_NE(regexp, nullptr);
  EXPECT_FALSE(regexp->put("Pattern", automation::ObjectRef(std::make_shared<Local>())));
}

TEST(ComAutomation, TheRegistryPairsComInitialisationPerThread) {
  Registry registry;
  register_standard_components(registry);
  std::thread other([&registry] {
    registry.initialize_thread();
    EXPECT_EQ(registry.thread_depth(), 1);
    // A thread of its own apartment creates and drives the components.
    const auto request = registry.create("WinHttp.WinHttpRequest.5.1");
    EXPECT_NE(request, nullptr);
    const auto regexp = registry.create("vbscript.regexp"); // ProgIDs ignore case
    EXPECT_NE(regexp, nullptr);
    registry.uninitialize_thread();
    EXPECT_EQ(registry.thread_depth(), 0);
  });
  other.join();
}

} // namespace
} // namespace zembrik::win32

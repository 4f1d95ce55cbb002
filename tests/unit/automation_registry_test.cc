#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/posix/posix_platform.h"

namespace {

using zembrik::automation::Call;
using zembrik::automation::ObjectRef;
using zembrik::automation::Value;
using zembrik::posix::Registry;

class Named : public zembrik::automation::Object {
public:
  explicit Named(int n) : n_(n) {}
  std::optional<Value> invoke(std::string_view, Call, std::span<const Value>) override {
    return Value(n_);
  }

private:
  int n_;
};

int number_of(const ObjectRef& object) {
  const auto value = object->get("n");
  return value ? static_cast<int>(value->number().value_or(-1)) : -1;
}

class RegistryTest : public testing::Test {
protected:
  Registry registry;
};

TEST_F(RegistryTest, CreatesANewInstanceFromTheFactoryOnEachCall) {
  registry.add("Test.One", [] { return std::make_shared<Named>(1); });
  const ObjectRef first = registry.create("Test.One");
  const ObjectRef second = registry.create("Test.One");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(number_of(first), 1);
}

TEST_F(RegistryTest, NothingForAnUnknownProgIdOrAFactoryGivingNothing) {
  registry.add("Test.One", [] { return std::make_shared<Named>(1); });
  registry.add("Test.Null", [] { return ObjectRef{}; });
  registry.add("Test.Empty", Registry::Factory{});
  EXPECT_EQ(registry.create("Test.Two"), nullptr);
  EXPECT_EQ(registry.create(""), nullptr);
  EXPECT_EQ(registry.create("Test.One.Extra"), nullptr);
  EXPECT_EQ(registry.create("Test.Null"), nullptr);
  EXPECT_EQ(registry.create("Test.Empty"), nullptr);
}

TEST_F(RegistryTest, RemoveUnregistersOnlyThatProgId) {
  registry.add("Test.One", [] { return std::make_shared<Named>(1); });
  registry.add("Test.Two", [] { return std::make_shared<Named>(2); });
  registry.remove("Test.One");
  registry.remove("Test.Unknown");
  EXPECT_EQ(registry.create("Test.One"), nullptr);
  ASSERT_NE(registry.create("Test.Two"), nullptr);
  EXPECT_EQ(number_of(registry.create("Test.Two")), 2);
}

TEST_F(RegistryTest, AddingAgainReplacesTheFactory) {
  registry.add("Test.One", [] { return std::make_shared<Named>(1); });
  registry.add("Test.One", [] { return std::make_shared<Named>(11); });
  EXPECT_EQ(number_of(registry.create("Test.One")), 11);
  registry.remove("Test.One");
  EXPECT_EQ(registry.create("Test.One"), nullptr);
}

TEST_F(RegistryTest, ProgIdsIgnoreAsciiCaseAsOnWindows) {
  registry.add("VBScript.RegExp", [] { return std::make_shared<Named>(1); });
  EXPECT_NE(registry.create("vbscript.regexp"), nullptr);
  registry.remove("VBSCRIPT.REGEXP");
  EXPECT_EQ(registry.create("VBScript.RegExp"), nullptr);
}

TEST_F(RegistryTest, AFactoryMayUseTheRegistry) {
  registry.add("Test.Inner", [] { return std::make_shared<Named>(2); });
  registry.add("Test.Outer", [this] { return registry.create("Test.Inner"); });
  const ObjectRef object = registry.create("Test.Outer");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(number_of(object), 2);
}

TEST_F(RegistryTest, InitialisationsAreCountedPerThread) {
  const int base = registry.thread_depth();
  registry.initialize_thread();
  registry.initialize_thread();
  EXPECT_EQ(registry.thread_depth(), base + 2);

  int other_start = -100;
  int other_inside = -100;
  int other_end = -100;
  std::thread other([&] {
    other_start = registry.thread_depth();
    registry.initialize_thread();
    other_inside = registry.thread_depth();
    registry.uninitialize_thread();
    registry.uninitialize_thread();
    other_end = registry.thread_depth();
  });
  other.join();
  EXPECT_EQ(other_start, 0);
  EXPECT_EQ(other_inside, 1);
  EXPECT_EQ(other_end, -1); // an unpaired uninitialisation shows
  EXPECT_EQ(registry.thread_depth(), base + 2);

  registry.uninitialize_thread();
  registry.uninitialize_thread();
  EXPECT_EQ(registry.thread_depth(), base);
}

TEST_F(RegistryTest, AddRemoveAndCreateFromManyThreads) {
  registry.add("Test.Stable", [] { return std::make_shared<Named>(7); });
  std::atomic<int> stable_failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      const std::string own = "Test.Own" + std::to_string(t);
      for (int i = 0; i < 500; ++i) {
        registry.add(own, [i] { return std::make_shared<Named>(i); });
        if (registry.create(own) == nullptr) ++stable_failures;
        registry.remove(own);
        if (registry.create(own) != nullptr) ++stable_failures;
        if (registry.create("Test.Stable") == nullptr) ++stable_failures;
      }
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(stable_failures.load(), 0);
}

} // namespace

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/component_registry.h"

#ifdef _WIN32
#include <objbase.h>
#endif

namespace zembrik {
namespace {

// Initialisations minus uninitialisations on this thread. COM initialisation belongs to the
// thread, not to the registry object, so every registry reads the same count.
thread_local int tls_depth = 0;

// ProgIDs are registry key names on Windows, which ignore case.
bool same_prog_id(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

void Registry::add(std::string prog_id, Factory factory) {
  std::lock_guard lock(mutex_);
  const auto it = std::ranges::find_if(
      entries_, [&](const Entry& e) { return same_prog_id(e.prog_id, prog_id); });
  if (it != entries_.end())
    it->factory = std::move(factory);
  else
    entries_.push_back(Entry{std::move(prog_id), std::move(factory)});
}

void Registry::remove(std::string_view prog_id) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const Entry& e) { return same_prog_id(e.prog_id, prog_id); });
}

automation::ObjectRef Registry::create(std::string_view prog_id) {
  Factory factory;
  {
    std::lock_guard lock(mutex_);
    const auto it = std::ranges::find_if(
        entries_, [&](const Entry& e) { return same_prog_id(e.prog_id, prog_id); });
    if (it == entries_.end() || !it->factory) return nullptr;
    factory = it->factory;
  }
  // Outside the lock: a factory may take its time, or create other components itself.
  try {
    return factory();
  } catch (const std::exception&) {
    return nullptr; // a component that fails to start is one that cannot be created
  }
}

void Registry::initialize_thread() {
#ifdef _WIN32
  CoInitialize(nullptr); // the result does not matter: every call is paired all the same
#endif
  ++tls_depth;
}

void Registry::uninitialize_thread() {
  --tls_depth;
#ifdef _WIN32
  CoUninitialize();
#endif
}

int Registry::thread_depth() const {
  return tls_depth;
}

} // namespace zembrik

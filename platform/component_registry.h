#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation.h"

namespace zembrik {

// The component registry behind automation::Runtime: ProgIDs map to factories. Initialising a
// thread is CoInitialize / CoUninitialize on Windows; the calls are counted per thread so that
// tests can check their pairing.
class Registry : public automation::Runtime {
public:
  using Factory = std::function<automation::ObjectRef()>;
  void add(std::string prog_id, Factory factory);
  void remove(std::string_view prog_id);

  automation::ObjectRef create(std::string_view prog_id) override;
  void initialize_thread() override;
  void uninitialize_thread() override;

  // Initialisations minus uninitialisations on the calling thread.
  [[nodiscard]] int thread_depth() const;

private:
  struct Entry {
    std::string prog_id;
    Factory factory;
  };
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

} // namespace zembrik

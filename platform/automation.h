#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "text/bytes.h"

namespace zembrik::automation {

class Object;
// A counted reference to an automation object; releasing is dropping the reference.
using ObjectRef = std::shared_ptr<Object>;

// An automation value (a VARIANT): empty, bool, integer, double, text (UTF-16), bytes or object.
struct Value {
  std::variant<std::monostate, bool, std::int64_t, double, std::u16string, Bytes, ObjectRef> data;

  Value() = default;
  Value(bool v) : data(v) {}                          // NOLINT(google-explicit-constructor)
  Value(int v) : data(std::int64_t{v}) {}             // NOLINT(google-explicit-constructor)
  Value(std::int64_t v) : data(v) {}                  // NOLINT(google-explicit-constructor)
  Value(double v) : data(v) {}                        // NOLINT(google-explicit-constructor)
  Value(std::u16string v) : data(std::move(v)) {}     // NOLINT(google-explicit-constructor)
  // Without it a u"..." literal would silently become a bool through the pointer conversion.
  Value(const char16_t* v) : data(std::u16string(v)) {} // NOLINT(google-explicit-constructor)
  Value(Bytes v) : data(std::move(v)) {}              // NOLINT(google-explicit-constructor)
  Value(ObjectRef v) : data(std::move(v)) {}          // NOLINT(google-explicit-constructor)

  [[nodiscard]] bool is_empty() const { return std::holds_alternative<std::monostate>(data); }
  [[nodiscard]] const std::u16string* text() const { return std::get_if<std::u16string>(&data); }
  [[nodiscard]] const Bytes* bytes() const { return std::get_if<Bytes>(&data); }
  [[nodiscard]] ObjectRef object() const {
    const auto* o = std::get_if<ObjectRef>(&data);
    return o ? *o : nullptr;
  }
  // Numeric value of a bool, integer or double; nullopt for anything else.
  [[nodiscard]] std::optional<double> number() const;
};

enum class Call { method, get, put };

// An object driven late-bound by member name, as through IDispatch.
class Object {
public:
  virtual ~Object() = default;
  // Calls a method, reads a property (with optional index arguments) or writes one (the value
  // is the last argument). nullopt when the call failed; an empty Value is a successful call
  // that gave nothing.
  virtual std::optional<Value> invoke(std::string_view member, Call kind,
                                      std::span<const Value> args) = 0;

  std::optional<Value> call(std::string_view member, std::initializer_list<Value> args = {}) {
    return invoke(member, Call::method, std::span<const Value>(args.begin(), args.size()));
  }
  std::optional<Value> get(std::string_view member, std::initializer_list<Value> args = {}) {
    return invoke(member, Call::get, std::span<const Value>(args.begin(), args.size()));
  }
  bool put(std::string_view member, Value value) {
    return invoke(member, Call::put, std::span<const Value>(&value, 1)).has_value();
  }
};

// Creates components by ProgID and pairs the per-thread COM initialisation.
class Runtime {
public:
  virtual ~Runtime() = default;
  // A new instance of the component, or null when it cannot be created.
  virtual ObjectRef create(std::string_view prog_id) = 0;
  virtual void initialize_thread() = 0;   // CoInitialize(nullptr)
  virtual void uninitialize_thread() = 0; // CoUninitialize()
};

inline std::optional<double> Value::number() const {
  if (const auto* b = std::get_if<bool>(&data)) return *b ? -1.0 : 0.0; // VARIANT_TRUE is -1
  if (const auto* i = std::get_if<std::int64_t>(&data)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&data)) return *d;
  return std::nullopt;
}

} // namespace zembrik::automation

#pragma once
// The built-in functions a key-assignment action runs: 94 rows in
// function-identifier order (the identifier is the row's position), each
// with its name as the registration dialog lists it, its code, when a held
// key fires it, and whether it may run with no picture targeted.
//
// A positive code is the key the function stands for (a Windows virtual-key
// code, as the settings file keeps it): running the function acts as if that
// key had been pressed. A negative code is one of the main window's own
// commands: −(identifier + 1).
//
// Thread model: constant data; any thread.

#include <array>
#include <cstdint>
#include <string_view>

namespace qlx::actions {

// When a held key fires its function.
enum class Repeat : std::uint8_t {
    EveryTick = 0,      // every tick while the key is down (zoom, scrolling)
    OncePerPress = 1,
    WithAutoRepeat = 2, // once per press and again as the key repeats
};

struct BuiltinFunction {
    std::u16string_view name;
    std::int32_t code;
    std::uint8_t repeat; // a Repeat
    bool withoutTarget;  // may run when no picture is targeted
};

inline constexpr std::size_t kBuiltinFunctionCount = 94;

// By identifier.
extern const std::array<BuiltinFunction, kBuiltinFunctionCount> kBuiltinFunctions;

// The identifiers in the order the registration dialog lists them.
extern const std::array<std::uint8_t, kBuiltinFunctionCount> kBuiltinFunctionListOrder;

// The row of an identifier; nothing outside 0 … 93.
const BuiltinFunction* builtinFunction(std::int32_t identifier);

} // namespace qlx::actions

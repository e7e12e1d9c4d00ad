#pragma once
// The keys an action can be bound to: 40 target keys by index, as the
// settings file keeps them. 0 is none; 1 to 3 are the middle, X1 and X2
// mouse buttons; 4 to 29 the letters A to Z; 30 to 39 the digits 0 to 9
// of the main keyboard (the keypad's digits keep their own meanings).
// Every other key keeps its built-in meaning. One key binds at most one
// action.
//
// Thread model: constant data and pure functions; any thread.

#include <QtCore/qnamespace.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qlx::actions {

inline constexpr std::int32_t kTargetKeyCount = 40;
inline constexpr std::int32_t kNoTargetKey = 0;

// The names the registration dialog and the action list show.
extern const std::array<std::u16string_view, kTargetKeyCount> kTargetKeyNames;

// The name of a key index; empty outside 0 … 39.
std::u16string_view targetKeyName(std::int32_t index);

// The target key of a key press: a letter or a main-keyboard digit, with no
// modifier but Shift ignored; nothing for any other key or for the keypad.
std::optional<std::int32_t> targetKeyOfKey(int qtKey, Qt::KeyboardModifiers modifiers);
// The target key of a mouse button: middle, X1 or X2; nothing otherwise.
std::optional<std::int32_t> targetKeyOfButton(Qt::MouseButton button);

// Which bound keys ask the first-use question: 0 none, 1 bound and not yet
// confirmed since start, 2 its action was registered or changed since
// start. Not kept: every start asks again.
enum class KeyState : std::uint8_t { Confirmed = 0, Unconfirmed = 1, Changed = 2 };

} // namespace qlx::actions

#include "actions/action_record.h"

#include "shell/settings_layout.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace qlx::actions {

std::span<std::byte, ActionRecordLayout::kSize> ActionTable::slot(std::size_t position) const
{
    return m_settings.action(position).first<ActionRecordLayout::kSize>();
}

std::size_t ActionTable::count() const
{
    const std::int32_t stored = m_settings.get(settings::kActionCount);
    return static_cast<std::size_t>(std::clamp<std::int32_t>(stored, 0, static_cast<std::int32_t>(settings::kActionSlots)));
}

ActionRecord ActionTable::at(std::size_t position)
{
    return ActionRecord(slot(position));
}

std::optional<ActionRecord> ActionTable::append()
{
    const std::size_t position = count();
    if (position >= settings::kActionSlots)
        return std::nullopt;
    const auto bytes = slot(position);
    std::fill(bytes.begin(), bytes.end(), std::byte{0});
    ActionRecord record(bytes);
    record.setEnabled(true);
    m_settings.set(settings::kActionCount, static_cast<std::int32_t>(position + 1));
    return record;
}

void ActionTable::remove(std::size_t position)
{
    const std::size_t n = count();
    if (position >= n)
        return;
    for (std::size_t i = position; i + 1 < n; ++i) {
        const auto from = slot(i + 1);
        std::memcpy(slot(i).data(), from.data(), ActionRecordLayout::kSize);
    }
    const auto last = slot(n - 1);
    std::fill(last.begin(), last.end(), std::byte{0});
    m_settings.set(settings::kActionCount, static_cast<std::int32_t>(n - 1));
}

std::int32_t ActionTable::keyAt(std::size_t position) const
{
    return io::loadLe<std::int32_t>(slot(position), ActionRecordLayout::kKey.offset);
}

std::optional<std::size_t> ActionTable::findKey(std::int32_t key) const
{
    for (std::size_t i = 0; i < count(); ++i) {
        if (keyAt(i) == key)
            return i;
    }
    return std::nullopt;
}

std::array<KeyState, kTargetKeyCount> initialKeyStates(const ActionTable& table)
{
    std::array<KeyState, kTargetKeyCount> states{};
    for (std::size_t i = 0; i < table.count(); ++i) {
        const std::int32_t key = table.keyAt(i);
        if (key > kNoTargetKey && key < kTargetKeyCount)
            states[static_cast<std::size_t>(key)] = KeyState::Unconfirmed;
    }
    return states;
}

} // namespace qlx::actions

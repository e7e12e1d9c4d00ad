#include "actions/action_log.h"

#include "actions/actions_messages.h"

namespace qlx::actions {

std::u16string logLine(int kind, std::u16string_view fileName, Result result)
{
    const auto& kinds = messages::kKindShortNames;
    std::u16string line(kind >= 0 && static_cast<std::size_t>(kind) < kinds.size()
                            ? kinds[static_cast<std::size_t>(kind)]
                            : std::u16string_view{});
    line += u':';
    line += fileName;
    line += u"->";
    line += messages::kResultTexts[static_cast<std::size_t>(result)];
    return line;
}

} // namespace qlx::actions

#include "settings/rename_action_box.h"

#include "actions/action_record.h"
#include "actions/action_texts.h"
#include "actions/settings_messages.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;

std::span<std::byte, actions::ActionRecordLayout::kSize> actionBytes(settings::SettingsRecord& settings,
                                                                    std::size_t position)
{
    return settings.action(position).first<actions::ActionRecordLayout::kSize>();
}

} // namespace

RenameActionBox::RenameActionBox(settings::SettingsRecord& settings, actions::ActionKind kind, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_kind(kind)
{
    m_combo = new QComboBox(this);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_register = new QPushButton(toQString(msg::kRegisterSettingButton), this);
    m_release = new QPushButton(toQString(msg::kReleaseSettingButton), this);
    m_take = new QPushButton(toQString(msg::kTakeSettingButton), this);
    connect(m_combo, &QComboBox::currentIndexChanged, this, &RenameActionBox::updateButtons);
    connect(m_register, &QPushButton::clicked, this, &RenameActionBox::registerCurrent);
    connect(m_release, &QPushButton::clicked, this, &RenameActionBox::release);
    connect(m_take, &QPushButton::clicked, this, &RenameActionBox::takeOver);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_combo, 1);
    layout->addWidget(m_register);
    layout->addWidget(m_release);
    layout->addWidget(m_take);
    fill();
}

std::u16string RenameActionBox::describe(const actions::RenameSettings& settings) const
{
    return m_kind == actions::ActionKind::Rename ? actions::describeRename(settings)
                                                 : actions::describeReplaceRename(settings);
}

void RenameActionBox::fill()
{
    const std::optional<std::size_t> chosen = chosenAction();
    const std::u16string_view follows =
        m_kind == actions::ActionKind::Rename ? msg::kRenameActionFollows : msg::kReplaceRenameActionFollows;
    m_combo->clear();
    actions::ActionTable table(m_settings);
    for (std::size_t i = 0; i < table.count(); ++i) {
        const actions::ActionRecord record = table.at(i);
        if (record.kind() != static_cast<std::int32_t>(m_kind))
            continue;
        const std::u16string_view key = actions::targetKeyName(record.key());
        const std::u16string text =
            record.renameFixed()
                ? actions::fillIn(msg::kRenameActionFixed, {key, describe(actions::renameSettingsOf(record))})
                : actions::fillIn(follows, {key});
        m_combo->addItem(toQString(text), QVariant::fromValue(i));
        if (chosen == i)
            m_combo->setCurrentIndex(m_combo->count() - 1);
    }
    m_combo->setEnabled(m_combo->count() > 0);
    updateButtons();
}

std::optional<std::size_t> RenameActionBox::chosenAction() const
{
    if (m_combo->currentIndex() < 0)
        return std::nullopt;
    return m_combo->currentData().value<std::size_t>();
}

void RenameActionBox::updateButtons()
{
    const std::optional<std::size_t> chosen = chosenAction();
    const bool fixed = chosen && actions::ActionTable(m_settings).at(*chosen).renameFixed();
    m_register->setEnabled(chosen.has_value());
    // Only a fixed copy can be released or taken over.
    m_release->setEnabled(fixed);
    m_take->setEnabled(fixed);
}

void RenameActionBox::registerCurrent()
{
    const std::optional<std::size_t> chosen = chosenAction();
    if (!chosen)
        return;
    Q_EMIT readingCurrent();
    const actions::RenameSettings current = actions::renameSettingsOf(m_settings);
    const bool overwrite = actions::ActionTable(m_settings).at(*chosen).renameFixed();
    const bool rename = m_kind == actions::ActionKind::Rename;
    const std::u16string_view question =
        rename ? (overwrite ? msg::kOverwriteRenameQuestion : msg::kRegisterRenameQuestion)
               : (overwrite ? msg::kOverwriteReplaceQuestion : msg::kRegisterReplaceQuestion);
    if (!askYesNo(shell::kProductName, actions::fillIn(question, {describe(current)}), this))
        return;
    actions::storeFixedRenameSettings(actionBytes(m_settings, *chosen), current);
    actions::ActionTable(m_settings).at(*chosen).setRenameFixed(true);
    fill();
}

void RenameActionBox::release()
{
    const std::optional<std::size_t> chosen = chosenAction();
    if (!chosen)
        return;
    actions::ActionRecord record = actions::ActionTable(m_settings).at(*chosen);
    const std::u16string_view question =
        m_kind == actions::ActionKind::Rename ? msg::kReleaseRenameQuestion : msg::kReleaseReplaceQuestion;
    if (!askYesNo(shell::kProductName, actions::fillIn(question, {describe(actions::renameSettingsOf(record))}), this))
        return;
    record.setRenameFixed(false);
    fill();
}

void RenameActionBox::takeOver()
{
    const std::optional<std::size_t> chosen = chosenAction();
    if (!chosen)
        return;
    // What the controls show goes into the record (and the histories) first,
    // so that nothing typed is lost unremembered.
    Q_EMIT readingCurrent();
    const actions::RenameSettings fixed = actions::renameSettingsOf(actions::ActionTable(m_settings).at(*chosen));
    if (!askYesNo(shell::kProductName, actions::fillIn(msg::kTakeRenameQuestion, {describe(fixed)}), this))
        return;
    actions::storeRenameSettings(m_settings, fixed);
    Q_EMIT currentTaken();
}

} // namespace qlx::gui

#include "settings/rename_settings_page.h"

#include "actions/action_kinds.h"
#include "actions/action_record.h"
#include "actions/settings_messages.h"
#include "settings/rename_action_box.h"
#include "shell/qt_text.h"
#include "shell/settings_record.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <vector>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;
using actions::RenameHistory;
using actions::RenameSettings;

// A combo the user types into: its list is a history, which typing must not
// extend (the history is kept by the page when the texts are read in).
QComboBox* textCombo(QWidget* parent, std::size_t maxLength)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setMaxLength(static_cast<int>(maxLength));
    return combo;
}

QComboBox* namesCombo(QWidget* parent, int count, std::u16string_view (*name)(std::int32_t))
{
    auto* combo = new QComboBox(parent);
    for (std::int32_t i = 0; i < count; ++i)
        combo->addItem(toQString(name(i)));
    return combo;
}

// A combo's index for a stored value; none for a value out of range (a
// damaged file).
int indexOf(std::int32_t value, int count)
{
    return value >= 0 && value < count ? value : -1;
}

QLabel* descriptionLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

RenameSettingsPage::RenameSettingsPage(settings::SettingsRecord& settings,
                                       std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                                       QWidget* parent)
    : SettingsPage(parent), m_settings(settings), m_keyStates(keyStates), m_opened(actions::renameSettingsOf(settings))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildRenameGroup());
    layout->addWidget(buildReplaceGroup());
    layout->addStretch();
    showSettings();
}

QWidget* RenameSettingsPage::buildRenameGroup()
{
    auto* group = new QGroupBox(toQString(msg::kRenameGroup), this);
    m_prefixType = namesCombo(group, actions::kPrefixTypeCount, actions::prefixTypeName);
    m_prefixText = textCombo(group, actions::kMaxPrefixTextLength);
    m_prefixJoiner = namesCombo(group, actions::kPrefixJoinerCount, actions::prefixJoinerName);
    m_renameType = new QComboBox(group);
    m_dateJoiner = namesCombo(group, actions::kDateJoinerCount, actions::dateJoinerName);
    m_startNumber = new QSpinBox(group);
    m_startNumber->setRange(0, actions::kMaxStartNumber);
    m_renameDescription = descriptionLabel(group);
    m_renameActions = new RenameActionBox(m_settings, actions::ActionKind::Rename, group);

    connect(m_prefixType, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_showing)
            return;
        // Leaving "指定文字列": keep what was typed for a return to it.
        if (actions::renameSettingsOf(m_settings).prefixType == actions::kPrefixText)
            m_typedPrefix = m_prefixText->currentText();
        choose(&RenameSettings::prefixType, index);
        showPrefixText();
    });
    connect(m_prefixJoiner, &QComboBox::currentIndexChanged, this,
            [this](int index) { choose(&RenameSettings::prefixJoiner, index); });
    connect(m_renameType, &QComboBox::currentIndexChanged, this, [this](int index) {
        choose(&RenameSettings::renameType, index);
        m_startNumber->setEnabled(index >= 0 && index <= 2); // only the numbering types count
    });
    connect(m_dateJoiner, &QComboBox::currentIndexChanged, this, [this](int index) {
        choose(&RenameSettings::dateJoiner, index);
        fillRenameTypes(index, actions::renameSettingsOf(m_settings).renameType);
    });
    connect(m_prefixText, &QComboBox::editTextChanged, this, &RenameSettingsPage::updateDescriptions);
    connect(m_renameActions, &RenameActionBox::readingCurrent, this, &RenameSettingsPage::readControls);
    connect(m_renameActions, &RenameActionBox::currentTaken, this, &RenameSettingsPage::showSettings);

    auto* prefix = new QHBoxLayout;
    prefix->addWidget(m_prefixType);
    prefix->addWidget(m_prefixText, 1);
    auto* form = new QFormLayout(group);
    form->addRow(toQString(msg::kPrefixLabel), prefix);
    form->addRow(toQString(msg::kPrefixJoinerLabel), m_prefixJoiner);
    form->addRow(toQString(msg::kRenameTypeLabel), m_renameType);
    form->addRow(toQString(msg::kDateJoinerLabel), m_dateJoiner);
    form->addRow(toQString(msg::kStartNumberLabel), m_startNumber);
    form->addRow(m_renameDescription);
    form->addRow(toQString(msg::kRenameActionLabel), m_renameActions);
    return group;
}

QWidget* RenameSettingsPage::buildReplaceGroup()
{
    auto* group = new QGroupBox(toQString(msg::kReplaceRenameGroup), this);
    m_oldText = textCombo(group, actions::kMaxReplaceTextLength);
    m_newText = textCombo(group, actions::kMaxReplaceTextLength);
    m_replaceDescription = descriptionLabel(group);
    m_replaceActions = new RenameActionBox(m_settings, actions::ActionKind::ReplaceRename, group);
    connect(m_oldText, &QComboBox::editTextChanged, this, &RenameSettingsPage::updateDescriptions);
    connect(m_newText, &QComboBox::editTextChanged, this, &RenameSettingsPage::updateDescriptions);
    connect(m_replaceActions, &RenameActionBox::readingCurrent, this, &RenameSettingsPage::readControls);
    connect(m_replaceActions, &RenameActionBox::currentTaken, this, &RenameSettingsPage::showSettings);

    auto* form = new QFormLayout(group);
    form->addRow(toQString(msg::kOldTextLabel), m_oldText);
    form->addRow(toQString(msg::kNewTextLabel), m_newText);
    form->addRow(m_replaceDescription);
    form->addRow(toQString(msg::kReplaceRenameActionLabel), m_replaceActions);
    return group;
}

void RenameSettingsPage::showSettings()
{
    const RenameSettings s = actions::renameSettingsOf(m_settings);
    m_showing = true;
    m_prefixType->setCurrentIndex(indexOf(s.prefixType, actions::kPrefixTypeCount));
    m_prefixJoiner->setCurrentIndex(indexOf(s.prefixJoiner, actions::kPrefixJoinerCount));
    m_dateJoiner->setCurrentIndex(indexOf(s.dateJoiner, actions::kDateJoinerCount));
    fillRenameTypes(s.dateJoiner, s.renameType);
    m_startNumber->setValue(s.startNumber);
    m_startNumber->setEnabled(s.renameType >= 0 && s.renameType <= 2);
    fillHistory(m_prefixText, RenameHistory::Prefix);
    fillHistory(m_oldText, RenameHistory::OldText);
    fillHistory(m_newText, RenameHistory::NewText);
    m_oldText->setEditText(toQString(s.oldText));
    m_newText->setEditText(toQString(s.newText));
    m_typedPrefix = toQString(s.prefixText);
    m_showing = false;
    showPrefixText();
    updateDescriptions();
}

void RenameSettingsPage::fillRenameTypes(std::int32_t dateJoiner, std::int32_t renameType)
{
    const bool showing = m_showing;
    m_showing = true; // refilling is no choice of the user's
    m_renameType->clear();
    for (std::int32_t type = 0; type < actions::kRenameTypeCount; ++type)
        m_renameType->addItem(toQString(actions::renameTypeName(type, dateJoiner)));
    m_renameType->setCurrentIndex(indexOf(renameType, actions::kRenameTypeCount));
    m_showing = showing;
}

void RenameSettingsPage::fillHistory(QComboBox* combo, RenameHistory history)
{
    const QString typed = combo->currentText();
    combo->clear();
    for (const std::u16string& text : actions::renameHistoryList(m_settings, history))
        combo->addItem(toQString(text));
    combo->setEditText(typed);
}

void RenameSettingsPage::choose(std::int32_t RenameSettings::*field, int index)
{
    if (m_showing || index < 0)
        return;
    RenameSettings s = actions::renameSettingsOf(m_settings);
    s.*field = index;
    actions::storeRenameSettings(m_settings, s);
    updateDescriptions();
}

void RenameSettingsPage::showPrefixText()
{
    const std::int32_t type = actions::renameSettingsOf(m_settings).prefixType;
    const bool typed = type == actions::kPrefixText;
    m_prefixText->setEnabled(typed);
    m_prefixText->setEditText(typed ? m_typedPrefix : toQString(actions::prefixTypeName(type)));
}

RenameSettings RenameSettingsPage::shown() const
{
    RenameSettings s = actions::renameSettingsOf(m_settings);
    if (s.prefixType == actions::kPrefixText)
        s.prefixText = toU16(m_prefixText->currentText());
    if (!m_startNumber->cleanText().isEmpty())
        s.startNumber = m_startNumber->value();
    s.oldText = toU16(m_oldText->currentText());
    s.newText = toU16(m_newText->currentText());
    return s;
}

void RenameSettingsPage::updateDescriptions()
{
    const RenameSettings s = shown();
    m_renameDescription->setText(toQString(actions::describeRename(s)));
    m_replaceDescription->setText(toQString(actions::describeReplaceRename(s)));
}

void RenameSettingsPage::readControls()
{
    actions::storeRenameSettings(m_settings, shown());
    // The record's texts, as cut to their fields, are what the histories keep.
    const RenameSettings s = actions::renameSettingsOf(m_settings);
    if (s.prefixType == actions::kPrefixText)
        remember(m_prefixText, RenameHistory::Prefix, s.prefixText);
    remember(m_oldText, RenameHistory::OldText, s.oldText);
    remember(m_newText, RenameHistory::NewText, s.newText);
}

void RenameSettingsPage::remember(QComboBox* combo, RenameHistory history, const std::u16string& text)
{
    // The list as shown follows the new text, one slot fewer than the history.
    std::vector<std::u16string> listed;
    for (int i = 0; i < combo->count() && listed.size() + 1 < actions::kRenameHistoryCount; ++i)
        listed.push_back(toU16(combo->itemText(i)));
    actions::rememberRenameText(m_settings, history, text, listed);
    fillHistory(combo, history);
}

void RenameSettingsPage::markChangedKeys(const RenameSettings& before, const RenameSettings& after)
{
    const bool patternChanged = before.startNumber != after.startNumber || before.prefixType != after.prefixType
        || before.renameType != after.renameType || before.dateJoiner != after.dateJoiner
        || before.prefixJoiner != after.prefixJoiner || before.prefixText != after.prefixText;
    const bool textsChanged = before.oldText != after.oldText || before.newText != after.newText;
    actions::ActionTable table(m_settings);
    for (std::size_t i = 0; i < table.count(); ++i) {
        const actions::ActionRecord record = table.at(i);
        const auto kind = static_cast<actions::ActionKind>(record.kind());
        const bool affected = (kind == actions::ActionKind::Rename && patternChanged)
            || (kind == actions::ActionKind::ReplaceRename && textsChanged);
        const std::int32_t key = record.key();
        if (affected && key >= 0 && key < actions::kTargetKeyCount)
            m_keyStates[static_cast<std::size_t>(key)] = actions::KeyState::Changed;
    }
}

void RenameSettingsPage::finish()
{
    readControls();
    markChangedKeys(m_opened, actions::renameSettingsOf(m_settings));
}

} // namespace qlx::gui

#include "settings/media_settings_page.h"

#include "actions/action_texts.h"
#include "actions/media_messages.h"
#include "actions/media_settings.h"
#include "shell/message_box.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <string>

namespace qlx::gui {

namespace {

namespace msg = actions::messages;

constexpr int kDigitChoices = 4; // medium numbers of 1 to 4 digits

QString presetSizeText(std::size_t preset)
{
    return QString::number(*actions::kMediaPresets[preset].size);
}

} // namespace

MediaSettingsPage::MediaSettingsPage(settings::SettingsRecord& settings, QWidget* parent)
    : SettingsPage(parent), m_settings(settings)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildMediaGroup());
    layout->addWidget(buildMergeGroup());
    layout->addStretch();
    showSettings();
}

QWidget* MediaSettingsPage::buildMediaGroup()
{
    auto* group = new QGroupBox(toQString(msg::kMediaGroup), this);
    m_preset = new QComboBox(group);
    for (const actions::MediaPreset& preset : actions::kMediaPresets)
        m_preset->addItem(toQString(preset.name));
    m_size = new QLineEdit(group);
    m_size->setMaxLength(static_cast<int>(actions::kSplitSizeEditLength));
    // Keys other than digits never reach the text: the size is a decimal count.
    m_size->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_size));
    m_folderName = new QLineEdit(group);
    m_folderName->setMaxLength(static_cast<int>(actions::kMediaFolderNameUnits));
    m_digits = new QComboBox(group);
    for (char16_t digits = u'1'; digits < u'1' + kDigitChoices; ++digits)
        m_digits->addItem(toQString(actions::fillIn(msg::kMediaDigitsItem, {std::u16string(1, digits)})));
    m_addParentName = new QCheckBox(toQString(msg::kMediaAddParentNameLabel), group);
    m_balance = new QCheckBox(toQString(msg::kMediaBalanceLabel), group);
    connect(m_preset, &QComboBox::currentIndexChanged, this, &MediaSettingsPage::showPreset);

    auto* size = new QHBoxLayout;
    size->addWidget(m_preset);
    size->addWidget(m_size, 1);
    size->addWidget(new QLabel(toQString(msg::kMediaSizeUnit), group));
    auto* form = new QFormLayout(group);
    form->addRow(toQString(msg::kMediaSizeLabel), size);
    form->addRow(toQString(msg::kMediaFolderNameLabel), m_folderName);
    form->addRow(toQString(msg::kMediaDigitsLabel), m_digits);
    form->addRow(m_addParentName);
    form->addRow(m_balance);
    return group;
}

QWidget* MediaSettingsPage::buildMergeGroup()
{
    auto* group = new QGroupBox(toQString(msg::kMergeGroup), this);
    m_oneLevel = new QRadioButton(toQString(msg::kMergeOneLevelLabel), group);
    m_allLevels = new QRadioButton(toQString(msg::kMergeAllLevelsLabel), group);
    m_deleteEmpty = new QCheckBox(toQString(msg::kMergeDeleteEmptyLabel), group);
    auto* levels = new QButtonGroup(group);
    levels->addButton(m_oneLevel);
    levels->addButton(m_allLevels);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_oneLevel);
    layout->addWidget(m_allLevels);
    layout->addWidget(m_deleteEmpty);
    return group;
}

void MediaSettingsPage::showSettings()
{
    const actions::MediaSettings media = actions::mediaSettingsOf(m_settings);
    const actions::MergeSettings merge = actions::mergeSettingsOf(m_settings);
    // The stored size is what "任意指定の容量" starts from, whichever preset
    // it matches.
    m_typedSize = QString::number(media.splitSize);
    m_shownPreset = 0;
    m_size->setText(m_typedSize);
    m_preset->setCurrentIndex(static_cast<int>(actions::presetOf(media.splitSize)));
    m_folderName->setText(toQString(media.folderName));
    m_digits->setCurrentIndex(media.digits - 1);
    m_addParentName->setChecked(media.addParentName);
    m_balance->setChecked(media.balance);
    (merge.allLevels ? m_allLevels : m_oneLevel)->setChecked(true);
    m_deleteEmpty->setChecked(merge.deleteEmpty);
}

void MediaSettingsPage::showPreset(int index)
{
    if (index < 0)
        return;
    if (m_shownPreset == 0)
        m_typedSize = m_size->text();
    m_shownPreset = index;
    const bool custom = index == 0;
    m_size->setReadOnly(!custom);
    m_size->setText(custom ? m_typedSize : presetSizeText(static_cast<std::size_t>(index)));
}

std::optional<std::int64_t> MediaSettingsPage::chosenSize() const
{
    if (m_shownPreset != 0)
        return actions::kMediaPresets[static_cast<std::size_t>(m_shownPreset)].size;
    const std::optional<std::int64_t> typed = actions::parseSplitSize(u16View(m_size->text()));
    // A medium of no bytes would hold no file at all.
    if (!typed || *typed == 0)
        return std::nullopt;
    return typed;
}

void MediaSettingsPage::finish()
{
    actions::MediaSettings media = actions::mediaSettingsOf(m_settings);
    const std::optional<std::int64_t> size = chosenSize();
    if (size)
        media.splitSize = *size;
    else
        showWarningBox(shell::kProductName, msg::kMediaBadSplitSize, this);
    media.folderName = toU16(m_folderName->text());
    media.digits = m_digits->currentIndex() + 1;
    media.addParentName = m_addParentName->isChecked();
    media.balance = m_balance->isChecked();
    actions::storeMediaSettings(m_settings, media);
    actions::storeMergeSettings(m_settings, {m_allLevels->isChecked(), m_deleteEmpty->isChecked()});
}

} // namespace qlx::gui

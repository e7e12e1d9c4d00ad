#pragma once
// The media page of the settings window ("メディア容量分割設定"): how media
// distribution splits the list (the size of one medium, chosen from the
// presets or typed, the numbered folders' name and digits, the current
// folder's name in front, even sizes) and how the folder merge works (one
// level down or every level, removing the subfolders it empties).
//
// The page shows the record's settings when it is made and writes them
// back, all at once, when the window closes. A typed size that is no count
// of bytes is refused there with a message and the stored size stays.
//
// GUI thread; it edits the settings record in place, through
// actions/media_settings.h only.

#include "settings/settings_window.h"

#include <QString>

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace qlx::gui {

class MediaSettingsPage : public SettingsPage {
    Q_OBJECT
public:
    explicit MediaSettingsPage(settings::SettingsRecord& settings, QWidget* parent = nullptr);

    void finish() override;

    QComboBox* presetCombo() const { return m_preset; }
    QLineEdit* sizeEdit() const { return m_size; }
    QLineEdit* folderNameEdit() const { return m_folderName; }
    QComboBox* digitsCombo() const { return m_digits; }
    QCheckBox* addParentNameBox() const { return m_addParentName; }
    QCheckBox* balanceBox() const { return m_balance; }
    QRadioButton* oneLevelButton() const { return m_oneLevel; }
    QRadioButton* allLevelsButton() const { return m_allLevels; }
    QCheckBox* deleteEmptyBox() const { return m_deleteEmpty; }

private:
    QWidget* buildMediaGroup();
    QWidget* buildMergeGroup();
    void showSettings();
    // A preset shows its own size and cannot be typed over; the custom
    // choice brings back what was typed for it.
    void showPreset(int index);
    // The size the page stands for: the preset's, or the typed one; nothing
    // when the typed text is no count of bytes.
    std::optional<std::int64_t> chosenSize() const;

    settings::SettingsRecord& m_settings;
    // The text typed for "任意指定の容量", kept while a preset shows its size.
    QString m_typedSize;
    int m_shownPreset = 0;

    QComboBox* m_preset = nullptr;
    QLineEdit* m_size = nullptr;
    QLineEdit* m_folderName = nullptr;
    QComboBox* m_digits = nullptr;
    QCheckBox* m_addParentName = nullptr;
    QCheckBox* m_balance = nullptr;
    QRadioButton* m_oneLevel = nullptr;
    QRadioButton* m_allLevels = nullptr;
    QCheckBox* m_deleteEmpty = nullptr;
};

} // namespace qlx::gui

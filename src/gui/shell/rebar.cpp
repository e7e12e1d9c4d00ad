#include "shell/rebar.h"

#include "shell/command_table.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "shell/shell_messages.h"

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace qlx::gui {

namespace {

namespace msg = shell::messages;

// The menus the menu-style band offers, with the label of the entry that
// opens them in the main and list menus.
struct MenuButton {
    shell::MenuId menu;
    std::u16string_view label;
};
constexpr MenuButton kMenuButtons[] = {
    {shell::MenuId::Main, msg::kRebarMainMenu},
    {shell::MenuId::TargetFormats, msg::kRebarTargetFormats},
    {shell::MenuId::CheckMarks, msg::kRebarCheckMarks},
    {shell::MenuId::MultiScreen, msg::kRebarMultiScreen},
    {shell::MenuId::Help, msg::kRebarHelp},
};

} // namespace

Rebar::Rebar(QMainWindow& window, MenuBuilder& menus, const settings::SettingsRecord& settings) : QObject(&window)
{
    for (std::size_t band = 0; band < settings::kRebarBandCount; ++band) {
        const std::int32_t kind = settings.get(settings::kRebarBands, 3 * band);
        const std::int32_t flags = settings.get(settings::kRebarBands, 3 * band + 1);
        const std::int32_t width = settings.get(settings::kRebarBands, 3 * band + 2);
        if (kind < 0 || kind >= shell::kBandKinds)
            continue; // a damaged band table leaves the band out
        QToolBar* bar = addBand(window, kind, width, (flags & 1) != 0);
        fillBand(*bar, kind, menus, settings);
    }
}

QToolBar* Rebar::addBand(QMainWindow& window, int kind, int width, bool hidden)
{
    auto* bar = new QToolBar(toQString(shell::bandLabel(static_cast<shell::BandKind>(kind))), &window);
    bar->setObjectName(QStringLiteral("band%1").arg(kind));
    bar->setMovable(true);
    bar->setFloatable(false);
    // The stored width is what the band asks for; the window may still be
    // narrower than all bands together (they wrap or fold into the band's
    // extension arrow).
    bar->setProperty("storedWidth", std::clamp(width, 0, 4000));
    window.addToolBar(Qt::TopToolBarArea, bar);
    bar->setVisible(!hidden);
    return bar;
}

void Rebar::fillBand(QToolBar& band, int kind, MenuBuilder& menus, const settings::SettingsRecord& settings)
{
    const QString label = toQString(shell::bandLabel(static_cast<shell::BandKind>(kind)));
    switch (static_cast<shell::BandKind>(kind)) {
    case shell::BandKind::MenuBar:
        for (const MenuButton& button : kMenuButtons) {
            auto* tool = new QToolButton(&band);
            tool->setText(toQString(button.label));
            tool->setMenu(menus.menu(button.menu));
            tool->setPopupMode(QToolButton::InstantPopup);
            band.addWidget(tool);
        }
        break;
    case shell::BandKind::FirstCombo:
    case shell::BandKind::SecondCombo: {
        auto* combo = new QComboBox(&band);
        combo->setMinimumContentsLength(12);
        band.addWidget(combo);
        (kind == 1 ? m_folders : m_cacheHistory) = combo;
        connect(combo, &QComboBox::activated, this, [this, combo](int index) {
            Q_EMIT folderChosen(combo->itemText(index));
        });
        break;
    }
    case shell::BandKind::Slider:
        band.addWidget(new QLabel(label, &band));
        m_slider = new QSlider(Qt::Horizontal, &band);
        m_slider->setRange(0, 0);
        band.addWidget(m_slider);
        connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
            if (!m_settingSlider && value > 0)
                Q_EMIT positionChosen(value - 1);
        });
        break;
    case shell::BandKind::Log:
        band.addWidget(new QLabel(label, &band));
        m_log = new QComboBox(&band);
        m_log->setMinimumContentsLength(16);
        band.addWidget(m_log);
        break;
    case shell::BandKind::Progress:
        band.addWidget(new QLabel(label, &band));
        m_progress = new QProgressBar(&band);
        m_progress->setRange(0, 100);
        m_progress->setValue(0);
        band.addWidget(m_progress);
        break;
    case shell::BandKind::ToolBox: {
        const auto count = std::clamp<std::int32_t>(settings.get(settings::kToolBoxCount), 0,
                                                    static_cast<std::int32_t>(settings::kToolBoxSlots));
        std::vector<std::int32_t> slots;
        for (std::int32_t i = 0; i < count; ++i)
            slots.push_back(settings.get(settings::kToolBoxButtons, static_cast<std::size_t>(i)));
        menus.addToolBoxButtons(&band, slots);
        break;
    }
    }
}

void Rebar::setSliderRange(int count)
{
    if (!m_slider)
        return;
    m_settingSlider = true;
    m_slider->setRange(count > 0 ? 1 : 0, std::max(count, 0));
    m_settingSlider = false;
}

void Rebar::setSliderPosition(int position)
{
    if (!m_slider)
        return;
    m_settingSlider = true;
    m_slider->setValue(position + 1);
    m_settingSlider = false;
}

void Rebar::setProgress(int percent)
{
    if (m_progress)
        m_progress->setValue(std::clamp(percent, 0, 100));
}

void Rebar::addLogLine(const QString& line)
{
    if (!m_log)
        return;
    m_log->insertItem(0, line);
    m_log->setCurrentIndex(0);
}

void Rebar::setFolderHistory(const QStringList& folders)
{
    if (!m_folders)
        return;
    m_folders->clear();
    m_folders->addItems(folders);
}

void Rebar::setCacheHistory(const QStringList& folders)
{
    if (!m_cacheHistory)
        return;
    m_cacheHistory->clear();
    m_cacheHistory->addItems(folders);
}

} // namespace qlx::gui

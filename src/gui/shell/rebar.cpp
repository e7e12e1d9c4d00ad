#include "shell/rebar.h"

#include "actions/action_log_icons.h"
#include "cache/cache_directory.h"
#include "shell/command_icons.h"
#include "shell/command_table.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "shell/shell_messages.h"

#include <QComboBox>
#include <QContextMenuEvent>
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

// Bits of a band's style in the band table.
constexpr std::int32_t kStyleBreak = 0x1;  // the band begins a new line
constexpr std::int32_t kStyleHidden = 0x8;

// A band never asks for more than this, whatever the table says.
constexpr int kWidestBand = 4000;

// The folder history keeps the folders of one session, newest first.
constexpr qsizetype kFolderHistoryLength = 32;

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

// One band: a tool bar that asks for its stored width and remembers its
// kind and style for the band table.
class Rebar::Band : public QToolBar {
public:
    Band(int kind, std::int32_t style, int width, QWidget* parent)
        : QToolBar(toQString(shell::bandLabel(static_cast<shell::BandKind>(kind))), parent)
        , m_kind(kind)
        , m_style(style)
        , m_width(std::clamp(width, 0, kWidestBand))
    {
        setObjectName(QStringLiteral("band%1").arg(kind));
        setMovable(true);
        setFloatable(false);
        setAllowedAreas(Qt::TopToolBarArea);
    }

    int kind() const { return m_kind; }
    std::int32_t style() const { return m_style; }
    bool hiddenByStyle() const { return (m_style & kStyleHidden) != 0; }
    // The width to store: as laid out, or as asked for when never shown.
    int storedWidth() const { return hiddenByStyle() ? m_width : width(); }

    QSize sizeHint() const override
    {
        QSize hint = QToolBar::sizeHint();
        if (m_width > 0)
            hint.setWidth(m_width);
        return hint;
    }

private:
    int m_kind;
    std::int32_t m_style;
    int m_width;
};

Rebar::Rebar(QMainWindow& window, MenuBuilder& menus, const settings::SettingsRecord& settings,
             std::filesystem::path cacheDirectory)
    : QObject(&window)
    , m_window(window)
    , m_menus(menus)
    , m_cacheDirectory(std::move(cacheDirectory))
{
    for (std::size_t slot = 0; slot < settings::kRebarBandCount; ++slot) {
        const std::int32_t kind = settings.get(settings::kRebarBands, 3 * slot);
        const std::int32_t style = settings.get(settings::kRebarBands, 3 * slot + 1);
        const std::int32_t width = settings.get(settings::kRebarBands, 3 * slot + 2);
        if (kind < 0 || kind >= shell::kBandKinds)
            continue; // a damaged band table leaves the band out
        auto* band = new Band(kind, style, width, &window);
        if ((style & kStyleBreak) != 0 && !m_bands.empty())
            window.addToolBarBreak(Qt::TopToolBarArea);
        window.addToolBar(Qt::TopToolBarArea, band);
        band->setVisible(!band->hiddenByStyle());
        fillBand(*band, menus, settings);
        m_bands.push_back(band);
    }
    // Right clicks between the bands reach the window; those on a band's
    // boxes are taken by the boxes unless they are looked at first.
    window.installEventFilter(this);
    for (Band* band : m_bands)
        for (QWidget* part : band->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            part->installEventFilter(this);
    refreshCacheHistory();
}

void Rebar::fillBand(Band& band, MenuBuilder& menus, const settings::SettingsRecord& settings)
{
    const QString label = band.windowTitle();
    switch (static_cast<shell::BandKind>(band.kind())) {
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
        m_folders = addHistoryBox(band);
        break;
    case shell::BandKind::SecondCombo:
        m_cacheHistory = addHistoryBox(band);
        break;
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
        m_log->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        band.addWidget(m_log);
        break;
    case shell::BandKind::Progress:
        band.addWidget(new QLabel(label, &band));
        m_progress = new QProgressBar(&band);
        m_progress->setRange(0, 100);
        m_progress->setValue(0);
        // The bar alone, as the desktop's progress bars are.
        m_progress->setTextVisible(false);
        band.addWidget(m_progress);
        break;
    case shell::BandKind::ToolBox: {
        const auto count = std::clamp<std::int32_t>(settings.get(settings::kToolBoxCount), 0,
                                                    static_cast<std::int32_t>(settings::kToolBoxSlots));
        std::vector<std::int32_t> slots;
        for (std::int32_t i = 0; i < count; ++i)
            slots.push_back(settings.get(settings::kToolBoxButtons, static_cast<std::size_t>(i)));
        band.setToolButtonStyle(Qt::ToolButtonIconOnly);
        menus.addToolBoxButtons(&band, slots);
        break;
    }
    }
}

QComboBox* Rebar::addHistoryBox(Band& band)
{
    auto* box = new QComboBox(&band);
    box->setMinimumContentsLength(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    band.addWidget(box);
    connect(box, &QComboBox::activated, this, [this, box](int index) { Q_EMIT folderChosen(box->itemText(index)); });
    return box;
}

void Rebar::showFolders(QComboBox& box, const QStringList& folders, const QString& current)
{
    const QSignalBlocker quiet(box);
    box.clear();
    for (const QString& folder : folders)
        box.addItem(folderIcon(), folder);
    box.setCurrentIndex(static_cast<int>(folders.indexOf(current)));
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

void Rebar::addLogLine(const QString& line, int icon)
{
    if (!m_log)
        return;
    m_log->insertItem(0, actionLogIcon(icon), line);
    m_log->setCurrentIndex(0);
}

void Rebar::replaceLogLine(const QString& oldLine, const QString& newLine, int icon)
{
    if (!m_log)
        return;
    if (const int row = m_log->findText(oldLine); row >= 0)
        m_log->removeItem(row);
    addLogLine(newLine, icon);
}

void Rebar::noteFolderOpened(const QString& folder)
{
    m_openedFolders.removeAll(folder);
    m_openedFolders.prepend(folder);
    if (m_openedFolders.size() > kFolderHistoryLength)
        m_openedFolders.resize(kFolderHistoryLength);
    if (m_folders)
        showFolders(*m_folders, m_openedFolders, folder);
    refreshCacheHistory();
}

void Rebar::refreshCacheHistory()
{
    if (!m_cacheHistory)
        return;
    QStringList folders;
    if (!m_cacheDirectory.empty()) {
        for (const cache::CachedFolder& cached : cache::cachedFolders(m_cacheDirectory))
            folders.append(toQString(cached.path));
    }
    showFolders(*m_cacheHistory, folders, m_openedFolders.value(0));
}

void Rebar::storeBands(settings::SettingsRecord& settings) const
{
    // Display order: line by line from the top, left to right in a line;
    // bands the style hides keep their order after them.
    std::vector<Band*> order;
    std::vector<Band*> hidden;
    for (Band* band : m_bands)
        (band->hiddenByStyle() ? hidden : order).push_back(band);
    std::stable_sort(order.begin(), order.end(), [](const Band* a, const Band* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    order.insert(order.end(), hidden.begin(), hidden.end());
    for (std::size_t slot = 0; slot < order.size(); ++slot) {
        const Band& band = *order[slot];
        const bool lineBreak = slot > 0 && m_window.toolBarBreak(order[slot]);
        settings.set(settings::kRebarBands, 3 * slot, band.kind());
        settings.set(settings::kRebarBands, 3 * slot + 1, (band.style() & ~kStyleBreak) | (lineBreak ? kStyleBreak : 0));
        settings.set(settings::kRebarBands, 3 * slot + 2, band.storedWidth());
    }
}

void Rebar::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    for (Band* band : m_bands)
        band->setVisible(shown && !band->hiddenByStyle());
}

int Rebar::height() const
{
    int bottom = 0;
    for (const Band* band : m_bands)
        if (band->isVisible())
            bottom = std::max(bottom, band->geometry().bottom() + 1);
    return bottom;
}

bool Rebar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        const auto* click = static_cast<QContextMenuEvent*>(event);
        const QPoint at = m_window.mapFromGlobal(click->globalPos());
        const QWidget* centre = m_window.centralWidget();
        if (watched != &m_window || (m_shown && centre && at.y() < centre->geometry().top())) {
            if (QMenu* menu = m_menus.menu(shell::MenuId::Main))
                menu->popup(click->globalPos());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qlx::gui

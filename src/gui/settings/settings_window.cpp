#include "settings/settings_window.h"

#include "actions/media_messages.h"
#include "actions/settings_messages.h"
#include "settings/action_settings_page.h"
#include "settings/media_settings_page.h"
#include "settings/rename_settings_page.h"
#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qlx::gui {

namespace msg = actions::messages;

SettingsWindow::SettingsWindow(settings::SettingsRecord& settings,
                               std::array<actions::KeyState, actions::kTargetKeyCount>& keyStates,
                               std::function<bool(int function)> functionAvailable, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(toQString(msg::kSettingsWindowTitle));
    m_tabs = new QTabWidget(this);
    m_actionPage = new ActionSettingsPage(settings, keyStates, std::move(functionAvailable), this);
    connect(m_actionPage, &ActionSettingsPage::rowColoursChanged, this, &SettingsWindow::rowColoursChanged);
    addPage(kActionPage, m_actionPage, toQString(msg::kActionPageTitle));
    m_renamePage = new RenameSettingsPage(settings, keyStates, this);
    addPage(kRenamePage, m_renamePage, toQString(msg::kRenamePageTitle));
    m_mediaPage = new MediaSettingsPage(settings, this);
    addPage(kMediaPage, m_mediaPage, toQString(msg::kMediaPageTitle));

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(toQString(shell::messages::kButtonOk), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(820, 560);
}

void SettingsWindow::addPage(int number, SettingsPage* page, const QString& title)
{
    m_pages.push_back({number, page});
    m_tabs->addTab(page, title);
}

void SettingsWindow::showPage(int page)
{
    for (const Page& shown : m_pages) {
        if (shown.number == page) {
            m_tabs->setCurrentWidget(shown.widget);
            return;
        }
    }
    m_tabs->setCurrentWidget(m_actionPage);
}

int SettingsWindow::currentPage() const
{
    for (const Page& shown : m_pages) {
        if (shown.widget == m_tabs->currentWidget())
            return shown.number;
    }
    return kActionPage;
}

void SettingsWindow::done(int result)
{
    // Every way out keeps what the pages show: the action page's changes are
    // made at once, so there is nothing to take back.
    if (!m_finished) {
        m_finished = true;
        for (const Page& page : m_pages)
            page.widget->finish();
    }
    QDialog::done(result);
}

} // namespace qlx::gui

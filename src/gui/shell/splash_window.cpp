#include "shell/splash_window.h"

#include "shell/shell_messages.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace qlx::gui {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(toQString(shell::kProductName));

    auto* title = new QLabel(toQString(shell::messages::kSplashLabel), this);
    title->setObjectName(QStringLiteral("splashLabel"));
    title->setAlignment(Qt::AlignCenter);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("splashProgress"));
    m_progress->setRange(0, shell::messages::kSplashSteps);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("splashStatus"));
    // Table paths can be long; they must not widen the window.
    m_status->setMinimumWidth(1);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addStretch(1);
    layout->addWidget(title);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addStretch(1);
    resize(480, 240);
}

void SplashWindow::step(const QString& status)
{
    m_progress->setValue(std::min(m_progress->value() + 1, m_progress->maximum()));
    m_status->setText(status);
    if (isVisible())
        repaint();
    // Let the window system show the change; user input is not waited for.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::step(std::u16string_view status)
{
    step(toQString(status));
}

QString SplashWindow::statusText() const
{
    return m_status->text();
}

int SplashWindow::progress() const
{
    return m_progress->value();
}

} // namespace qlx::gui

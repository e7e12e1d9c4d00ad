// Quenderluxium: the program's entry point. It only wires the real values
// (the running executable, the command line, the user's instance lock) into
// the Application, which does the work.

#include "shell/application.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/single_instance.h"
#include "shell/startup_resources.h"
#include "shell/termination_signals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // One instance per user session: a second start ends here, silently and
    // with exit code 0, before anything else is done.
    auto instanceLock = qlx::shell::SingleInstanceLock::acquire();
    if (!instanceLock)
        return qlx::gui::kExitNormal;

    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(qlx::gui::toQString(qlx::shell::kProductName));
    // The close sequence decides when the program ends, not the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    qlx::gui::installJapaneseFontSubstitutions();

    qlx::gui::TerminationSignals termination;
    qlx::gui::Application application(std::move(instanceLock),
                                      {{}, QCoreApplication::arguments().mid(1)});
    QObject::connect(&termination, &qlx::gui::TerminationSignals::terminationRequested, &application,
                     &qlx::gui::Application::requestTermination);
    QObject::connect(&application, &qlx::gui::Application::finished, &qtApplication,
                     &QCoreApplication::quit, Qt::QueuedConnection);

    if (!application.start())
        return application.exitCode();
    return QApplication::exec();
}

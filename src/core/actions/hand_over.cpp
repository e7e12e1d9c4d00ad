#include "actions/hand_over.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

namespace qlx::actions {

bool isRunnableApplication(const std::filesystem::path& application)
{
    struct stat st {};
    return application.is_absolute() && ::stat(application.c_str(), &st) == 0 && S_ISREG(st.st_mode)
           && ::access(application.c_str(), X_OK) == 0;
}

bool handOver(const std::filesystem::path& application, const std::vector<std::filesystem::path>& files)
{
    if (!isRunnableApplication(application))
        return false;
    QStringList arguments;
    arguments.reserve(static_cast<qsizetype>(files.size()));
    for (const std::filesystem::path& file : files)
        arguments.push_back(QFile::decodeName(file.c_str()));
    return QProcess::startDetached(QFile::decodeName(application.c_str()), arguments);
}

} // namespace qlx::actions

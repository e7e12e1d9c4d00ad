#pragma once
// Helpers of the start-up and shut-down tests: a copy of the program with its
// tables in a temporary folder, settings files read and written through the
// core, and a watcher that answers the message boxes start-up opens in this
// process.

#include "support/test_paths.h"
#include "support/test_pictures.h"

#include "shell/settings_defaults.h"
#include "imagelist/list_controller.h"
#include "shell/browser.h"

#include "shell/settings_file.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qlx::test {

namespace fs = std::filesystem;

inline QString qpath(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// A program folder in a temporary folder: the executable (a real copy of the
// built program, or an empty stand-in for in-process runs, which only look at
// its name and folder) and the "bin" tables folder beside it.
class ProgramFolder {
public:
    enum class Executable { Copy, StandIn };

    explicit ProgramFolder(const std::string& executableName = "Quenderluxium",
                           Executable kind = Executable::StandIn)
        : m_executable(m_dir.path() / executableName)
    {
        if (kind == Executable::Copy)
            fs::copy_file(QLX_GUI_PATH, m_executable);
        else
            QFile(qpath(m_executable)).open(QIODevice::WriteOnly);
        fs::copy(buildDir() / "bin", tablesFolder(), fs::copy_options::recursive);
        // Each test gets its own session folder, so that its instance lock
        // never meets another test's or the user's.
        fs::create_directory(runtimeDir());
        fs::permissions(runtimeDir(), fs::perms::owner_all, fs::perm_options::replace);
    }

    const fs::path& folder() const { return m_dir.path(); }
    const fs::path& executable() const { return m_executable; }
    fs::path settingsFile() const { return folder() / "Quenderluxium.cfg"; }
    fs::path tablesFolder() const { return folder() / "bin"; }
    fs::path runtimeDir() const { return folder() / "run"; }
    // Where the program run by startProgram notes each message box it opens.
    fs::path messageLog() const { return folder() / "messages.log"; }

    fs::path makeFolder(const std::string& name) const
    {
        fs::create_directories(folder() / name);
        return folder() / name;
    }

    // Starts the copied program as in a desktop session of its own; the
    // caller waits for what it expects.
    void startProgram(QProcess& process, const QStringList& arguments = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qpath(runtimeDir()));
        env.insert(QStringLiteral("QLX_MESSAGE_LOG"), qpath(messageLog()));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(qpath(folder()));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(qpath(m_executable), arguments);
    }

    QString messageLogText() const
    {
        QFile log(qpath(messageLog()));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

private:
    TempDir m_dir;
    fs::path m_executable;
};

// A settings file with the first-start defaults, whose last opened folder
// is `folder`, changed by `edit`.
inline bool writeSettings(const ProgramFolder& program, bool endedNormally, const QString& folder,
                          const std::function<void(settings::SettingsRecord&)>& edit = {})
{
    settings::SettingsRecord record;
    settings::applyFirstStartDefaults(record, u"5.96");
    record.set(settings::kNormalExit, std::uint8_t{endedNormally});
    record.setText(settings::kLastOpenedFolder, folder.toStdU16String());
    if (edit)
        edit(record);
    return settings::SettingsFile(program.settingsFile(), u"5.96").save(record);
}

// A folder `name` of the program folder with `count` camera JPEGs,
// IMG_0001.JPG and on.
inline fs::path makePictureFolder(const ProgramFolder& program, const std::string& name, int count)
{
    const fs::path folder = program.makeFolder(name);
    for (int i = 1; i <= count; ++i)
        writeTestJpeg(folder / QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')).toStdString(),
                      {640, 480, "Canon", "Canon EOS 40D", 0});
    return folder;
}

// Waits until the browser's list shows `count` entries and has been gone
// through (its folder is read on a thread, its entries after that).
inline bool listShown(gui::Browser& browser, std::size_t count)
{
    return QTest::qWaitFor(
        [&] { return browser.controller().listReady() && browser.controller().list().size() == count; }, 20000);
}

// The settings file as the record it holds (unscrambled), or nothing when it
// is missing.
inline std::optional<std::vector<std::byte>> readSettingsBytes(const fs::path& path)
{
    QFile file(qpath(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray raw = file.readAll();
    std::vector<std::byte> bytes(static_cast<std::size_t>(raw.size()));
    std::memcpy(bytes.data(), raw.constData(), bytes.size());
    settings::scramble(bytes);
    return bytes;
}

inline std::optional<settings::SettingsRecord> readSettingsRecord(const fs::path& path)
{
    const auto bytes = readSettingsBytes(path);
    if (!bytes || bytes->size() != settings::kRecordSize)
        return std::nullopt;
    settings::SettingsRecord record;
    std::memcpy(record.bytes().data(), bytes->data(), bytes->size());
    return record;
}

// What a watched message box showed.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool topmost = false;
    QStringList buttonLabels; // in the order of the standard buttons
};

// Looks every few milliseconds for a message box that waits for an answer in
// this process (start-up opens them in nested event loops), records it, lets
// `onBox` look around while it is up, and presses `answer` (or, without that
// button, the default one).
class MessageBoxWatcher : public QObject {
public:
    explicit MessageBoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::poll);
        m_timer.start(5);
    }

    std::function<void(QMessageBox&)> onBox;
    const std::vector<SeenBox>& boxes() const { return m_boxes; }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        SeenBox seen{box->windowTitle(), box->text(), box->icon(), box->standardButton(box->defaultButton()),
                     box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), {}};
        for (const auto standard : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No})
            if (QAbstractButton* labelled = box->button(standard))
                seen.buttonLabels << labelled->text();
        m_boxes.push_back(seen);
        if (onBox)
            onBox(*box);
        QAbstractButton* button = box->button(m_answer) ? box->button(m_answer) : box->defaultButton();
        if (box->isVisible() && button)
            button->click();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
    std::vector<SeenBox> m_boxes;
};

} // namespace qlx::test

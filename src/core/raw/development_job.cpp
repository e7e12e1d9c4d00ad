#include "raw/development_job.h"

#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "thumbs/list_icon.h"
#include "thumbs/thumbnail_maker.h"

#include <QString>

#include <exception>

namespace qlx::raw {

namespace fs = std::filesystem;
using actions::Result;

DevelopmentSettings developmentSettingsFrom(const settings::SettingsRecord& record, OutputKind kind, fs::path folder)
{
    DevelopmentSettings s;
    s.kind = kind;
    s.folder = std::move(folder);
    const std::int32_t quality = record.get(settings::kRawQuality, 2);
    s.mode = modeFromQuality(quality >= 0 && quality <= 2 ? static_cast<std::uint8_t>(quality) : 0);
    s.exif = record.get(settings::kExifOnDevelop) != 0;
    return s;
}

namespace {

fs::path pathOf(std::u16string_view text)
{
    const QByteArray utf8 = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    return fs::path(utf8.toStdString());
}

} // namespace

DevelopmentJob::DevelopmentJob(std::vector<DevelopmentItem> items, DevelopmentSettings settings, Callbacks callbacks)
    : m_settings(std::move(settings))
    , m_callbacks(std::move(callbacks))
{
    // A file gone from its place has nothing to develop.
    for (DevelopmentItem& item : items)
        if (item.entry && item.entry->isPresent())
            m_items.push_back(std::move(item));
}

DevelopmentJob::~DevelopmentJob()
{
    cancel();
    m_worker.stop();
}

bool DevelopmentJob::start(int drawingPriority)
{
    return m_worker.start([this](const shell::WorkerControl&) { run(); }, drawingPriority,
                          [this] {
                              if (m_callbacks.ended)
                                  m_callbacks.ended();
                          });
}

void DevelopmentJob::cancel()
{
    m_cancel.request();
    m_worker.requestStop();
}

void DevelopmentJob::wait(const shell::PumpFunction& pump)
{
    m_worker.stop(pump);
}

void DevelopmentJob::run()
{
    // Only the cancel flag ends the job early: wait() stops the worker to
    // join it, and that must not cut the list short.
    int done = 0;
    for (const DevelopmentItem& item : m_items) {
        if (m_cancel.requested())
            break;
        DevelopmentReport report;
        try {
            report = developOne(item);
        } catch (const std::exception& e) {
            // One file's failure (memory, a library's exception) is that
            // file's result; the job goes on.
            report = {item.entryIndex, item.entry->name(), Result::Failed, {}, e.what()};
        }
        if (m_callbacks.report)
            m_callbacks.report(report);
        // A file skipped by a cancel was not done: the count stays.
        if (report.result == Result::Skipped)
            continue;
        ++done;
        if (m_callbacks.progress)
            m_callbacks.progress({done, total(), {}});
    }
}

DevelopmentReport DevelopmentJob::developOne(const DevelopmentItem& item)
{
    const imagelist::ImageEntry& entry = *item.entry;
    DevelopmentReport report{item.entryIndex, entry.name(), Result::Failed, {}, {}};
    const fs::path source = pathOf(entry.path());
    const fs::path output = developedOutputPath(m_settings.folder, source, m_settings.kind);
    bool replacing = false;
    const WriteResult allowed = checkOutputPath(source, output, m_callbacks.replace, &replacing);
    if (!allowed.done) {
        report.reason = allowed.reason;
        return report;
    }
    if (m_callbacks.progress) {
        const int finished = static_cast<int>(&item - m_items.data());
        m_callbacks.progress({finished, total(), report.fileName});
    }
    // From here a cancel request reaches the development, also one made
    // before it started: the file is then skipped, never half done.
    const Development developed = develop(source, {m_settings.mode, &m_cancel, nullptr});
    if (developed.cancelled()) {
        report.result = Result::Skipped;
        report.reason = developed.reason;
        return report;
    }
    if (!developed.ok()) {
        report.reason = developed.reason;
        return report;
    }
    const QImage upright = thumbs::rotatedQuarterTurns(developed.picture, thumbs::rotationTotal(entry));
    std::vector<ExifTag> exif;
    if (m_settings.exif)
        exif = exifTags(shootingTextsOf(entry), static_cast<std::uint32_t>(upright.width()),
                        static_cast<std::uint32_t>(upright.height()));
    const WriteResult written = writeDevelopedImage(upright, m_settings.kind, OutputPlace{output, source, replacing},
                                                    m_settings.exif ? &exif : nullptr);
    if (!written.done) {
        report.reason = written.reason;
        return report;
    }
    report.result = Result::Done;
    report.output = output;
    return report;
}

} // namespace qlx::raw

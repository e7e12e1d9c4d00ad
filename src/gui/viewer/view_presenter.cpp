#include "viewer/view_presenter.h"

#include "cache/thumbnail_block.h"
#include "imagelist/file_kind.h"
#include "imagelist/list_controller.h"
#include "raw/raw_engine.h"
#include "shell/settings_layout.h"
#include "thumbs/engine_picture.h"
#include "thumbs/histogram.h"
#include "thumbs/thumbnail_maker.h"
#include "thumbs/view_histogram.h"
#include "viewer/image_view.h"
#include "viewer/prefetch_plan.h"
#include "viewer/screen_modes.h"
#include "viewer/view_subject.h"
#include "viewer/view_timing_log.h"
#include "viewer/zoom_control.h"

#include <algorithm>
#include <span>

namespace qlx::gui {
namespace {

raw::DevelopMode qualityMode(const settings::SettingsRecord& settings, int index)
{
    return raw::modeFromQuality(static_cast<std::uint8_t>(std::clamp(settings.get(settings::kRawQuality, index), 0, 255)));
}

// The index of the browsing and the conversion-key quality settings.
constexpr int kBrowsingQuality = 0;
constexpr int kConversionKeyQuality = 1;

} // namespace

ViewPresenter::ViewPresenter(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_d(std::move(dependencies))
{
    const settings::SettingsRecord& settings = m_d.settings;
    const std::uint32_t background = thumbs::histogramBackgroundArgb(settings.get(settings::kHistogramBackground));
    const auto histogram = [background](const QImage& picture) {
        return thumbs::makeViewHistogram(picture, background);
    };
    imagelist::MemoryReserve& reserve = m_d.controller.memoryReserve();
    const int priority = settings.get(settings::kDrawingPriority);
    m_previews = new PreviewDecoder(m_d.placeholder, priority, qualityMode(settings, kBrowsingQuality), &reserve,
                                    histogram, this);
    m_developments = new PreviewDecoder(m_d.placeholder, priority, qualityMode(settings, kBrowsingQuality), &reserve,
                                        histogram, this);
    m_readAhead = new ViewReadAhead(*m_previews, *m_developments, reserve,
                                    [this](int position, int pane) { return requestFor(position, pane, 1); },
                                    {std::clamp(settings.get(settings::kReadAheadLevel), 0, 9)}, this);

    connect(m_previews, &PreviewDecoder::previewReady, this, &ViewPresenter::onPicture);
    connect(m_developments, &PreviewDecoder::previewReady, this, &ViewPresenter::onPicture);
    connect(m_previews, &PreviewDecoder::previewFailed, this, &ViewPresenter::onFailure);
    connect(m_developments, &PreviewDecoder::previewFailed, this, &ViewPresenter::onFailure);
    connect(m_readAhead, &ViewReadAhead::quickPathChanged, this, [this](bool on) {
        for (ImageView* view : m_d.views)
            view->setQuickPath(on);
    });
    for (ImageView* view : m_d.views) {
        // Zoom and the loupe want the whole picture: the panes are asked
        // for again at full size.
        connect(view, &ImageView::fullPictureWanted, this, [this] { m_readAhead->refill(); });
    }
    m_timing = ViewTimingLog::createIfRequested();
    if (m_timing) {
        for (ImageView* view : m_d.views) {
            connect(view, &ImageView::painted, this, [this, view](quint64 generation, int position, int result, bool quick) {
                if (generation != m_generation)
                    return;
                const bool sharp = result == static_cast<int>(viewer::PaintResult::Drawn) && !quick;
                m_timing->painted(position, sharp, sharp && m_d.zoom.isActive() && view->holdsWholePicture());
            });
        }
        connect(&m_d.zoom, &ZoomControl::zoomChanged, this, [this](bool on) {
            if (on)
                m_timing->zoomStarted(m_current);
        });
    }
}

ViewPresenter::~ViewPresenter() = default;

int ViewPresenter::paneCount() const
{
    return viewer::viewPaneCount(viewer::multiScreenModeFromSetting(m_d.settings.get(settings::kMultiScreenMode)));
}

void ViewPresenter::show(quint64 generation, int current, bool viewsShown)
{
    if (generation != m_generation)
        m_developedShown.clear();
    if (m_timing && current != m_current && current >= 0)
        m_timing->stepped(current);
    m_generation = generation;
    m_current = current;
    m_viewsShown = viewsShown;
    const imagelist::ImageList& list = m_d.controller.list();
    const int count = static_cast<int>(list.size());
    const int panes = paneCount();
    for (int pane = 0; pane < static_cast<int>(m_d.views.size()); ++pane) {
        ImageView* view = m_d.views[static_cast<std::size_t>(pane)];
        const int position = current >= 0 && pane < panes && current + pane < count ? current + pane : -1;
        const auto entry = list.entryAt(position);
        view->setFocusMark(panes > 1 && pane == 0 && entry.has_value());
        if (!entry) {
            ViewSubject none;
            none.generation = generation;
            none.count = count;
            view->showSubject(none);
            continue;
        }
        const imagelist::ListItem& item = list.item(*entry);
        QImage thumbnail;
        if (item.thumbnail().size() == cache::ThumbnailBlockLayout::kSize) {
            thumbnail = cache::readThumbnailBlock(std::span<const std::byte, cache::ThumbnailBlockLayout::kSize>(
                                                      item.thumbnail().data(), cache::ThumbnailBlockLayout::kSize))
                            .thumbnail;
        }
        view->showSubject(ViewSubject::fromEntry(generation, position, count, *item.entry, thumbnail, {}));
    }
    if (viewsShown)
        m_readAhead->show({generation, current, count, panes});
    updatePictureStatus();
}

void ViewPresenter::leaveList()
{
    m_readAhead->clear();
    m_developedShown.clear();
}

void ViewPresenter::stop()
{
    m_readAhead->clear();
    m_previews->stop();
    m_developments->stop();
}

void ViewPresenter::narrowReadAhead()
{
    m_readAhead->narrow();
}

std::optional<PreviewRequest> ViewPresenter::requestFor(int position, int pane, int level) const
{
    imagelist::ImageList& list = m_d.controller.session().list();
    const auto index = list.entryAt(position);
    if (!index)
        return std::nullopt;
    imagelist::ImageEntry& entry = list.entry(*index);
    if (entry.hasFlag(imagelist::ImageEntry::kFlagUnrenderable) || !entry.isPresent())
        return std::nullopt;
    if (entry.hasFlag(imagelist::ImageEntry::kFlagReloadPicture)) {
        // The file changed under its pictures: they are made again.
        m_previews->forget(m_generation, position);
        m_developments->forget(m_generation, position);
        entry.setFlag(imagelist::ImageEntry::kFlagReloadPicture, false);
    }
    const ImageView* view = m_d.views[static_cast<std::size_t>(std::max(pane, 0))];
    // Zoom and the loupe look at the whole picture; otherwise the smallest
    // decode that still covers the pane will do.
    const QSize cover = pane >= 0 && view->wantsFullPicture()
        ? QSize()
        : viewer::turnedSize(view->size(), thumbs::rotationTotal(entry)) * view->devicePixelRatioF();
    const metadata::CameraRecord* known = m_d.cameras.recordAtRow(entry.cameraIndex());
    PreviewRequest request = PreviewRequest::forEntry(m_generation, position, entry,
                                                      known ? *known : metadata::CameraRecord{}, cover);
    request.level = level;
    return request;
}

void ViewPresenter::onPicture(const ViewPicture& picture)
{
    if (picture.generation != m_generation)
        return;
    imagelist::ImageList& list = m_d.controller.session().list();
    if (const auto index = list.entryAt(picture.position)) {
        imagelist::ImageEntry& entry = list.entry(*index);
        if (picture.level == 1)
            entry.setFlag(imagelist::ImageEntry::kFlagPreviewIsEngineOutput, picture.developed);
    }
    if (picture.level == 2) {
        m_developedShown.insert(picture.position);
    } else if (m_developedShown.contains(picture.position)) {
        // The development stays in front of the embedded preview.
        return;
    }
    for (ImageView* view : m_d.views) {
        view->setPreview(picture.generation, picture.position, picture.picture, picture.fullSize);
        if (!picture.histogram.isNull())
            view->setHistogram(picture.generation, picture.position, picture.histogram);
    }
    if (picture.level == 1)
        developIfWanted(picture);
    updatePictureStatus();
}

void ViewPresenter::onFailure(quint64 generation, int position, int status)
{
    if (generation != m_generation)
        return;
    if (status == static_cast<int>(thumbs::PictureStatus::DevelopFailed) && m_d.developmentFailed)
        m_d.developmentFailed();
    if (position == m_current)
        updatePictureStatus();
}

bool ViewPresenter::engineDevelopsAt(int position) const
{
    const imagelist::ImageList& list = m_d.controller.list();
    const auto index = list.entryAt(position);
    if (!index)
        return false;
    const imagelist::ImageEntry& entry = list.entry(*index);
    const metadata::CameraRecord* known = m_d.cameras.recordAtRow(entry.cameraIndex());
    return known != nullptr && thumbs::engineDevelops(entry, *known);
}

void ViewPresenter::developIfWanted(const ViewPicture& preview)
{
    // Only the panes develop, and only from a preview that is not the
    // engine's already.
    const int pane = preview.position - m_current;
    if (preview.developed || pane < 0 || pane >= paneCount() || m_developedShown.contains(preview.position))
        return;
    viewer::DevelopmentFacts facts;
    facts.engineDevelops = engineDevelopsAt(preview.position);
    facts.request = viewer::DevelopmentRequest::Automatic;
    facts.previewType = viewer::rawPreviewTypeFromSetting(m_d.settings.get(settings::kRawPreviewType));
    facts.preview = preview.fullSize;
    facts.viewArea = m_d.views[static_cast<std::size_t>(pane)]->size();
    if (!viewer::developsForView(facts))
        return;
    auto request = requestFor(preview.position, pane, 2);
    if (!request)
        return;
    request->developMode = qualityMode(m_d.settings, kBrowsingQuality);
    if (pane == 0)
        m_developments->request(std::move(*request));
    else
        m_developments->prefetch(std::move(*request));
}

void ViewPresenter::toggleDevelopment()
{
    if (m_current < 0)
        return;
    if (m_developedShown.erase(m_current) > 0) {
        // Let the development go and show the preview again.
        m_developments->forget(m_generation, m_current);
        m_readAhead->refill();
        if (auto request = requestFor(m_current, 0, 1))
            m_previews->request(std::move(*request));
        updatePictureStatus();
        return;
    }
    viewer::DevelopmentFacts facts;
    facts.engineDevelops = engineDevelopsAt(m_current);
    facts.request = viewer::DevelopmentRequest::ConversionKey;
    if (!viewer::developsForView(facts))
        return;
    auto request = requestFor(m_current, 0, 2);
    if (!request)
        return;
    request->developMode = qualityMode(m_d.settings, kConversionKeyQuality);
    m_developments->request(std::move(*request));
    updatePictureStatus();
}

bool ViewPresenter::showsDevelopment() const
{
    return m_developedShown.contains(m_current);
}

void ViewPresenter::updatePictureStatus()
{
    const bool developing = m_viewsShown && m_current >= 0 && m_developments->isWorkingOn(m_generation, m_current);
    for (ImageView* view : m_d.views) {
        if (developing)
            view->setCursor(Qt::BusyCursor);
        else
            view->unsetCursor();
    }
    const bool developed = showsDevelopment();
    if (developed != m_lastShownDeveloped) {
        m_lastShownDeveloped = developed;
        Q_EMIT developmentShownChanged(developed);
    }
    if (!m_d.statusText)
        return;
    QString text;
    const imagelist::ImageList& list = m_d.controller.list();
    const auto index = list.entryAt(m_current);
    if (!m_viewsShown) {
        text = QStringLiteral("\tThumbnail");
    } else if (!index) {
        return;
    } else if (developing) {
        text = QStringLiteral("\tNow Processing...");
    } else if (developed && imagelist::isRawKind(list.entry(*index).kind())) {
        text = QStringLiteral("\tOriginal RAW");
    } else if (list.entry(*index).previewSize() != 0) {
        text = QStringLiteral("\tThumbnail");
    } else {
        text = QStringLiteral("\tOriginal");
    }
    m_d.statusText(kStatusPart, text);
}

} // namespace qlx::gui

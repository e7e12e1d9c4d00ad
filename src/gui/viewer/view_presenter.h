#pragma once
// Feeds the view panes: the subject of each pane, the pictures the decoders
// make for them (the preview, and the RAW engine's development where the
// view develops), the view's histogram, the quick path while the user flips
// fast, the focus mark, and the status texts of the shown picture
// ("\tNow Processing...", "\tOriginal RAW", "\tThumbnail", "\tOriginal").
//
// Pane p shows the entry p places after the current one. Pictures come
// back by value, tagged with the folder load, the position and the level
// they were made for; a picture of another load is dropped, and only the
// picture-level flags of the entry are touched, so nothing the user
// changed meanwhile (check marks, rotation) is overwritten. A
// development is stopped when the view leaves its entry or the list.
//
// Thread model: user-interface thread only.

#include "imagelist/memory_reserve.h"
#include "metadata/camera_table.h"
#include "shell/settings_record.h"
#include "viewer/preview_decoder.h"
#include "viewer/view_read_ahead.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <set>

namespace qlx::gui {

class ImageView;
class ListController;
class ViewTimingLog;
class ZoomControl;

class ViewPresenter : public QObject {
    Q_OBJECT
public:
    struct Dependencies {
        std::array<ImageView*, 4> views;
        ZoomControl& zoom;
        ListController& controller;
        const metadata::CameraTable& cameras;
        const settings::SettingsRecord& settings;
        QByteArray placeholder;
        // Sets a part of the status bar.
        std::function<void(int part, const QString& text)> statusText;
        // A RAW file could not be developed.
        std::function<void()> developmentFailed;
    };

    // The status bar part that receives the shown picture's text.
    static constexpr int kStatusPart = 5;

    ViewPresenter(Dependencies dependencies, QObject* parent = nullptr);
    ~ViewPresenter() override;

    // The panes show the entries from `current` on, of the folder load
    // `generation`; `viewsShown`: the views are on screen (the list alone
    // needs no pictures).
    void show(quint64 generation, int current, bool viewsShown);
    // The list is being left: work in progress is stopped and dropped.
    void leaveList();
    // Ends the decoders' workers, pumping the window's events meanwhile.
    void stop();
    // The conversion key: develops the current entry at the key's quality,
    // or lets its development go when it is shown.
    void toggleDevelopment();
    // The memory reserve was raised: read ahead less.
    void narrowReadAhead();

    bool showsDevelopment() const;
    const ViewReadAhead& readAhead() const { return *m_readAhead; }

Q_SIGNALS:
    // Whether the current entry's development is shown changed.
    void developmentShownChanged(bool shown);

private:
    std::optional<PreviewRequest> requestFor(int position, int pane, int level) const;
    void onPicture(const ViewPicture& picture);
    void onFailure(quint64 generation, int position, int status);
    // The entry at `position` is a camera file the RAW engine develops.
    bool engineDevelopsAt(int position) const;
    void developIfWanted(const ViewPicture& preview);
    void updatePictureStatus();
    int paneCount() const;

    Dependencies m_d;
    PreviewDecoder* m_previews = nullptr;
    PreviewDecoder* m_developments = nullptr;
    ViewReadAhead* m_readAhead = nullptr;
    quint64 m_generation = 0;
    int m_current = -1;
    bool m_viewsShown = true;
    // Positions of this load whose development the panes show.
    std::set<int> m_developedShown;
    bool m_lastShownDeveloped = false;
    // QLX_VIEW_LOG: null unless the environment asks for it.
    std::unique_ptr<ViewTimingLog> m_timing;
};

} // namespace qlx::gui

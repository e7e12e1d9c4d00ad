#pragma once
// The small frameless window shown while the camera and lens tables load.
// Each status step advances its bar by one and replaces its status text; the
// bar runs from 0 to messages::kSplashSteps (initialising, checking data,
// then one step per table file).

#include <QWidget>

#include <string_view>

class QLabel;
class QProgressBar;

namespace qlx::gui {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Advances the bar by one step and shows `status`, painted at once: the
    // start-up work runs on this thread between the steps.
    void step(const QString& status);
    void step(std::u16string_view status);

    QString statusText() const;
    int progress() const;

private:
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
};

} // namespace qlx::gui

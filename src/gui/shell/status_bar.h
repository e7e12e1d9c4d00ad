#pragma once
// The status bar: eleven parts laid out from the right edge of the window,
// each part's left edge the next part's left edge minus its width. Other
// parts of the program write their texts into it by part number; a text
// that begins with a tab is right-aligned in its part, as the counters are.

#include <QStatusBar>

#include <array>

class QLabel;

namespace qlx::gui {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kParts = 11;

    explicit StatusBar(QWidget* parent = nullptr);

    void setPartText(int part, const QString& text);
    QString partText(int part) const;

private:
    std::array<QLabel*, kParts> m_parts{};
};

} // namespace qlx::gui

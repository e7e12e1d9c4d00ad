#pragma once
// The camera and lens list: one tab per table. The camera tab lists
// camera.bin from row 18 on (the reserved rows are not cameras) with maker,
// model, crop factor ("%0.1f") and whether the RAW engine develops the
// camera's files (kDevelopable / kNotDevelopable); each lens tab lists
// maker and name. Rows are sorted by maker, then by name, in natural order
// (runs of digits by their value: "EOS 5D" before "EOS 10D"). Its texts are
// in metadata/metadata_messages.h.
//
// The dialog copies what it shows when it is built; the tables may be
// released afterwards. It belongs to the GUI thread like every widget.

#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QTabWidget;
class QTreeWidget;

namespace qlx::gui {

class CameraLensDialog : public QDialog {
    Q_OBJECT
public:
    CameraLensDialog(const metadata::CameraTable& cameras, const metadata::LensTables& lenses,
                     QWidget* parent = nullptr);

    // The tabs in order: cameras, then the lens tables in file order
    // (Canon, Nikon, Pentax, Olympus, Olympus extenders, Sony).
    QTabWidget* tabs() const { return m_tabs; }
    QTreeWidget* list(int tab) const;

private:
    void addTab(const QString& title, const QStringList& headers, const std::vector<QStringList>& rows);

    QTabWidget* m_tabs = nullptr;
    std::vector<QTreeWidget*> m_lists;
};

} // namespace qlx::gui

#include "metadata/camera_lens_dialog.h"

#include "imagelist/natural_compare.h"
#include "metadata/metadata_messages.h"
#include "shell/qt_text.h"
#include "shell/shell_messages.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qlx::gui {

namespace {

namespace msg = metadata::messages;

// Sorts rows by their first column (maker), then their second (name), in
// natural order.
void sortRows(std::vector<QStringList>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        if (const int order = imagelist::compareNatural(u16View(a[0]), u16View(b[0])))
            return order < 0;
        return imagelist::compareNatural(u16View(a[1]), u16View(b[1])) < 0;
    });
}

std::vector<QStringList> cameraRows(const metadata::CameraTable& cameras)
{
    std::vector<QStringList> rows;
    for (std::size_t row = metadata::kFirstMakerRow; row < cameras.rowCount(); ++row) {
        const metadata::CameraRecord& record = cameras.record(row);
        rows.push_back({toQString(record.maker), toQString(record.model),
                        QString::asprintf("%0.1f", static_cast<double>(record.cropFactor)),
                        toQString(record.developable ? msg::kDevelopable : msg::kNotDevelopable)});
    }
    sortRows(rows);
    return rows;
}

std::vector<QStringList> lensRows(const metadata::LensTables& lenses, metadata::LensTableId table)
{
    std::vector<QStringList> rows;
    for (std::size_t row = 0; row < lenses.rowCount(table); ++row) {
        const metadata::LensName& lens = lenses.lens(table, row);
        rows.push_back({toQString(lens.maker), toQString(lens.name)});
    }
    sortRows(rows);
    return rows;
}

} // namespace

CameraLensDialog::CameraLensDialog(const metadata::CameraTable& cameras, const metadata::LensTables& lenses,
                                   QWidget* parent)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
{
    setWindowTitle(toQString(msg::kCameraLensTitle));
    const QString maker = toQString(msg::kMakerHeader);
    const QString product = toQString(msg::kProductHeader);
    addTab(toQString(msg::kCameraTab),
           {maker, product, toQString(msg::kCropFactorHeader), toQString(msg::kRawDevelopmentHeader)},
           cameraRows(cameras));
    for (const msg::LensTabTitle& tab : msg::kLensTabTitles)
        addTab(toQString(tab.title), {maker, product}, lensRows(lenses, tab.table));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(toQString(shell::messages::kButtonClose));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(640, 480);
}

QTreeWidget* CameraLensDialog::list(int tab) const
{
    if (tab < 0 || static_cast<std::size_t>(tab) >= m_lists.size())
        return nullptr;
    return m_lists[static_cast<std::size_t>(tab)];
}

void CameraLensDialog::addTab(const QString& title, const QStringList& headers, const std::vector<QStringList>& rows)
{
    auto* view = new QTreeWidget(m_tabs);
    view->setColumnCount(static_cast<int>(headers.size()));
    view->setHeaderLabels(headers);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const QStringList& row : rows) {
        auto* item = new QTreeWidgetItem(row);
        // The crop factor and the RAW mark read best centred under short headers.
        for (int column = 2; column < row.size(); ++column)
            item->setTextAlignment(column, Qt::AlignCenter);
        items.append(item);
    }
    view->addTopLevelItems(items);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->header()->setStretchLastSection(false);
    m_tabs->addTab(view, title);
    m_lists.push_back(view);
}

} // namespace qlx::gui

#include "dialogs/ListControls.h"

#include "ModalScript.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const ISortNameSource* gSortProject = nullptr;

class SortListItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return CompareSortListItems(CSortListCtrl::ItemId(this), CSortListCtrl::ItemId(&other), column) < 0;
    }
};

// Whole rows drawn by the control: highlight across the row, icons at the
// left, each cell single-line, vertically centred, aligned as its column says
// and shortened with "..." until it fits.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const bool selected = option.state & QStyle::State_Selected;
        const bool showSelection = view && (view->hasFocus() || view->selectionMode() != QAbstractItemView::NoSelection);
        const QPalette& pal = option.palette;
        const bool highlight = selected && showSelection;
        painter->save();
        painter->fillRect(option.rect, highlight ? pal.highlight() : pal.base());
        painter->setPen(highlight ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        QRect text = option.rect.adjusted(2, 0, -2, 0);
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            const int side = option.decorationSize.height();
            icon.paint(painter, QRect(text.left(), text.top() + (text.height() - side) / 2, side, side));
            text.setLeft(text.left() + side + 2);
        }
        const int alignment = index.data(Qt::TextAlignmentRole).isValid()
                                  ? index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask
                                  : int(Qt::AlignLeft);
        const QString shown = ShortenToFit(index.data(Qt::DisplayRole).toString(), option.fontMetrics, text.width());
        painter->drawText(text, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        if ((option.state & QStyle::State_HasFocus) && view && view->hasFocus()) {
            painter->setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

}  // namespace

void SetSortProject(const ISortNameSource* project) { gSortProject = project; }
const ISortNameSource* SortProject() { return gSortProject; }

int CompareSortListItems(long id1, long id2, int column) {
    // Rows without an object (id 0) sort before every object and equal to
    // each other, so the order stays a strict weak order.
    if (id1 == 0 || id2 == 0) return (id1 != 0) - (id2 != 0);
    if (!gSortProject || (column != 0 && column != 1)) return 0;
    const std::string a = column == 0 ? gSortProject->NameFromID(id1) : gSortProject->LayerNameOfID(id1);
    const std::string b = column == 0 ? gSortProject->NameFromID(id2) : gSortProject->LayerNameOfID(id2);
    const int c = a.compare(b);
    return (c > 0) - (c < 0);
}

CSortListCtrl::CSortListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) { SortByColumn(column); });
}

QTreeWidgetItem* CSortListCtrl::AddItem(long id, const QStringList& texts) {
    auto* item = new SortListItem(this, texts);
    item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(id));
    return item;
}

long CSortListCtrl::ItemId(const QTreeWidgetItem* item) {
    return item ? static_cast<long>(item->data(0, Qt::UserRole).toLongLong()) : 0;
}

void CSortListCtrl::SortByColumn(int column) { sortItems(column, Qt::AscendingOrder); }

QString ShortenToFit(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    QString shown = text;
    while (!shown.isEmpty() && metrics.horizontalAdvance(shown + dots) > width) shown.chop(1);
    return shown + dots;
}

COwnerDrawListCtrl::COwnerDrawListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemDelegate(new OwnerDrawDelegate(this));
    setAllColumnsShowFocus(true);
    m_resetTimer.setSingleShot(true);
    m_resetTimer.setInterval(kSearchResetMs);
    connect(&m_resetTimer, &QTimer::timeout, this, [this] { ResetSearch(); });
}

void COwnerDrawListCtrl::ResetSearch() {
    m_strSearch.clear();
    m_nNextSearch = 0;
}

void COwnerDrawListCtrl::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1 || !typed.at(0).isLetterOrNumber()) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    m_strSearch += typed;
    const int count = topLevelItemCount();
    for (int n = 0; n < count; ++n) {
        const int index = (m_nNextSearch + n) % count;  // from the item after the last match, round once
        QTreeWidgetItem* item = topLevelItem(index);
        if (!item->text(m_nSearchColumn).startsWith(m_strSearch, Qt::CaseInsensitive)) continue;
        clearSelection();
        item->setSelected(true);
        setCurrentItem(item);
        scrollToItem(item);
        m_nNextSearch = index + 1;
        m_resetTimer.start();
        return;
    }
    m_resetTimer.stop();
    ResetSearch();
}

void COwnerDrawListCtrl::keyReleaseEvent(QKeyEvent* event) {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (!selected.isEmpty()) setCurrentItem(selected.front(), currentColumn(), QItemSelectionModel::NoUpdate);
    QTreeWidget::keyReleaseEvent(event);
}

CCustomFileDialog::CCustomFileDialog(bool openFileDialog, const QString& defaultExtension, const QString& fileName,
                                     DWORD, const QString& filter, QWidget* parent)
    : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(openFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (!defaultExtension.isEmpty()) setDefaultSuffix(defaultExtension);
    if (!filter.isEmpty()) setNameFilter(filter);
    if (!fileName.isEmpty()) selectFile(fileName);
}

int CCustomFileDialog::DoModal() { return qs::fw::RunModal(*this); }

QString CCustomFileDialog::GetPathName() const {
    const QStringList chosen = selectedFiles();
    QString folder = chosen.isEmpty() ? directory().absolutePath() : chosen.front();
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder + QString::fromUtf8(kDummyName);
}

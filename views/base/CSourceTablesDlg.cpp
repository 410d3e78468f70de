#include "CSourceTablesDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CFormula.h"
#include "CProject.h"
#include "KernelIds.h"

namespace {
constexpr int kSourceIdRole = Qt::UserRole;
constexpr int kSourceImageRole = Qt::UserRole + 1;

QIcon SourceKindIcon(int image) {
    QStyle* style = QApplication::style();
    switch (image) {
    case 8: return style->standardIcon(QStyle::SP_FileDialogInfoView);     // scalars
    case 9: return style->standardIcon(QStyle::SP_FileDialogDetailedView);  // tables
    case 13: return style->standardIcon(QStyle::SP_DesktopIcon);           // graphs
    case -1: return QIcon();
    default: return style->standardIcon(QStyle::SP_FileIcon);              // exhibits, methods, reports
    }
}
}  // namespace

CSourceTablesDlg::CSourceTablesDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_list(new QTreeWidget(this)) {
    setWindowTitle(QStringLiteral("Source Table(s)"));
    SetControlId(m_list, IDC_LIST);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({QStringLiteral("Source"), QStringLiteral("Layer")});
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionsClickable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("&Go To")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("&Close")));
    layout->addLayout(buttons);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { OnItemChanged(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) { OnDoubleClick(item); });
    // A header click orders the rows by source name or by layer name.
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_list->sortItems(column, Qt::AscendingOrder); });
}

int CSourceTablesDlg::ImageOf(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    if (kind == 5 || kind == 6) return 8;
    if ((type == 0 || type == 1 || type == 7 || type == 8) && (kind == 1 || kind == 2)) return 9;
    if (type == 1 && (kind == 3 || kind == 4)) return 10;
    if (type == 2 && (kind == 3 || kind == 4)) return 11;
    if (type == 3 && (kind == 3 || kind == 4)) return 12;
    if (id >= kGraphFlag || kind == 8) return 13;
    return -1;
}

QString CSourceTablesDlg::TitleFor(const CFormula& object) {
    QString name = QString::fromStdString(object.GetIDName(-1));
    if (QString::fromStdString(object.GetIDName(0)).compare(QStringLiteral("Exhibit Triangle"), Qt::CaseInsensitive) == 0 ||
        name.compare(QStringLiteral("Exhibit Triangle"), Qt::CaseInsensitive) == 0)
        name = QStringLiteral("Exhibit");
    name.remove(QLatin1Char('\r'));
    name.remove(QLatin1Char('\n'));
    return QStringLiteral("Source Data for ") + name;
}

BOOL CSourceTablesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_lChosenId = 0;
    m_nChosenLayer = 0;
    m_list->clear();
    if (m_pObject != nullptr) setWindowTitle(TitleFor(*m_pObject));
    const QFontMetrics metrics(m_list->font());
    const int firstWidth = metrics.horizontalAdvance(QStringLiteral("wwwwwwwww"));
    int width = firstWidth;
    if (m_pObject != nullptr) {
        for (const CFormula* source : m_pObject->GetSources()) {
            if (source == nullptr) continue;
            const QSID id = source->GetIDNum();
            std::string layerName;
            if (m_pProject != nullptr) m_pProject->GetNameLayer(layerName, GetIDLayer(id));
            const QString name = QString::fromStdString(source->GetIDName(-1));
            auto* item = new QTreeWidgetItem(m_list, {name, QString::fromStdString(layerName)});
            const int image = ImageOf(id);
            item->setData(0, kSourceIdRole, qlonglong(id));
            item->setData(0, kSourceImageRole, image);
            item->setIcon(0, SourceKindIcon(image));
            width = std::max(width, metrics.horizontalAdvance(name) + metrics.horizontalAdvance(QStringLiteral("Source")));
        }
    }
    m_list->setColumnWidth(0, width);
    m_list->header()->setStretchLastSection(true);  // the layer column fills the rest
    if (m_list->topLevelItemCount() > 0) m_list->topLevelItem(0)->setSelected(true);
    OnItemChanged();
    return TRUE;
}

void CSourceTablesDlg::OnItemChanged() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        m_lChosenId = 0;
        m_nChosenLayer = 0;
    } else {
        m_lChosenId = QSID(selected.front()->data(0, kSourceIdRole).toLongLong());
        m_nChosenLayer = GetIDLayer(m_lChosenId);
    }
    if (QWidget* go = GetDlgItem(IDOK)) go->setEnabled(!selected.isEmpty());
}

void CSourceTablesDlg::OnDoubleClick(QTreeWidgetItem*) {
    if (QWidget* go = GetDlgItem(IDOK); go != nullptr && go->isEnabled()) OnOK();
}

void CSourceTablesDlg::OnOK() {
    if (m_list->selectedItems().isEmpty()) return;
    EndDialog(IDOK);
}

#include "CFillSelectedsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CExhibit.h"
#include "CProject.h"
#include "ExhibitDialogWidgets.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "WaitCursor.h"

using namespace qs::views;

namespace {

// Whether an exhibit holds selected factors on a layer.
bool ExhibitHasSelections(CProject* project, QSID id, unsigned short layer) {
    auto* exhibit = dynamic_cast<CExhibit*>(project->FindObject(id, layer));
    CDataObject* sdf = nullptr;
    if (exhibit == nullptr || !exhibit->HasSDF() || exhibit->GetSDFObject(sdf) != qsk::kOk || sdf == nullptr) return false;
    std::uint16_t rows = 0, cols = 0;
    sdf->GetMaxRowsCols(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            double v = 0;
            std::uint8_t f = 0;
            sdf->GetAt(r, c, v, f);
            if (f & CDataObject::CF_VALUE) return true;
        }
    return false;
}

}  // namespace

CFillSelectedsBase::CFillSelectedsBase(UINT templateId, CWnd* pParent) : CDialog(templateId, pParent) {
    m_lists = new QWidget(this);
    auto* row = new QHBoxLayout(m_lists);
    row->setContentsMargins(0, 0, 0, 0);
    m_available = SortedReportList(m_lists, {QStringLiteral("Table Name"), QStringLiteral("Layer")});
    SetControlId(m_available, IDC_AVAILABLE);
    m_chosen = SortedReportList(m_lists, {QStringLiteral("Selection"), QStringLiteral("Layer")});
    SetControlId(m_chosen, IDC_CHOSEN);
    for (QTreeWidget* list : {m_available, m_chosen}) list->setMinimumSize(280, 240);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    auto* add = new QPushButton(QStringLiteral(" >>&Add"), m_lists);
    SetControlId(add, IDC_ADD);
    auto* del = new QPushButton(QStringLiteral("&Del <<"), m_lists);
    SetControlId(del, IDC_DEL);
    middle->addWidget(add);
    middle->addWidget(del);
    middle->addStretch();
    row->addWidget(m_available, 1);
    row->addLayout(middle);
    row->addWidget(m_chosen, 1);
    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(del, &QPushButton::clicked, this, [this] { OnDel(); });
    connect(m_available, &QTreeWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_chosen, &QTreeWidget::itemDoubleClicked, this, [this] { OnDel(); });
}

void CFillSelectedsBase::AddNode(QSID node) {
    QSStringArray groupNames, tableNames;
    QSIDArray groups, tables;
    m_pProject->GetNodeSubGroups(node, groupNames, groups);
    for (QSID group : groups) AddNode(group);
    if (m_pProject->GetNodeObjects(node, tableNames, tables, 0, OnlyWithDataFlag(), 1, 1, 0) != qsk::kOk) return;
    unsigned short layers = 0;
    m_pProject->GetLayerCount(layers);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        // The data test asks about the table's selected factors.
        QSID selection = tables[i];
        SetIDDOType(selection, GetIDDOType(selection) == 1 ? 3 : 4);
        SetIDLayer(selection, 0);
        for (unsigned short layer = 1; layer <= layers; ++layer) {
            const bool exhibit = dynamic_cast<CExhibit*>(m_pProject->FindObject(tables[i], layer)) != nullptr;
            if (m_bWalkingExhibits && !exhibit) continue;
            const bool hasData = exhibit ? ExhibitHasSelections(m_pProject, tables[i], layer)
                                         : m_pProject->IDHasData(selection, layer);
            if (!Offers(hasData)) continue;
            std::string layerName;
            m_pProject->GetNameLayer(layerName, layer);
            QSID id = tables[i];
            SetIDLayer(id, layer);
            auto* item = new QTreeWidgetItem(m_available);
            item->setText(0, QString::fromStdString(tableNames[i]));
            item->setText(1, QString::fromStdString(layerName));
            item->setData(0, Qt::UserRole, qlonglong(id));
        }
    }
}

BOOL CFillSelectedsBase::OnInitDialog() {
    CDialog::OnInitDialog();
    CWaitCursor wait;
    const int layerWidth = QFontMetrics(m_available->font()).horizontalAdvance(QStringLiteral("wwwwwwwwwww"));
    for (QTreeWidget* list : {m_available, m_chosen}) {
        list->setColumnWidth(1, layerWidth);
        list->setColumnWidth(0, std::max(80, list->minimumWidth() - layerWidth - 4));
    }
    m_available->clear();
    m_chosen->clear();
    // The selected-factor tables of the tree; a project whose selections
    // live in its exhibits offers the exhibits.
    if (m_pProject != nullptr) {
        AddNode(kRootNode);
        if (m_available->topLevelItemCount() == 0) {
            m_bWalkingExhibits = true;
            AddNode(QSID(qsk::kCatExhibit));
            m_bWalkingExhibits = false;
        }
    }
    m_available->sortItems(0, Qt::AscendingOrder);
    return TRUE;
}

void CFillSelectedsBase::OnAdd() { MoveSelectedRows(m_available, m_chosen); }
void CFillSelectedsBase::OnDel() { MoveSelectedRows(m_chosen, m_available); }

bool CFillSelectedsBase::TakeTargets() {
    if (m_chosen->topLevelItemCount() == 0) {
        AfxMessageBox(QStringLiteral("At least one Table should be selected!"), MB_OK);
        m_chosen->setFocus();
        return false;
    }
    m_ids.clear();
    for (long id : RowIds(m_chosen)) m_ids.push_back(QSID(id));
    return true;
}

// ---- statistics ------------------------------------------------------------------------------------------------------

CFillSelectedsStatsDlg::CFillSelectedsStatsDlg(CWnd* pParent) : CFillSelectedsBase(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Fill Selecteds with Statistics"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* headings[] = {"Type", "Incl.\nZeros", "Excl.\nHi/Low", "Excl.\nFirst", "Excl.\nLast", "Use\nLast", "Weights"};
    for (int c = 0; c < 7; ++c) grid->addWidget(new QLabel(QString::fromLatin1(headings[c]), this), 0, c);
    auto* type = new QComboBox(this);
    SetControlId(type, IDC_TYPE);
    for (const char* t : {"Average", "Linear Trend", "Exponential Curve"}) type->addItem(QString::fromLatin1(t));
    auto* weights = new QComboBox(this);
    SetControlId(weights, IDC_WEIGHTS);
    for (const char* w : {"NONE", "VOLUME", "TIME", "USER"}) weights->addItem(QString::fromLatin1(w));
    grid->addWidget(type, 1, 0);
    for (auto [id, col] : {std::pair{int(IDC_INCLUDE_ZEROS), 1}, std::pair{int(IDC_EXCLUDE_HILO), 2}}) {
        auto* box = new QCheckBox(this);
        SetControlId(box, id);
        grid->addWidget(box, 1, col);
    }
    for (auto [id, col] : {std::pair{int(IDC_EXCLUDE_FIRST), 3}, std::pair{int(IDC_EXCLUDE_LAST), 4},
                           std::pair{int(IDC_USE_LAST), 5}}) {
        auto* edit = new QLineEdit(this);
        edit->setMaximumWidth(50);
        SetControlId(edit, id);
        grid->addWidget(edit, 1, col);
    }
    grid->addWidget(weights, 1, 6);
    layout->addLayout(grid);
    layout->addWidget(ListsWidget(), 1);
    layout->addLayout(OkCancelRow(this));
}

void CFillSelectedsStatsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_CBIndex(pDX, IDC_TYPE, m_nType);
    DDX_Check(pDX, IDC_INCLUDE_ZEROS, m_bIncludeZeros);
    DDX_Check(pDX, IDC_EXCLUDE_HILO, m_bExcludeHiLo);
    for (auto [id, value] : {std::pair{int(IDC_EXCLUDE_FIRST), &m_nExcludeFirst},
                             std::pair{int(IDC_EXCLUDE_LAST), &m_nExcludeLast}, std::pair{int(IDC_USE_LAST), &m_nUseLast}}) {
        DDX_Text(pDX, id, *value);
        DDV_MinMaxInt(pDX, *value, 0, 255);
        if (pDX->m_failed) return;
    }
    DDX_CBIndex(pDX, IDC_WEIGHTS, m_nWeights);
}

void CFillSelectedsStatsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!TakeTargets()) return;
    const int types[] = {1, 2, 4};
    m_stat = {1,
              std::uint8_t(m_nType >= 0 && m_nType < 3 ? types[m_nType] : 1),
              std::uint8_t(m_bIncludeZeros ? 1 : 0),
              std::uint8_t(m_bExcludeHiLo ? 1 : 0),
              std::uint8_t(m_nExcludeFirst),
              std::uint8_t(m_nExcludeLast),
              std::uint8_t(m_nUseLast),
              std::uint8_t(m_nWeights >= 0 && m_nWeights < 4 ? m_nWeights : 0)};
    EndDialog(IDOK);
}

// ---- factor set ------------------------------------------------------------------------------------------------------

CFillSelectedsFactorSetDlg::CFillSelectedsFactorSetDlg(CWnd* pParent) : CFillSelectedsBase(kTemplateId, pParent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListsWidget(), 1);
    auto* only = new QCheckBox(QStringLiteral("&Only with data"), this);
    SetControlId(only, IDC_ONLY_WITH_DATA);
    layout->addWidget(only);
    layout->addLayout(OkCancelRow(this));
}

BOOL CFillSelectedsFactorSetDlg::OnInitDialog() {
    CFillSelectedsBase::OnInitDialog();
    setWindowTitle(m_strCaption);
    return TRUE;
}

void CFillSelectedsFactorSetDlg::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, IDC_ONLY_WITH_DATA, m_bOnlyWithData); }

void CFillSelectedsFactorSetDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!TakeTargets()) return;
    EndDialog(IDOK);
}

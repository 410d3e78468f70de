#include "CSummaryReportOptionsDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "CProject.h"
#include "CUltWeightsDlg.h"
#include "ExhibitDialogWidgets.h"
#include "MessageBox.h"
#include "WaitCursor.h"

namespace {

constexpr int kIdRole = Qt::UserRole;

// The mark of a table the kernel flags: a small filled square.
QIcon FlagIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(0, 160, 0));
    p.drawRect(4, 4, 7, 7);
    return QIcon(pixmap);
}

QTreeWidget* MakeList(QWidget* owner, int id) {
    auto* list = new QTreeWidget(owner);
    CWnd::SetControlId(list, id);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Table Name")});
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setIconSize(QSize(16, 16));
    return list;
}

QCheckBox* MakeBox(QWidget* owner, int id, const QString& text) {
    auto* box = new QCheckBox(text, owner);
    CWnd::SetControlId(box, id);
    return box;
}

}  // namespace

CSummaryReportOptionsDlg::CSummaryReportOptionsDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent),
      m_available(MakeList(this, IDC_AVAILABLE)),
      m_selected(MakeList(this, IDC_SELECTED)),
      m_straightBox(MakeBox(this, IDC_STRAIGHT_AVERAGE, QStringLiteral("Include Straight A&verage Column"))),
      m_selectedUltimateBox(MakeBox(this, IDC_SELECTED_ULTIMATE, QStringLiteral("Include Selected &Ultimate Column"))),
      m_weightedBox(MakeBox(this, IDC_WEIGHTED_AVERAGE, QStringLiteral("Include &Weighted Average Column"))),
      m_selectWeights(new QPushButton(QStringLiteral("&Select Weights..."), this)),
      m_displayWeightsBox(MakeBox(this, IDC_DISPLAY_WEIGHTS, QStringLiteral("Dis&play Weights on Report"))) {
    setWindowTitle(QStringLiteral("Summary Report options"));
    SetControlId(m_selectWeights, IDC_SELECT_WEIGHTS);
    m_selectWeights->setAutoDefault(false);
    auto* add = new QPushButton(QStringLiteral(" >>&Add"), this);
    auto* del = new QPushButton(QStringLiteral("<<&Del"), this);
    SetControlId(add, IDC_ADD);
    SetControlId(del, IDC_DEL);
    add->setAutoDefault(false);
    del->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Available Tables"), this));
    left->addWidget(m_available, 1);
    lists->addLayout(left, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(del);
    middle->addStretch();
    lists->addLayout(middle);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Selected Tables"), this));
    right->addWidget(m_selected, 1);
    lists->addLayout(right, 1);
    layout->addLayout(lists, 1);
    layout->addWidget(m_straightBox);
    layout->addWidget(m_selectedUltimateBox);
    layout->addWidget(m_weightedBox);
    auto* weights = new QHBoxLayout;
    weights->addSpacing(20);
    weights->addWidget(m_selectWeights);
    weights->addWidget(m_displayWeightsBox);
    weights->addStretch();
    layout->addLayout(weights);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    resize(560, 420);

    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(del, &QPushButton::clicked, this, [this] { OnDel(); });
    connect(m_available, &QTreeWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_selected, &QTreeWidget::itemDoubleClicked, this, [this] { OnDel(); });
    connect(m_weightedBox, &QCheckBox::toggled, this, [this] { EnableWeightControls(); });
    connect(m_selectWeights, &QPushButton::clicked, this, [this] { OnSelectWeights(); });
}

void CSummaryReportOptionsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_STRAIGHT_AVERAGE, m_bStraightAverage);
    DDX_Check(pDX, IDC_SELECTED_ULTIMATE, m_bSelectedUltimate);
    DDX_Check(pDX, IDC_WEIGHTED_AVERAGE, m_bWeightedAverage);
    DDX_Check(pDX, IDC_DISPLAY_WEIGHTS, m_bDisplayWeights);
}

BOOL CSummaryReportOptionsDlg::OnInitDialog() {
    CWaitCursor wait;
    bool loaded = false;
    if (m_pProject != nullptr) {
        const QSSTATUS status = m_pProject->GetSummaryRptOptions(
            m_lReportId, m_nLayer, m_SelectedIds, m_AvailableIds, m_bStraightAverage, m_bSelectedUltimate,
            m_bWeightedAverage, m_Weights, m_bDisplayWeights, &m_Flags);
        loaded = status == qsk::kOk;
    }
    CDialog::OnInitDialog();
    if (!loaded) {
        m_SelectedIds.clear();
        m_AvailableIds.clear();
        m_Flags.clear();
        AfxMessageBox(QStringLiteral("Error: GetSummaryRptOptions\n"));
        EnableWeightControls();
        return TRUE;
    }
    m_SelectedCopy = m_SelectedIds;

    m_available->clear();
    m_selected->clear();
    m_available->setColumnWidth(0, m_available->width() * 2);
    m_selected->setColumnWidth(0, m_available->width() * 2);
    const QIcon flag = FlagIcon();
    for (std::size_t i = 0; i < m_AvailableIds.size(); ++i) {
        const QSID id = m_AvailableIds[i];
        std::string name;
        m_pProject->GetNameFromID(id, name);
        auto* item = new QTreeWidgetItem(m_available, {QString::fromStdString(name)});
        item->setData(0, kIdRole, qlonglong(id));
        if (i < m_Flags.size() && m_Flags[i]) item->setIcon(0, flag);
    }
    // The stored selection, in its order; a table no longer available is
    // dropped (the copy above still names it, so OK sees the change).
    QSIDArray kept;
    for (QSID id : m_SelectedIds) {
        for (int i = 0; i < m_available->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = m_available->topLevelItem(i);
            if (QSID(item->data(0, kIdRole).toLongLong()) != id) continue;
            m_selected->addTopLevelItem(m_available->takeTopLevelItem(i));
            kept.push_back(id);
            break;
        }
    }
    m_SelectedIds = kept;
    EnableWeightControls();
    return TRUE;
}

void CSummaryReportOptionsDlg::EnableWeightControls() {
    const bool on = m_weightedBox->isChecked();
    m_selectWeights->setEnabled(on);
    m_displayWeightsBox->setEnabled(on);
}

QSIDArray CSummaryReportOptionsDlg::ListIds(const QTreeWidget* list) const {
    QSIDArray ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids.push_back(QSID(list->topLevelItem(i)->data(0, kIdRole).toLongLong()));
    return ids;
}

void CSummaryReportOptionsDlg::Move(QTreeWidget* from, QTreeWidget* to) {
    qs::views::MoveSelectedRows(from, to);
    // Moved rows are appended, so the selected list's order is the order chosen.
    m_SelectedIds = ListIds(m_selected);
}

void CSummaryReportOptionsDlg::OnAdd() { Move(m_available, m_selected); }

void CSummaryReportOptionsDlg::OnDel() { Move(m_selected, m_available); }

bool CSummaryReportOptionsDlg::OnSelectWeights() {
    if (m_selected->topLevelItemCount() < 2) {
        AfxMessageBox(QStringLiteral("At least two tables must be selected from list!"));
        return false;
    }
    CWeightSettingsDlg dialog(m_pProject, this);
    dialog.SetWeightData(ListIds(m_selected), m_Weights, m_nLayer);
    if (dialog.DoModal() != IDOK) return false;
    m_Weights = dialog.Weights()->GetWeightInfo();
    m_SelectedCopy = m_SelectedIds;
    return true;
}

void CSummaryReportOptionsDlg::OnOK() {
    UpdateData(TRUE);
    if (m_SelectedIds.empty()) {
        AfxMessageBox(QStringLiteral("At least one Table must be selected from list!"));
        return;
    }
    if (m_SelectedIds != m_SelectedCopy && m_SelectedIds.size() >= 2) {
        AfxMessageBox(QStringLiteral("The table selections have changed. Now you will be asked to update\n"
                                     "the corresponding weights"));
        if (!OnSelectWeights()) return;
    }
    if (m_pProject == nullptr ||
        m_pProject->SetSummaryRptOptions(m_lReportId, m_nLayer, m_SelectedIds, m_bStraightAverage,
                                         m_bSelectedUltimate, m_bWeightedAverage, m_bDisplayWeights,
                                         m_Weights) != qsk::kOk)
        AfxMessageBox(QStringLiteral("Error: SetSummaryRptOptions\n"));
    EndDialog(IDOK);
}

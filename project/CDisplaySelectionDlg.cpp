#include "CDisplaySelectionDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "CProject.h"
#include "KernelIds.h"
#include "WaitCursor.h"

namespace {

constexpr int kCategories = 6;

QSID LayerNeutral(QSID id) {
    SetIDLayer(id, 0);
    return id;
}

}  // namespace

QSID CDisplaySelectionDlg::CategoryBase(int category) {
    static const QSID bases[kCategories] = {1000, 5000, 6000, 7000, 9000, 8000};
    return category >= 1 && category <= kCategories ? bases[category - 1] : 0;
}

QString CDisplaySelectionDlg::CategoryText(int category) {
    static const char* const texts[kCategories] = {"Input Data", "Exhibits", "Methods", "Reports", "Ultimates", "Graphs"};
    return category >= 1 && category <= kCategories ? QString::fromLatin1(texts[category - 1])
                                                    : QStringLiteral("<Unknown>");
}

CDisplaySelectionDlg::CDisplaySelectionDlg(CProject* project, CWnd* pParent)
    : CDialog(IDD, pParent), m_pProject(project) {
    setWindowTitle(QStringLiteral("Display Selection Settings"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabBar(this);
    for (int c = 1; c <= kCategories; ++c) m_tabs->addTab(CategoryText(c));
    layout->addWidget(m_tabs);
    auto* split = new QSplitter(this);
    m_tree = new QTreeWidget(split);
    m_tree->setHeaderHidden(true);
    SetControlId(m_tree, IDC_TREE);
    m_grid = new QListWidget(split);
    SetControlId(m_grid, IDC_GRID);
    split->addWidget(m_tree);
    split->addWidget(m_grid);
    split->setStretchFactor(1, 1);
    split->setMinimumSize(480, 300);
    layout->addWidget(split, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(AddButton(IDC_SELECT_ALL, QStringLiteral("&Select All")));
    row->addWidget(AddButton(IDC_UNSELECT_ALL, QStringLiteral("&Unselect All")));
    row->addStretch(1);
    row->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(row);
    MapCommand(IDC_SELECT_ALL, [this] { SelectAll(true); });
    MapCommand(IDC_UNSELECT_ALL, [this] { SelectAll(false); });

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_filling) SetCategory(index + 1);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_filling) FillGrid();
    });
    connect(m_grid, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_filling) OnObjectChecked(m_grid->row(item), item->checkState() == Qt::Checked);
    });
}

BOOL CDisplaySelectionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pProject != nullptr) m_pProject->GetShowItems(m_showList);
    for (QSID& id : m_showList) id = LayerNeutral(id);
    m_filling = true;
    m_tabs->setCurrentIndex(std::clamp(m_nCategory, 1, kCategories) - 1);
    m_filling = false;
    FillTree();
    return TRUE;
}

void CDisplaySelectionDlg::SetCategory(int category) {
    if (category == m_nCategory) return;
    m_nCategory = category;
    FillTree();
}

void CDisplaySelectionDlg::AddChildren(QTreeWidgetItem* parent, QSID node) {
    QSStringArray names;
    QSIDArray ids;
    if (m_pProject == nullptr || m_pProject->GetNodeSubGroups(node, names, ids) != 0) return;
    for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
        auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(names[i])});
        item->setData(0, Qt::UserRole, qlonglong(ids[i]));
        AddChildren(item, ids[i]);
    }
    parent->sortChildren(0, Qt::AscendingOrder);
}

void CDisplaySelectionDlg::FillTree() {
    CWaitCursor wait;
    m_filling = true;
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, {CategoryText(m_nCategory)});
    root->setData(0, Qt::UserRole, qlonglong(CategoryBase(m_nCategory)));
    AddChildren(root, CategoryBase(m_nCategory));
    m_tree->setCurrentItem(root);
    root->setExpanded(true);
    m_filling = false;
    FillGrid();
}

QSID CDisplaySelectionDlg::SelectedNode() const {
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? QSID(item->data(0, Qt::UserRole).toLongLong()) : 0;
}

void CDisplaySelectionDlg::FillGrid() {
    QSStringArray names;
    QSIDArray ids;
    if (m_pProject == nullptr || m_pProject->GetNodeObjects(SelectedNode(), names, ids, 0, 0, 1, 1, 0) != 0) return;
    std::vector<std::pair<QSID, std::string>> rows;
    for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) rows.emplace_back(LayerNeutral(ids[i]), names[i]);
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    m_rows = std::move(rows);
    m_filling = true;
    m_grid->clear();
    for (const auto& [id, name] : m_rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), m_grid);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(IsShown(id) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

bool CDisplaySelectionDlg::IsShown(QSID id) const {
    return std::find(m_showList.begin(), m_showList.end(), id) != m_showList.end();
}

void CDisplaySelectionDlg::Show(QSID id, bool shown) {
    id = LayerNeutral(id);
    const auto at = std::find(m_showList.begin(), m_showList.end(), id);
    if (shown && at == m_showList.end()) m_showList.push_back(id);
    else if (!shown && at != m_showList.end()) m_showList.erase(at);
}

void CDisplaySelectionDlg::OnObjectChecked(int row, bool checked) {
    const QListWidgetItem* item = m_grid->item(row);
    if (item == nullptr) return;
    const std::string name = item->text().toStdString();
    for (const auto& [id, rowName] : m_rows)
        if (rowName == name) {
            Show(id, checked);
            return;
        }
}

void CDisplaySelectionDlg::SelectAll(bool select) {
    QSStringArray names;
    QSIDArray ids;
    if (m_pProject != nullptr && m_pProject->GetNodeObjects(SelectedNode(), names, ids, 0, 0, 1, 1, 0) == 0)
        for (QSID id : ids) Show(id, select);
    FillGrid();
}

void CDisplaySelectionDlg::OnOK() {
    if (m_pProject != nullptr) m_pProject->SetShowItems(m_showList);
    CDialog::OnOK();
}

namespace qs::project {
void RunDisplaySelection(CProject* project, CWnd* parent) {
    if (project == nullptr) return;
    CDisplaySelectionDlg dialog(project, parent);
    dialog.DoModal();
}
}  // namespace qs::project

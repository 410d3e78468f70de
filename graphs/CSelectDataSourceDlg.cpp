#include "CSelectDataSourceDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CGraph.h"
#include "CGraphIterators.h"
#include "CProject.h"
#include "GraphHost.h"
#include "KernelIds.h"

namespace {

struct Category {
    const char* tab;
    QSID node;
    const char* root;
};
const Category kCategories[] = {{"Inputs", 1000, "Input Data"},
                                {"Exhibits", 5000, "Exhibits"},
                                {"Methods", 6000, "Methods"},
                                {"Reports", 7000, "Reports"},
                                {"Ultimates", 9000, "Ultimates"}};

constexpr int kIdRole = Qt::UserRole;

}  // namespace

CSelectDataSourceDlg::CSelectDataSourceDlg(CProject* project, CTableIterator* current, CGraphTableInserter* inserter,
                                           CWnd* pParent)
    : CDialog(IDD, pParent), m_pProject(project), m_pCurrent(current), m_pInserter(inserter) {
    setWindowTitle(QStringLiteral("Select Data Source"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);

    auto* left = new QVBoxLayout;
    m_pTabs = new QTabBar(this);
    SetControlId(m_pTabs, IDC_TABS);
    for (const Category& c : kCategories) m_pTabs->addTab(QString::fromLatin1(c.tab));
    left->addWidget(m_pTabs);
    auto* browse = new QHBoxLayout;
    m_pTree = new QTreeWidget(this);
    SetControlId(m_pTree, IDC_TREE);
    m_pTree->setHeaderHidden(true);
    m_pTree->setMinimumWidth(180);
    m_pObjects = new QListWidget(this);
    SetControlId(m_pObjects, IDC_OBJECTS);
    m_pObjects->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pObjects->setMinimumWidth(240);
    browse->addWidget(m_pTree);
    browse->addWidget(m_pObjects, 1);
    left->addLayout(browse);
    columns->addLayout(left, 3);

    auto* middle = new QVBoxLayout;
    auto* layerBox = new QGroupBox(QStringLiteral("Layer"), this);
    auto* layerLayout = new QVBoxLayout(layerBox);
    m_pLayers = new QButtonGroup(this);
    const struct {
        UINT id;
        const char* text;
        int layer;
    } layers[] = {{IDC_CURRENT, "C&urrent", 0}, {IDC_NET, "&Net", 1},    {IDC_GROSS, "&Gross", 2},
                  {IDC_CEDED, "C&eded", 3},     {IDC_DIRECT, "&Direct", 4}, {IDC_ASSUMED, "A&ssumed", 5}};
    for (const auto& l : layers) {
        auto* b = new QRadioButton(QString::fromLatin1(l.text), layerBox);
        SetControlId(b, int(l.id));
        m_pLayers->addButton(b, l.layer);
        layerLayout->addWidget(b);
    }
    middle->addWidget(layerBox);
    m_pSelect = AddButton(IDC_SELECT, QStringLiteral("&Select >>"));
    m_pUnselect = AddButton(IDC_UNSELECT, QStringLiteral("<< &Unselect"));
    m_pClearAll = AddButton(IDC_CLEAR_ALL, QStringLiteral("C&lear All"));
    for (QPushButton* b : {m_pSelect, m_pUnselect, m_pClearAll}) middle->addWidget(b);
    middle->addStretch(1);
    columns->addLayout(middle);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Selected Tables to Graph:"), this));
    m_pSelected = new QTreeWidget(this);
    SetControlId(m_pSelected, IDC_SELECTED);
    m_pSelected->setColumnCount(2);
    m_pSelected->setHeaderLabels({QStringLiteral("Table Name"), QStringLiteral("Layer")});
    m_pSelected->setRootIsDecorated(false);
    m_pSelected->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pSelected->setMinimumWidth(260);
    m_pSelected->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* withArrows = new QHBoxLayout;
    withArrows->addWidget(m_pSelected, 1);
    auto* arrows = new QVBoxLayout;
    m_pUp = AddButton(IDC_UP, QString());
    m_pDown = AddButton(IDC_DOWN, QString());
    m_pUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    m_pDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_pUp->setToolTip(QStringLiteral("Move up"));
    m_pDown->setToolTip(QStringLiteral("Move down"));
    arrows->addStretch(1);
    arrows->addWidget(m_pUp);
    arrows->addWidget(m_pDown);
    arrows->addStretch(1);
    withArrows->addLayout(arrows);
    right->addLayout(withArrows);
    columns->addLayout(right, 3);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    resize(900, 420);

    MapCommand(IDC_SELECT, [this] { OnSelect(); });
    MapCommand(IDC_UNSELECT, [this] { OnUnselect(); });
    MapCommand(IDC_CLEAR_ALL, [this] { OnClearAll(); });
    MapCommand(IDC_UP, [this] { OnMove(-1); });
    MapCommand(IDC_DOWN, [this] { OnMove(1); });
    connect(m_pTabs, &QTabBar::currentChanged, this, [this] { BuildTree(); });
    connect(m_pTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) FillObjects(item->data(0, kIdRole).value<QSID>());
    });
    connect(m_pObjects, &QListWidget::itemDoubleClicked, this, [this] { OnSelect(); });
    connect(m_pSelected, &QTreeWidget::itemDoubleClicked, this, [this] { OnUnselect(); });
    connect(m_pObjects, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_pSelected, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
}

QString CSelectDataSourceDlg::LayerName(unsigned short layer) {
    static const char* const names[] = {"Current", "Net", "Gross", "Ceded", "Direct", "Assumed"};
    return layer <= 5 ? QString::fromLatin1(names[layer]) : QStringLiteral("Unknown");
}

BOOL CSelectDataSourceDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_pLayers->button(0)->setChecked(true);
    BuildTree();
    if (m_pCurrent != nullptr && m_pProject != nullptr) {
        m_pCurrent->Reset();
        for (CTableAdapter* a = nullptr; m_pCurrent->GetNext(a);) {
            const QSID id = static_cast<QSID>(a->GetID());
            std::string name;
            m_pProject->GetNameFromID(id, name);
            AddSelected(id, QString::fromStdString(name));
        }
        m_pCurrent->Reset();
    }
    UpdateButtons();
    return TRUE;
}

void CSelectDataSourceDlg::ShowTab(int tab) {
    if (tab >= 0 && tab < m_pTabs->count()) m_pTabs->setCurrentIndex(tab);
}

void CSelectDataSourceDlg::BuildTree() {
    m_pTree->clear();
    m_pObjects->clear();
    const int tab = std::max(0, m_pTabs->currentIndex());
    const Category& c = kCategories[tab];
    auto* root = new QTreeWidgetItem(m_pTree, {QString::fromLatin1(c.root)});
    root->setData(0, kIdRole, QVariant::fromValue<QSID>(c.node));
    AddSubgroups(root, c.node, 0);
    m_pTree->expandAll();
    m_pTree->setCurrentItem(root);
    FillObjects(c.node);
}

void CSelectDataSourceDlg::AddSubgroups(QTreeWidgetItem* parent, QSID node, int depth) {
    if (m_pProject == nullptr || depth > 32) return;
    QSStringArray names;
    QSIDArray ids;
    if (m_pProject->GetNodeSubGroups(node, names, ids) != qsk::kOk) return;
    for (size_t i = 0; i < ids.size() && i < names.size(); ++i) {
        auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(names[i])});
        item->setData(0, kIdRole, QVariant::fromValue<QSID>(ids[i]));
        AddSubgroups(item, ids[i], depth + 1);
    }
}

bool CSelectDataSourceDlg::SelectNode(QSID node) {
    for (QTreeWidgetItemIterator it(m_pTree); *it; ++it)
        if ((*it)->data(0, kIdRole).value<QSID>() == node) {
            m_pTree->setCurrentItem(*it);
            return true;
        }
    return false;
}

void CSelectDataSourceDlg::FillObjects(QSID node) {
    m_pObjects->clear();
    if (m_pProject == nullptr) return;
    int dataOnly = 0, entered = 1, calculated = 1, selected = 0;
    if (qs::graphs::Host().navigatorDisplay) qs::graphs::Host().navigatorDisplay(dataOnly, entered, calculated, selected);
    QSStringArray names;
    QSIDArray ids;
    if (m_pProject->GetNodeObjects(node, names, ids, 1, dataOnly, entered, calculated, selected) != qsk::kOk) return;
    for (size_t i = 0; i < ids.size() && i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(names[i]), m_pObjects);
        item->setData(kIdRole, QVariant::fromValue<QSID>(ids[i]));
    }
    UpdateButtons();
}

bool CSelectDataSourceDlg::ChooseObjects(const std::vector<QSID>& ids) {
    m_pObjects->clearSelection();
    int found = 0;
    for (int i = 0; i < m_pObjects->count(); ++i) {
        QListWidgetItem* item = m_pObjects->item(i);
        const QSID id = item->data(kIdRole).value<QSID>();
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) {
            item->setSelected(true);
            ++found;
        }
    }
    return found == int(ids.size());
}

void CSelectDataSourceDlg::SetLayer(unsigned short layer) {
    if (QAbstractButton* b = m_pLayers->button(layer)) b->setChecked(true);
}

unsigned short CSelectDataSourceDlg::ChosenLayer() const {
    const int id = m_pLayers->checkedId();
    return static_cast<unsigned short>(id < 0 ? 0 : id);
}

void CSelectDataSourceDlg::AddSelected(QSID id, const QString& name) {
    for (int i = 0; i < m_pSelected->topLevelItemCount(); ++i)
        if (m_pSelected->topLevelItem(i)->data(0, kIdRole).value<QSID>() == id) return;
    auto* item = new QTreeWidgetItem(m_pSelected, {name, LayerName(GetIDLayer(id))});
    item->setData(0, kIdRole, QVariant::fromValue<QSID>(id));
}

void CSelectDataSourceDlg::OnSelect() {
    const unsigned short layer = ChosenLayer();
    for (int i = 0; i < m_pObjects->count(); ++i) {
        QListWidgetItem* item = m_pObjects->item(i);
        if (!item->isSelected()) continue;
        QSID id = item->data(kIdRole).value<QSID>();
        SetIDLayer(id, layer);
        AddSelected(id, item->text().trimmed());
    }
    UpdateButtons();
}

void CSelectDataSourceDlg::OnUnselect() {
    for (QTreeWidgetItem* item : m_pSelected->selectedItems()) delete item;
    UpdateButtons();
}

void CSelectDataSourceDlg::OnClearAll() {
    m_pSelected->clear();
    UpdateButtons();
}

void CSelectDataSourceDlg::OnMove(int delta) {
    QTreeWidgetItem* item = m_pSelected->currentItem();
    if (item == nullptr) return;
    const int from = m_pSelected->indexOfTopLevelItem(item);
    const int to = from + delta;
    if (to < 0 || to >= m_pSelected->topLevelItemCount()) return;
    m_pSelected->takeTopLevelItem(from);
    m_pSelected->insertTopLevelItem(to, item);
    m_pSelected->clearSelection();
    m_pSelected->setCurrentItem(item);
    item->setSelected(true);
    m_pSelected->setFocus();
    UpdateButtons();
}

std::vector<QSID> CSelectDataSourceDlg::SelectedIds() const {
    std::vector<QSID> ids;
    for (int i = 0; i < m_pSelected->topLevelItemCount(); ++i)
        ids.push_back(m_pSelected->topLevelItem(i)->data(0, kIdRole).value<QSID>());
    return ids;
}

void CSelectDataSourceDlg::UpdateButtons() {
    const bool chosen = !m_pObjects->selectedItems().isEmpty();
    const bool picked = !m_pSelected->selectedItems().isEmpty();
    m_pSelect->setEnabled(chosen);
    m_pUnselect->setEnabled(picked);
    m_pClearAll->setEnabled(m_pSelected->topLevelItemCount() > 0);
    QTreeWidgetItem* current = m_pSelected->currentItem();
    const int row = current ? m_pSelected->indexOfTopLevelItem(current) : -1;
    m_pUp->setEnabled(picked && row > 0);
    m_pDown->setEnabled(picked && row >= 0 && row + 1 < m_pSelected->topLevelItemCount());
}

void CSelectDataSourceDlg::OnOK() {
    const std::vector<QSID> ids = SelectedIds();
    if (ids.empty()) {
        // A graph of nothing would open as an empty window.
        AfxMessageBox(QStringLiteral("Please select at least one table to graph."), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (m_pInserter != nullptr)
        for (QSID id : ids) m_pInserter->Add(long(id));
    CDialog::OnOK();
}

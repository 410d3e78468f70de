#include "CPrintListDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "CEditPageSetup.h"
#include "CPrintList.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "PrintHost.h"
#include "PrintListIds.h"

using namespace qs::print;

namespace {

const QSID kCategoryBases[6] = {1000, 5000, 6000, 7000, 9000, 8000};
const char* const kCategoryRoots[6] = {"Input Data", "Exhibits", "Methods", "Reports", "Ultimates", "Graphs"};

void AddGroups(CProject* project, QTreeWidgetItem* parent, QSID node, int depth) {
    if (project == nullptr || depth > 8) return;
    QSStringArray names;
    QSIDArray ids;
    project->GetNodeSubGroups(node, names, ids);
    for (std::size_t i = 0; i < ids.size() && i < names.size(); ++i) {
        auto* item = new QTreeWidgetItem(parent, {QString::fromStdString(names[i])});
        item->setData(0, Qt::UserRole, ids[i]);
        AddGroups(project, item, ids[i], depth + 1);
    }
}

std::vector<int> SelectedRows(QTreeWidget* tree) {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : tree->selectedItems()) rows.push_back(tree->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

// ---- Tables ----------------------------------------------------------------------------

CPrintListTablesPage::CPrintListTablesPage(CPrintList& list, QWidget* parent)
    : CTabPageDialog(415, parent), m_list(list) {
    auto* layout = new QGridLayout(this);
    auto* categories = new QHBoxLayout;
    const char* categoryLabels[6] = {"&Input", "&Exhibits", "&Methods", "&Reports", "&Ultimates", "&Graphs"};
    const int categoryIds[6] = {1086, 1087, 1191, 1095, 1096, 1097};
    for (int i = 0; i < 6; ++i) {
        m_pCategories[i] = new QPushButton(QString::fromLatin1(categoryLabels[i]), this);
        m_pCategories[i]->setCheckable(true);
        m_pCategories[i]->setAutoExclusive(true);
        SetControlId(m_pCategories[i], categoryIds[i]);
        categories->addWidget(m_pCategories[i]);
        connect(m_pCategories[i], &QPushButton::clicked, this, [this, i] { ChooseCategory(i); });
    }
    layout->addLayout(categories, 0, 0, 1, 3);

    m_pGroups = new QTreeWidget(this);
    m_pGroups->setHeaderHidden(true);
    SetControlId(m_pGroups, 1089);
    m_pTables = new QTreeWidget(this);
    m_pTables->setHeaderLabels({QStringLiteral("Table Name"), QStringLiteral("Selected"), QStringLiteral("Layer")});
    m_pTables->setRootIsDecorated(false);
    m_pTables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pTables->header()->setStretchLastSection(false);
    m_pTables->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pTables->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_pTables->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_pTables->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("wwwwwww")) * 5);
    SetControlId(m_pTables, 1129);
    m_pEntries = new QTreeWidget(this);
    m_pEntries->setHeaderLabels({QStringLiteral("Print List"), QStringLiteral("Layer")});
    m_pEntries->setRootIsDecorated(false);
    m_pEntries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pEntries->header()->setStretchLastSection(false);
    m_pEntries->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pEntries->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_pEntries->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("wwwwwww")) * 5);
    SetControlId(m_pEntries, 1156);

    auto* left = new QVBoxLayout;
    left->addWidget(m_pGroups, 1);
    auto* layerRow = new QHBoxLayout;
    m_pLayer = new QComboBox(this);
    SetControlId(m_pLayer, 102);
    m_pLayer->addItem(QStringLiteral("All Layers"), 0);
    if (CProject* project = list.project())
        for (unsigned short l = 1; l <= 5; ++l) {
            std::string name;
            project->GetNameLayer(name, l);
            m_pLayer->addItem(QString::fromStdString(name), int(l));
        }
    auto* layerLabel = new QLabel(QStringLiteral("&Layer:"), this);
    layerLabel->setBuddy(m_pLayer);
    layerRow->addWidget(layerLabel);
    layerRow->addWidget(m_pLayer, 1);
    left->addLayout(layerRow);
    m_pDataOnly = new QCheckBox(QStringLiteral("S&how Only Tables with Data"), this);
    SetControlId(m_pDataOnly, 1168);
    left->addWidget(m_pDataOnly);
    layout->addLayout(left, 1, 0);
    layout->addWidget(m_pTables, 1, 1);

    auto* middle = new QVBoxLayout;
    const auto button = [this, middle](const QString& text, int id, auto handler) {
        auto* b = new QPushButton(text, this);
        SetControlId(b, id);
        middle->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_pSelectTable = button(QStringLiteral("&Select\nTable"), 1130, [this] { OnSelectTable(false); });
    m_pSelectGraph = button(QStringLiteral("Select\n&Graph"), 1250, [this] { OnSelectTable(true); });
    button(QStringLiteral("Deselec&t"), 1088, [this] { OnDeselect(); });
    button(QStringLiteral("Deselect\nA&ll"), 1093, [this] { OnDeselectAll(); });
    button(QStringLiteral("Page\n&Break"), 1198, [this] { OnPageBreak(); });
    button(QStringLiteral("Ne&w Page\nSetup"), 1448, [this] { OnNewPageSetup(); });
    button(QStringLiteral("C&hange..."), 1449, [this] { OnChangeEntry(); });
    button(QStringLiteral("Page Setup Default"), 1190, [this] {
        if (Host().defaultPageSetup) Host().defaultPageSetup(m_list.document());
    });
    button(QStringLiteral("Up "), 1065, [this] { OnMove(-1); });
    button(QStringLiteral("Down"), 1066, [this] { OnMove(1); });
    middle->addStretch();
    layout->addLayout(middle, 1, 2);
    layout->addWidget(m_pEntries, 1, 3);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(3, 3);

    if (Host().applicationMode) {
        const int mode = Host().applicationMode();
        if (mode == 2 || mode == 3 || mode == 9) {
            m_pDataOnly->setChecked(false);
            m_pDataOnly->setEnabled(false);
        }
    }
    connect(m_pGroups, &QTreeWidget::currentItemChanged, this, [this] { FillTables(); });
    connect(m_pLayer, &QComboBox::currentIndexChanged, this, [this] { FillTables(); });
    connect(m_pDataOnly, &QCheckBox::toggled, this, [this] { FillTables(); });
    connect(m_pTables, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_nCategory != 5) OnSelectTable(false);
    });
    connect(m_pEntries, &QTreeWidget::itemDoubleClicked, this, [this] { OnChangeEntry(); });
    m_pCategories[0]->setChecked(true);
    ChooseCategory(0);
    Refresh();
}

void CPrintListTablesPage::ChooseCategory(int category) {
    m_nCategory = std::clamp(category, 0, 5);
    m_pCategories[m_nCategory]->setChecked(true);
    m_pGroups->clear();
    auto* root = new QTreeWidgetItem(m_pGroups, {QString::fromLatin1(kCategoryRoots[m_nCategory])});
    root->setData(0, Qt::UserRole, kCategoryBases[m_nCategory]);
    AddGroups(m_list.project(), root, kCategoryBases[m_nCategory], 0);
    root->setExpanded(true);
    m_pGroups->setCurrentItem(root);
    m_pSelectTable->setEnabled(m_nCategory != 5);
    FillTables();
}

void CPrintListTablesPage::FillTables() {
    m_pTables->clear();
    CProject* project = m_list.project();
    QTreeWidgetItem* group = m_pGroups->currentItem();
    if (project == nullptr || group == nullptr) return;
    const QSID node = group->data(0, Qt::UserRole).toInt();
    const int layer = m_pLayer->currentData().toInt();
    QString layerName = m_pLayer->currentText();
    QSStringArray names;
    QSIDArray ids;
    std::vector<int> hasData;
    // Objects of the group and of its subgroups.
    std::vector<QSID> nodes{node};
    for (std::size_t n = 0; n < nodes.size() && n < 256; ++n) {
        QSStringArray subNames;
        QSIDArray subIds;
        project->GetNodeSubGroups(nodes[n], subNames, subIds);
        nodes.insert(nodes.end(), subIds.begin(), subIds.end());
    }
    std::set<QSID> present(m_list.ids().begin(), m_list.ids().end());
    const auto addRow = [&](QSID id, const QString& name) {
        QSID stored = id;
        SetIDLayer(stored, std::uint16_t(layer));
        const bool selected = present.count(stored) != 0 || present.count(GetGraphIDOf(stored)) != 0;
        auto* item = new QTreeWidgetItem(m_pTables, {name, selected ? QStringLiteral("Yes") : QString(), layerName});
        item->setData(0, Qt::UserRole, id);
    };
    for (QSID n : nodes) {
        names.clear();
        ids.clear();
        project->GetNodeDisplayObjects(n, std::uint16_t(layer), m_pDataOnly->isChecked() ? 1 : 0, 1, 1, 0, names, ids,
                                       hasData);
        for (std::size_t i = 0; i < ids.size() && i < names.size(); ++i)
            addRow(ids[i], QString::fromStdString(names[i]));
    }
    if (m_nCategory == 0) addRow(qsk::kAllArrays, QStringLiteral("  0 - All Arrays"));
    if (m_nCategory == 1) addRow(qsk::kAllExhibits, QStringLiteral("  0 - All Exhibits"));
}

int CPrintListTablesPage::InsertPosition() const {
    const std::vector<int> rows = SelectedRows(m_pEntries);
    if (QTreeWidgetItem* current = m_pEntries->currentItem(); current != nullptr && current->isSelected())
        return m_pEntries->indexOfTopLevelItem(current) + 1;
    return rows.empty() ? m_list.entryCount() : rows.back() + 1;
}

QString CPrintListTablesPage::EntryRow(int index) const {
    return QString::fromStdString(m_list.entryText(index));
}

void CPrintListTablesPage::ReloadEntries(const std::vector<int>& selected) {
    m_pEntries->clear();
    CProject* project = m_list.project();
    for (int i = 0; i < m_list.entryCount(); ++i) {
        const QSID id = m_list.entryId(i);
        QString layer;
        if (!IsMarkerEntry(id)) {
            const unsigned short l = GetIDLayer(DelGraphIDOf(id));
            if (l == 0) {
                layer = QStringLiteral("All Layers");
            } else if (project != nullptr) {
                std::string name;
                project->GetNameLayer(name, l);
                layer = QString::fromStdString(name);
            }
            if (IsGraphEntry(id)) layer += QStringLiteral(" (graph)");
        }
        new QTreeWidgetItem(m_pEntries, {EntryRow(i), layer});
    }
    for (int row : selected)
        if (QTreeWidgetItem* item = m_pEntries->topLevelItem(row)) {
            item->setSelected(true);
            m_pEntries->setCurrentItem(item, 0, QItemSelectionModel::Select);
            m_pEntries->scrollToItem(item);
        }
}

void CPrintListTablesPage::Refresh() {
    ReloadEntries({});
    m_nLargestKey = m_list.largestPageSetupKey();
    FillTables();
}

void CPrintListTablesPage::OnSelectTable(bool graph) {
    if (!m_list.canModify()) return;
    const int layer = m_pLayer->currentData().toInt();
    int at = InsertPosition();
    int last = -1;
    const QList<QTreeWidgetItem*> chosen = m_pTables->selectedItems();
    std::vector<QTreeWidgetItem*> rows(chosen.begin(), chosen.end());
    std::sort(rows.begin(), rows.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return m_pTables->indexOfTopLevelItem(a) < m_pTables->indexOfTopLevelItem(b);
    });
    for (QTreeWidgetItem* row : rows) {
        QSID id = row->data(0, Qt::UserRole).toInt();
        if (graph && !IsGraphID(id)) id = GetGraphIDOf(id);
        SetIDLayer(id, std::uint16_t(layer));
        m_list.insertEntry(at, id, row->text(0).toStdString());
        last = at++;
    }
    if (last < 0) return;
    ReloadEntries({last});
    FillTables();
    NotifyChange();
}

void CPrintListTablesPage::OnDeselect() {
    if (!m_list.canModify()) return;
    const std::vector<int> rows = SelectedRows(m_pEntries);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const QSID id = m_list.entryId(*it);
        if (IsPageSetupEntry(id)) m_list.removePageSetup(m_list.findPageSetup(CPrintListData::pageSetupKeyOf(id)));
        m_list.removeEntry(*it);
    }
    if (rows.empty()) return;
    ReloadEntries({});
    FillTables();
    NotifyChange();
}

void CPrintListTablesPage::OnDeselectAll() {
    if (!m_list.canModify() || m_pEntries->topLevelItemCount() == 0) return;
    m_list.clearEntries();
    m_nLargestKey = 0;
    ReloadEntries({});
    FillTables();
    NotifyChange();
}

void CPrintListTablesPage::OnPageBreak() {
    if (!m_list.canModify()) return;
    CPageBreakDlg dialog(0, this);
    if (dialog.DoModal() != IDOK) return;
    const int at = InsertPosition();
    m_list.insertEntry(at, PageBreakEntryId(dialog.m_nPage), std::string());
    ReloadEntries({at});
    NotifyChange();
}

void CPrintListTablesPage::OnNewPageSetup() {
    if (!m_list.canModify()) return;
    const int at = InsertPosition();
    // The page setup in effect at that place.
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    bool found = false;
    for (int i = at - 1; i >= 0 && !found; --i) {
        const QSID id = m_list.entryId(i);
        if (!IsPageSetupEntry(id)) continue;
        const int index = m_list.findPageSetup(CPrintListData::pageSetupKeyOf(id));
        if (index >= 0) {
            setup = m_list.pageSetupAt(index);
            found = true;
        }
    }
    if (!found && m_list.project() != nullptr) setup = m_list.project()->GetPageSetup();
    QStringList names;
    if (CProjectDoc* doc = m_list.document()) names = doc->GetPrintFieldNames();
    setup.SetFieldNames(&names);
    if (!setup.Edit(this, QStringLiteral("Create New Page Setup"))) return;
    m_nLargestKey = std::max(m_nLargestKey, m_list.largestPageSetupKey()) + 1;
    setup.SetKeyValue(WORD(m_nLargestKey));
    m_list.addPageSetup(setup);
    m_list.insertEntry(at, PageSetupEntryId(m_nLargestKey), std::string());
    ReloadEntries({at});
    NotifyChange();
}

void CPrintListTablesPage::OnChangeEntry() {
    if (!m_list.canModify()) return;
    QTreeWidgetItem* current = m_pEntries->currentItem();
    if (current == nullptr) return;
    const int index = m_pEntries->indexOfTopLevelItem(current);
    const QSID id = m_list.entryId(index);
    if (IsPageBreakEntry(id)) {
        CPageBreakDlg dialog(GetIDIndex(id), this);
        if (dialog.DoModal() != IDOK) return;
        m_list.setEntry(index, PageBreakEntryId(dialog.m_nPage), std::string());
    } else if (IsPageSetupEntry(id)) {
        const int at = m_list.findPageSetup(CPrintListData::pageSetupKeyOf(id));
        if (at < 0) return;
        QStringList names;
        if (CProjectDoc* doc = m_list.document()) names = doc->GetPrintFieldNames();
        CEditPageSetup copy(m_list.pageSetupAt(at), &names);
        if (!copy.Edit(this, QStringLiteral("Change Page Setup"))) return;
        m_list.pageSetupAt(at) = copy;
    } else {
        return;
    }
    ReloadEntries({index});
    NotifyChange();
}

void CPrintListTablesPage::OnMove(int direction) {
    if (!m_list.canModify()) return;
    std::vector<int> rows = SelectedRows(m_pEntries);
    if (rows.empty()) return;
    if (direction > 0) std::reverse(rows.begin(), rows.end());
    std::vector<int> moved;
    for (int row : rows) moved.push_back(m_list.moveEntry(row, direction) ? row + direction : row);
    ReloadEntries(moved);
    NotifyChange();
}

// ---- Options ---------------------------------------------------------------------------

CPrintListOptionsPage::CPrintListOptionsPage(CPrintList& list, QWidget* parent)
    : CTabPageDialog(416, parent), m_list(list) {
    auto* layout = new QVBoxLayout(this);
    m_pCRX = new QCheckBox(QStringLiteral("Print &Duvi Rozire Vididaze"), this);
    m_pSummary = new QCheckBox(Host().fileStorage ? QStringLiteral("Print File Summar&y") : QStringLiteral("Print Summar&y"), this);
    m_pNotes = new QCheckBox(QStringLiteral("Print Cell &Notes"), this);
    m_pAllExhibits = new QCheckBox(QStringLiteral("Print All E&xhibits from Printing Arrays"), this);
    const struct {
        QCheckBox* box;
        int id;
        std::int32_t CPrintListOption::*option;
    } boxes[4] = {{m_pCRX, 1136, &CPrintListOption::m_bPrintCRX},
                  {m_pSummary, 1134, &CPrintListOption::m_bPrintFileSummary},
                  {m_pNotes, 1135, &CPrintListOption::m_bPrintCellNotes},
                  {m_pAllExhibits, 1146, &CPrintListOption::m_bPrintAllExhibits}};
    for (const auto& b : boxes) {
        SetControlId(b.box, b.id);
        layout->addWidget(b.box);
        connect(b.box, &QCheckBox::clicked, this, [this, option = b.option](bool on) {
            m_list.*option = on ? 1 : 0;
            NotifyChange();
        });
    }
    layout->addStretch();
    Refresh();
}

void CPrintListOptionsPage::Refresh() {
    m_pCRX->setChecked(m_list.m_bPrintCRX != 0);
    m_pSummary->setChecked(m_list.m_bPrintFileSummary != 0);
    m_pNotes->setChecked(m_list.m_bPrintCellNotes != 0);
    m_pAllExhibits->setChecked(m_list.m_bPrintAllExhibits != 0);
}

void CPrintListTabCtrl::CreatePages() {
    m_pTables = new CPrintListTablesPage(m_list, this);
    m_pOptions = new CPrintListOptionsPage(m_list, this);
    AddPage(m_pTables, QStringLiteral("Tables"));
    AddPage(m_pOptions, QStringLiteral("Options"));
}

// ---- the dialog --------------------------------------------------------------------------

CPrintListDlg::CPrintListDlg(CPrintList* list, QWidget* parent) : CTabDialog(kTemplateId, parent), m_pList(list) {
    auto* layout = new QVBoxLayout(this);
    m_pTabs = new CPrintListTabCtrl(*list, this);
    SetTabCtrl(m_pTabs);
    layout->addWidget(m_pTabs, 1);
    auto* buttons = new QHBoxLayout;
    m_pPrint = new QPushButton(QStringLiteral("&Print"), this);
    SetControlId(m_pPrint, IDOK);
    const auto add = [this, buttons](QPushButton* b, auto handler) {
        buttons->addWidget(b);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
    };
    const auto made = [this](const QString& text, int id) {
        auto* b = new QPushButton(text, this);
        SetControlId(b, id);
        return b;
    };
    add(m_pPrint, [this] { OnPrint(); });
    add(made(QStringLiteral("&Open..."), IDC_OPEN), [this] { OnOpen(); });
    add(made(QStringLiteral("Save &As..."), IDC_SAVE_AS), [this] { OnSaveAs(); });
    add(made(QStringLiteral("&Done"), IDC_DONE), [this] { OnDone(); });
    add(made(QStringLiteral("Cancel"), IDCANCEL), [this] { OnCancel(); });
    add(made(QStringLiteral("Printer Set&up"), IDC_PRINTER_SETUP), [] {
        if (Host().printerSetup) Host().printerSetup();
    });
    layout->addLayout(buttons);
    m_pTabs->CreatePages();
    m_pPrint->setEnabled(list->mayPrint() != FALSE);
    TakeSnapshot();
    UpdateControls();
    resize(1180, 560);
}

CPrintListDlg::~CPrintListDlg() = default;

void CPrintListDlg::TakeSnapshot() { m_pSnapshot = m_pList->clone(); }

void CPrintListDlg::UpdateControls() { setWindowTitle(m_pList->dialogTitle()); }

void CPrintListDlg::OnPrint() {
    if (!m_pList->mayPrint()) return;
    if (Host().enableMainWindow) Host().enableMainWindow(false);
    setEnabled(false);
    m_pList->print();
    setEnabled(true);
    if (Host().enableMainWindow) Host().enableMainWindow(true);
}

void CPrintListDlg::OnDone() {
    if (m_pList->save()) EndDialog(IDC_DONE);
}

void CPrintListDlg::OnSaveAs() {
    if (!m_pList->saveAs()) return;
    TakeSnapshot();
    RefreshPages();
    UpdateControls();
}

void CPrintListDlg::OnOpen() {
    if (!ChangeCheck()) return;
    if (!m_pList->open()) return;
    TakeSnapshot();
    RefreshPages();
    UpdateControls();
}

void CPrintListDlg::OnCancel() {
    if (ChangeCheck()) EndDialog(IDCANCEL);
}

bool CPrintListDlg::ChangeCheck() {
    if (m_pList->listKind() == 0) return true;
    // A list that stores nothing (the direct list) has nothing to save.
    if (!m_pSnapshot || m_pSnapshot->equalData(*m_pList)) return true;
    const int answer = ::MessageBox(this,
                                    QStringLiteral("The content of the current print list has changed.  Would you like "
                                                   "to save your changes before continuing?"),
                                    windowTitle(), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) return m_pList->save() != FALSE;
    return answer == IDNO;
}

void CPrintListDlg::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & Qt::AltModifier) && event->key() >= 33 && event->key() < Qt::Key_Escape)
        QApplication::beep();
    CTabDialog::keyPressEvent(event);
}

// ---- Page Break ---------------------------------------------------------------------------

CPageBreakDlg::CPageBreakDlg(int page, QWidget* parent) : CDialog(414, nullptr), m_nPage(page) {
    if (parent != nullptr) setParent(parent, windowFlags());
    setWindowTitle(QStringLiteral("Page Break"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Next Page Number"), this);
    m_pNumber = new QLineEdit(QString::number(page), this);
    SetControlId(m_pNumber, 1669);
    label->setBuddy(m_pNumber);
    row->addWidget(label);
    row->addWidget(m_pNumber);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Enter 0 to use next in sequence"), this));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    m_pNumber->selectAll();
}

void CPageBreakDlg::OnOK() {
    bool ok = false;
    const QString text = m_pNumber->text().trimmed();
    const int value = text.toInt(&ok);
    if (text.isEmpty() || !ok || value < 0 || value > 999) {
        m_pNumber->setFocus();
        m_pNumber->selectAll();
        ::MessageBox(this, QStringLiteral("Please enter a number between 0 and 999"), QStringLiteral("Invalid input"),
                     MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_nPage = value;
    CDialog::OnOK();
}

// ---- Storage choice -------------------------------------------------------------------------

CPrintListStorageDlg::CPrintListStorageDlg(const QString& caption, QWidget* parent) : CDialog(411, nullptr) {
    if (parent != nullptr) setParent(parent, windowFlags());
    setWindowTitle(caption);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(AddButton(IDOK, QStringLiteral("&Database")));
    auto* file = new QPushButton(QStringLiteral("&File (.lst)"), this);
    SetControlId(file, IDC_FILE);
    connect(file, &QPushButton::clicked, this, [this] { EndDialog(IDC_FILE); });
    layout->addWidget(file);
    layout->addWidget(AddButton(IDCANCEL, QStringLiteral("&Cancel")));
}

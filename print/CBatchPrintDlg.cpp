#include "CBatchPrintDlg.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "CBatchJob.h"
#include "CFileDialog.h"
#include "CPrintList.h"
#include "MessageBox.h"
#include "PrintHost.h"

using namespace qs::print;

// ---- the pages ---------------------------------------------------------------------------

CBatchListPage::CBatchListPage(CBatchJob& job, bool printLists, QWidget* parent)
    : CTabPageDialog(printLists ? 419 : 418, parent), m_job(job), m_bPrintLists(printLists) {
    auto* layout = new QHBoxLayout(this);
    m_pList = new QListWidget(this);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetControlId(m_pList, printLists ? 1129 : 1657);
    layout->addWidget(m_pList, 1);
    auto* buttons = new QVBoxLayout;
    const auto button = [this, buttons](const QString& text, int id, auto handler) {
        auto* b = new QPushButton(text, this);
        SetControlId(b, id);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_pInsert = button(QStringLiteral("&Insert"), 1662, [this] { OnInsert(); });
    m_pDelete = button(QStringLiteral("D&elete"), 1027, [this] { OnDelete(); });
    m_pUp = button(QStringLiteral("Move &Up"), 1065, [this] { OnMove(-1); });
    m_pDown = button(QStringLiteral("Move &Down"), 1066, [this] { OnMove(1); });
    if (printLists) {
        m_pCreate = button(QStringLiteral("&Create "), 1663, [this] { OnCreate(); });
        m_pEdit = button(QStringLiteral("Edi&t"), 1012, [this] { OnEdit(); });
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    Refresh();
}

QStringList& CBatchListPage::Strings() { return m_bPrintLists ? m_job.m_printLists : m_job.m_projectFiles; }

std::vector<int> CBatchListPage::Selected() const {
    std::vector<int> rows;
    for (QListWidgetItem* item : m_pList->selectedItems()) rows.push_back(m_pList->row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CBatchListPage::Reload(const std::vector<int>& selected) {
    m_pList->clear();
    m_pList->addItems(Strings());
    for (int row : selected)
        if (QListWidgetItem* item = m_pList->item(row)) item->setSelected(true);
    UpdateButtons();
}

void CBatchListPage::Refresh() { Reload({}); }

void CBatchListPage::UpdateButtons() {
    const std::vector<int> rows = Selected();
    const bool any = !rows.empty();
    m_pDelete->setEnabled(any);
    if (m_pEdit != nullptr) m_pEdit->setEnabled(any);
    m_pUp->setEnabled(any && rows.front() != 0);
    m_pDown->setEnabled(any && rows.back() != m_pList->count() - 1);
}

void CBatchListPage::InsertPaths(const QStringList& paths) {
    const std::vector<int> rows = Selected();
    const int at = rows.empty() ? int(Strings().size()) : rows.front();
    for (const QString& path : paths) Strings().insert(at, path);
    Reload({});
    NotifyChange();
}

void CBatchListPage::OnInsert() {
    QStringList paths;
    if (!m_bPrintLists) {
        if (!Host().chooseProjectFiles || !Host().chooseProjectFiles(paths)) return;
    } else {
        CFileDialog dialog(TRUE, QStringLiteral("lst"), QStringLiteral("*.lst"),
                           OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT,
                           QStringLiteral("Print List file (*.lst)|*.lst||"), nullptr);
        dialog.setDirectory(Host().lastFileFolder.isEmpty() ? QFileInfo(WorkingFile(QStringLiteral("x"))).absolutePath()
                                                            : Host().lastFileFolder);
        // Any number of files: the name buffer is no limit here.
        dialog.m_ofn.nMaxFile = 1u << 20;
        if (dialog.DoModal() != IDOK) return;
        paths = dialog.SelectedPaths();
    }
    if (!paths.isEmpty()) InsertPaths(paths);
}

void CBatchListPage::OnDelete() {
    const std::vector<int> rows = Selected();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) Strings().removeAt(*it);
    Reload({});
    NotifyChange();
}

void CBatchListPage::OnMove(int direction) {
    std::vector<int> rows = Selected();
    if (rows.empty()) return;
    if ((direction < 0 && rows.front() == 0) || (direction > 0 && rows.back() == m_pList->count() - 1)) return;
    if (direction > 0) std::reverse(rows.begin(), rows.end());
    std::vector<int> moved;
    for (int row : rows) {
        Strings().swapItemsAt(row, row + direction);
        moved.push_back(row + direction);
    }
    Reload(moved);
    NotifyChange();
}

void CBatchListPage::OnCreate() {
    std::unique_ptr<CPrintList> list = CPrintList::createNewPrintList(m_job.m_pOwner);
    list->edit();
    if (list->name().isEmpty()) return;
    Strings().append(list->name());
    Reload({int(Strings().size()) - 1});
    NotifyChange();
}

void CBatchListPage::OnEdit() {
    const std::vector<int> rows = Selected();
    if (rows.empty()) return;
    std::unique_ptr<CPrintList> list = CPrintList::createNewPrintList(m_job.m_pOwner);
    list->openAndEdit(Strings().at(rows.front()));
}

void CBatchTabCtrl::CreatePages() {
    m_pFiles = new CBatchListPage(m_job, false, this);
    m_pLists = new CBatchListPage(m_job, true, this);
    AddPage(m_pFiles, QStringLiteral("Files"));
    AddPage(m_pLists, QStringLiteral("Print list"));
}

// ---- the dialog --------------------------------------------------------------------------

CBatchPrintDlg::CBatchPrintDlg(CBatchJob* job, QWidget* parent) : CTabDialog(kTemplateId, parent), m_pJob(job) {
    auto* layout = new QVBoxLayout(this);
    m_pTabs = new CBatchTabCtrl(*job, this);
    SetTabCtrl(m_pTabs);
    layout->addWidget(m_pTabs, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddButton(IDOK, QStringLiteral("&Print")));
    const auto add = [this, buttons](const QString& text, int id, auto handler) {
        auto* b = new QPushButton(text, this);
        SetControlId(b, id);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
    };
    add(QStringLiteral("&Open..."), IDC_OPEN, [this] { OnOpen(); });
    add(QStringLiteral("Save &As..."), IDC_SAVE_AS, [this] { OnSaveAs(); });
    add(QStringLiteral("&Done"), IDC_DONE, [this] { OnDone(); });
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    add(QStringLiteral("Printer Set&up"), IDC_PRINTER_SETUP, [] {
        if (Host().printerSetup) Host().printerSetup();
    });
    layout->addLayout(buttons);
    m_pTabs->CreatePages();
    TakeSnapshot();
    UpdateControls();
    resize(640, 360);
}

CBatchPrintDlg::~CBatchPrintDlg() = default;

void CBatchPrintDlg::TakeSnapshot() { m_pSnapshot = std::make_unique<CBatchJob>(*m_pJob); }

void CBatchPrintDlg::UpdateControls() { setWindowTitle(CBatchJob::JobTitle(m_pSnapshot ? m_pSnapshot->m_strPath : m_pJob->m_strPath)); }

bool CBatchPrintDlg::SaveCheck() {
    if (m_pSnapshot && m_pSnapshot->m_strPath == CBatchJob::DefaultPath()) return true;
    if (m_pSnapshot && m_pSnapshot->IsEqual(*m_pJob)) return true;
    const int answer = ::MessageBox(this,
                                    QStringLiteral("The content of the current job has changed.  Would you like to save "
                                                   "your changes before continuing?"),
                                    windowTitle(), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) return m_pJob->Save() != FALSE;
    return answer == IDNO;
}

void CBatchPrintDlg::OnOK() {
    if (Host().enableMainWindow) Host().enableMainWindow(false);
    setEnabled(false);
    try {
        m_pJob->Print();
    } catch (...) {
        setEnabled(true);
        if (Host().enableMainWindow) Host().enableMainWindow(true);
        throw;
    }
    setEnabled(true);
    if (Host().enableMainWindow) Host().enableMainWindow(true);
}

void CBatchPrintDlg::OnCancel() {
    if (SaveCheck()) EndDialog(IDCANCEL);
}

void CBatchPrintDlg::OnOpen() {
    if (!SaveCheck()) return;
    if (!m_pJob->Open()) return;
    TakeSnapshot();
    RefreshPages();
    UpdateControls();
}

void CBatchPrintDlg::OnSaveAs() {
    if (!m_pJob->SaveAs()) return;
    TakeSnapshot();
    RefreshPages();
    UpdateControls();
}

void CBatchPrintDlg::OnDone() {
    if (m_pJob->Save()) EndDialog(IDCANCEL);
}

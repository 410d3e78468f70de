#include "dialogs/CLXPropSheet.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "CWinApp.h"
#include "MessageBox.h"
#include "WaitCursor.h"
#include "WindowMessages.h"
#include "dialogs/ListControls.h"
#include "frames/StatusSink.h"

namespace {

constexpr int kIndexRole = Qt::UserRole;
constexpr const char* kProduct = "statistics database";

void SetColumns(QTreeWidget* list, const QStringList& names, const std::vector<int>& widths) {
    list->setColumnCount(static_cast<int>(names.size()));
    list->setHeaderLabels(names);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        list->setColumnWidth(i, widths[i]);
        list->setColumnHidden(i, widths[i] == 0);
    }
}

QTreeWidgetItem* AddRow(QTreeWidget* list, const QString& c0, const QString& c1, long index) {
    auto* item = new QTreeWidgetItem(QStringList{c0, c1});
    item->setData(0, kIndexRole, static_cast<qlonglong>(index));
    list->addTopLevelItem(item);
    return item;
}

long IndexOf(const QTreeWidgetItem* item) { return static_cast<long>(item->data(0, kIndexRole).toLongLong()); }

// Ends the wizard as cancelled after its own message.
void EndCancelled(CPropertySheet* sheet) {
    if (sheet) sheet->EndDialog(IDCANCEL);
}

}  // namespace

// ---- the picking pages

CPickPropPage::CPickPropPage(UINT id, const QString& caption, const QString& prompt) : CPropertyPage(id, caption) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(prompt, this), 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Available"), this), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Selected"), this), 1, 2);
    m_available = new COwnerDrawListCtrl(this);
    m_selected = new COwnerDrawListCtrl(this);
    for (COwnerDrawListCtrl* list : {m_available, m_selected}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setRootIsDecorated(false);
    }
    m_available->setObjectName(QStringLiteral("available"));
    m_selected->setObjectName(QStringLiteral("selected"));
    grid->addWidget(m_available, 2, 0, 4, 1);
    grid->addWidget(m_selected, 2, 2, 4, 1);
    m_add = new QPushButton(QStringLiteral("Add"), this);
    m_remove = new QPushButton(QStringLiteral("Remove"), this);
    m_removeAll = new QPushButton(QStringLiteral("Remove All"), this);
    grid->addWidget(m_add, 2, 1);
    grid->addWidget(m_remove, 3, 1);
    grid->addWidget(m_removeAll, 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(m_removeAll, &QPushButton::clicked, this, [this] { OnRemoveAll(); });
    connect(m_available, &QTreeWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_selected, &QTreeWidget::itemDoubleClicked, this, [this] { OnRemove(); });
}

CLXPropSheet* CPickPropPage::Sheet() const { return static_cast<CLXPropSheet*>(GetSheet()); }

void CPickPropPage::MoveRows(QTreeWidget* from, QTreeWidget* to, bool all) {
    for (int i = from->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = from->topLevelItem(i);
        if (!all && !item->isSelected()) continue;
        AddRow(to, item->text(0), item->text(1), IndexOf(item));
        delete from->takeTopLevelItem(i);
    }
    UpdateButtons();
}

void CPickPropPage::UpdateButtons() {
    const bool any = m_selected->topLevelItemCount() > 0;
    m_remove->setEnabled(any);
    m_removeAll->setEnabled(any);
    if (!GetSheet()) return;
    DWORD buttons = any ? DWORD(PSWIZB_NEXT) : DWORD(0);
    if (BackAlways()) buttons |= PSWIZB_BACK;
    GetSheet()->SetWizardButtons(buttons);
}

BOOL CPickPropPage::OnSetActive() {
    if (!m_filled) {
        m_filled = true;
        if (!Fill()) {
            EndCancelled(GetSheet());
            return FALSE;
        }
    }
    UpdateButtons();
    return TRUE;
}

std::vector<long> CPickPropPage::SelectedIndexes() const {
    std::vector<long> out;
    for (int i = 0; i < m_selected->topLevelItemCount(); ++i) out.push_back(IndexOf(m_selected->topLevelItem(i)));
    return out;
}

CCompPropPage::CCompPropPage()
    : CPickPropPage(IDD, QStringLiteral("Statistics Import Wizard - Step 1 of 3"),
                    QStringLiteral("Select one or more companies:")) {
    m_available->header()->setSectionsClickable(true);
    connect(m_available->header(), &QHeaderView::sectionClicked, this, [this](int column) { SortAvailable(column); });
}

bool CCompPropPage::Fill() {
    // The pending text becomes the busy dialog's message.
    qs::app::StatusSink* status = Sheet()->Status();
    if (status) {
        status->SetStatusText(QStringLiteral("Loading the company list of the %1...").arg(kProduct));
        status->Step();
    }
    SetColumns(m_available, {QStringLiteral("NAIC Code"), QStringLiteral("Company Name")}, {65, 200});
    SetColumns(m_selected, {QStringLiteral("NAIC Code"), QStringLiteral("Company Name")}, {65, 200});
    int result = 0;
    IStatisticsDb* engine = Sheet()->Engine(&result);
    if (result != 0) {
        ::MessageBox(this,
                   QStringLiteral("The %1 subsystem failed to initialise.\nPlease make sure that the %1 CD is "
                                  "available and try again.").arg(kProduct),
                   QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!engine) {
        ::MessageBox(this, QStringLiteral("The %1 interface pointer is invalid.").arg(kProduct), QString(),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    auto failed = [this, status](const char* what) {
        ::MessageBox(this, QStringLiteral("An error occured obtaining %1.").arg(QLatin1String(what)), QString(),
                   MB_OK | MB_ICONEXCLAMATION);
        if (status) status->EndBusy();
        return false;
    };
    ICompanyList* list = nullptr;
    if (engine->GetCompanyList(&list) != 0) return failed("the company map pointer information");
    if (!list) return failed("a valid company pointer");
    int count = 0;
    if (list->GetCount(&count) != 0) return failed("the number of companies");
    for (int i = 0; i < count; ++i) {
        const char* name = nullptr;
        long number = 0;
        if (list->GetEntry(i, &name, &number) != 0) continue;
        AddRow(m_available, QString::asprintf("%05ld", number), QString::fromUtf8(name), i);
    }
    if (status) status->EndBusy();
    return true;
}

void CCompPropPage::SortAvailable(int column) {
    CWaitCursor wait;
    // Sorted on a snapshot of the rows: the comparison asks no one and shows
    // nothing, and equal keys keep their order, so sorting twice changes nothing.
    std::vector<QTreeWidgetItem*> items;
    while (m_available->topLevelItemCount() > 0) items.push_back(m_available->takeTopLevelItem(0));
    std::stable_sort(items.begin(), items.end(), [column](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        if (column == 0) return a->text(0).toLong() < b->text(0).toLong();
        return std::strcmp(a->text(1).toUtf8().constData(), b->text(1).toUtf8().constData()) < 0;
    });
    for (QTreeWidgetItem* item : items) m_available->addTopLevelItem(item);
}

CLOBPropPage::CLOBPropPage()
    : CPickPropPage(IDD, QStringLiteral("Statistics Import Wizard - Step 2 of 3"),
                    QStringLiteral("Select one or more lines of business:")) {}

bool CLOBPropPage::Fill() {
    SetColumns(m_available, {QStringLiteral("Line of Business"), QStringLiteral("LOB Variable")}, {300, 0});
    SetColumns(m_selected, {QStringLiteral("Line of Business"), QStringLiteral("LOB Variable")}, {300, 0});
    int result = 0;
    IStatisticsDb* engine = Sheet()->Engine(&result);
    if (result != 0 || !engine) {
        ::MessageBox(this, QStringLiteral("An error occured obtaining the %1 interface pointer.").arg(kProduct),
                   QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ILOBMap* map = nullptr;
    int count = 0;
    if (engine->GetLOBMap(&map) != 0 || !map) {
        ::MessageBox(this, QStringLiteral("An error occured obtaining the Line Of Business map pointer"), QString(),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (map->GetCount(&count) != 0) {
        ::MessageBox(this, QStringLiteral("An error occured obtaining the count from the Line Of Business map pointer"),
                   QString(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const char *two = nullptr, *three = nullptr;
        if (map->GetColumn2(i, &two) != 0 || map->GetColumn3(i, &three) != 0) continue;
        AddRow(m_available, QStringLiteral("(%1) %2").arg(QString::fromUtf8(two), QString::fromUtf8(three)),
               QString(), i);
    }
    return true;
}

// ---- number of files

CNumFilesPropPage::CNumFilesPropPage() : CPropertyPage(IDD, QStringLiteral("Statistics Import Wizard - Step 3 of 3")) {
    auto* box = new QVBoxLayout(this);
    m_each = new QRadioButton(
        QStringLiteral("Create one Quillstone file for each company / line of business selected"), this);
    m_summed = new QRadioButton(
        QStringLiteral("Create only one Quillstone file containing the sum of all companies / lines of business selected"),
        this);
    m_name = new QLineEdit(this);
    m_folder = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    m_prior = new QCheckBox(QStringLiteral("Import Prior row"), this);
    box->addWidget(m_each);
    box->addWidget(m_summed);
    box->addWidget(new QLabel(QStringLiteral("Enter the name of the summary file to be created (Extension must be QS5):"),
                              this));
    box->addWidget(m_name);
    box->addWidget(new QLabel(QStringLiteral("Files will be saved to:"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);
    box->addLayout(row);
    box->addWidget(m_prior);
    box->addStretch(1);
    connect(m_each, &QRadioButton::toggled, this, [this](bool on) { m_name->setEnabled(!on); });
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
}

BOOL CNumFilesPropPage::OnSetActive() {
    auto* sheet = static_cast<CLXPropSheet*>(GetSheet());
    if (!m_filled) {
        m_filled = true;
        m_each->setChecked(true);
        m_name->setEnabled(false);
        m_name->setText(QStringLiteral("Stats") + CLXPropSheet::ProjectExtension());
        CWinApp* app = AfxGetApp();
        QString folder = app ? app->GetProfileString("Settings", "LexigrovePath", "") : QString();
        if (folder.isEmpty() && app) folder = app->GetProfileString("Settings", "Files Path", "");
        m_folder->setText(folder);
        m_prior->setChecked(sheet && sheet->m_priorRow != 0);
    }
    if (sheet) sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return TRUE;
}

void CNumFilesPropPage::OnBrowse() {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Files will be saved to"), m_folder->text());
    if (!chosen.isEmpty()) m_folder->setText(QDir::toNativeSeparators(chosen));
}

void CNumFilesPropPage::Fail(QLineEdit* field, const QString& text) {
    ::MessageBox(this, text, QStringLiteral("Error (cannot proceed)"), MB_OK | MB_ICONEXCLAMATION);
    field->setFocus();
    field->selectAll();
}

LRESULT CNumFilesPropPage::OnWizardNext() {
    const QString folder = m_folder->text().trimmed();
    struct statvfs volume {};
    if (folder.isEmpty() || ::statvfs(QFile::encodeName(folder).constData(), &volume) != 0 ||
        !QFileInfo(folder).isDir()) {
        Fail(m_folder, QStringLiteral("The path does not exist."));
        return -1;
    }
    // The summary name matters only when one summed file is made.
    if (m_summed->isChecked()) {
        const QString name = m_name->text();
        const long maxName = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
        if (maxName > 0 && name.toUtf8().size() > maxName) {
            QString text = QStringLiteral("The file name you typed is too long.  ");
            if (maxName < 13)
                text += QStringLiteral("Please note that volume ") + folder +
                        QStringLiteral(" does not support long file names.");
            Fail(m_name, text);
            return -1;
        }
        const QString ext = CLXPropSheet::ProjectExtension().toUpper();
        if (name.right(4).toUpper() != ext) {
            Fail(m_name, QStringLiteral("The file name you typed does not contain an ") + ext.mid(1) +
                             QStringLiteral(" extension."));
            return -1;
        }
        if (name.contains(':') || name.contains('\\') || name.contains('/')) {
            Fail(m_name, QStringLiteral("The file name you typed contains invalid characters."));
            return -1;
        }
    }
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString("Settings", "LexigrovePath", folder);
    if (auto* sheet = static_cast<CLXPropSheet*>(GetSheet())) {
        sheet->m_priorRow = m_prior->isChecked() ? 1 : 0;
        sheet->m_folder = folder;
    }
    return 0;
}

// ---- summary

CSummaryPropPage::CSummaryPropPage() : CPropertyPage(IDD, QStringLiteral("Statistics Import Wizard - Summary")) {
    auto* box = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setMaximumHeight(60);
    m_companies = new QTreeWidget(this);
    m_lobs = new QTreeWidget(this);
    for (QTreeWidget* list : {m_companies, m_lobs}) list->setRootIsDecorated(false);
    SetColumns(m_companies, {QStringLiteral("NAIC Code"), QStringLiteral("Company Name")}, {65, 465});
    SetColumns(m_lobs, {QStringLiteral("Line of Business")}, {530});
    box->addWidget(m_text);
    box->addWidget(new QLabel(QStringLiteral("Companies selected"), this));
    box->addWidget(m_companies);
    box->addWidget(new QLabel(QStringLiteral("Lines of Business selected"), this));
    box->addWidget(m_lobs);
}

BOOL CSummaryPropPage::OnSetActive() {
    auto* sheet = static_cast<CLXPropSheet*>(GetSheet());
    if (!sheet) return TRUE;
    m_companies->clear();
    m_lobs->clear();
    QTreeWidget* companies = sheet->m_compPage.Selected();
    QTreeWidget* lobs = sheet->m_lobPage.Selected();
    for (int i = companies->topLevelItemCount() - 1; i >= 0; --i) {
        const QTreeWidgetItem* item = companies->topLevelItem(i);
        AddRow(m_companies, item->text(0), item->text(1), IndexOf(item));
    }
    for (int i = lobs->topLevelItemCount() - 1; i >= 0; --i) {
        const QTreeWidgetItem* item = lobs->topLevelItem(i);
        AddRow(m_lobs, item->text(0), QString(), IndexOf(item));
    }
    const int n = companies->topLevelItemCount() * lobs->topLevelItemCount();
    if (sheet->m_filesPage.m_each->isChecked()) {
        sheet->m_fileMode = 1;
        m_text->setPlainText(QString::asprintf("%d", n) +
                             QStringLiteral(" Quillstone file(s) will be created, one file for each company / line of "
                                            "business combination."));
    } else {
        sheet->m_fileMode = 0;
        m_text->setPlainText(QStringLiteral(
            " 1 Quillstone file will be created containing the sum of all companies and lines of business selected."));
    }
    sheet->m_summaryFileName = sheet->m_filesPage.m_name->text();
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return TRUE;
}

BOOL CSummaryPropPage::OnWizardFinish() {
    auto* sheet = static_cast<CLXPropSheet*>(GetSheet());
    if (!sheet) return TRUE;
    sheet->m_companies = sheet->m_compPage.SelectedIndexes();
    sheet->m_lobs = sheet->m_lobPage.SelectedIndexes();
    return TRUE;
}

// ---- the sheet

CLXPropSheet::CLXPropSheet(CWnd* parent, GetLexigroveInstanceFn get, ReleaseLexigroveInstanceFn release,
                           qs::app::StatusSink* status)
    : CPropertySheet(QStringLiteral("Table Wizard"), parent), m_get(get), m_release(release), m_status(status) {
    AddPage(&m_compPage);
    AddPage(&m_lobPage);
    AddPage(&m_filesPage);
    AddPage(&m_summaryPage);
    SetWizardMode();
    resize(640, 460);
}

CLXPropSheet::~CLXPropSheet() {
    if (m_release) m_release();
    m_companies.clear();
    m_lobs.clear();
}

IStatisticsDb* CLXPropSheet::Engine(int* result) const {
    IStatisticsDb* engine = nullptr;
    const int r = m_get ? m_get(&engine) : -1;
    if (result) *result = r;
    return r == 0 ? engine : nullptr;
}

// ---- conflict dialog

CStatsImportConflictDlg::CStatsImportConflictDlg(CWnd* parent) : CDialog(IDD, parent) {
    setWindowTitle(QStringLiteral("File exists"));
    auto* box = new QVBoxLayout(this);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    box->addWidget(m_message);
    auto* row = new QHBoxLayout;
    const char* const labels[] = {"&Replace", "Replace &All", "&Skip File", "S&kip All", "&Cancel import"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(labels[i]), this);
        b->setObjectName(QStringLiteral("choice%1").arg(i));
        connect(b, &QPushButton::clicked, this, [this, i] { EndDialog(i); });
        row->addWidget(b);
    }
    box->addLayout(row);
}

void CStatsImportConflictDlg::SetMessage(const QString& text) { m_message->setText(text); }
QString CStatsImportConflictDlg::Message() const { return m_message->text(); }

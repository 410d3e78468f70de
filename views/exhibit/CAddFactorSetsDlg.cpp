#include "CAddFactorSetsDlg.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextStream>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CArchive.h"
#include "CException.h"
#include "CFSLib.h"
#include "CFile.h"
#include "CFileDialog.h"
#include "CProject.h"
#include "ExhibitDialogWidgets.h"
#include "ExhibitDialogsHost.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ViewSettings.h"

using qs::views::ExhibitHost;

namespace {

bool FileMode() { return qs::views::Settings().fileMode == 1; }

QString LengthWord(int months) {
    switch (months) {
    case 1: return QStringLiteral("Months");
    case 3: return QStringLiteral("Quarters");
    case 6: return QStringLiteral("Half Years");
    case 12: return QStringLiteral("Years");
    default: return {};
    }
}

// Messages of this dialog that only a visible main window shows.
void Tell(const QString& text) { AfxMessageBoxIfVisible(text, MB_OK); }

}  // namespace

CAddFactorSetsDlg::CAddFactorSetsDlg(CProject* project, int selectionMode, CWnd* pParent, bool requirePermission,
                                     bool acceptAllAllowed)
    : CDialog(kTemplateId, pParent), m_pProject(project), m_nSelectionMode(selectionMode),
      m_bRequirePermission(requirePermission), m_pLibrary(std::make_unique<CFSLib>()) {
    const int mode = qs::views::ApplicationModeValue();
    m_bAcceptAll = !FileMode() && acceptAllAllowed && (mode == 1 || mode == 2 || mode == 3);
    setWindowTitle(QStringLiteral("Add Development Factor Sets"));
    auto* layout = new QVBoxLayout(this);
    m_path = new QLabel(QStringLiteral("File path..."), this);
    SetControlId(m_path, IDC_PATH);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_path);
    m_description = new QPlainTextEdit(this);
    SetControlId(m_description, IDC_DESCRIPTION);
    m_description->setReadOnly(true);
    m_description->setMaximumHeight(60);
    layout->addWidget(m_description);
    m_list = new QTreeWidget(this);
    SetControlId(m_list, IDC_LIST);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Factor Set Name"), QStringLiteral("# of Periods"),
                             QStringLiteral("Period Length"), QStringLiteral("First Period")});
    m_list->header()->setSectionsClickable(false);
    m_list->setSelectionMode(selectionMode == 0 ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
    const int width = QFontMetrics(m_list->font()).horizontalAdvance(QStringLiteral("wwwwwwwwwwww"));
    for (int c = 0; c < 4; ++c) m_list->setColumnWidth(c, width);
    m_list->setMinimumWidth(4 * width + 20);
    layout->addWidget(m_list, 1);
    layout->addLayout(qs::views::OkCancelRow(this));
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnOK(); });
}

CAddFactorSetsDlg::~CAddFactorSetsDlg() = default;

void CAddFactorSetsDlg::ReportFailure(const QString& text) {
    AfxMessageBoxIfVisible(text, MB_OK | MB_ICONSTOP);
    if (FileMode() || !ExhibitHost().logFilePath) return;
    QFile log(QString::fromStdString(ExhibitHost().logFilePath()));
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&log);
        out << QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")) << "  " << text;
        gbLogFileContainsError = true;
    }
}

bool CAddFactorSetsDlg::LoadFile(const QString& path) {
    m_pLibrary.reset();
    CFile file;
    if (!file.Open(path.toStdString(), CFile::modeRead | CFile::shareDenyNone)) {
        ReportFailure(QStringLiteral("File %1 could not be opened").arg(path));
        return false;
    }
    auto library = std::make_unique<CFSLib>();
    try {
        CArchive ar(&file, CArchive::load, 4096);
        library->Serialize(ar);
        ar.Close();
    } catch (const CException& e) {
        AfxMessageBox(QString::fromUtf8(e.what()), MB_OK | MB_ICONSTOP);
        return false;
    }
    file.Close();
    m_pLibrary = std::move(library);
    m_strFilePath = path;
    m_strLibraryName = path;
    m_strDescription = QString::fromStdString(m_pLibrary->GetDescription());
    m_path->setText(path);
    m_description->setPlainText(m_strDescription);
    return true;
}

bool CAddFactorSetsDlg::ChooseFromFile() {
    QString folder = ExhibitHost().filesFolderSwitch ? ExhibitHost().filesPath : ExhibitHost().lastFactorLibraryFolder;
    QString chosen;
    if (ExhibitHost().chooseLibraryFile) {
        chosen = ExhibitHost().chooseLibraryFile(QStringLiteral("Select DF Library"), folder);
    } else {
        CFileDialog dialog(TRUE, QStringLiteral("dfl"), QStringLiteral("*.dfl"), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           QStringLiteral("Factor Library (*.dfl)|*.dfl||"), this);
        dialog.m_ofn.lpstrTitle = QStringLiteral("Select DF Library");
        dialog.m_ofn.lpstrInitialDir = folder;
        if (dialog.DoModal() == IDOK) chosen = dialog.GetPathName();
    }
    if (chosen.isEmpty() || chosen.right(4).compare(QStringLiteral(".dfl"), Qt::CaseInsensitive) != 0) return false;
    if (!LoadFile(chosen)) return false;
    ExhibitHost().lastFactorLibraryFolder = QFileInfo(chosen).absolutePath();
    return true;
}

bool CAddFactorSetsDlg::ChooseFromDatabase() {
    qs::views::IExhibitLibraryStore* store = ExhibitHost().store;
    std::vector<qs::views::IExhibitLibraryStore::LibraryRecord> records, usable;
    if (!store->ListLibraries(records)) {
        ReportFailure(QStringLiteral("The Library names could not be loaded"));
        return false;
    }
    for (const auto& r : records)
        if (r.id >= 0) usable.push_back(r);
    if (usable.empty()) {
        Tell(QStringLiteral("No Factor Library found."));
        return false;
    }
    std::string name;
    if (!store->ChooseLibrary(usable, name)) return false;
    if (name.empty()) {
        Tell(QStringLiteral("The library must have a name"));
        return false;
    }
    m_pLibrary = std::make_unique<CFSLib>();
    if (!store->GetDFLfromDB(*m_pLibrary, name)) {
        Tell(QStringLiteral("The library %1 is not found").arg(QString::fromStdString(name)));
        return false;
    }
    if (m_bRequirePermission && !FileMode() && !store->CheckPermission(m_pLibrary->GetID())) {
        AfxMessageBox(QStringLiteral("You have not been granted permission to perform this task on this component.\nSee "
                                     "component's Access Properties for more information."),
                      MB_OK);
        return false;
    }
    m_strLibraryName = QString::fromStdString(name);
    m_strDescription = QString::fromStdString(m_pLibrary->GetDescription());
    m_description->setPlainText(m_strDescription);
    if (!store->LoadFactorSetsFromDB(*m_pLibrary, m_pLibrary->GetID())) {
        Tell(QStringLiteral("No factor sets found in DFL %1 \n").arg(QString::fromStdString(name)));
        return false;
    }
    return true;
}

INT_PTR CAddFactorSetsDlg::DoModal() {
    bool opened = false;
    if (!m_strFilePath.isEmpty()) {
        opened = LoadFile(m_strFilePath);
        if (opened) ExhibitHost().lastFactorLibraryFolder = QFileInfo(m_strFilePath).absolutePath();
    } else if (m_pProject != nullptr && m_pProject->GetDBManager() != nullptr && !FileMode() &&
               ExhibitHost().store != nullptr) {
        opened = ChooseFromDatabase();
    } else {
        opened = ChooseFromFile();
    }
    if (!opened || !ListFactorSets()) return IDCANCEL;
    return CDialog::DoModal();
}

BOOL CAddFactorSetsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list->setFocus();
    return TRUE;
}

bool CAddFactorSetsDlg::ListFactorSets() {
    m_list->clear();
    if (m_pLibrary == nullptr) return false;
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLength{};
    if (m_pProject != nullptr) m_pProject->GetInfoDevPrd(numDev, devLength, firstAge);
    QSStringArray names;
    m_pLibrary->GetFactorSetNames(names);
    QStyle* style = m_list->style();
    for (const std::string& name : names) {
        CFactorSet* set = nullptr;
        m_pLibrary->GetFactorSet(name, set);
        if (set == nullptr) {
            ReportFailure(QStringLiteral("Error: While displaying Factor sets\n"));
            return false;
        }
        const bool fits = m_pProject == nullptr ||
                          set->CanAdjustSize(numDev, devLength, firstAge, 0, 0, m_strPurpose.isEmpty() ? 1 : 0);
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(name));
        item->setText(1, QString::asprintf("%d", set->GetNumDevPrds()));
        item->setText(2, LengthWord(int(set->GetDevPrdLength())));
        item->setText(3, QString::asprintf("%d", set->GetFirstDevPrdLength()));
        const int image = fits ? kImageCompatible : (m_bAcceptAll ? kImageAccepted : kImageIncompatible);
        item->setData(0, Qt::UserRole, fits || m_bAcceptAll ? 1 : 0);
        item->setData(0, Qt::UserRole + 1, image);
        item->setIcon(0, style->standardIcon(image == kImageCompatible   ? QStyle::SP_DialogApplyButton
                                             : image == kImageAccepted ? QStyle::SP_MessageBoxWarning
                                                                       : QStyle::SP_DialogCancelButton));
        if (!fits) item->setToolTip(0, QStringLiteral("The structure of this factor set does not fit the project."));
        m_list->addTopLevelItem(item);
    }
    m_list->sortItems(0, Qt::AscendingOrder);
    return true;
}

void CAddFactorSetsDlg::OnOK() {
    m_chosen.clear();
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    std::vector<QTreeWidgetItem*> rows(selected.begin(), selected.end());
    std::sort(rows.begin(), rows.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return m_list->indexOfTopLevelItem(a) < m_list->indexOfTopLevelItem(b);
    });
    for (QTreeWidgetItem* item : rows)
        if (item->data(0, Qt::UserRole).toInt() == 0) {
            Tell(QStringLiteral("The structure of the Factor Set '") + item->text(0) +
                 QStringLiteral("' is not compatible with the project structure."));
            return;
        }
    for (QTreeWidgetItem* item : rows) {
        m_chosen << item->text(0);
        delete item;
    }
    if (m_chosen.isEmpty()) {
        Tell(QStringLiteral("Please select a valid Factor Set."));
        return;
    }
    EndDialog(IDOK);
}

#include "ZerofillPages.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ZeroFill.h"

namespace {

const char kPageCaption[] = "Blanks to Zeros Wizard";
const char kSheetCaption[] = "Blanks to Zero Wizard";

QLabel* AddText(QWidget* page, QVBoxLayout* layout, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), page);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

}  // namespace

// ------------------------------------------------------------------ page 1

CPropPage1::CPropPage1(ZerofillSession& session)
    : CPropertyPage(IDD, QString::fromLatin1(kPageCaption)), m_session(session) {
    auto* layout = new QVBoxLayout(this);
    AddText(this, layout,
            "This wizard will guide you through the process of converting blank cells in your Quillstone files to "
            "zeros.  Click on Next to continue.  A dialog box will be presented that will allow you to select the file "
            "or files you want to convert.");
    AddText(this, layout, "Press Cancel to abort this operation.");
    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    auto* incremental = new QCheckBox(QStringLiteral("&Use Incremental Mode"), options);
    SetControlId(incremental, IDC_INCREMENTAL);
    connect(incremental, &QCheckBox::clicked, this, [this] { OnIncrementalClicked(); });
    optionsLayout->addWidget(incremental);
    layout->addWidget(options);
    layout->addStretch(1);
}

BOOL CPropPage1::OnSetActive() {
    if (CPropertySheet* sheet = GetSheet()) {
        sheet->SetWizardButtons(PSWIZB_NEXT);
        // Page 2 ends a run with "Done"; a new run starts with Cancel again.
        if (QPushButton* cancel = sheet->Button(PSBTN_CANCEL)) cancel->setText(QStringLiteral("Cancel"));
    }
    return CPropertyPage::OnSetActive();
}

void CPropPage1::OnIncrementalClicked() { m_session.incrementalMode = IsDlgButtonChecked(IDC_INCREMENTAL) ? 1 : 0; }

LRESULT CPropPage1::OnWizardNext() {
    m_session.fileDialog = std::make_unique<CMultiFileDialog>(
        QStringLiteral("Next"), TRUE, QString(), QString(), OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
        QStringLiteral("Qstone Files (*.qs?)|*.qs?||"), this);
    CMultiFileDialog& dialog = *m_session.fileDialog;
    dialog.m_ofn.lpstrTitle = QString::fromLatin1(kSheetCaption);
    // The chooser opens over the sheet. The sheet is not hidden meanwhile:
    // hiding a modal dialog ends its modal loop, and with it the wizard.
    CPropertySheet* sheet = GetSheet();
    const INT_PTR answer = dialog.DoModal();
    if (answer == IDOK) return 0;
    const bool tooMany = CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    m_session.fileDialog.reset();
    if (tooMany) {
        // The chooser gave up on the selection; the user chooses again.
        AfxMessageBox(QStringLiteral("Too many files were selected at once.  Please select fewer files."), MB_OK);
        return -1;
    }
    if (sheet) sheet->PressButton(PSBTN_CANCEL);
    return -1;
}

// ------------------------------------------------------------------ page 2

CPropPage2::CPropPage2(ZerofillSession& session)
    : CPropertyPage(IDD, QString::fromLatin1(kPageCaption)), m_session(session) {
    auto* layout = new QVBoxLayout(this);
    AddText(this, layout,
            "This wizard is now processing your files.  Please note that the Quillstone files you selected will be "
            "renamed with a BK1, BK2, BK3, BK4 or BK5 extension prior to processing so that you will have a copy of "
            "your original files.");
    AddText(this, layout,
            "For example: Sample.QS5 will be copied to Sample.BK5 before conversion.  Sample.BK5 will be the copy of "
            "the ORIGINAL file.  After processing, Sample.QS5 will contain the modifications.  Likewise, Sample.QS4 "
            "will be copied to Sample.BK4.");
    AddText(this, layout,
            "This operation may take some time depending on the number of files selected.  Please be patient.");
    auto* status = new QLabel(this);
    status->setWordWrap(true);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SetControlId(status, IDC_STATUS);
    layout->addWidget(status);
    m_results = new QListWidget(this);
    m_results->setSelectionMode(QAbstractItemView::NoSelection);
    m_results->setWordWrap(true);
    m_results->setResizeMode(QListView::Adjust);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetControlId(m_results, IDC_RESULTS);
    layout->addWidget(m_results, 1);
    MapMessage(WM_USER, [this](WPARAM, LPARAM) { return OnStartProcessing(); });
}

void CPropPage2::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_STATUS, m_strStatus); }

BOOL CPropPage2::OnSetActive() {
    m_bStopRequested = false;
    m_results->clear();
    SetStatus(QString());
    PostMessage(WM_USER);
    return CPropertyPage::OnSetActive();
}

void CPropPage2::OnCancel() {
    // Processing ends after the file in hand.
    m_bStopRequested = true;
    CPropertyPage::OnCancel();
}

void CPropPage2::SetStatus(const QString& text) {
    m_strStatus = text;
    UpdateData(FALSE);
    if (QWidget* status = GetDlgItem(IDC_STATUS)) status->repaint();
}

void CPropPage2::LetMessagesRun() { QApplication::processEvents(QEventLoop::AllEvents); }

int CPropPage2::ProcessFile(const QString& path) {
    qs::zerofill::ProcessOptions options;
    options.incremental = m_session.incrementalMode != 0;
    const qs::zerofill::FileResult result = qs::zerofill::ProcessProjectFile(path, options);
    const QString name = QFileInfo(path).fileName();
    QString line;
    if (!result.converted)
        line = QStringLiteral("Not converted: %1").arg(name);
    else
        line = QStringLiteral("Converted %1 into %2: %3 tables, %4 blank cells filled")
                   .arg(name, QFileInfo(qs::zerofill::OutputPathFor(path)).fileName())
                   .arg(result.objects)
                   .arg(result.cells);
    auto* item = new QListWidgetItem(line, m_results);
    item->setToolTip(path);
    m_results->scrollToBottom();
    return 1;
}

LRESULT CPropPage2::OnStartProcessing() {
    if (m_processing) return 0;
    m_processing = true;
    LetMessagesRun();
    CPropertySheet* sheet = GetSheet();
    if (sheet) sheet->SetWizardButtons(0);

    QStringList paths;
    if (m_session.fileDialog)
        for (POSITION pos = m_session.fileDialog->GetStartPosition(); pos != nullptr;)
            paths << m_session.fileDialog->GetNextPathName(pos);
    const int n = int(paths.size());
    const QString question =
        n == 1 ? QStringLiteral("There is 1 file selected for processing.  Do you want to start processing the selected file?")
               : QStringLiteral("There are %1 files selected for processing.  Do you want to start processing the "
                                "selected files?")
                     .arg(n);
    if (AfxMessageBox(question, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        SetStatus(QStringLiteral("Processing cancelled."));
        m_session.fileDialog.reset();
        m_processing = false;
        if (sheet) sheet->SetActivePage(0);
        return 0;
    }
    for (const QString& path : paths) {
        SetStatus(QStringLiteral("Processing ") + path + QStringLiteral(". Please wait..."));
        ProcessFile(path);
        LetMessagesRun();
        if (m_pauseMs > 0 && !m_bStopRequested) {
            QEventLoop pause;
            QTimer::singleShot(m_pauseMs, &pause, &QEventLoop::quit);
            pause.exec();
        }
        if (m_bStopRequested) break;
    }
    SetStatus(QStringLiteral("Processing is complete."));
    m_session.fileDialog.reset();
    if (sheet) {
        sheet->SetWizardButtons(PSWIZB_BACK);
        if (QPushButton* cancel = sheet->Button(PSBTN_CANCEL)) cancel->setText(QStringLiteral("Done"));
    }
    m_processing = false;
    return 0;
}

// ------------------------------------------------------------------ sheet

CZerofillSheet::CZerofillSheet()
    : CPropertySheet(QString::fromLatin1(kSheetCaption)), m_page1(m_session), m_page2(m_session) {
    AddPage(&m_page1);
    AddPage(&m_page2);
    SetWizardMode();
}

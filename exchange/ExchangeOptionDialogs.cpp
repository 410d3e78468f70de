#include "ExchangeOptionDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "WaitCursor.h"

using namespace qs::exchange;

namespace {

QCheckBox* AddCheck(CDialog& d, QVBoxLayout* layout, int id, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text), &d);
    CWnd::SetControlId(box, id);
    layout->addWidget(box);
    return box;
}

void AddIntegerEdit(CDialog& d, QFormLayout* form, int id, const char* label) {
    auto* edit = new QLineEdit(&d);
    CWnd::SetControlId(edit, id);
    form->addRow(QString::fromLatin1(label), edit);
}

QComboBox* AddLayerCombo(CDialog& d, QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Layer:"), &d);
    auto* combo = new QComboBox(&d);
    label->setBuddy(combo);
    CWnd::SetControlId(combo, IDC_LAYER);
    row->addWidget(label);
    row->addWidget(combo, 1);
    layout->addLayout(row);
    return combo;
}

// The two radio buttons of an export dialog; returns the active-file one.
QRadioButton* AddModeButtons(CDialog& d, QVBoxLayout* layout) {
    auto* active = new QRadioButton(QStringLiteral("&Export Active Open File"), &d);
    auto* batch = new QRadioButton(QStringLiteral("&Batch mode"), &d);
    auto* group = new QButtonGroup(&d);
    group->addButton(active, 0);
    group->addButton(batch, 1);
    CWnd::SetControlId(active, IDC_EXPORT_ACTIVE);
    CWnd::SetControlId(batch, IDC_BATCH_MODE);
    layout->addWidget(active);
    layout->addWidget(batch);
    return active;
}

// Wide enough that the window manager shows the whole caption, which
// names the format and its file pattern.
void FitCaption(CDialog& d) {
    d.setMinimumWidth(d.fontMetrics().horizontalAdvance(d.windowTitle()) + 160);
}

void AddOkCancel(CDialog& d, QVBoxLayout* layout, QPushButton* extra = nullptr) {
    auto* row = new QHBoxLayout;
    if (extra) row->addWidget(extra);
    row->addStretch();
    row->addWidget(d.AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(d.AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(row);
    FitCaption(d);
}

void ExchangeMode(CDataExchange* pDX, int& mode) {
    CWnd* w = pDX->m_pDlgWnd;
    if (!pDX->m_bSaveAndValidate) {
        w->CheckDlgButton(IDC_EXPORT_ACTIVE, mode == 0 ? 1 : 0);
        w->CheckDlgButton(IDC_BATCH_MODE, mode == 1 ? 1 : 0);
        return;
    }
    mode = w->IsDlgButtonChecked(IDC_BATCH_MODE) ? 1 : 0;
}

// Byte counts of the padding before and after the projects of a file:
// never negative, and bounded so a slip of the keyboard cannot ask for
// gigabytes of zeros.
void ExchangePadding(CDataExchange* pDX, int& header, int& footer) {
    DDX_Text(pDX, IDC_HEADER_LENGTH, header);
    DDV_MinMaxInt(pDX, header, 0, kMaxPaddingBytes);
    if (pDX->m_failed) return;
    DDX_Text(pDX, IDC_FOOTER_LENGTH, footer);
    DDV_MinMaxInt(pDX, footer, 0, kMaxPaddingBytes);
}

// With no active document the batch is the only choice; otherwise the
// active-file button names the document.
void PrepareModeButtons(QRadioButton* active, const QString& activeName, int& mode) {
    if (activeName.isEmpty()) {
        mode = 1;
        active->setEnabled(false);
    } else {
        active->setText(QStringLiteral("Export ") + activeName);
    }
}

}  // namespace

void FillLayerCombo(QComboBox* combo) {
    CWaitCursor wait;
    combo->clear();
    for (const char* name : {"Net", "Gross", "Ceded", "Direct", "Assumed"}) combo->addItem(QString::fromLatin1(name));
}

// ---------------------------------------------------------------- imports

CImportLotusDlg::CImportLotusDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Import Lotus files (*.wk1)"));
    auto* layout = new QVBoxLayout(this);
    AddCheck(*this, layout, IDC_CUMULATIVE, "&Cumulative");
    AddCheck(*this, layout, IDC_CLEAR_SELECTEDS, "&If adding to existing files, clear all selecteds and method variables");
    AddOkCancel(*this, layout);
}

void CImportLotusDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_CUMULATIVE, m_bCumulative);
    DDX_Check(pDX, IDC_CLEAR_SELECTEDS, m_bClearSelecteds);
}

CImportEnhancedAsciiDlg::CImportEnhancedAsciiDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Import Enhanced ASCII files (*.dat)"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    AddIntegerEdit(*this, form, IDC_HEADER_LENGTH, "File header length (bytes)");
    AddIntegerEdit(*this, form, IDC_FOOTER_LENGTH, "File footer length (bytes)");
    layout->addLayout(form);
    AddCheck(*this, layout, IDC_CLEAR_SELECTEDS, "&If adding to existing files, clear all selecteds and method variables");
    AddOkCancel(*this, layout);
}

void CImportEnhancedAsciiDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangePadding(pDX, m_nHeaderLength, m_nFooterLength);
    if (pDX->m_failed) return;
    DDX_Check(pDX, IDC_CLEAR_SELECTEDS, m_bClearSelecteds);
}

CImportAsciiDlg::CImportAsciiDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Import ASCII files (*.asc)"));
    auto* layout = new QVBoxLayout(this);
    AddCheck(*this, layout, IDC_CUMULATIVE, "&Cumulative");
    AddLayerCombo(*this, layout);
    AddCheck(*this, layout, IDC_CLEAR_SELECTEDS, "&If adding to existing files, clear all selecteds and method variables");
    QPushButton* record = AddButton(IDC_RECORD_STRUCTURE, QStringLiteral("&Record Structure"));
    MapCommand(IDC_RECORD_STRUCTURE, [this] { OnRecordStructure(); });
    AddOkCancel(*this, layout, record);
}

BOOL CImportAsciiDlg::OnInitDialog() {
    FillLayerCombo(qobject_cast<QComboBox*>(GetDlgItem(IDC_LAYER)));
    return CDialog::OnInitDialog();
}

void CImportAsciiDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_CUMULATIVE, m_bCumulative);
    DDX_CBIndex(pDX, IDC_LAYER, m_nLayer);
    DDX_Check(pDX, IDC_CLEAR_SELECTEDS, m_bClearSelecteds);
}

void CImportAsciiDlg::OnRecordStructure() { m_recordDlg.DoModal(); }

// ---------------------------------------------------------------- exports

CExportLotusDlg::CExportLotusDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Export to Lotus file(s) (*.wk1)"));
    auto* layout = new QVBoxLayout(this);
    m_btnActive = AddModeButtons(*this, layout);
    AddCheck(*this, layout, IDC_CUMULATIVE, "&Cumulative");
    AddCheck(*this, layout, IDC_USE_PC5_FORMAT, "Use PC5 Format");
    AddOkCancel(*this, layout);
}

BOOL CExportLotusDlg::OnInitDialog() {
    PrepareModeButtons(m_btnActive, m_strActiveName, m_nMode);
    return CDialog::OnInitDialog();
}

void CExportLotusDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangeMode(pDX, m_nMode);
    DDX_Check(pDX, IDC_CUMULATIVE, m_bCumulative);
    DDX_Check(pDX, IDC_USE_PC5_FORMAT, m_bUsePC5Format);
}

CExportEnhancedAsciiDlg::CExportEnhancedAsciiDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Export to Enhanced ASCII file(s) (*.dat)"));
    auto* layout = new QVBoxLayout(this);
    m_btnActive = AddModeButtons(*this, layout);
    auto* form = new QFormLayout;
    AddIntegerEdit(*this, form, IDC_HEADER_LENGTH, "File header length (bytes)");
    AddIntegerEdit(*this, form, IDC_FOOTER_LENGTH, "File footer length (bytes)");
    layout->addLayout(form);
    AddCheck(*this, layout, IDC_CUMULATIVE, "&Cumulative");
    AddOkCancel(*this, layout);
}

BOOL CExportEnhancedAsciiDlg::OnInitDialog() {
    PrepareModeButtons(m_btnActive, m_strActiveName, m_nMode);
    return CDialog::OnInitDialog();
}

void CExportEnhancedAsciiDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangeMode(pDX, m_nMode);
    ExchangePadding(pDX, m_nHeaderLength, m_nFooterLength);
    if (pDX->m_failed) return;
    DDX_Check(pDX, IDC_CUMULATIVE, m_bCumulative);
}

CExportAsciiDlg::CExportAsciiDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Export to ASCII file(s) (*.asc)"));
    auto* layout = new QVBoxLayout(this);
    m_btnActive = AddModeButtons(*this, layout);
    AddCheck(*this, layout, IDC_CUMULATIVE, "&Cumulative");
    m_cmbLayer = AddLayerCombo(*this, layout);
    QPushButton* record = AddButton(IDC_RECORD_STRUCTURE, QStringLiteral("&Record Structure"));
    MapCommand(IDC_RECORD_STRUCTURE, [this] { OnRecordStructure(); });
    AddOkCancel(*this, layout, record);
}

BOOL CExportAsciiDlg::OnInitDialog() {
    PrepareModeButtons(m_btnActive, m_strActiveName, m_nMode);
    FillLayerCombo(m_cmbLayer);
    return CDialog::OnInitDialog();
}

void CExportAsciiDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangeMode(pDX, m_nMode);
    DDX_Check(pDX, IDC_CUMULATIVE, m_bCumulative);
    DDX_CBIndex(pDX, IDC_LAYER, m_nLayer);
}

void CExportAsciiDlg::OnRecordStructure() { m_recordDlg.DoModal(); }

// ---------------------------------------------------------------- conflict

CImportConflictDlg::CImportConflictDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Import"));
    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(QStringLiteral("File already \r\nexist..."), this);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SetControlId(message, IDC_MESSAGE);
    layout->addWidget(message);
    auto* row = new QHBoxLayout;
    const struct {
        int id;
        const char* text;
        int code;
    } answers[] = {{IDC_ADD, "&Add", kAdd},
                   {IDC_REPLACE, "&Replace", kReplace},
                   {IDC_RENAME, "Re&name", kRename},
                   {IDC_SKIP, "&Skip File", kSkipFile},
                   {IDC_CANCEL_IMPORT, "&Cancel import", kCancelImport}};
    for (const auto& a : answers) {
        auto* button = new QPushButton(QString::fromLatin1(a.text), this);
        button->setAutoDefault(false);
        SetControlId(button, a.id);
        connect(button, &QPushButton::clicked, this, [this, code = a.code] { Answer(code); });
        row->addWidget(button);
    }
    layout->addLayout(row);
}

INT_PTR CImportConflictDlg::DoModal() {
    const INT_PTR result = CDialog::DoModal();
    if (result >= kAnswerBase + kAdd && result <= kAnswerBase + kCancelImport) return result - kAnswerBase;
    return kCancelImport;
}

BOOL CImportConflictDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_strMessage.isEmpty()) SetDlgItemText(IDC_MESSAGE, m_strMessage);
    if (QWidget* add = GetDlgItem(IDC_ADD)) add->setEnabled(m_bAllowAdd != 0);
    return TRUE;
}

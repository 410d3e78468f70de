#include "StructureDialogs.h"

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

#include "CProject.h"
#include "MessageBox.h"

namespace {
void OkCancel(CDialog* dlg, QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dlg->AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(dlg->AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(row);
    dlg->setMinimumWidth(400);  // wide enough for the title bar's text
}

QStringList Labels(const CProject* project, LABELTYPES kind) {
    QStringList out;
    if (project == nullptr) return out;
    QSStringArray labels;
    std::string caption;
    const short all = -1;
    if (project->GetLabels(labels, kind, caption, all) != 0) return out;
    for (const std::string& l : labels) out << QString::fromStdString(l);
    return out;
}

// An unsigned field 0..max; the framework's range message on failure.
void ExchangeUnsigned(CDataExchange* pDX, int id, unsigned& value, int max) {
    int v = int(value);
    DDX_Text(pDX, id, v);
    DDV_MinMaxInt(pDX, v, 0, max);
    if (pDX->m_bSaveAndValidate && !pDX->m_failed) value = unsigned(v);
}
}  // namespace

// ---------------------------------------------------------------- append

CAppendEvalPeriodDlg::CAppendEvalPeriodDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Append New Evaluation Period"));
    auto* layout = new QVBoxLayout(this);
    auto* dev = new QCheckBox(QStringLiteral("Continue Adding &Development Periods"), this);
    auto* exp = new QCheckBox(QStringLiteral("Continue Adding &Exposure Periods"), this);
    SetControlId(dev, IDC_DEVELOPMENT);
    SetControlId(exp, IDC_EXPOSURE);
    layout->addWidget(dev);
    layout->addWidget(exp);
    OkCancel(this, layout);
}

BOOL CAppendEvalPeriodDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Development periods always grow with a new evaluation.
    m_bAddDevelopment = 1;
    CheckDlgButton(IDC_DEVELOPMENT, 1);
    GetDlgItem(IDC_DEVELOPMENT)->setEnabled(false);
    return TRUE;
}

void CAppendEvalPeriodDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_DEVELOPMENT, m_bAddDevelopment);
    DDX_Check(pDX, IDC_EXPOSURE, m_bAddExposure);
}

// ---------------------------------------------------------------- remove evaluations

CRemoveEvalPeriodsDlg::CRemoveEvalPeriodsDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project), m_combo(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Remove Last Evaluation Period(s)"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(this);
    SetControlId(text, IDC_TEXT);
    layout->addWidget(text);
    SetControlId(m_combo, IDC_LIST);
    layout->addWidget(m_combo);
    layout->addWidget(new QLabel(QStringLiteral("WARNING:\nThis  action could result in lost data!"), this));
    OkCancel(this, layout);
}

namespace {
// The calendar labels and the index of the newest evaluation that must stay
// (the kernel counts the evaluations that can go, plus one); -1 when none can go.
int LowestKept(const CProject* project, QStringList& labels) {
    labels = Labels(project, LBL_CALENDAR);
    const int last = int(labels.size()) - 1;
    const int removable = project ? project->GetEvaluationCount() - 1 : 0;
    const int lowest = last - removable;
    return (last < 0 || removable < 1 || lowest < 0) ? -1 : lowest;
}
}  // namespace

INT_PTR CRemoveEvalPeriodsDlg::DoModal() {
    QStringList labels;
    if (LowestKept(m_pProject, labels) < 0) {
        // Said, rather than offering an empty list whose OK returns 0.
        AfxMessageBox(QStringLiteral("You cannot delete any more evaluation periods."), MB_OK | MB_ICONEXCLAMATION);
        return IDCANCEL;
    }
    return CDialog::DoModal();
}

BOOL CRemoveEvalPeriodsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    QStringList labels;
    const int lowest = LowestKept(m_pProject, labels);
    const int last = int(labels.size()) - 1;
    if (lowest < 0) return FALSE;
    SetDlgItemText(IDC_TEXT, QStringLiteral(" Remove diagonals/calendar periods from %1 to:").arg(labels.at(last)));
    m_combo->clear();
    for (int i = last; i > lowest; --i) m_combo->addItem(labels.at(i));
    m_combo->setCurrentIndex(std::clamp(m_nIndex, 0, m_combo->count() - 1));
    return TRUE;
}

void CRemoveEvalPeriodsDlg::OnOK() {
    if (m_combo->currentIndex() < 0) return;
    m_nIndex = m_combo->currentIndex();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- remove exposure periods

CRemoveExposurePeriodsDlg::CRemoveExposurePeriodsDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project), m_combo(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Remove Oldest Exposure Period(s)"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(this);
    SetControlId(text, IDC_TEXT);
    layout->addWidget(text);
    SetControlId(m_combo, IDC_LIST);
    layout->addWidget(m_combo);
    auto* warning = new QLabel(this);
    SetControlId(warning, IDC_WARNING);
    layout->addWidget(warning);
    OkCancel(this, layout);
}

INT_PTR CRemoveExposurePeriodsDlg::DoModal() {
    const int first = m_pProject != nullptr && m_pProject->GetIncludesPrior() ? 1 : 0;
    if (Labels(m_pProject, LBL_EXPOSURE).size() <= first + 1) {
        AfxMessageBox(QStringLiteral("You cannot delete the only exposure period."), MB_OK | MB_ICONEXCLAMATION);
        return IDCANCEL;
    }
    return CDialog::DoModal();
}

BOOL CRemoveExposurePeriodsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const QStringList labels = Labels(m_pProject, LBL_EXPOSURE);
    const bool prior = m_pProject != nullptr && m_pProject->GetIncludesPrior();
    const int first = prior ? 1 : 0;
    if (labels.size() <= first + 1) return FALSE;
    SetDlgItemText(IDC_WARNING, prior ? QStringLiteral("WARNING \n This data will be rolled into Prior row")
                                      : QStringLiteral("WARNING \n This action could result in loss of data"));
    SetDlgItemText(IDC_TEXT, QStringLiteral("Remove from %1 to:").arg(labels.at(first)));
    m_combo->clear();
    for (int i = first; i < labels.size() - 1; ++i) m_combo->addItem(labels.at(i));
    m_combo->setCurrentIndex(std::clamp(m_nIndex, 0, m_combo->count() - 1));
    return TRUE;
}

void CRemoveExposurePeriodsDlg::OnOK() {
    if (m_combo->currentIndex() < 0) return;
    m_nIndex = m_combo->currentIndex();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- compression

QStringList CompressionChoices(int currentMonths) {
    switch (currentMonths) {
    case 1: return {QStringLiteral("Years"), QStringLiteral("Half Years"), QStringLiteral("Quarters")};
    case 3: return {QStringLiteral("Years"), QStringLiteral("Half Years")};
    case 6: return {QStringLiteral("Years")};
    default: return {};
    }
}

CCompressColumnsDlg::CCompressColumnsDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_combo(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Compress Columns"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* current = new QLabel(this);
    SetControlId(current, IDC_CURRENT);
    form->addRow(QStringLiteral("Current Development Period Length:"), current);
    SetControlId(m_combo, IDC_LENGTH);
    form->addRow(QStringLiteral("New Development Period Length:"), m_combo);
    layout->addLayout(form);
    auto* leave = new QCheckBox(QStringLiteral("Leave &First Column"), this);
    SetControlId(leave, IDC_LEAVE_FIRST);
    layout->addWidget(leave);
    OkCancel(this, layout);
}

BOOL CCompressColumnsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_CURRENT, m_strCurrent);
    CheckDlgButton(IDC_LEAVE_FIRST, m_bLeaveFirst ? 1 : 0);
    m_combo->clear();
    m_combo->addItems(CompressionChoices(m_nCurrentLength));
    m_combo->setCurrentIndex(m_combo->count() > 0 ? 0 : -1);
    m_combo->setFocus();
    return TRUE;
}

void CCompressColumnsDlg::OnOK() {
    if (m_combo->currentIndex() < 0) return;
    m_bLeaveFirst = IsDlgButtonChecked(IDC_LEAVE_FIRST) ? 1 : 0;
    m_strChosen = m_combo->currentText();
    EndDialog(IDOK);
}

CCompressRowsDlg::CCompressRowsDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_combo(new QComboBox(this)), m_mode(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Compress Rows"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* current = new QLabel(this);
    SetControlId(current, IDC_CURRENT);
    form->addRow(QStringLiteral("Current Exposures:"), current);
    SetControlId(m_combo, IDC_LENGTH);
    form->addRow(QStringLiteral("New Exposure Period:"), m_combo);
    layout->addLayout(form);
    auto* byDefault = new QRadioButton(QStringLiteral("&Default Compression"), this);
    auto* user = new QRadioButton(QStringLiteral("&User Defined:"), this);
    SetControlId(byDefault, IDC_DEFAULT);
    SetControlId(user, IDC_USER);
    m_mode->addButton(byDefault, 0);
    m_mode->addButton(user, 1);
    layout->addWidget(byDefault);
    auto* userRow = new QHBoxLayout;
    userRow->addWidget(user);
    userRow->addWidget(new QLabel(QStringLiteral("Compress"), this));
    auto* ratio = new QLineEdit(this);
    SetControlId(ratio, IDC_RATIO);
    userRow->addWidget(ratio);
    userRow->addWidget(new QLabel(QStringLiteral("  rows into 1 row"), this));
    layout->addLayout(userRow);
    auto* rows = new QFormLayout;
    auto* start = new QLineEdit(this);
    auto* stop = new QLineEdit(this);
    SetControlId(start, IDC_START);
    SetControlId(stop, IDC_STOP);
    rows->addRow(QStringLiteral("Starting Row:"), start);
    rows->addRow(QStringLiteral("Stoping Row:"), stop);
    layout->addLayout(rows);
    OkCancel(this, layout);
    connect(byDefault, &QRadioButton::clicked, this, [this] { OnDefault(); });
    connect(user, &QRadioButton::clicked, this, [this] { OnUserDefined(); });
}

BOOL CCompressRowsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_CURRENT, m_strCurrent);
    m_combo->clear();
    m_combo->addItems(CompressionChoices(m_nCurrentLength));
    m_combo->setCurrentIndex(m_combo->count() > 0 ? 0 : -1);
    m_mode->button(0)->setChecked(true);
    GetDlgItem(IDC_RATIO)->setEnabled(false);
    m_combo->setFocus();
    return TRUE;
}

void CCompressRowsDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangeUnsigned(pDX, IDC_RATIO, m_nRatio, 20);
    ExchangeUnsigned(pDX, IDC_START, m_nStartRow, 32000);
    ExchangeUnsigned(pDX, IDC_STOP, m_nStopRow, 32000);
}

void CCompressRowsDlg::OnDefault() {
    m_nRatio = 0;
    SetDlgItemText(IDC_RATIO, QStringLiteral("0"));
    GetDlgItem(IDC_RATIO)->setEnabled(false);
}

void CCompressRowsDlg::OnUserDefined() { GetDlgItem(IDC_RATIO)->setEnabled(true); }

void CCompressRowsDlg::OnOK() {
    if (m_combo->currentIndex() < 0) return;
    if (!UpdateData(TRUE)) return;
    m_strChosen = m_combo->currentText();
    EndDialog(IDOK);
}

#include "TableDialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ViewSettings.h"

namespace {
QHBoxLayout* ButtonRow(QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    layout->addLayout(row);
    return row;
}
}  // namespace

// ---------------------------------------------------------------- Diagonal Selection

CDiagonalSelectionDlg::CDiagonalSelectionDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Diagonal Selection"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Which evaluation (1 is the last evaluation):"), this));
    // The spin box is the edit and its arrows; its own range is wider than the
    // accepted one so that OK can refuse with the range message.
    auto* spin = new QSpinBox(this);
    spin->setRange(0, 999);
    SetControlId(spin, IDC_EVALUATION);
    row->addWidget(spin);
    layout->addLayout(row);
    QHBoxLayout* buttons = ButtonRow(layout);
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
}

void CDiagonalSelectionDlg::DoDataExchange(CDataExchange* pDX) {
    auto* spin = qobject_cast<QSpinBox*>(GetDlgItem(IDC_EVALUATION));
    if (!pDX->m_bSaveAndValidate) {
        spin->setValue(m_nEvaluation);
        return;
    }
    spin->interpretText();
    bool ok = false;
    const int value = spin->text().trimmed().toInt(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("Please enter an integer."), MB_ICONEXCLAMATION);
        pDX->Fail(IDC_EVALUATION);
        return;
    }
    if (value < 1 || value > 99) {
        AfxMessageBox(QStringLiteral("Please enter an integer between 1 and 99."), MB_ICONEXCLAMATION);
        pDX->Fail(IDC_EVALUATION);
        return;
    }
    m_nEvaluation = value;
}

// ---------------------------------------------------------------- Export file exists

CExportFileExistsDlg::CExportFileExistsDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Export"));
    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(QStringLiteral("File already \r\nexist..."), this);
    message->setWordWrap(true);
    SetControlId(message, IDC_MESSAGE);
    layout->addWidget(message);
    QHBoxLayout* buttons = ButtonRow(layout);
    const struct {
        int id;
        const char* text;
        int result;
    } answers[] = {{IDC_REPLACE, "&Replace", kReplace},
                   {IDC_RENAME, "Re&name", kRename},
                   {IDC_SKIP, "&Skip File", kSkipFile},
                   {IDC_CANCEL_EXPORT, "&Cancel export", kCancelExport}};
    for (const auto& a : answers) {
        auto* button = new QPushButton(QString::fromLatin1(a.text), this);
        button->setAutoDefault(false);
        SetControlId(button, a.id);
        connect(button, &QPushButton::clicked, this, [this, r = a.result] { Answer(r); });
        buttons->addWidget(button);
    }
}

INT_PTR CExportFileExistsDlg::DoModal() {
    const INT_PTR result = CDialog::DoModal();
    if (result >= kAnswerBase && result <= kAnswerBase + kCancelExport) return result - kAnswerBase;
    return kCancelExport;
}

BOOL CExportFileExistsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!m_strMessage.isEmpty()) SetDlgItemText(IDC_MESSAGE, m_strMessage);
    if (qs::views::Settings().fileMode == 0) SetDlgItemText(IDC_SKIP, QStringLiteral("&Skip Profile"));
    return TRUE;
}

// ---------------------------------------------------------------- Dependents

CDependentsWarningDlg::CDependentsWarningDlg(CWnd* pParent, const QStringList& dependents)
    : CDialog(kTemplateId, pParent), m_dependents(dependents) {
    setWindowTitle(QStringLiteral("Warning!"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("\"This table is used by formulas in other objects!\""), this);
    SetControlId(text, IDC_TEXT);
    layout->addWidget(text);
    QHBoxLayout* buttons = ButtonRow(layout);
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    QPushButton* list = AddButton(IDC_GET_LIST, QStringLiteral("Get List"));
    buttons->addWidget(list);
    MapCommand(IDC_GET_LIST, [this] { OnGetList(); });
}

void CDependentsWarningDlg::OnGetList() {
    CDependentsListDlg list(this, m_dependents);
    list.DoModal();
}

CDependentsListDlg::CDependentsListDlg(CWnd* pParent, const QStringList& dependents)
    : CDialog(kTemplateId, pParent), m_dependents(dependents), m_edit(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("List of Dependents"));
    m_edit->setReadOnly(true);
    SetControlId(m_edit, IDC_LIST);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    QHBoxLayout* buttons = ButtonRow(layout);
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
}

BOOL CDependentsListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    QString text;
    for (const QString& name : m_dependents) text += name + QStringLiteral("\r\n");
    m_edit->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return TRUE;
}

// ---------------------------------------------------------------- Select new name

CSelectNewNameDlg::CSelectNewNameDlg(CWnd* pParent, const QString& message, const QStringList& names)
    : CDialog(kTemplateId, pParent), m_strMessage(message), m_names(names), m_list(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Select new name"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(this);
    label->setWordWrap(true);
    SetControlId(label, IDC_MESSAGE);
    layout->addWidget(label);
    SetControlId(m_list, IDC_NAMES);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
    QHBoxLayout* buttons = ButtonRow(layout);
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
}

BOOL CSelectNewNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_MESSAGE, m_strMessage);
    m_list->clear();
    m_list->addItems(m_names);
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    return TRUE;
}

void CSelectNewNameDlg::OnOK() {
    if (m_list->currentItem() == nullptr) return;
    m_strChosen = m_list->currentItem()->text();
    EndDialog(IDOK);
}

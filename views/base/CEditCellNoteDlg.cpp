#include "CEditCellNoteDlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kCellNoteTitle = "Edit Cell Note";
constexpr const char* kFootnoteTitle = "Edit Footnote";

// The edit shows "\n" line ends; notes and footnotes are kept with "\r\n",
// as the program writes its texts.
QString FromStoredText(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
QString ToStoredText(QString text) { return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }

QPlainTextEdit* AddNoteEditAndButtons(CDialog& dialog, int id) {
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QPlainTextEdit(&dialog);
    CWnd::SetControlId(edit, id);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    layout->addWidget(edit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(dialog.AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(dialog.AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    return edit;
}

void ExchangeMultiLine(CDataExchange* pDX, QPlainTextEdit* edit, QString& value) {
    if (pDX->m_bSaveAndValidate) value = ToStoredText(edit->toPlainText());
    else edit->setPlainText(FromStoredText(value));
}

}  // namespace

CEditCellNoteDlg::CEditCellNoteDlg(const QString& cellText, CWnd* pParent)
    : CDialog(IDD, pParent), m_strCellText(cellText) {
    setWindowTitle(QString::fromLatin1(kCellNoteTitle));
    m_edit = AddNoteEditAndButtons(*this, IDC_NOTE);
}

BOOL CEditCellNoteDlg::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    setWindowTitle(QString::fromLatin1(kCellNoteTitle) + QLatin1Char(' ') + m_strCellText);
    return result;
}

void CEditCellNoteDlg::DoDataExchange(CDataExchange* pDX) {
    ExchangeMultiLine(pDX, m_edit, m_strNote);
    if (pDX->m_bSaveAndValidate) {
        // The limit counts what the user typed, one character per line end.
        const QString typed = m_edit->toPlainText();
        DDV_MaxChars(pDX, typed, kMaxNoteChars);
        if (pDX->m_failed) m_edit->setFocus();
    }
}

CEditFootnoteDlg::CEditFootnoteDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    setWindowTitle(QString::fromLatin1(kFootnoteTitle));
    m_edit = AddNoteEditAndButtons(*this, IDC_FOOTNOTE);
}

void CEditFootnoteDlg::DoDataExchange(CDataExchange* pDX) { ExchangeMultiLine(pDX, m_edit, m_strFootnote); }

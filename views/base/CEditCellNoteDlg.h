#pragma once
// "Edit Cell Note": one multi-line edit for the note of a table cell. The
// title names the cell: the dialog's own title, a blank and the cell text
// ("(1995,12)").
#include <QString>

#include "CDialog.h"

class QPlainTextEdit;

class CEditCellNoteDlg : public CDialog {
public:
    enum { IDD = 146, IDC_NOTE = 1022 };
    static constexpr int kMaxNoteChars = 1024;

    explicit CEditCellNoteDlg(const QString& cellText = QString(), CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    QPlainTextEdit* NoteEdit() const { return m_edit; }

    QString m_strNote;      // the note, at most kMaxNoteChars characters
    QString m_strCellText;  // shown in the title

private:
    QPlainTextEdit* m_edit;
};

// "Edit Footnote": the footnote of a table, one multi-line edit.
class CEditFootnoteDlg : public CDialog {
public:
    enum { IDD = 202, IDC_FOOTNOTE = 1136 };

    explicit CEditFootnoteDlg(CWnd* pParent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;

    QPlainTextEdit* FootnoteEdit() const { return m_edit; }

    QString m_strFootnote;

private:
    QPlainTextEdit* m_edit;
};

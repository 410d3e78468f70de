#pragma once
// Small dialogs of the table tools, each asked for one answer:
//   CDiagonalSelectionDlg  which evaluation a diagonal function reads (1..99)
//   CExportFileExistsDlg   what to do with an export target that exists
//   CDependentsWarningDlg  a table is used by other objects' formulas, with
//                          "Get List" showing them (CDependentsListDlg)
//   CSelectNewNameDlg      one of several qualified names for an ambiguous one
#include <QString>
#include <QStringList>

#include "CDialog.h"

class QListWidget;
class QPlainTextEdit;

class CDiagonalSelectionDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 171;
    enum : int { IDC_EVALUATION = 1046, IDC_SPIN = 1116 };
    explicit CDiagonalSelectionDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nEvaluation = 1;
};

class CExportFileExistsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1542;
    enum : int { IDC_REPLACE = 1169, IDC_RENAME = 1170, IDC_SKIP = 1171, IDC_MESSAGE = 1172, IDC_CANCEL_EXPORT = 1173 };
    // The modal results.
    enum : int { kReplace = 0, kRename = 1, kSkipFile = 2, kCancelExport = 3 };

    explicit CExportFileExistsDlg(CWnd* pParent = nullptr);
    // The answer (0..3); closing or Escape is Cancel export.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override {}  // Enter chooses nothing: each answer is a button of its own
    void OnCancel() override { Answer(kCancelExport); }
    void Answer(int answer) { EndDialog(kAnswerBase + answer); }

private:
    // Answers travel offset: a dialog result of 0 would read as a rejection.
    static constexpr int kAnswerBase = 100;
public:

    QString m_strMessage;
};

class CDependentsWarningDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 382;
    enum : int { IDC_TEXT = 1229, IDC_GET_LIST = 1582 };
    CDependentsWarningDlg(CWnd* pParent, const QStringList& dependents);
    void OnGetList();

    QStringList m_dependents;
};

class CDependentsListDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 383;
    enum : int { IDC_LIST = 1585 };
    CDependentsListDlg(CWnd* pParent, const QStringList& dependents);
    BOOL OnInitDialog() override;
    QPlainTextEdit* ListEdit() const { return m_edit; }

    QStringList m_dependents;

private:
    QPlainTextEdit* m_edit;
};

class CSelectNewNameDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 278;
    enum : int { IDC_MESSAGE = 1000, IDC_NAMES = 1001 };
    CSelectNewNameDlg(CWnd* pParent, const QString& message, const QStringList& names);
    BOOL OnInitDialog() override;
    void OnOK() override;
    QListWidget* Names() const { return m_list; }

    QString m_strChosen;

private:
    QString m_strMessage;
    QStringList m_names;
    QListWidget* m_list;
};

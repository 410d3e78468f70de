#pragma once
// A dialog. DoModal runs OnInitDialog and then the dialog modally through
// RunModal (so a ModalScript can play the user) and returns the code given
// to EndDialog: IDOK from OnOK, IDCANCEL from OnCancel, Escape or the close
// box, or any code of the program's own. Buttons made with AddButton (or
// bound with BindCommandButton) send WM_COMMAND with their id; IDOK and
// IDCANCEL reach OnOK and OnCancel. Data exchange: DoDataExchange with the
// DDX_ helpers, run by UpdateData (OnOK saves, OnInitDialog loads).
#include <QDialog>

#include "CWnd.h"
#include "MessageBox.h"

class QPushButton;
class CDataExchange;

class CDialog : public QDialog, public CWnd {
public:
    explicit CDialog(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Modeless: initialises and shows the dialog; FALSE on failure.
    virtual BOOL Create(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    // Loads the controls (FALSE) or saves them into members (TRUE); FALSE
    // when a control failed validation (its message was shown).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    // A push button with a control id; IDOK is the default button.
    QPushButton* AddButton(int nID, const QString& text);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnClose() override;
    BOOL DestroyWindow() override;

    // QDialog's own accept/reject (Enter, Escape, button boxes) go through OnOK/OnCancel.
    void accept() override;
    void reject() override;

protected:
    void PrepareForShow();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_initialised = false;
};

// Data exchange between controls (by id) and members.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool m_failed = false;
    // Marks the exchange failed and puts the focus on the control.
    void Fail(int nIDC);
};

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);       // "Please enter an integer." on bad input
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);    // "Please enter a number." on bad input
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);      // 0, 1, 2 (indeterminate)
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);    // combo box selection, -1 none
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);    // list widget selection, -1 none
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MaxChars(CDataExchange* pDX, const QString& value, int nChars);

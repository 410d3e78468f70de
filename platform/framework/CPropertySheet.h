#pragma once
// Property sheets and wizards. A sheet shows its pages as tabs with OK,
// Cancel and Apply (PSH_NOAPPLYNOW drops Apply); in wizard mode it shows one
// page at a time with Back, Next, Finish and Cancel. DoModal returns IDOK or
// IDCANCEL for a tabbed sheet and ID_WIZFINISH or IDCANCEL for a wizard.
// PressButton does what clicking the button would (tests and programs use it
// alike).
//
// Page protocol: OnSetActive when a page is shown (FALSE refuses: the sheet
// tries the next page in the same direction); OnKillActive before a page is
// left or the sheet is confirmed (FALSE keeps it); in a wizard Next asks
// OnWizardNext and Back OnWizardBack first: 0 moves one page, -1 stays, any
// other value is the template id of the page to go to (Next also needs the
// page's OnKillActive; Back does not validate); Finish asks OnWizardFinish.
// OK asks the active page's OnKillActive and then OnApply (by default OnOK)
// of every page that was shown; Apply does the same without closing and
// clears the pages' modified marks; Cancel asks the active page's
// OnQueryCancel and then calls OnCancel on every page that was shown.
#include <QString>

#include <vector>

#include "CDialog.h"

class QTabWidget;
class QStackedWidget;
class QPushButton;
class CPropertySheet;

enum : DWORD {
    PSH_NOAPPLYNOW = 0x00000080,
    PSH_WIZARD = 0x00000020,
    PSH_WIZARD97 = 0x01000000,
};

enum : DWORD {
    PSWIZB_BACK = 0x1,
    PSWIZB_NEXT = 0x2,
    PSWIZB_FINISH = 0x4,
    PSWIZB_DISABLEDFINISH = 0x8,
};

enum : int {
    PSBTN_BACK = 0,
    PSBTN_NEXT = 1,
    PSBTN_FINISH = 2,
    PSBTN_OK = 3,
    PSBTN_APPLYNOW = 4,
    PSBTN_CANCEL = 5,
    PSBTN_HELP = 6,
};

enum : int {
    ID_WIZBACK = 0x3023,
    ID_WIZNEXT = 0x3024,
    ID_WIZFINISH = 0x3025,
    ID_APPLY_NOW = 0x3021,
};

struct PROPSHEETHEADER {
    DWORD dwFlags = 0;
};

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate = 0, const QString& caption = QString());
    ~CPropertyPage() override;

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    void OnOK() override {}
    void OnCancel() override {}
    virtual BOOL OnApply();
    // Enter and Escape inside a page act on the sheet.
    void accept() override;
    void reject() override;
    virtual void OnReset() {}

protected:
    // Enter in a field of the page presses the sheet's OK (Next in a wizard):
    // a page has no default button of its own to take it.
    void keyPressEvent(QKeyEvent* event) override;

public:
    virtual BOOL OnQueryCancel() { return TRUE; }
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    virtual BOOL OnWizardFinish() { return TRUE; }

    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bModified; }
    const QString& GetCaption() const { return m_strCaption; }
    CPropertySheet* GetSheet() const { return m_pSheet; }

protected:
    friend class CPropertySheet;
    QString m_strCaption;
    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bModified = FALSE;
    bool m_bShown = false;  // OnSetActive accepted at least once
};

class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(const QString& caption = QString(), CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);  // not owned
    void RemovePage(int nPage);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_active; }
    int GetPageIndex(CPropertyPage* pPage) const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(const QString& title) { setWindowTitle(title); }

    void SetWizardMode();
    bool IsWizard() const { return (m_psh.dwFlags & (PSH_WIZARD | PSH_WIZARD97)) != 0; }
    void SetWizardButtons(DWORD dwFlags);
    DWORD GetWizardButtons() const { return m_wizardButtons; }
    void SetFinishText(const QString& text);
    // Does what the button does; FALSE when that button is not offered or disabled.
    BOOL PressButton(int nButton);

    INT_PTR DoModal() override;
    BOOL Create(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr) override;
    // The button of a kind (null when the sheet does not show it).
    QPushButton* Button(int nButton) const;

    PROPSHEETHEADER m_psh;

    // Called by pages.
    void PageModified(CPropertyPage* page);
    void PageDestroyed(CPropertyPage* page);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BuildLayout();
    void ShowPage(int index);
    // Tries pages from index in direction step until one accepts OnSetActive.
    bool ActivateFrom(int index, int step);
    bool Next();
    bool Back();
    bool Finish();
    bool Apply();
    void UpdateButtons();

    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    UINT m_initialPage;
    DWORD m_wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
    QString m_finishText;
    QTabWidget* m_tabs = nullptr;
    QStackedWidget* m_stack = nullptr;
    QPushButton* m_buttons[7] = {};
    bool m_built = false;
    bool m_switching = false;
};

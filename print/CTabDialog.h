#pragma once
// Dialogs that show their content on tabs (page setup, the print list
// editor, batch printing): a modal dialog holding one tab control whose pages
// are child dialogs. A page writes every change straight into the data the
// dialog edits and then tells the dialog (NotifyChange), which re-evaluates
// its buttons or caption. Enter inside a page ends the whole dialog with OK,
// Escape with Cancel. All pages exist, and keep their controls, while hidden.
#include <QTabWidget>

#include <vector>

#include "CDialog.h"

class CTabDialog;

class CTabPageDialog : public CDialog {
public:
    CTabPageDialog(UINT templateId, QWidget* parent);

    // Enter and Escape inside a page end the owning dialog.
    virtual void OwnerOK();
    virtual void OwnerCancel();
    // The owning dialog re-evaluates its controls.
    virtual void NotifyChange();
    // Reloads the page's controls from the data.
    virtual void Refresh() = 0;

    void OnOK() override { OwnerOK(); }
    void OnCancel() override { OwnerCancel(); }

    CTabDialog* Owner() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class CDialogTabCtrl : public QTabWidget {
public:
    explicit CDialogTabCtrl(QWidget* parent);
    ~CDialogTabCtrl() override;

    // Inserts the tabs and creates their pages on the edited data; the first
    // page shows.
    virtual void CreatePages() = 0;
    void RefreshPages();
    int ShownPage() const { return currentIndex(); }
    int PageCount() const { return int(m_pages.size()); }
    CTabPageDialog* Page(int index) const { return m_pages.at(std::size_t(index)); }
    // Shows the page of a tab (as a click on the tab does).
    void ShowPage(int index) { setCurrentIndex(index); }

protected:
    void AddPage(CTabPageDialog* page, const QString& tab);

private:
    std::vector<CTabPageDialog*> m_pages;
};

class CTabDialog : public CDialog {
public:
    CTabDialog(UINT templateId, QWidget* parent);

    BOOL OnInitDialog() override;
    // Reloads every page (after Open, Save As, Use Default).
    virtual void RefreshPages();
    // Re-evaluates the dialog's own controls after a page's change.
    virtual void UpdateControls() = 0;

    CDialogTabCtrl* TabCtrl() const { return m_pTabCtrl; }

protected:
    // The concrete dialog's tab control (it creates its pages on opening).
    void SetTabCtrl(CDialogTabCtrl* ctrl) { m_pTabCtrl = ctrl; }

private:
    CDialogTabCtrl* m_pTabCtrl = nullptr;
};

#pragma once
// Views that are one control filling the frame: a tree, a list (a report
// with columns), a rich-text editor, and a form (controls by id, with data
// exchange as in a dialog).
#include <QTextEdit>
#include <QTreeWidget>

#include "CDialog.h"
#include "CView.h"

class CTreeView : public CView {
public:
    CTreeView();
    QTreeWidget& GetTreeCtrl() const { return *m_tree; }

private:
    QTreeWidget* m_tree;
};

class CListView : public CView {
public:
    CListView();
    // A list with report columns (one column until the view adds more).
    QTreeWidget& GetListCtrl() const { return *m_list; }

private:
    QTreeWidget* m_list;
};

class CRichEditView : public CView {
public:
    CRichEditView();
    QTextEdit& GetRichEditCtrl() const { return *m_edit; }
    // WrapNone, WrapToWindow (the class library's word-wrap modes).
    enum WordWrapType { WrapNone = 0, WrapToWindow = 1, WrapToTargetDevice = 2 };
    void SetWordWrap(WordWrapType mode);

private:
    QTextEdit* m_edit;
};

class CFormView : public CView {
public:
    explicit CFormView(UINT nIDTemplate = 0);
    UINT GetTemplateId() const { return m_nIDTemplate; }
    // Loads the form's controls from the members when first shown.
    void OnInitialUpdate() override;
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

private:
    UINT m_nIDTemplate;
};

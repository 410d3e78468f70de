#pragma once
// The window that owns one spreadsheet control. It turns the control's
// notifications into virtual handlers that subclasses fill; the control
// covers the whole window.
#include <QString>
#include <QWidget>

#include "CWnd.h"
#include "SpreadsheetControl.h"

class CSpreadsheetWnd : public QWidget, public CWnd {
public:
    explicit CSpreadsheetWnd(QWidget* parent = nullptr);
    ~CSpreadsheetWnd() override;

    // Creates the control as a child covering parent. FALSE when it cannot.
    BOOL CreateInParent(QWidget* parent);
    BOOL IsCreated() const { return m_bCreated; }
    qs::ss::SpreadsheetControl* Ctrl() const { return m_pCtrl; }

    // The edit in progress: set between the end of an in-cell edit and the
    // grid's confirmation that the entry is stored (grid numbering).
    BOOL m_bPendingEdit = FALSE;
    int m_nEditCol = 0;
    int m_nEditRow = 0;

    // Notification handlers, all empty here.
    virtual void OnClick(int /*row*/, int /*col*/) {}             // 1030
    virtual void OnDblClick(int /*row*/, int /*col*/) {}          // 1031
    virtual void OnHeadingClick(int /*row*/, int /*col*/) {}      // 1047
    virtual void OnHeadingDblClick(int /*row*/, int /*col*/) {}   // 1048
    virtual void OnKeyDown(qs::ss::Notification* /*n*/) {}        // 1045
    virtual void OnKeyUp(qs::ss::Notification* /*n*/) {}          // 1046
    virtual void OnStartEdit(qs::ss::Notification* /*n*/) {}      // 1026
    virtual void OnCancelEdit() {}                                // 1040
    virtual void OnEndEdit(const QString& /*text*/, bool& /*cancel*/) {}  // 1027
    virtual void OnEditChange() {}                                // 1028
    virtual void OnEntryStored() {}                               // 1029
    virtual void OnSelChange() {}                                 // 1025
    virtual void OnModified() {}                                  // 1044

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Called once the control exists, for subclasses that watch its messages.
    virtual void OnControlCreated() {}

private:
    void Route(int code, int row, int col, qs::ss::Notification* n);

    BOOL m_bCreated = FALSE;
    qs::ss::SpreadsheetControl* m_pCtrl = nullptr;
};

#pragma once
// A child frame whose client is a dynamic splitter: the view may be split
// into at most two rows and two columns, each pane at least 10 x 10, each
// new pane a view of the same class on the same document.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include "CMDIChildWnd.h"

class QSplitter;

class CChildSpltFrame : public CMDIChildWnd {
public:
    static constexpr int kMaxRows = 2;
    static constexpr int kMaxColumns = 2;
    static constexpr int kMinPane = 10;

    CChildSpltFrame();

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    int GetRowCount() const;
    int GetColumnCount() const;
    // Adds a second row or column of panes; false at the limit or when a
    // view cannot be made.
    bool SplitRow();
    bool SplitColumn();
    // The view in a pane (row, column), null when there is none.
    CView* GetPane(int row, int column) const;

private:
    CView* MakePaneView(QSplitter* row);

    QSplitter* m_pRows = nullptr;  // vertical: one horizontal splitter per row
    CCreateContext m_context;
};

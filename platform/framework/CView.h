#pragma once
// A view: the widget that shows (part of) a document inside a frame.
// Commands reach the view first, then its document.
#include <QWidget>

#include "CWnd.h"

class CDocument;
class CFrameWnd;
class QPainter;

class CView : public QWidget, public CWnd {
public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    // First display: by default the same as an update with no hint.
    virtual void OnInitialUpdate();
    // The document changed; by default the view repaints.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnDraw(QPainter*) {}

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

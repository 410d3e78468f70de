#pragma once
// The print information of one print job, as the view framework hands it to
// a view's printing operations: the printer, the page being printed, the
// rectangle still free on it, whether the job goes on, the page range, and
// the job's user data (the print page state of a table print).
#include <QRect>

#include "WindowsTypes.h"

class CPrintPageState;
class QPrinter;

class CPrintInfo {
public:
    QPrinter* m_pPrinter = nullptr;
    CPrintPageState* m_lpUserData = nullptr;
    BOOL m_bContinuePrinting = TRUE;
    // Set when the job was abandoned before its document started: nothing
    // is printed, no file is written.
    BOOL m_bAborted = FALSE;
    UINT m_nCurPage = 1;
    // Device units; the views move its top down as they print.
    QRect m_rectDraw;

    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    void SetFromPage(UINT page) { m_nFromPage = page; }
    void SetToPage(UINT page) { m_nToPage = page; }
    UINT GetFromPage() const { return m_nFromPage; }
    UINT GetToPage() const { return m_nToPage; }

private:
    UINT m_nMinPage = 1, m_nMaxPage = 0xFFFF;
    UINT m_nFromPage = 1, m_nToPage = 0xFFFF;
};

#pragma once
// One print job over a print list: the page furniture (margins, header and
// footer with their fields expanded), the changes of page settings and page
// numbers between objects, the flow of objects over pages, the optional
// project summary and cell-notes pages, and the tail-factor-analysis pages
// of exhibits. Each object prints itself through its own view into the page
// area prepared here.
//
// Guards beyond the plain flow: an item whose view prints nothing (no view,
// an id no printer handles, a view that declines on a fresh page or makes no
// progress on one) is ended and the list moves on, so a job never runs on
// with empty pages; at most kMaxPages pages are printed.
#include <QPrinter>
#include <QRect>
#include <QString>

#include "CPrintInfo.h"
#include "CPrintPageState.h"

class CExhibitView;
class CPrintList;
class CProjectDoc;
class QPainter;

class CPrintListView {
public:
    explicit CPrintListView(CPrintList* list);
    ~CPrintListView();
    CPrintListView(const CPrintListView&) = delete;
    CPrintListView& operator=(const CPrintListView&) = delete;

    void print();

    // Pages of the job (0 when nothing printed), for the status line and tests.
    int PagesPrinted() const { return m_nPages; }
    // The job's printer (its output file when it printed to PDF).
    const QPrinter& Printer() const { return m_printer; }

    static constexpr unsigned kMaxPages = 65533;

    // PrintLine: measures text in rect with alignment and word wrap; when it
    // does not fit below rect's top, FALSE without drawing; else draws it at
    // the top and moves the top down by its height.
    static bool PrintLine(QPainter* dc, QRect& rect, int alignment, const QString& text);
    // A line under a column, spacing/2 in from each side, 5 below the top;
    // the top moves down by the spacing.
    static void UnderLine(QPainter* dc, QRect& rect, int spacing);

private:
    bool OnPreparePrinting();
    void OnBeginPrinting();
    // False when the job ends here.
    bool OnPrepareDC(CPrintInfo* info);
    void OnPrint(QPainter* dc, CPrintInfo* info);
    void OnEndPrinting(QPainter* dc, CPrintInfo* info);
    void Print(QPainter* dc, CPrintInfo* info);
    // Starts the next page (the painter when it is the first).
    bool StartPage(QPainter& painter);

    void ChangePrintSettings(const CPageSetup& setup);
    void CalculateMargins();
    void AdjustMargins(QRect& rect) const;
    void PrintHeader(QPainter* dc, CPrintInfo* info);
    void PrintFooter(QPainter* dc, CPrintInfo* info);
    int GetSpacing() const;
    int GetTitleOffset() const;
    QString Expand(const QString& text, CPrintInfo* info) const;
    // The page as the header, footer and margins leave it, after a new page.
    void PreparePageArea(QPainter* dc, CPrintInfo* info);

    void printCRX(CExhibitView* view, QPainter* dc, CPrintInfo* info);
    // Plain text pages (the project summary, the cell notes) in the data font.
    void PrintTextPages(QPainter* dc, CPrintInfo* info, const QString& text);

    CPrintList* m_pList;
    CProjectDoc* m_pDocument;
    QPrinter m_printer{QPrinter::HighResolution};
    CPrintPageState m_state;
    QPainter* m_pPainter = nullptr;
    int m_nPages = 0;
    // Device units.
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    bool m_bJobStarted = false;
    // An item that printed nothing on a fresh page in a row.
    int m_nStalledPages = 0;
};

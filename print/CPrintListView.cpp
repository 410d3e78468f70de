#include "CPrintListView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

#include "CExhibitView.h"
#include "CFileDialog.h"
#include "CFormula.h"
#include "CObjectView.h"
#include "CPrintList.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CTailFactorAnalysis.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "PrintHost.h"
#include "PrintListIds.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"

using namespace qs::print;

namespace {

constexpr int kTextFlags = Qt::TextWordWrap;

bool IsInputArray(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    return (type == 0 || type == 8) && (kind == 1 || kind == 2);
}

bool IsExhibit(QSID id) {
    const int kind = GetIDDOType(id);
    return GetIDDataType(id) == 1 && (kind == 3 || kind == 4);
}

// The drawn height of text in rect's width with the given alignment.
int TextHeight(QPainter* dc, const QRect& rect, int alignment, const QString& text) {
    if (text.isEmpty()) return 0;
    return dc->boundingRect(QRect(rect.left(), rect.top(), rect.width(), 1 << 20), alignment | kTextFlags, text).height();
}

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

namespace qs::print {

bool PrepareDefaultPrinter(QPrinter& printer, CProjectDoc* doc, const QString& title) {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        printer.setPrinterName(defaultPrinter.printerName());
        return true;
    }
    QString folder;
    if (doc != nullptr && !doc->GetPathName().isEmpty()) folder = QFileInfo(doc->GetPathName()).absolutePath();
    if (folder.isEmpty()) folder = Host().lastFileFolder;
    if (folder.isEmpty()) folder = QFileInfo(WorkingFile(QStringLiteral("x"))).absolutePath();
    const QString name = (title.isEmpty() ? QStringLiteral("Print") : QFileInfo(title).completeBaseName()) +
                         QStringLiteral(".pdf");
    CFileDialog dialog(FALSE, QStringLiteral("pdf"), name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QStringLiteral("PDF Files (*.pdf)|*.pdf||"));
    dialog.setWindowTitle(QStringLiteral("Print to PDF File"));
    dialog.setDirectory(folder);
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dialog.GetPathName());
    return true;
}

}  // namespace qs::print

CPrintListView::CPrintListView(CPrintList* list)
    : m_pList(list), m_pDocument(list != nullptr ? list->document() : nullptr) {
    const TraceScope trace("CPrintListView(CPrintList * printList)");
}

CPrintListView::~CPrintListView() { const TraceScope trace("~CPrintListView()"); }

QString CPrintListView::Expand(const QString& text, CPrintInfo* info) const {
    if (Host().expandPrintFields) return Host().expandPrintFields(text, info, m_pDocument, nullptr);
    return text;
}

void CPrintListView::print() {
    const TraceScope trace("CPrintListView::print()");
    if (m_pList == nullptr) return;
    auto& viewSettings = qs::views::Settings();
    const bool wasPrintingList = viewSettings.printingList;
    viewSettings.printingList = true;
    CProject* project = m_pList->project();
    m_pList->setPendingPageSetup(project != nullptr ? &project->GetPageSetup() : nullptr);
    m_pList->setPendingPageNumber(0);
    const bool summary = m_pList->m_bPrintFileSummary != 0 && Host().writeProjectInfo && m_pDocument != nullptr;
    bool any = m_pList->moveFirst();
    // Objects nothing can print (a graph the project does not keep, a view
    // that cannot open) are passed over before a printer is asked for.
    while (!m_pList->isAtEnd()) {
        CPrintListItem* item = m_pList->currentItem();
        if (item == nullptr || item->Prints()) break;
        m_pList->moveNext();
    }
    if (any && m_pList->isAtEnd() && !summary) {
        if (IsInteractive())
            ::AfxMessageBox(QStringLiteral("Nothing was printed: no object of this print list can be printed in this "
                                           "project."),
                            MB_OK | MB_ICONINFORMATION);
        any = false;
    }
    if ((any || summary) && OnPreparePrinting()) {
        OnBeginPrinting();
        CPrintInfo info;
        info.m_pPrinter = &m_printer;
        info.m_lpUserData = &m_state;
        info.SetMinPage(1);
        info.SetMaxPage(kMaxPages);
        QPainter painter;
        m_pPainter = &painter;
        if (summary) {
            // The project summary comes ahead of the list's objects.
            const QString path = WorkingFile(QStringLiteral("PrjInfo.txt"));
            QFile file(path);
            if (Host().writeProjectInfo(m_pDocument, path) && file.open(QIODevice::ReadOnly)) {
                if (project != nullptr) ChangePrintSettings(project->GetPageSetup());
                PrintTextPages(&painter, &info, QString::fromUtf8(file.readAll()));
            }
        }
        UINT page = m_nPages + 1;
        while (m_nPages < int(kMaxPages) && info.m_bContinuePrinting) {
            info.m_nCurPage = page;
            if (!OnPrepareDC(&info)) break;
            if (!StartPage(painter)) break;
            OnPrint(&painter, &info);
            page = info.m_nCurPage + 1;
        }
        OnEndPrinting(&painter, &info);
        Host().graphs.forgetProgress(m_state);
        if (painter.isActive()) painter.end();
        m_pPainter = nullptr;
        if (m_nPages > 0 && Host().jobPrinted)
            Host().jobPrinted(m_nPages, m_printer.outputFileName().isEmpty() ? m_printer.printerName()
                                                                           : m_printer.outputFileName());
    }
    viewSettings.printingList = wasPrintingList;
}

bool CPrintListView::OnPreparePrinting() {
    const TraceScope trace("CPrintListView::OnPreparePrinting(CPrintInfo* pInfo)");
    m_printer.setFullPage(true);
    m_printer.setDocName(m_pDocument != nullptr ? m_pDocument->GetTitle() : QString());
    const QString title = m_pDocument != nullptr ? m_pDocument->GetTitle() : QString();
    const bool ready = Host().preparePrinter ? Host().preparePrinter(m_printer, m_pDocument, title)
                                             : PrepareDefaultPrinter(m_printer, m_pDocument, title);
    if (ready) m_printer.setFullPage(true);
    return ready;
}

void CPrintListView::OnBeginPrinting() {
    const TraceScope trace("CPrintListView::OnBeginPrinting(CDC *,  CPrintInfo* pInfo)");
    m_state = CPrintPageState();
}

bool CPrintListView::OnPrepareDC(CPrintInfo* info) {
    const TraceScope trace("OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) ");
    // Items that print nothing (no view, nothing prints them) are passed
    // over here, so a page is never started for them alone.
    while (!m_pList->isAtEnd() && m_state.m_bContinue == 0) {
        CPrintListItem* item = m_pList->currentItem();
        if (item == nullptr || item->Prints()) break;
        m_pList->moveNext();
    }
    if (m_pList->isAtEnd()) {
        info->m_bContinuePrinting = FALSE;
        return false;
    }
    if (const int pending = m_pList->pendingPageNumber(); pending != 0) {
        if (pending != kPageNumberInSequence) info->m_nCurPage = UINT(pending);
        m_pList->setPendingPageNumber(0);
    }
    if (const CPageSetup* setup = m_pList->pendingPageSetup()) {
        ChangePrintSettings(*setup);
        m_pList->setPendingPageSetup(nullptr);
    }
    return true;
}

bool CPrintListView::StartPage(QPainter& painter) {
    if (!m_bJobStarted) {
        if (!painter.begin(&m_printer)) return false;
        m_bJobStarted = true;
    } else if (!m_printer.newPage()) {
        return false;
    }
    // A page-setup change may have turned the page.
    const QRect full = m_printer.pageLayout().fullRectPixels(m_printer.resolution());
    painter.setViewport(QRect(QPoint(0, 0), full.size()));
    painter.setWindow(QRect(QPoint(0, 0), full.size()));
    ++m_nPages;
    return true;
}

void CPrintListView::ChangePrintSettings(const CPageSetup& setup) {
    const TraceScope trace("CPrintListView::ChangePrintSettings(CDC* pDC, CPrintInfo* pInfo)");
    m_state.AssignPageSetup(setup);
    m_state.m_nCalendarOption = setup.m_bCalendarFormat != 0 ? 1 : 0;
    const QPageLayout::Orientation wanted = setup.m_nOrientation > 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
    if (m_printer.pageLayout().orientation() != wanted) m_printer.setPageOrientation(wanted);
    CalculateMargins();
    m_state.m_nLineSpacing = GetSpacing();
    m_state.m_nTitleSpace = GetTitleOffset();
    // Room above a table for its "(Part n)" mark: one line of the title font.
    m_state.m_nHeaderSpace = QFontMetrics(qs::views::FontFromRecord(m_state.m_TitleFont), &m_printer).height();
}

void CPrintListView::CalculateMargins() {
    const TraceScope trace("CPrintListView::CalculateMargins(CDC* pDC)");
    const qint64 dpi = m_printer.resolution();
    // The job prints on the whole sheet: nothing is unprintable to subtract.
    m_nMarginLeft = int(qint64(m_state.m_nMarginLeft) * dpi / 2540);
    m_nMarginTop = int(qint64(m_state.m_nMarginTop) * dpi / 2540);
    m_nMarginRight = int(qint64(m_state.m_nMarginRight) * dpi / 2540);
    m_nMarginBottom = int(qint64(m_state.m_nMarginBottom) * dpi / 2540);
}

void CPrintListView::AdjustMargins(QRect& rect) const {
    rect.adjust(m_nMarginLeft, m_nMarginTop, -m_nMarginRight, -m_nMarginBottom);
}

int CPrintListView::GetSpacing() const {
    return QFontMetrics(qs::views::FontFromRecord(m_state.m_HeaderFont), &m_printer).height();
}

int CPrintListView::GetTitleOffset() const {
    const QFontMetrics metrics(qs::views::FontFromRecord(m_state.m_TitleFont), &m_printer);
    const int width = std::max(1, m_printer.pageLayout().fullRectPixels(m_printer.resolution()).width() -
                                      m_nMarginLeft - m_nMarginRight);
    int tallest = 0;
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromStdString(m_state.TitleLine(i)) + QLatin1Char('\n');
        tallest = std::max(tallest, metrics.boundingRect(QRect(0, 0, width, 1 << 20), kTextFlags, text).height());
    }
    return tallest;
}

void CPrintListView::PrintHeader(QPainter* dc, CPrintInfo* info) {
    const TraceScope trace("CPrintListView::PrintHeader(CDC* pDC, CPrintInfo* pInfo)");
    QRect& rect = info->m_rectDraw;
    dc->save();
    dc->setFont(qs::views::FontFromRecord(m_state.m_HeaderFont));
    dc->setPen(Qt::black);
    const int aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    QString texts[3];
    int height = 0;
    for (int i = 0; i < 3; ++i) {
        texts[i] = Expand(QString::fromStdString(m_state.m_HeaderStrings[std::size_t(i)]), info);
        height = std::max(height, TextHeight(dc, rect, aligns[i], texts[i]));
    }
    const QRect band(rect.left(), rect.top(), rect.width(), height);
    for (int i = 0; i < 3; ++i) dc->drawText(band, aligns[i] | Qt::AlignTop | kTextFlags, texts[i]);
    dc->restore();
    rect.setTop(rect.top() + height);
}

void CPrintListView::PrintFooter(QPainter* dc, CPrintInfo* info) {
    const TraceScope trace("CPrintListView::PrintFooter(CDC* pDC, CPrintInfo* pInfo)");
    QRect& rect = info->m_rectDraw;
    dc->save();
    dc->setFont(qs::views::FontFromRecord(m_state.m_FooterFont));
    dc->setPen(Qt::black);
    const int aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    QString texts[3];
    int height = 0;
    for (int i = 0; i < 3; ++i) {
        texts[i] = Expand(QString::fromStdString(m_state.m_FooterStrings[std::size_t(i)]), info);
        height = std::max(height, TextHeight(dc, rect, aligns[i], texts[i]));
    }
    const QRect band(rect.left(), rect.bottom() + 1 - height, rect.width(), height);
    for (int i = 0; i < 3; ++i) dc->drawText(band, aligns[i] | Qt::AlignTop | kTextFlags, texts[i]);
    dc->restore();
    rect.setBottom(rect.bottom() - height);
}

void CPrintListView::PreparePageArea(QPainter* dc, CPrintInfo* info) {
    info->m_rectDraw = QRect(QPoint(0, 0), m_printer.pageLayout().fullRectPixels(m_printer.resolution()).size());
    AdjustMargins(info->m_rectDraw);
    PrintHeader(dc, info);
    PrintFooter(dc, info);
    m_state.m_rectPage = info->m_rectDraw;
    m_state.m_nObjectsOnPage = 1;
}

void CPrintListView::OnPrint(QPainter* dc, CPrintInfo* info) {
    const TraceScope trace("OnPrint(CDC* pDC, CPrintInfo* pInfo)");
    PreparePageArea(dc, info);
    // A graph page starts its slots afresh.
    Host().graphs.newPage(m_state);
    Print(dc, info);
}

void CPrintListView::Print(QPainter* dc, CPrintInfo* info) {
    for (;;) {
        CPrintListItem* item = m_pList->currentItem();
        if (item == nullptr) return;
        if (!item->isGraph()) {
            m_state.m_pGraphProgress.reset();
            Host().graphs.forgetProgress(m_state);
        }
        const QSID id = item->id();
        // The array presentation of input arrays: incremental, cumulative, or
        // both (incremental first, then cumulative on the second pass).
        const int presentation = m_state.m_nArrayPresentation;
        m_state.m_nCumulativeOption = presentation == 2 ? m_state.m_bSecondPass : (presentation == 0 ? 0 : 1);
        bool finished = !item->Prints();  // nothing prints for it: it ends at once
        if (!finished) {
            if (m_state.m_bContinue == 0) {
                // The view checks that its first part fits a page at all: it
                // is shown the whole page area, not what the objects above
                // it left (whether it fits there is decided below).
                const QRect remaining = info->m_rectDraw;
                info->m_rectDraw = m_state.m_rectPage;
                if (item->isGraph()) Host().graphs.syncObjectsOnPage(m_state, m_state.m_nObjectsOnPage);
                item->BeginPrint(dc, info);
                info->m_rectDraw = remaining;
                if (!info->m_bContinuePrinting) return;  // the view stopped the job
                if (m_state.m_bContinue == 0) {
                    // It declines to start here; on a fresh page it never would.
                    if (m_state.m_nObjectsOnPage > 1) {
                        m_state.m_bContinue = 1;
                        return;
                    }
                    finished = true;
                }
                // A table after others on this page that no longer fits
                // starts on the next page.
                if (!finished && m_state.m_nObjectsOnPage > 1 && item->tableView() != nullptr) {
                    const int needed = m_state.m_nHeaderSpace + m_state.m_nFootnoteSpace + m_state.m_nTitleSpace +
                                       m_state.m_nPartHeight;
                    if (needed > info->m_rectDraw.height()) return;
                }
            }
            if (!finished) {
                const int top = info->m_rectDraw.top();
                if (item->isGraph()) Host().graphs.syncObjectsOnPage(m_state, m_state.m_nObjectsOnPage);
                item->PrintPage(dc, info);
                if (!info->m_bContinuePrinting) return;
                if (m_state.m_bContinue != 0) {
                    const bool stalled = m_state.m_nObjectsOnPage == 1 && info->m_rectDraw.top() == top;
                    m_nStalledPages = stalled ? m_nStalledPages + 1 : 0;
                    if (m_nStalledPages < 2) return;  // continues on the next page
                    m_state.m_bContinue = 0;
                }
                m_nStalledPages = 0;
                item->EndPrint(dc, info);
                if (IsExhibit(id) && m_pList->m_bPrintCRX != 0)
                    if (auto* exhibit = dynamic_cast<CExhibitView*>(item->view()))
                        if (exhibit->GetTailAnalysis() != nullptr) printCRX(exhibit, dc, info);
            }
        }
        m_state.m_bContinue = 0;
        if (!finished && IsInputArray(id) && m_state.m_nArrayPresentation == 2 && m_state.m_bSecondPass == 0) {
            m_state.m_bSecondPass = 1;
            ++m_state.m_nObjectsOnPage;
        } else {
            m_state.m_bSecondPass = 0;
            if (!m_pList->moveNext()) {
                m_state.m_pGraphProgress.reset();
                Host().graphs.forgetProgress(m_state);
                return;
            }
            ++m_state.m_nObjectsOnPage;
        }
        // The next object on this page, or on the next one.
        if (m_pList->pendingPageSetup() != nullptr || m_pList->pendingPageNumber() != 0) return;
        if (m_state.m_nTablesPerPage != 0 && m_state.m_nTablesPerPage >= m_state.m_nObjectsOnPage &&
            m_state.m_bContinue == 0)
            continue;
        if (m_state.m_bNewPageEachPart != 0 || m_state.m_bContinue != 0) return;
    }
}

void CPrintListView::OnEndPrinting(QPainter* dc, CPrintInfo* info) {
    const TraceScope trace("CPrintListView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) ");
    if (m_pList->m_bPrintCellNotes != 0 && !m_state.m_strNotes.trimmed().isEmpty() && m_bJobStarted)
        PrintTextPages(dc, info, m_state.m_strNotes);
}

void CPrintListView::PrintTextPages(QPainter* dc, CPrintInfo* info, const QString& text) {
    if (!StartPage(*dc)) return;
    info->m_nCurPage = UINT(m_nPages);
    PreparePageArea(dc, info);
    dc->save();
    dc->setFont(qs::views::FontFromRecord(m_state.m_DataFont));
    dc->setPen(Qt::black);
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString shown = line.isEmpty() ? QStringLiteral(" ") : line;
        if (PrintLine(dc, info->m_rectDraw, Qt::AlignLeft, shown)) continue;
        dc->restore();
        if (m_nPages >= int(kMaxPages) || !StartPage(*dc)) return;
        info->m_nCurPage = info->m_nCurPage + 1;
        PreparePageArea(dc, info);
        dc->save();
        dc->setFont(qs::views::FontFromRecord(m_state.m_DataFont));
        dc->setPen(Qt::black);
        // A line taller than a whole page is cut rather than lost.
        if (!PrintLine(dc, info->m_rectDraw, Qt::AlignLeft, shown)) {
            dc->drawText(info->m_rectDraw, Qt::AlignLeft | Qt::AlignTop | kTextFlags, shown);
            info->m_rectDraw.setTop(info->m_rectDraw.bottom());
        }
    }
    dc->restore();
}

bool CPrintListView::PrintLine(QPainter* dc, QRect& rect, int alignment, const QString& text) {
    const int height = TextHeight(dc, rect, alignment, text);
    if (rect.top() + height > rect.bottom() + 1) return false;
    dc->drawText(QRect(rect.left(), rect.top(), rect.width(), height), alignment | Qt::AlignTop | kTextFlags, text);
    rect.setTop(rect.top() + height);
    return true;
}

void CPrintListView::UnderLine(QPainter* dc, QRect& rect, int spacing) {
    rect.setTop(rect.top() + 5);
    dc->drawLine(rect.left() + spacing / 2, rect.top(), rect.right() - spacing / 2, rect.top());
    rect.setTop(rect.top() + spacing);
}

void CPrintListView::printCRX(CExhibitView* view, QPainter* dc, CPrintInfo* info) {
    const TraceScope trace("CPrintListView::printCRX(CExhibitView *view, CDC *pDC, CPrintInfo *pInfo)");
    CTailFactorAnalysis* analysis = view->GetTailAnalysis();
    if (analysis == nullptr) return;
    short decimals = 3;
    if (CFormula* object = view->GetObject()) {
        short d = 0;
        if (object->GetDecimals(d) == 0 && d > 0) decimals = d;
    }
    const double first = analysis->GetInitialAge(), step = analysis->GetAgeIncrement();
    // The rows are x = first + k * step up to the cutoff: a step that does
    // not move forward would never reach it.
    if (!(step > 0) || !std::isfinite(first)) return;
    const bool lessThanOne = analysis->GetFitNegative();
    const char* formulas[3] = {
        lessThanOne ? "Inverse Power Curve: y = 1 - e^a * (x+c)^(-b)" : "Inverse Power Curve: y = 1 + e^a * (x+c)^(-b)",
        lessThanOne ? "Exponential Curve: y = 1 - e ^ ( a + bx )" : "Exponential Curve: y = 1 + e ^ ( a + bx )",
        lessThanOne ? "Weibull Curve: y = 1 - e ^ (-e ^ a (x + c) ^ b )"
                    : "Weibull Curve: y = 1/( 1 - e ^ (-e ^ a (x + c) ^ b ) )"};
    const QFont labels = qs::views::FontFromRecord(m_state.m_LabelsFont);
    const QFont data = qs::views::FontFromRecord(m_state.m_DataFont);
    const QFont title = qs::views::FontFromRecord(m_state.m_TitleFont);
    analysis->Calculate();
    for (int c = 0; c < CTailFactorAnalysis::kNumCurves; ++c) {
        if (!analysis->IsCurveEnabled(c)) continue;
        const double cutoff = analysis->GetCutoff(c);
        int k = 0;
        bool firstPage = true;
        while (true) {
            // A page of the analysis.
            if (m_nPages >= int(kMaxPages) || !StartPage(*dc)) return;
            info->m_nCurPage = info->m_nCurPage + 1;
            PreparePageArea(dc, info);
            QRect& rect = info->m_rectDraw;
            rect.setTop(rect.top() + m_state.m_nLineSpacing);
            dc->save();
            dc->setPen(Qt::black);
            dc->setFont(title);
            int tallest = 0;
            const int aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
            for (int i = 0; i < 3; ++i) {
                const QString text =
                    Expand(QString::fromStdString(m_state.TitleLine(i)), info) + QLatin1Char('\n');
                tallest = std::max(tallest, TextHeight(dc, rect, aligns[i], text));
                dc->drawText(QRect(rect.left(), rect.top(), rect.width(), TextHeight(dc, rect, aligns[i], text)),
                             aligns[i] | Qt::AlignTop | kTextFlags, text);
            }
            rect.setTop(rect.top() + tallest);
            if (firstPage) {
                dc->setFont(labels);
                QString values = QStringLiteral("a = %1     b = %2     ")
                                     .arg(Fixed(analysis->GetYIntercept(c), decimals), Fixed(analysis->GetSlope(c), decimals));
                // The exponential curve has no constant.
                if (c != CTailFactorAnalysis::Exponential)
                    values += QStringLiteral("c = %1     ").arg(Fixed(analysis->GetConstant(c), decimals));
                values += QStringLiteral("R squared = %1").arg(Fixed(analysis->GetRSquared(c), decimals));
                for (const QString& line : {QStringLiteral("Duvi Rozire Vididaze"), QStringLiteral(" "),
                                            QString::fromLatin1(formulas[c]), values, QStringLiteral(" ")})
                    PrintLine(dc, rect, Qt::AlignHCenter, line);
            }
            // The table: six columns centred on the page.
            const int space = QFontMetrics(labels, &m_printer).horizontalAdvance(QStringLiteral("  "));
            const int width = std::max(QFontMetrics(labels, &m_printer).horizontalAdvance(QStringLiteral("Incremental")),
                                       QFontMetrics(data, &m_printer).horizontalAdvance(Fixed(100.0, decimals))) +
                              space;
            if (6 * width > rect.width()) {
                dc->restore();
                return;
            }
            const int left = rect.left() + (rect.width() - 6 * width) / 2;
            const char* heads[3][6] = {{" ", " ", " ", " ", "Incremental", "Cumulative"},
                                       {"Age", "Actual", " ", " ", "Fitted", "Fitted"},
                                       {"(X)", "(Y)", "Modified", "Exclude", "Factors", "Factors"}};
            dc->setFont(labels);
            QPen pen(Qt::black);
            pen.setWidth(2);
            dc->setPen(pen);
            for (const auto& row : heads) {
                int height = 0;
                for (int col = 0; col < 6; ++col) {
                    QRect cell(left + col * width, rect.top(), width, rect.height());
                    height = std::max(height, TextHeight(dc, cell, Qt::AlignHCenter, QString::fromLatin1(row[col])));
                    dc->drawText(cell, Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(row[col]));
                }
                rect.setTop(rect.top() + height);
            }
            int below = rect.top();
            for (int col = 0; col < 6; ++col) {
                QRect cell(left + col * width, rect.top(), width, rect.height());
                UnderLine(dc, cell, space);
                below = cell.top();
            }
            rect.setTop(below);
            dc->setFont(data);
            dc->setPen(Qt::black);
            bool rowPrinted = false;
            bool pageFull = false;
            for (;; ++k) {
                const double x = first + k * step;  // the grid's rule, not a running sum
                if (x > cutoff + 1e-9 * std::max(1.0, std::fabs(cutoff))) break;
                QRect cell(left + space / 2, rect.top(), width - space, rect.height());
                if (!PrintLine(dc, cell, Qt::AlignRight, Fixed(x, decimals))) {
                    pageFull = true;
                    break;
                }
                const int rowTop = rect.top();
                rect.setTop(cell.top());
                const auto at = [&](int col) { return QRect(left + col * width + space / 2, rowTop, width - space, cell.top() - rowTop); };
                dc->drawText(at(4), Qt::AlignRight | Qt::AlignTop, Fixed(analysis->GetIncFactor(c, x), decimals));
                dc->drawText(at(5), Qt::AlignRight | Qt::AlignTop, Fixed(analysis->GetCumFactor(c, x), decimals));
                if (k < analysis->GetNumPoints()) {
                    const double actual = analysis->GetValue(c, true, k), modified = analysis->GetValue(c, false, k);
                    dc->drawText(at(1), Qt::AlignRight | Qt::AlignTop, actual == 0 ? QStringLiteral(" ") : Fixed(actual, decimals));
                    dc->drawText(at(2), Qt::AlignRight | Qt::AlignTop, modified == 0 ? QStringLiteral(" ") : Fixed(modified, decimals));
                    dc->drawText(at(3), Qt::AlignHCenter | Qt::AlignTop,
                                 analysis->GetExclude(c, k) ? QStringLiteral("X") : QStringLiteral(" "));
                }
                rowPrinted = true;
            }
            dc->restore();
            rect.setTop(rect.bottom());
            // A row that does not fit even a fresh page would never print.
            if (!pageFull || !rowPrinted) break;
            firstPage = false;
        }
    }
}

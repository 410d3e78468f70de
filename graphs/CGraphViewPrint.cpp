// The graph view's printing: begin, page and end of one graph item of a
// print job, the series selection that prints a graph once per series, and
// the whole job of a graph printed alone.
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

#include <cmath>
#include <memory>

#include "CDocument.h"
#include "CFileDialog.h"
#include "CGraph.h"
#include "CGraphChartWnd.h"
#include "CGraphView.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "GraphPrinting.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"

namespace qs::graphs {

GraphPrintProgress& PrintProgressOf(CPrintPageState& state) {
    // Only graph items put a record there; the print list drops it.
    if (!state.m_pGraphProgress) state.m_pGraphProgress = std::make_shared<GraphPrintProgress>();
    return *static_cast<GraphPrintProgress*>(state.m_pGraphProgress.get());
}

}  // namespace qs::graphs

namespace {

int SeriesSetting(const CPrintPageState& state, int phase) {
    switch (phase) {
    case 0: return state.m_nSeriesByRows;
    case 1: return state.m_nSeriesByColumns;
    case 2: return state.m_nSeriesByDiagonals;
    default: return 0;
    }
}

}  // namespace

int CGraphView::BeginPrint(QPainter*, CPrintInfo* info) {
    auto* state = info != nullptr ? info->m_lpUserData : nullptr;
    if (m_pGraph == nullptr || state == nullptr) return 0;
    GraphSeriesProgress& progress = m_print;
    m_nSeriesCount = 0;
    m_draw.printing = true;
    if ((state->m_nTablesPerPage != 0 && state->m_bFitColumns != 0 && state->m_bFitRows != 0) ||
        state->m_nObjectsOnPage == 1)
        state->m_bContinue = 1;
    progress.counters[0] = progress.counters[1] = progress.counters[2] = 0;
    progress.phase = 0;
    progress.drawn = 0;
    progress.savedType = m_pGraph->GetSeriesType();
    const bool anySetting = state->m_nSeriesByRows != 0 || state->m_nSeriesByColumns != 0 || state->m_nSeriesByDiagonals != 0;
    progress.perSeries = anySetting && m_pGraph->IsGraphMultiTables() && !m_bDirectPrint;
    if (progress.perSeries) {
        m_draw.seriesTitle = true;
        progress.savedSeries = m_pGraph->GetSeries();
    } else if (!m_bDirectPrint) {
        m_pGraph->SaveSelections();
    }
    m_bDirtyAtPrintStart = m_pGraph->IsDirty();
    m_bCurrentViewOnly = m_bDirectPrint;
    m_nGraphsAcross = state->m_nGraphsPerPage > 0 ? state->m_nGraphsPerPage : 1;
    int perPage = state->m_nTablesPerPage;
    if (m_nGraphsAcross > perPage) perPage = m_nGraphsAcross * 2;
    perPage = (perPage + m_nGraphsAcross - 1) / m_nGraphsAcross * m_nGraphsAcross;
    m_draw.graphsPerPage = perPage;
    m_draw.graphRowsPerPage = perPage / m_nGraphsAcross;
    m_pChart->SetRedraw(false);
    return 1;
}

void CGraphView::RefillForPrint() {
    RestoreAppearance();
    qs::graphs::FillChart(*m_pChart, *m_pGraph, m_draw, m_styles);
}

bool CGraphView::AdvancePhase(CPrintPageState& state) {
    GraphSeriesProgress& progress = m_print;
    // The orientation the graph shows is the one it showed when printing began.
    const int shown = progress.savedType;
    while (progress.phase < 3) {
        ++progress.phase;
        if (progress.phase == 1 &&
            (state.m_nSeriesByColumns == 0 || (state.m_nSeriesByColumns < 0 && shown != SERIES_COLUMNS)))
            continue;
        if (progress.phase == 2 &&
            (state.m_nSeriesByDiagonals == 0 || (state.m_nSeriesByDiagonals < 0 && shown != SERIES_DIAGONALS)))
            continue;
        break;
    }
    return progress.phase != 3;
}

bool CGraphView::PhaseHasMore(CPrintPageState& state) {
    GraphSeriesProgress& progress = m_print;
    if (m_nSeriesCount == 0) m_nSeriesCount = 100;
    if (progress.phase < 0 || progress.phase > 2) return false;
    const int setting = std::abs(SeriesSetting(state, progress.phase));
    return progress.counters[progress.phase] < setting && progress.counters[progress.phase] < m_nSeriesCount;
}

bool CGraphView::SelectSeriesForPrint(CPrintPageState& state) {
    GraphSeriesProgress& progress = m_print;
    const bool last = state.m_nSeriesChoice == 1;
    if (progress.perSeries) {
        while (progress.phase < 3) {
            const int p = progress.phase;
            const int v = SeriesSetting(state, p);
            const auto type = static_cast<SeriesTypeEnum>(p + 1);
            int index = -1;
            if (v > 0) {
                m_pGraph->SetSeriesType(type, false);
                if (progress.counters[p] < v) index = progress.counters[p]++;
            } else if (v < 0 && progress.savedType == type && progress.counters[p] < -v) {
                m_pGraph->SetSeriesType(type, false);
                index = progress.counters[p]++;
            }
            if (index < 0) {
                if (!AdvancePhase(state)) return false;
                continue;
            }
            if (m_pGraph->SetSeriesForPrinting(index, last, m_nSeriesCount)) {
                RefillForPrint();
                return true;
            }
            progress.counters[p] = 101;
            return false;
        }
        return false;
    }
    // A page setup that asks for no orientation at all prints the graph once
    // as shown (asking each orientation for none would print nothing).
    const bool anySetting = state.m_nSeriesByRows != 0 || state.m_nSeriesByColumns != 0 || state.m_nSeriesByDiagonals != 0;
    if (m_pGraph->IsDataTriangular() && !m_bCurrentViewOnly && anySetting) {
        for (int p = progress.phase; p < 3; ++p) {
            // Each orientation is asked of the graph as it was shown, so a
            // "Default View" setting compares with the shown orientation.
            m_pGraph->RestoreSelections();
            if (m_pGraph->SetSeriesForPrinting(static_cast<SeriesTypeEnum>(p + 1), SeriesSetting(state, p), last)) {
                progress.phase = p;
                AdvancePhase(state);
                RefillForPrint();
                return true;
            }
        }
        progress.phase = 3;
        AdvancePhase(state);
        return false;
    }
    if (progress.phase == 3) return false;
    progress.phase = 3;
    RefillForPrint();
    return true;
}

void CGraphView::PrintPage(QPainter* dc, CPrintInfo* info) {
    auto* state = info != nullptr ? info->m_lpUserData : nullptr;
    if (m_pGraph == nullptr || state == nullptr || dc == nullptr) return;
    GraphPrintProgress& progress = qs::graphs::PrintProgressOf(*state);
    QRect& rect = info->m_rectDraw;
    if (progress.remaining == 0) progress.remaining = state->m_nTablesPerPage;
    if (progress.savedTop >= 0) {
        rect.setTop(progress.savedTop);
        progress.savedTop = -1;
    }
    const QRect page = state->m_rectPage;
    const int rows = std::max(1, m_draw.graphRowsPerPage);
    const int rowHeight = (page.bottom() - page.top()) / rows;
    const bool fixedRows = state->m_bFitColumns != 0 && state->m_bFitRows != 0;
    m_print.drawn = 0;
    if (rect.top() + rowHeight > rect.bottom()) {
        progress.remaining = 0;
        state->m_bContinue = 1;
        return;
    }
    int slot = progress.slot;
    progress.slot = 0;
    int lastBottom = rect.top();
    bool pageFull = false;
    for (int i = 0; i < m_draw.graphsPerPage; ++i) {
        if (!SelectSeriesForPrint(*state)) break;
        const int top = rect.top();
        int bottom = fixedRows ? top + rowHeight : rect.bottom();
        const int columnWidth = (rect.right() - rect.left()) / m_nGraphsAcross;
        int left = rect.left() + columnWidth * slot;
        int right = left + columnWidth;
        // A graph keeps the proportions of its window (4:3 for one never
        // shown): a column narrower than that leaves the graph less tall, a
        // wider one centres it. Stretched to a portrait page a graph would
        // read badly.
        const double aspect = m_pChart->width() > 0 && m_pChart->height() > 0
                                  ? double(m_pChart->width()) / m_pChart->height()
                                  : 4.0 / 3.0;
        bottom = std::min(bottom, top + int(columnWidth / aspect));
        if (const int width = int((bottom - top) * aspect); columnWidth > width) {
            left += (columnWidth - width) / 2;
            right -= (columnWidth - width) / 2;
        }
        m_pChart->Render(dc, QRectF(QPointF(left, top), QPointF(right, bottom)));
        ++m_print.drawn;
        ++slot;
        lastBottom = bottom;
        if (bottom + rowHeight > rect.bottom()) {
            if (slot >= m_nGraphsAcross) {
                pageFull = true;
                break;
            }
        } else if (slot >= m_nGraphsAcross) {
            rect.setTop(bottom);
            slot = 0;
        }
        if (progress.remaining > 0 && --progress.remaining == 0) break;
    }
    if (pageFull) {
        rect.setTop(lastBottom);
        while (m_print.phase != 3 && !PhaseHasMore(*state)) AdvancePhase(*state);
        state->m_bContinue = m_print.phase != 3 ? 1 : 0;
        m_bStyleChanged = false;
        progress.remaining = 0;
        return;
    }
    state->m_bContinue = PhaseHasMore(*state) ? 1 : 0;
    if (state->m_bContinue == 0 && m_print.drawn > 0) {
        progress.savedTop = rect.top();
        rect.setTop(lastBottom);
    }
    m_bStyleChanged = false;
    progress.slot = slot;
}

int CGraphView::EndPrint(QPainter*, CPrintInfo* info) {
    if (m_pGraph == nullptr) return 0;
    (void)info;
    m_draw.seriesTitle = false;
    m_draw.printing = false;
    if (m_print.perSeries) {
        m_pGraph->SetSeriesType(static_cast<SeriesTypeEnum>(m_print.savedType), false);
        m_pGraph->SetSeries(m_print.savedSeries);
    } else if (!m_bCurrentViewOnly) {
        m_pGraph->RestoreSelections();
    }
    m_pChart->SetRedraw(true);
    RefreshGraph(TRUE);
    if (!m_bDirtyAtPrintStart) m_pGraph->SetDirty(false);
    return 1;
}

int PrintGraphAlone(CGraphView& view, QPrinter& printer, CPrintPageState& state) {
    if (view.GetGraph() == nullptr) return 0;
    qs::views::SetPageGeometry(state, printer);
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &state;
    info.m_rectDraw = state.m_rectPage;
    state.m_pGraphProgress.reset();
    state.m_nObjectsOnPage = 1;
    view.m_bDirectPrint = true;
    QPainter painter;
    if (!painter.begin(&printer)) {
        view.m_bDirectPrint = false;
        return -1;
    }
    view.BeginPrint(&painter, &info);
    int pages = 0;
    while (pages < qs::views::kMaxPrintedPages) {
        if (pages > 0) printer.newPage();
        info.m_rectDraw = state.m_rectPage;
        view.PrintPage(&painter, &info);
        ++pages;
        // A page that drew nothing would be followed by more of the same.
        if (state.m_bContinue == 0 || view.m_print.drawn == 0) break;
    }
    view.EndPrint(&painter, &info);
    painter.end();
    view.m_bDirectPrint = false;
    state.m_pGraphProgress.reset();
    return pages;
}

void CGraphView::OnPrintGraph() {
    CProject* project = GetProject();
    if (project == nullptr || m_pGraph == nullptr || m_bZoom) return;
    QPrinter printer(QPrinter::HighResolution);
    if (auto& prepare = qs::views::Settings().preparePrinter) {
        prepare(printer);
    } else if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // No printer installed: the graph goes to a PDF file the user names.
        CFileDialog dialog(FALSE, QStringLiteral("pdf"), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                           QStringLiteral("PDF Files (*.pdf)|*.pdf||"), this);
        dialog.setWindowTitle(QStringLiteral("Print to PDF File"));
        // The chooser starts beside the project.
        if (CDocument* doc = GetDocument(); doc != nullptr && !doc->GetPathName().isEmpty())
            dialog.m_ofn.lpstrInitialDir = QFileInfo(doc->GetPathName()).absolutePath();
        if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dialog.GetPathName());
    } else {
        QPrintDialog dialog(&printer, this);
        if (qs::fw::RunModal(dialog) != QDialog::Accepted) return;
    }
    CPrintPageState state(project->GetPageSetup());
    const int pages = PrintGraphAlone(*this, printer, state);
    if (pages < 0) {
        AfxMessageBox(QStringLiteral("The printer could not be started; nothing was printed."), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (auto& status = qs::views::Settings().statusMessage; status && pages > 0) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        status(QStringLiteral("Printed %1 page(s) to %2").arg(pages).arg(where));
    }
}

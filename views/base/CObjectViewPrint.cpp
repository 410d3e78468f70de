// Printing a table in parts: the grid becomes a printable sheet (headings
// turned into cells, zero texts into numbers), a print scale is chosen, and
// the table is cut into parts that fit the page, each printed with the
// title block, a "(Part n)" mark and the footnote.
#include "CObjectView.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "CFormula.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "SpreadsheetPrinter.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"

using namespace qs::ss;

namespace {

constexpr const char* kHeadingCellFormat = "_(@_);_(@_);_(@_);_(@_)";
constexpr const char* kCannotFitTables = "Cannot fit tables to page.\nPlease select a smaller number of tables per page.";
constexpr const char* kCannotFitTable = "Cannot fit table to page, table too big.";
constexpr const char* kPartTooBig = "Cannot print the table: a row or column is too big for the page.";

CPrintPageState* StateOf(CPrintInfo* pInfo) { return pInfo != nullptr ? pInfo->m_lpUserData : nullptr; }

void SetSelectionFont(SpreadsheetControl* ctrl, const CLOGFONT& record) {
    QsLogFont lf{};
    record.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0,
                  QColor(Qt::black));
}

// Device units of a size in twips at a scale, as the printer's pixels per
// inch scaled by the percentage (rounded) times the twips.
qint64 TwipsToDevice(qint64 twips, int dpi, int scale) { return (qint64(dpi) * scale + 50) / 100 * twips / 1440; }

QString WithLineEnd(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out + QLatin1Char('\n');
}

}  // namespace

QRect CObjectView::UsableRect(const CPrintPageState& state) {
    QRect r = state.m_rectPage;
    int top = r.top(), bottom = r.top() + r.height();
    if (state.FitWidth() && state.FitHeight() && state.m_nTablesPerPage != 0)
        bottom = top + (bottom - top) / state.m_nTablesPerPage;
    top += state.m_nHeaderSpace + state.m_nTitleSpace;
    bottom -= state.m_nFootnoteSpace;
    return QRect(r.left(), top, r.width(), std::max(0, bottom - top));
}

bool CObjectView::StopPrintingTooBig(CPrintInfo* pInfo) {
    if (CPrintPageState* state = StateOf(pInfo)) state->m_bContinue = 0;
    if (pInfo != nullptr) pInfo->m_bContinuePrinting = FALSE;
    ::MessageBox(this, QString::fromLatin1(kPartTooBig), QString(), MB_OK | MB_ICONSTOP);
    return false;
}

void CObjectView::PreparePrinting(CPrintInfo* pInfo) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr) return;
    CPrintPageState* state = StateOf(pInfo);
    ctrl->SetRedraw(false);
    if (!m_printScreen.saved) {
        m_printScreen.saved = true;
        m_printScreen.fixedRows = ctrl->FixedRows();
        m_printScreen.fixedCols = ctrl->FixedCols();
        m_printScreen.printScale = ctrl->PrintScale();
        for (int i = 0; i < 10; ++i) m_printScreen.gridSwitches[i] = ctrl->GridSwitch(i + 1);
        for (int i = 0; i < 3; ++i) m_printScreen.printSwitches[i] = ctrl->PrintSwitch(i + 1);
    }

    // Texts that show a zero ("-", "(0)", "$ -") print as the number 0 in
    // the print format; "#N/A" as the page state's replacement.
    std::string symbol;
    int position = 0;
    if (project != nullptr) project->GetCurrencySymbol(symbol, position);
    const QString zeroChars = QString::fromStdString(symbol) + QStringLiteral("-0.()%");
    const QString naText = state != nullptr ? state->m_strNAText : QStringLiteral("#N/A");
    const int lastRow = ctrl->MaxRow(), lastCol = ctrl->MaxCol();
    for (int r = ctrl->FixedRows() + 1; r <= lastRow; ++r) {
        for (int c = ctrl->FixedCols() + 1; c <= lastCol; ++c) {
            const Cell* cell = ctrl->Sheet().CellAt(r, c);
            if (cell == nullptr || cell->kind != CellKind::Text) continue;
            QString text;
            ctrl->GetText(r, c, text);
            text = text.trimmed();
            if (text == QStringLiteral("#N/A")) {
                ctrl->SetText(r, c, naText);
            } else if (!text.isEmpty() && (text.contains(QLatin1Char('-')) || text.startsWith(QLatin1Char('('))) &&
                       std::all_of(text.begin(), text.end(), [&](QChar ch) { return zeroChars.contains(ch); })) {
                ctrl->SetNumber(r, c, 0.0);
            }
        }
    }

    CLOGFONT headings;
    if (state != nullptr) headings = state->m_LabelsFont;
    else if (project != nullptr) project->GetHeadingsFont(headings);

    // The headings as the grid shows them now: a heading without a text of
    // its own shows its row number or column letters, which the insertions
    // below would shift.
    QStringList colHeadings, rowHeadings;
    for (int c = 1; c <= lastCol; ++c) colHeadings << ctrl->ColHeadingText(c);
    for (int r = 1; r <= lastRow; ++r) rowHeadings << ctrl->RowHeadingText(r);

    // The column headings become the first row of cells.
    ctrl->InsertRows(1, 1);
    ctrl->SetMaxRow(lastRow + 1);
    ctrl->SetFixedRows(ctrl->FixedRows() + 1);
    ctrl->SetSelection(1, 1, 1, lastCol);
    ctrl->SetNumberFormat(QString::fromLatin1(kHeadingCellFormat));
    ctrl->SetAlignment(SSH_Right, false, SSV_Center, 0);
    SetSelectionFont(ctrl, headings);
    for (int c = 1; c <= lastCol; ++c) ctrl->SetText(1, c, colHeadings.at(c - 1));

    // The row headings become the first column.
    ctrl->InsertCols(1, 1);
    ctrl->SetMaxCol(lastCol + 1);
    ctrl->SetFixedCols(ctrl->FixedCols() + 1);
    ctrl->SetSelection(1, 1, lastRow + 1, 1);
    ctrl->SetNumberFormat(QString::fromLatin1(kHeadingCellFormat));
    ctrl->SetAlignment(SSH_Center, false, SSV_Bottom, 0);
    SetSelectionFont(ctrl, headings);
    for (int r = 2; r <= lastRow + 1; ++r) ctrl->SetText(r, 1, rowHeadings.at(r - 2));
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetAlignment(SSH_Center, false, SSV_Bottom, 0);
    SetSelectionFont(ctrl, headings);
    m_printScreen.headingsInserted = true;

    ctrl->SetGridSwitch(SSG_ShowRowHeadings, false);
    ctrl->SetGridSwitch(SSG_ShowColHeadings, false);
    for (int sw : {SSP_RowHeadings, SSP_ColHeadings, SSP_GridLines}) ctrl->SetPrintSwitch(sw, false);
    ctrl->SetGridSwitch(SSG_ShowSelection, false);
    ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
    const QColor black(Qt::black);
    ctrl->SetBorder(SSB_None, -1, -1, -1, -1, -1, black, black, black, black, black);
    ctrl->SetPattern(0, QColor(Qt::white), QColor(Qt::white));
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetRedraw(true);
}

void CObjectView::BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) {
    SpreadsheetControl* ctrl = GetCtrl();
    CPrintPageState* state = StateOf(pInfo);
    if (ctrl == nullptr || state == nullptr || pInfo->m_pPrinter == nullptr) {
        if (state != nullptr) state->m_bContinue = 0;
        if (pInfo != nullptr) pInfo->m_bContinuePrinting = FALSE;
        return;
    }
    const bool selChangeNotify = ctrl->IsNotifyEnabled(SSN_SelChange);
    ctrl->EnableNotify(SSN_SelChange, false);
    OnFormat(state);
    state->m_nFootnoteSpace = GetFootnoteOffset(pDC, pInfo);
    PreparePrinting(pInfo);
    m_printScreen.selChangeNotify = selChangeNotify;

    state->m_nTitleRows = ctrl->FixedRows();
    state->m_nTitleCols = ctrl->FixedCols();
    state->m_nFirstRow = state->m_nTitleRows + 1;
    state->m_nFirstCol = state->m_nTitleCols + 1;
    state->m_nRowsInPart = state->m_nColsInPart = 0;

    const QRect usable = UsableRect(*state);
    int scale = state->ScalePercent();
    if (state->FitWidth() || state->FitHeight()) {
        const QPrinter& printer = *pInfo->m_pPrinter;
        const QSize heading = ctrl->HeadingSize();
        // The title rows and columns are part of the used range: counted once.
        const QSize table = ctrl->MeasureRange(1, 1, ctrl->MaxRow(), ctrl->MaxCol());
        const qint64 widthTwips = heading.width() + table.width(), heightTwips = heading.height() + table.height();
        const qint64 right = qint64(usable.left()) + usable.width(), bottom = qint64(usable.top()) + usable.height();
        // The largest scale, from the requested one down, at which the table
        // fits; below 10 nothing fits.
        for (; scale >= 10; --scale) {
            const qint64 x = usable.left() + TwipsToDevice(widthTwips, printer.logicalDpiX(), scale);
            const qint64 y = usable.top() + TwipsToDevice(heightTwips, printer.logicalDpiY(), scale);
            const bool fits = state->FitWidth() && state->FitHeight() ? x <= right && y <= bottom
                              : state->FitHeight()                   ? y <= bottom
                                                                     : x <= right;
            if (fits) break;
        }
    }
    if (scale < 10) {
        ::MessageBox(this, QString::fromLatin1(state->m_nTablesPerPage != 0 ? kCannotFitTables : kCannotFitTable),
                     QString(), MB_OK | MB_ICONSTOP);
        state->m_bContinue = 0;
        pInfo->m_bContinuePrinting = FALSE;
        pInfo->m_bAborted = TRUE;
        return;
    }
    ctrl->SetPrintScale(scale);
    state->m_bContinue = 1;
    state->m_nPart = 0;
    OnNextPart(pDC, pInfo);
    const bool inParts = state->m_nFirstCol + state->m_nColsInPart - 1 < ctrl->MaxCol() ||
                         state->m_nFirstRow + state->m_nRowsInPart - 1 < ctrl->MaxRow();
    state->m_nLayout = inParts ? 2 : 1;
    ctrl->SetGridSwitch(SSG_ShowGridLines, state->m_nLayout == 1);
    // A first part that cannot fit a page would print nothing: say so
    // rather than end the job in silence.
    const int needed = state->m_nPartHeight + state->m_nFootnoteSpace + state->m_nHeaderSpace + state->m_nTitleSpace;
    if (state->m_nRowsInPart == 0 || state->m_nColsInPart == 0 || needed > pInfo->m_rectDraw.height()) {
        StopPrintingTooBig(pInfo);
        pInfo->m_bAborted = TRUE;
    }
}

void CObjectView::CalculatePartSize(QPainter*, CPrintInfo* pInfo) {
    SpreadsheetControl* ctrl = GetCtrl();
    CPrintPageState* state = StateOf(pInfo);
    if (ctrl == nullptr || state == nullptr || pInfo->m_pPrinter == nullptr) return;
    const QRect usable = UsableRect(*state);
    const SpreadsheetPrinter printer(*ctrl);
    const SpreadsheetPrinter::Part part = printer.MeasurePart(*pInfo->m_pPrinter, usable.size(), state->m_nFirstRow,
                                                              state->m_nFirstCol, ctrl->MaxRow(), ctrl->MaxCol());
    state->m_nRowsInPart = part.rows;
    state->m_nColsInPart = part.cols;
    state->m_nPartWidth = int(part.size.width() + 0.5);
    state->m_nPartHeight = int(part.size.height() + 0.5);
}

BOOL CObjectView::NextPart(QPainter*, CPrintInfo* pInfo) {
    SpreadsheetControl* ctrl = GetCtrl();
    CPrintPageState* state = StateOf(pInfo);
    if (ctrl == nullptr || state == nullptr) return FALSE;
    const int lastRow = ctrl->MaxRow(), lastCol = ctrl->MaxCol();
    bool more = true;
    if (ctrl->PrintOrder() == 0) {
        state->m_nFirstRow += state->m_nRowsInPart;
        if (state->m_nFirstRow > lastRow) {
            state->m_nFirstRow = state->m_nTitleRows + 1;
            state->m_nFirstCol += state->m_nColsInPart;
            more = state->m_nFirstCol <= lastCol;
        }
    } else {
        state->m_nFirstCol += state->m_nColsInPart;
        if (state->m_nFirstCol > lastCol) {
            state->m_nFirstCol = state->m_nTitleCols + 1;
            state->m_nFirstRow += state->m_nRowsInPart;
            more = state->m_nFirstRow <= lastRow;
        }
    }
    if (!more) {
        state->m_bContinue = 0;
        return FALSE;
    }
    ++state->m_nPart;
    return TRUE;
}

BOOL CObjectView::OnNextPart(QPainter* pDC, CPrintInfo* pInfo) {
    if (!NextPart(pDC, pInfo)) return FALSE;
    CalculatePartSize(pDC, pInfo);
    return TRUE;
}

namespace {

QString ExpandFields(const QString& text, CPrintInfo* pInfo, CObjectView* view) {
    if (auto& expand = qs::views::Settings().expandPrintFields) return expand(text, pInfo, view);
    if (!text.contains(QStringLiteral("&[Table]")) || view->GetObject() == nullptr) return text;
    std::string layer;
    if (CProject* project = view->GetProject()) project->GetNameLayer(layer, view->GetLayer());
    const QString table = QString::fromStdString(view->GetObject()->GetIDName(-1)) + QStringLiteral(" (") +
                          QString::fromStdString(layer) + QLatin1Char(')');
    QString out = text;
    return out.replace(QStringLiteral("&[Table]"), table);
}

}  // namespace

int CObjectView::GetFootnoteOffset(QPainter*, CPrintInfo* pInfo) {
    CPrintPageState* state = StateOf(pInfo);
    if (state == nullptr || pInfo->m_pPrinter == nullptr || m_pObject == nullptr) return 0;
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    const QFontMetrics metrics(qs::views::FontFromRecord(state->m_FootnoteFont), pInfo->m_pPrinter);
    const int width = std::max(1, pInfo->m_rectDraw.width());
    return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, WithLineEnd(QString::fromStdString(footnote)))
        .height();
}

void CObjectView::PrintTitle(QPainter* pDC, CPrintInfo* pInfo) {
    CPrintPageState* state = StateOf(pInfo);
    if (pDC == nullptr || state == nullptr) return;
    QRect& rect = pInfo->m_rectDraw;
    pDC->save();
    pDC->setFont(qs::views::FontFromRecord(state->m_TitleFont));
    pDC->setPen(Qt::black);
    if (state->m_nLayout == 2)
        pDC->drawText(rect, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, QStringLiteral("(Part %1)").arg(state->m_nPart));
    rect.setTop(rect.top() + state->m_nHeaderSpace);
    if (state->m_nPart == 1 || m_nPartsOnPage == 0) {
        int tallest = 0;
        const Qt::Alignment aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        for (int i = 0; i < 3; ++i) {
            const QString text = WithLineEnd(ExpandFields(QString::fromStdString(state->TitleLine(i)), pInfo, this));
            const int flags = int(aligns[i] | Qt::AlignTop) | Qt::TextWordWrap;
            QRect bounds;
            pDC->drawText(rect, flags, text, &bounds);
            tallest = std::max(tallest, bounds.height());
        }
        rect.setTop(rect.top() + tallest);
    }
    pDC->restore();
}

void CObjectView::PrintFootnote(QPainter* pDC, CPrintInfo* pInfo) {
    CPrintPageState* state = StateOf(pInfo);
    if (pDC == nullptr || state == nullptr || m_pObject == nullptr) return;
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    const QString text = WithLineEnd(ExpandFields(QString::fromStdString(footnote), pInfo, this));
    QRect& rect = pInfo->m_rectDraw;
    pDC->save();
    pDC->setFont(qs::views::FontFromRecord(state->m_FootnoteFont));
    pDC->setPen(Qt::black);
    QRect bounds;
    pDC->drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text, &bounds);
    pDC->restore();
    rect.setTop(rect.top() + bounds.height() + 1);
}

void CObjectView::Print(QPainter* pDC, CPrintInfo* pInfo) {
    SpreadsheetControl* ctrl = GetCtrl();
    CPrintPageState* state = StateOf(pInfo);
    if (pDC == nullptr || ctrl == nullptr || state == nullptr) return;
    if (state->m_nRowsInPart == 0 || state->m_nColsInPart == 0) {
        StopPrintingTooBig(pInfo);
        return;
    }
    const int needed = state->m_nHeaderSpace + state->m_nFootnoteSpace + state->m_nTitleSpace + state->m_nPartHeight;
    if (pInfo->m_rectDraw.height() < needed) {
        // On a fresh page the part would never fit: stop instead of
        // turning out empty pages.
        if (m_nPartsOnPage == 0) {
            StopPrintingTooBig(pInfo);
            return;
        }
        PrintFootnote(pDC, pInfo);  // the part goes to the next page
        return;
    }
    PrintTitle(pDC, pInfo);
    const SpreadsheetPrinter printer(*ctrl);
    printer.PrintPart(*pDC, pInfo->m_rectDraw.topLeft(), state->m_nFirstRow, state->m_nFirstCol, state->m_nRowsInPart,
                      state->m_nColsInPart);
    pInfo->m_rectDraw.setTop(pInfo->m_rectDraw.top() + state->m_nPartHeight);
    ++m_nPartsOnPage;
    if (!OnNextPart(pDC, pInfo)) {
        PrintFootnote(pDC, pInfo);
        return;
    }
    if (state->m_bNewPageEachPart == 0) Print(pDC, pInfo);
}

void CObjectView::EndPrinting(QPainter*, CPrintInfo*) {}

void CObjectView::OnPrepareDC(QPainter*, CPrintInfo* pInfo) {
    CPrintPageState* state = StateOf(pInfo);
    if (pInfo != nullptr && (state == nullptr || state->m_bContinue == 0)) pInfo->m_bContinuePrinting = FALSE;
}

void CObjectView::OnPrint(QPainter* pDC, CPrintInfo* pInfo) {
    m_nPartsOnPage = 0;
    Print(pDC, pInfo);
}

void CObjectView::RestoreScreenAfterPrinting() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || !m_printScreen.saved) return;
    ctrl->SetRedraw(false);
    if (m_printScreen.headingsInserted) {
        ctrl->DeleteRows(1, 1);
        ctrl->DeleteCols(1, 1);
    }
    ctrl->SetFixedRows(m_printScreen.fixedRows);
    ctrl->SetFixedCols(m_printScreen.fixedCols);
    ctrl->SetPrintScale(m_printScreen.printScale);
    for (int i = 0; i < 10; ++i) ctrl->SetGridSwitch(i + 1, m_printScreen.gridSwitches[i]);
    for (int i = 0; i < 3; ++i) ctrl->SetPrintSwitch(i + 1, m_printScreen.printSwitches[i]);
    ctrl->EnableNotify(SSN_SelChange, m_printScreen.selChangeNotify);
    ctrl->SetRedraw(true);
    m_printScreen = PrintScreenState{};
    if (OnFormat(nullptr)) OnUpdateData(FALSE);
}

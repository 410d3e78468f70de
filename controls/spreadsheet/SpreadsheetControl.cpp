#include "SpreadsheetControl.h"

#include "SheetRenderer.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace qs::ss {

namespace {

bool RowOk(int row) { return row >= 1 && row <= kMaxRows; }
bool ColOk(int col) { return col >= 1 && col <= kMaxCols; }

int CheckCell(int row, int col) {
    if (!RowOk(row)) return SS_BadRow;
    if (!ColOk(col)) return SS_BadColumn;
    return SS_OK;
}

}  // namespace

SpreadsheetControl::SpreadsheetControl(QWidget* parent)
    : QAbstractScrollArea(parent), m_sheet(std::make_shared<SheetData>()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    m_selection.append(Range{1, 1, 1, 1});
    ConnectSheet();
    UpdateScrollBars();
}

SpreadsheetControl::~SpreadsheetControl() {
    // A pending edit must not commit into a half-destroyed control.
    m_destroying = true;
    if (m_editor) {
        m_editor->removeEventFilter(this);
        m_editor->disconnect(this);
    }
    disconnect(m_sheetConnection);
}

void SpreadsheetControl::ConnectSheet() {
    disconnect(m_sheetConnection);
    m_sheetConnection = connect(m_sheet.get(), &SheetData::Changed, this, &SpreadsheetControl::OnSheetChanged);
}

void SpreadsheetControl::OnSheetChanged() {
    if (!m_redraw) {
        m_pendingLayout = true;
        return;
    }
    UpdateScrollBars();
    viewport()->update();
}

int SpreadsheetControl::Join(SpreadsheetControl* other) {
    if (!other || other == this) return SS_BadArgument;
    m_sheet = other->m_sheet;
    m_setUp = other->m_setUp;
    ConnectSheet();
    OnSheetChanged();
    return SS_OK;
}

// --- notifications -------------------------------------------------------------

int SpreadsheetControl::EnableNotify(int code, bool on) {
    if (code < kFirstNotify || code > kLastNotify) return SS_BadArgument;
    m_notify[code - kFirstNotify] = on;
    m_setUp = true;
    return SS_OK;
}

int SpreadsheetControl::QueryNotify(int code, bool& on) const {
    if (code < kFirstNotify || code > kLastNotify) return SS_BadArgument;
    on = m_notify[code - kFirstNotify];
    return SS_OK;
}

bool SpreadsheetControl::IsNotifyEnabled(int code) const {
    return code >= kFirstNotify && code <= kLastNotify && m_notify[code - kFirstNotify];
}

bool SpreadsheetControl::Send(Notification& n) {
    if (!IsNotifyEnabled(n.code)) return false;
    emit Notified(n.code, n.row, n.col, &n);
    return n.cancel;
}

bool SpreadsheetControl::Send(int code, int row, int col) {
    Notification n;
    n.code = code;
    n.row = row;
    n.col = col;
    return Send(n);
}

// --- view ------------------------------------------------------------------------

void SpreadsheetControl::SetRedraw(bool on) {
    if (m_redraw == on) return;
    m_redraw = on;
    viewport()->setUpdatesEnabled(on);
    if (on) {
        m_pendingLayout = false;
        UpdateScrollBars();
        PlaceEditor();
        viewport()->update();
    }
}

int SpreadsheetControl::SetViewScale(int percent) {
    if (percent < 10 || percent > 400) return SS_BadArgument;
    m_viewScale = percent;
    OnSheetChanged();
    PlaceEditor();
    return SS_OK;
}

void SpreadsheetControl::SetGridColor(const QColor& c) {
    m_gridColor = c;
    viewport()->update();
}

int SpreadsheetControl::SetGridSwitch(int number, bool on) {
    if (number < 1 || number > kGridSwitchCount) return SS_BadArgument;
    m_switches[number - 1] = on;
    if (number == SSG_AllowEditing && !on && IsEditing()) CancelEdit();
    OnSheetChanged();
    return SS_OK;
}

bool SpreadsheetControl::GridSwitch(int number) const {
    return number >= 1 && number <= kGridSwitchCount && m_switches[number - 1];
}

int SpreadsheetControl::SetPrintSwitch(int number, bool on) {
    if (number < 1 || number > kPrintSwitchCount) return SS_BadArgument;
    m_printSwitches[number - 1] = on;
    return SS_OK;
}

bool SpreadsheetControl::PrintSwitch(int number) const {
    return number >= 1 && number <= kPrintSwitchCount && m_printSwitches[number - 1];
}

double SpreadsheetControl::PxPerTwipX() const { return logicalDpiX() * m_viewScale / 100.0 / 1440.0; }
double SpreadsheetControl::PxPerTwipY() const { return logicalDpiY() * m_viewScale / 100.0 / 1440.0; }

double SpreadsheetControl::HeadingWidthPx() const {
    return m_switches[SSG_ShowRowHeadings - 1] ? m_sheet->HeadingColWidth() * PxPerTwipX() : 0.0;
}

double SpreadsheetControl::HeadingHeightPx() const {
    return m_switches[SSG_ShowColHeadings - 1] ? m_sheet->HeadingRowHeight() * PxPerTwipY() : 0.0;
}

std::vector<int> SpreadsheetControl::VisibleRows(double height) const {
    std::vector<int> rows;
    const double k = PxPerTwipY();
    double y = 0;
    const int last = m_sheet->MaxRow();
    for (int r = 1; r <= std::min(m_fixedRows, last) && y < height; ++r) {
        rows.push_back(r);
        y += m_sheet->RowHeight(r) * k;
    }
    for (int r = std::max(m_topRow, m_fixedRows + 1); r <= last && y < height; ++r) {
        const double h = m_sheet->RowHeight(r) * k;
        if (h <= 0) continue;
        rows.push_back(r);
        y += h;
    }
    return rows;
}

std::vector<int> SpreadsheetControl::VisibleCols(double width) const {
    std::vector<int> cols;
    const double k = PxPerTwipX();
    double x = 0;
    const int last = m_sheet->MaxCol();
    for (int c = 1; c <= std::min(m_fixedCols, last) && x < width; ++c) {
        cols.push_back(c);
        x += m_sheet->ColWidth(c) * k;
    }
    for (int c = std::max(m_leftCol, m_fixedCols + 1); c <= last && x < width; ++c) {
        const double w = m_sheet->ColWidth(c) * k;
        if (w <= 0) continue;
        cols.push_back(c);
        x += w;
    }
    return cols;
}

void SpreadsheetControl::UpdateScrollBars() {
    const int firstRow = std::min(m_fixedRows + 1, m_sheet->MaxRow());
    const int firstCol = std::min(m_fixedCols + 1, m_sheet->MaxCol());
    const QSize vp = viewport()->size();
    const int rowsShown = std::max<int>(1, int(VisibleRows(vp.height() - HeadingHeightPx()).size()) - m_fixedRows);
    const int colsShown = std::max<int>(1, int(VisibleCols(vp.width() - HeadingWidthPx()).size()) - m_fixedCols);
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const QSignalBlocker bv(v), bh(h);
    v->setRange(firstRow, std::max(firstRow, m_sheet->MaxRow()));
    v->setPageStep(rowsShown);
    h->setRange(firstCol, std::max(firstCol, m_sheet->MaxCol()));
    h->setPageStep(colsShown);
    m_topRow = std::clamp(m_topRow, firstRow, std::max(firstRow, m_sheet->MaxRow()));
    m_leftCol = std::clamp(m_leftCol, firstCol, std::max(firstCol, m_sheet->MaxCol()));
    v->setValue(m_topRow);
    h->setValue(m_leftCol);
}

void SpreadsheetControl::scrollContentsBy(int, int) {
    const int top = verticalScrollBar()->value(), left = horizontalScrollBar()->value();
    if (top == m_topRow && left == m_leftCol) return;
    m_topRow = top;
    m_leftCol = left;
    PlaceEditor();
    viewport()->update();
    Send(SSN_TopLeftChanged, m_topRow, m_leftCol);
}

void SpreadsheetControl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    // A cell made current before the grid had its size was scrolled to the
    // top of a window too small to show anything; now that the window is on
    // screen, scroll from the top only as far as that cell needs.
    const bool roomForCells =
        viewport()->height() - HeadingHeightPx() >= 60 && viewport()->width() - HeadingWidthPx() >= 60;
    if (!m_placedOnScreen && isVisible() && roomForCells) {
        m_placedOnScreen = true;
        m_topRow = m_fixedRows + 1;
        m_leftCol = m_fixedCols + 1;
        UpdateScrollBars();
        ShowActiveCell();
    }
    UpdateScrollBars();
}

void SpreadsheetControl::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QRect all = viewport()->rect();
    RenderSpec spec;
    spec.pxPerTwipX = PxPerTwipX();
    spec.pxPerTwipY = PxPerTwipY();
    spec.fontScale = m_viewScale / 100.0;
    spec.gridLines = m_switches[SSG_ShowGridLines - 1];
    spec.gridColor = m_gridColor;
    spec.background = m_background;
    SheetRenderer renderer(*m_sheet, spec);
    const double hw = HeadingWidthPx(), hh = HeadingHeightPx();
    const std::vector<int> rows = VisibleRows(all.height() - hh);
    const std::vector<int> cols = VisibleCols(all.width() - hw);
    p.fillRect(all, palette().color(QPalette::Window));
    renderer.PaintCells(p, QPointF(hw, hh), rows, cols);

    if (m_switches[SSG_ShowSelection - 1]) {
        QColor shade = palette().color(QPalette::Highlight);
        shade.setAlpha(60);
        for (const Range& range : m_selection) {
            for (int r : rows) {
                if (r < range.row1 || r > range.row2) continue;
                for (int c : cols) {
                    if (c < range.col1 || c > range.col2 || (r == m_activeRow && c == m_activeCol)) continue;
                    p.fillRect(CellRect(r, c), shade);
                }
            }
        }
        const QRect active = CellRect(m_activeRow, m_activeCol);
        if (!active.isEmpty()) {
            QPen pen(palette().color(QPalette::Highlight), 2);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(active.adjusted(1, 1, -1, -1));
        }
    }
    QList<int> rowMarks, colMarks;
    for (int r : rows)
        if (r == m_activeRow) rowMarks.append(r);
    for (int c : cols)
        if (c == m_activeCol) colMarks.append(c);
    if (hh > 0) renderer.PaintColHeadings(p, QPointF(hw, 0), cols, hh, colMarks);
    if (hw > 0) renderer.PaintRowHeadings(p, QPointF(0, hh), rows, hw, rowMarks);
    if (hw > 0 && hh > 0) renderer.PaintCorner(p, QRectF(0, 0, hw, hh));
}

bool SpreadsheetControl::HitTest(const QPoint& pos, int& row, int& col) const {
    const double hw = HeadingWidthPx(), hh = HeadingHeightPx();
    const QSize vp = viewport()->size();
    row = col = -1;
    if (pos.y() < hh) row = 0;
    if (pos.x() < hw) col = 0;
    if (row < 0) {
        double y = hh;
        for (int r : VisibleRows(vp.height() - hh)) {
            y += m_sheet->RowHeight(r) * PxPerTwipY();
            if (pos.y() < y) {
                row = r;
                break;
            }
        }
    }
    if (col < 0) {
        double x = hw;
        for (int c : VisibleCols(vp.width() - hw)) {
            x += m_sheet->ColWidth(c) * PxPerTwipX();
            if (pos.x() < x) {
                col = c;
                break;
            }
        }
    }
    return row >= 0 && col >= 0;
}

QRect SpreadsheetControl::CellRect(int row, int col) const {
    const double hw = HeadingWidthPx(), hh = HeadingHeightPx();
    const QSize vp = viewport()->size();
    double y = hh, x = hw;
    bool found = false;
    for (int r : VisibleRows(vp.height() - hh)) {
        if (r == row) {
            found = true;
            break;
        }
        y += m_sheet->RowHeight(r) * PxPerTwipY();
    }
    if (!found) return {};
    found = false;
    for (int c : VisibleCols(vp.width() - hw)) {
        if (c == col) {
            found = true;
            break;
        }
        x += m_sheet->ColWidth(c) * PxPerTwipX();
    }
    if (!found) return {};
    return QRectF(x, y, m_sheet->ColWidth(col) * PxPerTwipX(), m_sheet->RowHeight(row) * PxPerTwipY()).toRect();
}

// --- selection ---------------------------------------------------------------------

int SpreadsheetControl::SetSelection(int row1, int col1, int row2, int col2) {
    Range r;
    if (!NormalizeRange(row1, col1, row2, col2, r)) return SS_BadArgument;
    // A pending edit belongs to the old active cell: store it before moving.
    if (IsEditing() && !m_committing) CommitEdit();
    m_selection = {r};
    m_headSel = {};
    m_activeRow = m_anchorRow = r.row1;
    m_activeCol = m_anchorCol = r.col1;
    viewport()->update();
    Send(SSN_SelChange, m_activeRow, m_activeCol);
    return SS_OK;
}

int SpreadsheetControl::AddSelection(int row1, int col1, int row2, int col2) {
    Range r;
    if (!NormalizeRange(row1, col1, row2, col2, r)) return SS_BadArgument;
    m_selection.append(r);
    viewport()->update();
    Send(SSN_SelChange, m_activeRow, m_activeCol);
    return SS_OK;
}

int SpreadsheetControl::GetSelection(int index, int& row1, int& col1, int& row2, int& col2) const {
    if (index < 0 || index >= m_selection.size()) return SS_BadIndex;
    const Range& r = m_selection[index];
    row1 = r.row1;
    col1 = r.col1;
    row2 = r.row2;
    col2 = r.col2;
    return SS_OK;
}

int SpreadsheetControl::SelectHeadings(bool corner, bool rows, bool cols) {
    m_headSel.corner = corner;
    m_headSel.rows = rows;
    m_headSel.cols = cols;
    return SS_OK;
}

int SpreadsheetControl::SetActiveCell(int row, int col) {
    if (int s = CheckCell(row, col)) return s;
    if (IsEditing() && !CommitEdit()) return SS_Cancelled;
    m_activeRow = m_anchorRow = row;
    m_activeCol = m_anchorCol = col;
    bool inside = false;
    for (const Range& r : m_selection) inside = inside || r.Contains(row, col);
    if (!inside) m_selection = {Range{row, col, row, col}};
    viewport()->update();
    Send(SSN_SelChange, row, col);
    return SS_OK;
}

int SpreadsheetControl::ShowCell(int row, int col) {
    if (int s = CheckCell(row, col)) return s;
    const QSize vp = viewport()->size();
    const double rowsSpace = vp.height() - HeadingHeightPx(), colsSpace = vp.width() - HeadingWidthPx();
    if (row > m_fixedRows) {
        if (row < m_topRow) {
            m_topRow = row;
        } else {
            // Move the top down until the row's bottom edge is on screen.
            double fixed = 0;
            for (int r = 1; r <= m_fixedRows; ++r) fixed += m_sheet->RowHeight(r) * PxPerTwipY();
            double sum = 0;
            for (int r = row; r >= m_fixedRows + 1; --r) {
                sum += m_sheet->RowHeight(r) * PxPerTwipY();
                if (fixed + sum > rowsSpace) {
                    m_topRow = std::max(m_topRow, std::min(row, r + 1));
                    break;
                }
            }
        }
    }
    if (col > m_fixedCols) {
        if (col < m_leftCol) {
            m_leftCol = col;
        } else {
            double fixed = 0;
            for (int c = 1; c <= m_fixedCols; ++c) fixed += m_sheet->ColWidth(c) * PxPerTwipX();
            double sum = 0;
            for (int c = col; c >= m_fixedCols + 1; --c) {
                sum += m_sheet->ColWidth(c) * PxPerTwipX();
                if (fixed + sum > colsSpace) {
                    m_leftCol = std::max(m_leftCol, std::min(col, c + 1));
                    break;
                }
            }
        }
    }
    UpdateScrollBars();
    PlaceEditor();
    viewport()->update();
    return SS_OK;
}

// --- cells -------------------------------------------------------------------------

int SpreadsheetControl::SetNumber(int row, int col, double value) {
    if (int s = CheckCell(row, col)) return s;
    if (!std::isfinite(value)) return SS_BadArgument;
    m_sheet->SetNumber(row, col, value);
    return SS_OK;
}

int SpreadsheetControl::SetText(int row, int col, const QString& text) {
    if (int s = CheckCell(row, col)) return s;
    m_sheet->SetText(row, col, text);
    return SS_OK;
}

int SpreadsheetControl::SetEntry(int row, int col, const QString& entry) {
    if (int s = CheckCell(row, col)) return s;
    m_sheet->SetEntry(row, col, entry);
    return SS_OK;
}

int SpreadsheetControl::GetText(int row, int col, QString& text) const {
    if (int s = CheckCell(row, col)) return s;
    text = m_sheet->DisplayText(row, col);
    return SS_OK;
}

int SpreadsheetControl::GetEntry(int row, int col, QString& text) const {
    if (int s = CheckCell(row, col)) return s;
    text = m_sheet->EntryText(row, col);
    return SS_OK;
}

int SpreadsheetControl::GetNumber(int row, int col, double& value) const {
    if (int s = CheckCell(row, col)) return s;
    const Cell* c = m_sheet->CellAt(row, col);
    value = c && c->kind == CellKind::Number ? c->number : 0.0;
    return SS_OK;
}

int SpreadsheetControl::LastRow() const {
    int r1, c1, r2, c2;
    m_sheet->Bounds(r1, c1, r2, c2);
    return r2;
}

int SpreadsheetControl::LastCol() const {
    int r1, c1, r2, c2;
    m_sheet->Bounds(r1, c1, r2, c2);
    return c2;
}

int SpreadsheetControl::SetMaxRow(int row) {
    if (!RowOk(row)) return SS_BadRow;
    m_sheet->SetMaxRow(row);
    return SS_OK;
}

int SpreadsheetControl::SetMaxCol(int col) {
    if (!ColOk(col)) return SS_BadColumn;
    m_sheet->SetMaxCol(col);
    return SS_OK;
}

// --- formats --------------------------------------------------------------------------

int SpreadsheetControl::ApplyToSelection(const std::function<void(CellStyle&)>& change) {
    if (m_selection.isEmpty()) return SS_NoSelection;
    m_sheet->BeginUpdate();
    for (const Range& r : m_selection) m_sheet->ModifyStyle(r, change);
    m_sheet->EndUpdate();
    return SS_OK;
}

int SpreadsheetControl::SetNumberFormat(const QString& format) {
    if (!NumberFormat(format).IsValid()) return SS_BadFormat;
    return ApplyToSelection([&](CellStyle& s) { s.numberFormat = format; });
}

int SpreadsheetControl::GetNumberFormat(QString& format) const {
    format = m_sheet->StyleAt(m_activeRow, m_activeCol).numberFormat;
    return SS_OK;
}

int SpreadsheetControl::SetFont(const QString& face, double size, bool bold, bool italic, bool underline,
                                bool strikeout, const QColor& color) {
    if (size <= 0) return SS_BadArgument;
    FontSpec spec{face.isEmpty() ? m_sheet->DefaultFont().face : face, size, bold, italic, underline, strikeout,
                  color};
    if (HeadingsSelected()) {
        m_sheet->SetHeadingFont(spec);
        return SS_OK;
    }
    return ApplyToSelection([&](CellStyle& s) {
        s.hasFont = true;
        s.font = spec;
    });
}

int SpreadsheetControl::SetDefaultFont(const QString& face, double size) {
    if (size <= 0 || face.isEmpty()) return SS_BadArgument;
    FontSpec spec = m_sheet->DefaultFont();
    spec.face = face;
    spec.size = size;
    m_sheet->SetDefaultFont(spec);
    return SS_OK;
}

FontSpec SpreadsheetControl::GetFont() const {
    if (HeadingsSelected()) return m_sheet->HeadingFont();
    return m_sheet->EffectiveFont(m_sheet->StyleAt(m_activeRow, m_activeCol));
}

int SpreadsheetControl::SetPattern(int pattern, const QColor& fg, const QColor& bg) {
    if (pattern < 0 || pattern >= kPatternCount) return SS_BadArgument;
    return ApplyToSelection([&](CellStyle& s) {
        s.pattern = pattern;
        s.patternFg = fg;
        s.patternBg = bg;
    });
}

int SpreadsheetControl::GetPattern(int& pattern, QColor& fg, QColor& bg) const {
    const CellStyle& s = m_sheet->StyleAt(m_activeRow, m_activeCol);
    pattern = s.pattern;
    fg = s.patternFg;
    bg = s.patternBg;
    return SS_OK;
}

int SpreadsheetControl::SetBorder(int outline, int left, int right, int top, int bottom, int /*shade*/,
                                  const QColor& outlineColor, const QColor& leftColor, const QColor& rightColor,
                                  const QColor& topColor, const QColor& bottomColor) {
    for (int v : {outline, left, right, top, bottom})
        if (v < -1 || v > SSB_Hair) return SS_BadArgument;
    if (m_selection.isEmpty()) return SS_NoSelection;
    m_sheet->BeginUpdate();
    auto setSide = [](int side, int style, const QColor& color) {
        return [=](CellStyle& s) { s.border[side] = BorderSide{style, color}; };
    };
    for (const Range& r : m_selection) {
        if (left >= 0) m_sheet->ModifyStyle(r, setSide(SideLeft, left, leftColor));
        if (right >= 0) m_sheet->ModifyStyle(r, setSide(SideRight, right, rightColor));
        if (top >= 0) m_sheet->ModifyStyle(r, setSide(SideTop, top, topColor));
        if (bottom >= 0) m_sheet->ModifyStyle(r, setSide(SideBottom, bottom, bottomColor));
        if (outline >= 0) {
            m_sheet->ModifyStyle(Range{r.row1, r.col1, r.row2, r.col1}, setSide(SideLeft, outline, outlineColor));
            m_sheet->ModifyStyle(Range{r.row1, r.col2, r.row2, r.col2}, setSide(SideRight, outline, outlineColor));
            m_sheet->ModifyStyle(Range{r.row1, r.col1, r.row1, r.col2}, setSide(SideTop, outline, outlineColor));
            m_sheet->ModifyStyle(Range{r.row2, r.col1, r.row2, r.col2}, setSide(SideBottom, outline, outlineColor));
        }
    }
    m_sheet->EndUpdate();
    return SS_OK;
}

int SpreadsheetControl::SetAlignment(int horizontal, bool wrap, int vertical, int orientation) {
    if (horizontal < SSH_General || horizontal > SSH_CenterAcross) return SS_BadArgument;
    if (vertical < SSV_Top || vertical > SSV_Bottom) return SS_BadArgument;
    return ApplyToSelection([&](CellStyle& s) {
        s.hAlign = horizontal;
        s.wrap = wrap;
        s.vAlign = vertical;
        s.orientation = orientation;
    });
}

int SpreadsheetControl::Clear(int kind) {
    if (kind < SSC_All || kind > SSC_Values) return SS_BadArgument;
    if (m_selection.isEmpty()) return SS_NoSelection;
    m_sheet->BeginUpdate();
    for (const Range& r : m_selection) m_sheet->Clear(r, kind);
    m_sheet->EndUpdate();
    return SS_OK;
}

int SpreadsheetControl::ClearRange(int row1, int col1, int row2, int col2, int kind) {
    Range r;
    if (!NormalizeRange(row1, col1, row2, col2, r)) return SS_BadArgument;
    if (kind < SSC_All || kind > SSC_Values) return SS_BadArgument;
    m_sheet->Clear(r, kind);
    return SS_OK;
}

// --- sizes --------------------------------------------------------------------------

int SpreadsheetControl::SetColWidth(int col1, int col2, int twips) {
    Range r;
    if (!NormalizeRange(1, col1, 1, col2, r) || twips < 0) return SS_BadArgument;
    m_sheet->SetColWidth(r.col1, r.col2, twips);
    return SS_OK;
}

int SpreadsheetControl::SetColWidthChars(int col1, int col2, double chars) {
    if (chars < 0) return SS_BadArgument;
    return SetColWidth(col1, col2, int(std::lround(chars * m_sheet->CharWidthTwips())));
}

int SpreadsheetControl::GetColWidth(int col) const { return ColOk(col) ? m_sheet->StoredColWidth(col) : 0; }

double SpreadsheetControl::GetColWidthChars(int col) const {
    return double(GetColWidth(col)) / std::max(1, m_sheet->CharWidthTwips());
}

int SpreadsheetControl::SetRowHeight(int row1, int row2, int twips) {
    Range r;
    if (!NormalizeRange(row1, 1, row2, 1, r) || twips < 0) return SS_BadArgument;
    m_sheet->SetRowHeight(r.row1, r.row2, twips);
    return SS_OK;
}

int SpreadsheetControl::GetRowHeight(int row) const { return RowOk(row) ? m_sheet->StoredRowHeight(row) : 0; }

int SpreadsheetControl::SetColHidden(int col1, int col2, bool hidden) {
    Range r;
    if (!NormalizeRange(1, col1, 1, col2, r)) return SS_BadArgument;
    m_sheet->SetColHidden(r.col1, r.col2, hidden);
    return SS_OK;
}

int SpreadsheetControl::SetRowHidden(int row1, int row2, bool hidden) {
    Range r;
    if (!NormalizeRange(row1, 1, row2, 1, r)) return SS_BadArgument;
    m_sheet->SetRowHidden(r.row1, r.row2, hidden);
    return SS_OK;
}

int SpreadsheetControl::FitColWidths(int col1, int col2) {
    Range r;
    if (!NormalizeRange(1, col1, 1, col2, r)) return SS_BadArgument;
    m_sheet->FitColWidths(r.col1, r.col2);
    return SS_OK;
}

int SpreadsheetControl::FitRowHeights(int row1, int row2) {
    Range r;
    if (!NormalizeRange(row1, 1, row2, 1, r)) return SS_BadArgument;
    m_sheet->FitRowHeights(r.row1, r.row2);
    return SS_OK;
}

int SpreadsheetControl::SetHeadingRowHeight(int twips) {
    if (twips < 0) return SS_BadArgument;
    m_sheet->SetHeadingRowHeight(twips);
    return SS_OK;
}

int SpreadsheetControl::SetHeadingColWidth(int twips) {
    if (twips < 0) return SS_BadArgument;
    m_sheet->SetHeadingColWidth(twips);
    return SS_OK;
}

QSize SpreadsheetControl::HeadingSize() const {
    return QSize(m_switches[SSG_ShowRowHeadings - 1] ? m_sheet->HeadingColWidth() : 0,
                 m_switches[SSG_ShowColHeadings - 1] ? m_sheet->HeadingRowHeight() : 0);
}

QSize SpreadsheetControl::MeasureRange(int row1, int col1, int row2, int col2) const {
    Range r;
    if (!NormalizeRange(row1, col1, row2, col2, r)) return {};
    int w = 0, h = 0;
    for (int c = r.col1; c <= r.col2; ++c) w += m_sheet->ColWidth(c);
    for (int row = r.row1; row <= r.row2; ++row) h += m_sheet->RowHeight(row);
    return QSize(w, h);
}

// --- headings and structure ------------------------------------------------------------

int SpreadsheetControl::SetRowHeadingText(int row, const QString& text) {
    if (!RowOk(row)) return SS_BadRow;
    m_sheet->SetRowHeading(row, text);
    return SS_OK;
}

int SpreadsheetControl::SetColHeadingText(int col, const QString& text) {
    if (!ColOk(col)) return SS_BadColumn;
    m_sheet->SetColHeading(col, text);
    return SS_OK;
}

int SpreadsheetControl::InsertRows(int row1, int row2) {
    if (!RowOk(row1) || !RowOk(row2) || row2 < row1) return SS_BadRow;
    m_sheet->InsertRows(row1, row2);
    return SS_OK;
}

int SpreadsheetControl::InsertCols(int col1, int col2) {
    if (!ColOk(col1) || !ColOk(col2) || col2 < col1) return SS_BadColumn;
    m_sheet->InsertCols(col1, col2);
    return SS_OK;
}

int SpreadsheetControl::DeleteRows(int row1, int row2) {
    if (!RowOk(row1) || !RowOk(row2) || row2 < row1) return SS_BadRow;
    m_sheet->DeleteRows(row1, row2);
    return SS_OK;
}

int SpreadsheetControl::DeleteCols(int col1, int col2) {
    if (!ColOk(col1) || !ColOk(col2) || col2 < col1) return SS_BadColumn;
    m_sheet->DeleteCols(col1, col2);
    return SS_OK;
}

// --- printing settings -----------------------------------------------------------------

int SpreadsheetControl::SetPrintScale(int percent) {
    if (percent != 0 && (percent < 10 || percent > 400)) return SS_BadArgument;
    m_printScale = percent;
    return SS_OK;
}

int SpreadsheetControl::SetFixedRows(int count) {
    if (count < 0 || count >= kMaxRows) return SS_BadArgument;
    m_fixedRows = count;
    OnSheetChanged();
    return SS_OK;
}

int SpreadsheetControl::SetFixedCols(int count) {
    if (count < 0 || count >= kMaxCols) return SS_BadArgument;
    m_fixedCols = count;
    OnSheetChanged();
    return SS_OK;
}

// --- clipboard -------------------------------------------------------------------------

QString SpreadsheetControl::SelectionText() const {
    if (m_selection.isEmpty()) return QString();
    int br1, bc1, br2, bc2;
    m_sheet->Bounds(br1, bc1, br2, bc2);
    if (br2 == 0) return QString();
    const Range& s = m_selection.first();
    const int r1 = std::max(s.row1, br1), r2 = std::min(s.row2, br2);
    const int c1 = std::max(s.col1, bc1), c2 = std::min(s.col2, bc2);
    QString out;
    for (int r = r1; r <= r2; ++r) {
        if (r > r1) out += u'\n';
        for (int c = c1; c <= c2; ++c) {
            if (c > c1) out += u'\t';
            out += m_sheet->DisplayText(r, c).left(255);
        }
    }
    return out;
}

int SpreadsheetControl::EditCopy() {
    if (m_selection.isEmpty()) return SS_NoSelection;
    QApplication::clipboard()->setText(SelectionText());
    return SS_OK;
}

int SpreadsheetControl::EditCut() {
    if (int s = EditCopy()) return s;
    if (!EditingAllowed()) return SS_Cancelled;
    Clear(SSC_Values);
    Send(SSN_Modified, m_activeRow, m_activeCol);
    return SS_OK;
}

bool SpreadsheetControl::CanEditPaste() const {
    if (!EditingAllowed()) return false;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

int SpreadsheetControl::EditPaste() {
    if (!EditingAllowed()) return SS_Cancelled;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return SS_ClipboardEmpty;
    return PasteText(text);
}

int SpreadsheetControl::PasteText(const QString& text) {
    if (m_selection.isEmpty()) return SS_NoSelection;
    QString body = text;
    body.remove(u'\r');
    if (body.endsWith(u'\n')) body.chop(1);
    const QStringList lines = body.split(u'\n');
    const Range& s = m_selection.first();
    m_sheet->BeginUpdate();
    for (int i = 0; i < lines.size() && s.row1 + i <= kMaxRows; ++i) {
        const QStringList fields = lines[i].split(u'\t');
        for (int j = 0; j < fields.size() && s.col1 + j <= kMaxCols; ++j)
            m_sheet->SetEntry(s.row1 + i, s.col1 + j, fields[j]);
    }
    m_sheet->EndUpdate();
    Send(SSN_Modified, s.row1, s.col1);
    return SS_OK;
}

// --- in-cell editing ---------------------------------------------------------------------

bool SpreadsheetControl::IsEditing() const { return m_editor && m_editor->isVisible(); }

int SpreadsheetControl::StartEdit(const QString& initial, bool replace) {
    if (!EditingAllowed()) return SS_Cancelled;
    if (IsEditing()) return SS_OK;
    Notification n;
    n.code = SSN_StartEdit;
    n.row = m_activeRow;
    n.col = m_activeCol;
    if (Send(n)) return SS_Cancelled;
    if (!m_editor) {
        m_editor = new QLineEdit(viewport());
        m_editor->setFrame(false);
        m_editor->installEventFilter(this);
        connect(m_editor, &QLineEdit::textEdited, this, [this] { Send(SSN_EditChange, m_editRow, m_editCol); });
    }
    m_editRow = m_activeRow;
    m_editCol = m_activeCol;
    ShowCell(m_editRow, m_editCol);
    m_editor->setText(replace ? initial : m_sheet->EntryText(m_editRow, m_editCol));
    m_editByTyping = replace;
    PlaceEditor();
    m_editor->show();
    m_editor->setFocus();
    return SS_OK;
}

void SpreadsheetControl::PlaceEditor() {
    if (!IsEditing()) return;
    QRect r = CellRect(m_editRow, m_editCol);
    if (r.isEmpty()) r = QRect(-1000, -1000, 10, 10);  // scrolled away: keep the edit, hide the box
    const FontSpec spec = m_sheet->EffectiveFont(m_sheet->StyleAt(m_editRow, m_editCol));
    m_editor->setFont(SheetData::ToQFont(spec, m_viewScale / 100.0));
    m_editor->setGeometry(r.adjusted(1, 1, -1, -1));
}

bool SpreadsheetControl::CommitEdit() {
    if (!IsEditing() || m_committing || m_destroying) return true;
    m_committing = true;
    Notification n;
    n.code = SSN_EndEdit;
    n.row = m_editRow;
    n.col = m_editCol;
    n.text = m_editor->text();
    const bool cancelled = Send(n);
    if (cancelled || m_destroying) {
        // The host refused the entry: the edit stays open for correction.
        m_committing = false;
        if (m_editor && !m_destroying) m_editor->setFocus();
        return false;
    }
    const QString text = m_editor->text();
    // Hiding the focused editor would hand the focus to the next widget in
    // the window, and the keys typed next would land there: keep it here.
    const bool editorFocused = m_editor->hasFocus();
    m_editor->hide();
    m_committing = false;
    m_sheet->SetEntry(m_editRow, m_editCol, text);
    if (editorFocused || hasFocus() || !QApplication::focusWidget()) setFocus();
    Send(SSN_Modified, m_editRow, m_editCol);
    Send(SSN_EntryStored, m_editRow, m_editCol);
    return true;
}

void SpreadsheetControl::CancelEdit() {
    if (!IsEditing()) return;
    m_editor->hide();
    setFocus();
    Send(SSN_CancelEdit, m_editRow, m_editCol);
}

int SpreadsheetControl::EndEdit() { return CommitEdit() ? SS_OK : SS_Cancelled; }

bool SpreadsheetControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor && !m_destroying) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool shift = key->modifiers() & Qt::ShiftModifier;
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (CommitEdit() && m_enterMovesDown) MoveActive(shift ? -1 : 1, 0, false);
                return true;
            case Qt::Key_Tab:
                if (CommitEdit()) MoveActive(0, 1, false);
                return true;
            case Qt::Key_Backtab:
                if (CommitEdit()) MoveActive(0, -1, false);
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
                if (CommitEdit()) MoveActive(key->key() == Qt::Key_Up ? -1 : 1, 0, false);
                return true;
            case Qt::Key_Left:
            case Qt::Key_Right:
                // An entry begun by typing ends with an arrow key, which then
                // moves on; one opened with F2 keeps the arrows for the text.
                if (!m_editByTyping) break;
                if (CommitEdit()) MoveActive(0, key->key() == Qt::Key_Left ? -1 : 1, false);
                return true;
            case Qt::Key_Escape:
                CancelEdit();
                return true;
            default: break;
            }
        } else if (event->type() == QEvent::FocusOut) {
            auto* focus = static_cast<QFocusEvent*>(event);
            // Leaving for a message box or another window keeps the edit open.
            if (focus->reason() != Qt::ActiveWindowFocusReason && focus->reason() != Qt::PopupFocusReason &&
                !m_committing && QApplication::activeModalWidget() == nullptr)
                CommitEdit();
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// --- user input ---------------------------------------------------------------------------

void SpreadsheetControl::SelectFromUser(const Range& r, bool add) {
    if (add) m_selection.append(r);
    else m_selection = {r};
    m_headSel = {};
    viewport()->update();
    Send(SSN_SelChange, m_activeRow, m_activeCol);
}

void SpreadsheetControl::MoveActive(int dRow, int dCol, bool extend) {
    int row = m_activeRow, col = m_activeCol;
    // Step over hidden rows and columns.
    auto stepRow = [&](int r, int d) {
        int next = r + d;
        while (next >= 1 && next <= m_sheet->MaxRow() && m_sheet->RowHeight(next) == 0) next += d;
        return next >= 1 && next <= m_sheet->MaxRow() ? next : r;
    };
    auto stepCol = [&](int c, int d) {
        int next = c + d;
        while (next >= 1 && next <= m_sheet->MaxCol() && m_sheet->ColWidth(next) == 0) next += d;
        return next >= 1 && next <= m_sheet->MaxCol() ? next : c;
    };
    for (int i = 0; i < std::abs(dRow); ++i) row = stepRow(row, dRow > 0 ? 1 : -1);
    for (int i = 0; i < std::abs(dCol); ++i) col = stepCol(col, dCol > 0 ? 1 : -1);
    m_activeRow = row;
    m_activeCol = col;
    if (extend) {
        SelectFromUser(Range{std::min(m_anchorRow, row), std::min(m_anchorCol, col), std::max(m_anchorRow, row),
                             std::max(m_anchorCol, col)},
                       false);
    } else {
        m_anchorRow = row;
        m_anchorCol = col;
        SelectFromUser(Range{row, col, row, col}, false);
    }
    ShowCell(row, col);
}

bool SpreadsheetControl::ResizeTarget(const QPoint& pos, bool& column, int& index) const {
    constexpr int kGrip = 3;  // pixels either side of a heading edge
    const double hw = HeadingWidthPx(), hh = HeadingHeightPx();
    const QSize vp = viewport()->size();
    if (pos.y() < hh && pos.x() >= hw) {
        double x = hw;
        for (int c : VisibleCols(vp.width() - hw)) {
            x += m_sheet->ColWidth(c) * PxPerTwipX();
            if (std::abs(pos.x() - x) <= kGrip) {
                column = true;
                index = c;
                return true;
            }
        }
    } else if (pos.x() < hw && pos.y() >= hh) {
        double y = hh;
        for (int r : VisibleRows(vp.height() - hh)) {
            y += m_sheet->RowHeight(r) * PxPerTwipY();
            if (std::abs(pos.y() - y) <= kGrip) {
                column = false;
                index = r;
                return true;
            }
        }
    }
    return false;
}

void SpreadsheetControl::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (IsEditing() && !CommitEdit()) return;
    const QPoint pos = event->position().toPoint();
    bool column = false;
    int index = 0;
    if (event->button() == Qt::LeftButton && m_switches[SSG_AllowResize - 1] && ResizeTarget(pos, column, index)) {
        m_resize.active = true;
        m_resize.column = column;
        m_resize.index = index;
        m_resize.startPos = column ? pos.x() : pos.y();
        m_resize.startSize = column ? m_sheet->StoredColWidth(index) : m_sheet->StoredRowHeight(index);
        return;
    }
    int row, col;
    if (!HitTest(event->position().toPoint(), row, col)) return;
    const bool right = event->button() == Qt::RightButton;
    if (row == 0 || col == 0) {
        if (Send(SSN_HeadingClick, row, col) || right) return;
        if (row == 0 && col == 0) {
            m_activeRow = m_activeCol = 1;
            SelectFromUser(Range{1, 1, kMaxRows, kMaxCols}, false);
        } else if (row == 0) {
            m_activeRow = std::max(1, m_topRow);
            m_activeCol = col;
            SelectFromUser(Range{1, col, kMaxRows, col}, false);
        } else {
            m_activeRow = row;
            m_activeCol = std::max(1, m_leftCol);
            SelectFromUser(Range{row, 1, row, kMaxCols}, false);
        }
        return;
    }
    if (right) {
        bool inside = false;
        for (const Range& r : m_selection) inside = inside || r.Contains(row, col);
        if (!inside) {
            m_activeRow = m_anchorRow = row;
            m_activeCol = m_anchorCol = col;
            SelectFromUser(Range{row, col, row, col}, false);
        }
        Send(SSN_RClick, row, col);
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (shift) {
        m_activeRow = row;
        m_activeCol = col;
        SelectFromUser(Range{std::min(m_anchorRow, row), std::min(m_anchorCol, col), std::max(m_anchorRow, row),
                             std::max(m_anchorCol, col)},
                       false);
    } else {
        m_activeRow = m_anchorRow = row;
        m_activeCol = m_anchorCol = col;
        SelectFromUser(Range{row, col, row, col}, ctrl);
        m_dragging = true;
    }
    Send(SSN_Click, row, col);
}

void SpreadsheetControl::mouseMoveEvent(QMouseEvent* event) {
    if (m_resize.active) {
        const QPoint pos = event->position().toPoint();
        const double k = m_resize.column ? PxPerTwipX() : PxPerTwipY();
        const int delta = int(std::lround(((m_resize.column ? pos.x() : pos.y()) - m_resize.startPos) / k));
        const int size = std::max(0, m_resize.startSize + delta);
        if (m_resize.column) m_sheet->SetColWidth(m_resize.index, m_resize.index, size);
        else m_sheet->SetRowHeight(m_resize.index, m_resize.index, size);
        return;
    }
    if (!m_dragging) return;
    int row, col;
    if (!HitTest(event->position().toPoint(), row, col) || row == 0 || col == 0) return;
    const Range r{std::min(m_anchorRow, row), std::min(m_anchorCol, col), std::max(m_anchorRow, row),
                  std::max(m_anchorCol, col)};
    if (!m_selection.isEmpty() && m_selection.last() == r) return;
    if (!m_selection.isEmpty()) m_selection.last() = r;
    viewport()->update();
    Send(SSN_SelChange, m_activeRow, m_activeCol);
}

void SpreadsheetControl::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
    if (m_resize.active) {
        m_resize.active = false;
        if (m_resize.column) Send(SSN_ColWidthChanged, 0, m_resize.index);
        else Send(SSN_RowHeightChanged, m_resize.index, 0);
    }
}

void SpreadsheetControl::mouseDoubleClickEvent(QMouseEvent* event) {
    int row, col;
    if (!HitTest(event->position().toPoint(), row, col)) return;
    if (row == 0 || col == 0) {
        Send(SSN_HeadingDblClick, row, col);
        return;
    }
    // A host that listens to double clicks owns them; otherwise they edit.
    if (IsNotifyEnabled(SSN_DblClick)) {
        Send(SSN_DblClick, row, col);
        return;
    }
    StartEdit();
}

void SpreadsheetControl::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the grid while its editor is open belong to the entry.
    // A key the editor leaves (Shift alone) comes back here as the editor's
    // parent's: it is not handed to the editor again, or the two would pass
    // it back and forth until the stack runs out.
    if (IsEditing() && !m_committing) {
        if (!m_forwardingKey) {
            m_forwardingKey = true;
            QCoreApplication::sendEvent(m_editor, event);
            m_forwardingKey = false;
        }
        return;
    }
    Notification n;
    n.code = SSN_KeyDown;
    n.row = m_activeRow;
    n.col = m_activeCol;
    n.key = event->key();
    n.modifiers = int(event->modifiers());
    n.text = event->text();
    if (Send(n)) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::Copy)) {
        EditCopy();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        EditCut();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        EditPaste();
        return;
    }
    const bool arrows = m_switches[SSG_AllowArrows - 1];
    switch (event->key()) {
    case Qt::Key_Up: if (arrows) MoveActive(-1, 0, shift); return;
    case Qt::Key_Down: if (arrows) MoveActive(1, 0, shift); return;
    case Qt::Key_Left: if (arrows) MoveActive(0, -1, shift); return;
    case Qt::Key_Right: if (arrows) MoveActive(0, 1, shift); return;
    case Qt::Key_PageDown: MoveActive(std::max(1, verticalScrollBar()->pageStep()), 0, shift); return;
    case Qt::Key_PageUp: MoveActive(-std::max(1, verticalScrollBar()->pageStep()), 0, shift); return;
    case Qt::Key_Home:
        if (ctrl) MoveActive(1 - m_activeRow, 1 - m_activeCol, shift);
        else MoveActive(0, 1 - m_activeCol, shift);
        return;
    case Qt::Key_End:
        // End: the row's last column; Ctrl+End: the last cell in use.
        if (ctrl) {
            int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
            m_sheet->Bounds(r1, c1, r2, c2);
            r2 = std::clamp(r2, 1, std::max(1, m_sheet->MaxRow()));
            c2 = std::clamp(c2, 1, std::max(1, m_sheet->MaxCol()));
            MoveActive(r2 - m_activeRow, c2 - m_activeCol, shift);
        } else {
            MoveActive(0, std::max(1, m_sheet->MaxCol()) - m_activeCol, shift);
        }
        return;
    case Qt::Key_Tab: MoveActive(0, 1, false); return;
    case Qt::Key_Backtab: MoveActive(0, -1, false); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_enterMovesDown) MoveActive(shift ? -1 : 1, 0, false);
        return;
    case Qt::Key_F2:
        // F2 edits the entry in place with all of it selected: typing
        // replaces it, the arrow keys move within it.
        if (StartEdit() == SS_OK && m_editor) {
            m_editByTyping = false;
            m_editor->selectAll();
        }
        return;
    case Qt::Key_Delete:
        if (EditingAllowed()) {
            Clear(SSC_Values);
            Send(SSN_Modified, m_activeRow, m_activeCol);
        }
        return;
    default: break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint() && !ctrl && !(event->modifiers() & Qt::AltModifier)) {
        if (StartEdit(text, true) == SS_OK) {
            m_editByTyping = true;
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void SpreadsheetControl::keyReleaseEvent(QKeyEvent* event) {
    Notification n;
    n.code = SSN_KeyUp;
    n.row = m_activeRow;
    n.col = m_activeCol;
    n.key = event->key();
    n.modifiers = int(event->modifiers());
    Send(n);
    QAbstractScrollArea::keyReleaseEvent(event);
}

void SpreadsheetControl::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (!IsEditing()) Send(SSN_SetFocus, m_activeRow, m_activeCol);
}

void SpreadsheetControl::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (!IsEditing()) Send(SSN_KillFocus, m_activeRow, m_activeCol);
}

}  // namespace qs::ss

#include "CTriangView.h"

#include "CommandIds.h"

#include <QApplication>

#include "CDataObject.h"
#include "CDocument.h"
#include "CLOGFONT.h"
#include "CPageSetup.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"

using namespace qs::ss;

namespace {

constexpr const char* kErrMaxRowsCols = "Error: m_pTO->GetMaxRowsCols( maxRow, maxCol )\n";
constexpr const char* kErrLabels = "Error: m_pTO->GetLabels\n";
constexpr const char* kErrColsInRow = "Error: m_pTO->GetNumColsInRow\n";
constexpr std::uint32_t kGrey = 0x808080;

QStringList ToQStrings(const QSStringArray& items) {
    QStringList out;
    for (const auto& s : items) out << QString::fromStdString(s);
    return out;
}

bool IsCalendarTitledObject(QSID id) {
    for (QSID fixed : {QSID(101010494), QSID(101010497)})
        if (GetIDDOType(id) == GetIDDOType(fixed) && GetIDDataType(id) == GetIDDataType(fixed) &&
            GetIDIndex(id) == GetIDIndex(fixed))
            return true;
    return false;
}

void ThinBorders(SpreadsheetControl* ctrl, int r1, int c1, int r2, int c2, int left, int right, int top, int bottom,
                 std::uint32_t colour) {
    if (r2 < r1 || c2 < c1) return;
    ctrl->SetSelection(r1, c1, r2, c2);
    const QColor c = ColorFromRef(colour);
    ctrl->SetBorder(-1, left, right, top, bottom, -1, c, c, c, c, c);
}

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return CTriangView::VK_RETURN;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return CTriangView::VK_TAB;
    case Qt::Key_Insert: return CTriangView::VK_INSERT;
    case Qt::Key_Delete: return CTriangView::VK_DELETE;
    default:
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x30 + (qtKey - Qt::Key_0);
        return 0;
    }
}

}  // namespace

// ---- grid ----------------------------------------------------------------------------

CTriangGrid::CTriangGrid(CTriangView* view) : CObjectViewGrid(view), m_pTriang(view) {}

void CTriangGrid::OnSelChange() {
    SpreadsheetControl* ctrl = Ctrl();
    CDataObject* to = m_pTriang->GetTO();
    if (ctrl == nullptr || to == nullptr) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return;
    std::uint16_t maxRow = 0, maxCol = 0;
    if (to->GetMaxRowsCols(maxRow, maxCol) != qsk::kOk || r1 < 1 || c1 < 1 || r1 > maxRow || c1 > maxCol) return;
    QString text = QStringLiteral(" ");
    if (to->LocationIsValid(r1 - 1, c1 - 1)) {
        QSStringArray rows, cols;
        std::string corner;
        to->GetLabels(rows, cols, corner);
        const QString rowLabel = r1 - 1 < int(rows.size()) ? QString::fromStdString(rows[r1 - 1]) : QString();
        const QString colLabel = c1 - 1 < int(cols.size()) ? QString::fromStdString(cols[c1 - 1]) : QString();
        text = QLatin1Char('(') + rowLabel + QLatin1Char(',') + colLabel + QLatin1Char(')');
    }
    if (auto& status = qs::views::Settings().cellStatus) status(text);
}

void CTriangGrid::OnStartEdit(Notification* n) {
    if (n == nullptr) return;
    if (!m_pTriang->IsValidLocation(n->row - 1, n->col - 1)) n->cancel = true;
}

void CTriangGrid::OnDblClick(int row, int col) {
    if (m_pTriang->GetObject() != nullptr && m_pTriang->IsValidLocation(row - 1, col - 1))
        m_pTriang->PostMessage(WM_COMMAND, ID_EDIT_CELLNOTE, 0);
}

void CTriangGrid::OnKeyDown(Notification* n) {
    if (n == nullptr) return;
    const int vk = VirtualKeyOf(n->key);
    const bool shift = (n->modifiers & Qt::ShiftModifier) != 0 || n->key == Qt::Key_Backtab;
    if (HandleKey(vk, shift)) n->cancel = true;
    else CObjectViewGrid::OnKeyDown(n);
}

bool CTriangGrid::HandleKey(int vk, bool shift) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr || vk == 0) return false;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK && (r1 != r2 || c1 != c2 || ctrl->SelectionCount() > 1))
        return false;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    if (vk >= CTriangView::VK_INSERT && vk <= CTriangView::VK_9) m_pTriang->ClearActiveFloodFillMark(row, col);
    const int oldRow = row, oldCol = col;
    if (m_pTriang->MoveActiveCell(vk, shift, row, col, qs::views::Settings().enterMoves) == 0) return false;
    if (row == oldRow && col == oldCol) ctrl->CancelEdit();
    ctrl->SetActiveCell(row, col);
    ctrl->ShowCell(row, col);
    return true;
}

// ---- view -------------------------------------------------------------------------------

CTriangView::CTriangView(QWidget* parent) : CObjectView(parent) { MapTriangCommands(); }

CTriangView::~CTriangView() = default;

void CTriangView::MapTriangCommands() {
    MapCommand(ID_VIEW_CUMULATIVE, [this] { OnViewCumulative(); });
    MapUpdateCommand(ID_VIEW_CUMULATIVE, [this](CCmdUI* ui) {
        ui->SetCheck(m_pTO != nullptr && m_pTO->IsViewedCumulative() ? 1 : 0);
        ui->Enable(m_pTO != nullptr && m_pTO->GetVectorType() != 2);
    });
    MapUpdateCommand(ID_VIEW_CALENDAR, [this](CCmdUI* ui) {
        ui->SetCheck(m_bCalendar);
        ui->Enable(m_pTO != nullptr && m_pTO->GetVectorType() == 0);
    });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_CLEAR_ALL, [this] { OnEditClearAll(); });
    MapCommand(ID_EDIT_CELLNOTE, [this] { OnEditCellNote(); });
    const auto editable = [this](CCmdUI* ui) { ui->Enable(m_pObject != nullptr && !m_pObject->IsReadOnly()); };
    for (UINT id : {UINT(ID_EDIT_CLEAR), UINT(ID_EDIT_CLEAR_ALL), UINT(ID_EDIT_CUT), UINT(ID_EDIT_DELETE),
                    UINT(ID_EDIT_CELLNOTE)})
        MapUpdateCommand(id, editable);
}

void CTriangView::Beep() {
    ++m_nBeeps;
    QApplication::beep();
}

bool CTriangView::MaxRowsCols(std::uint16_t& rows, std::uint16_t& cols, bool report) const {
    rows = cols = 0;
    if (m_pTO == nullptr) return false;
    if (m_pTO->GetMaxRowsCols(rows, cols) == qsk::kOk) return true;
    if (report) ::MessageBox(const_cast<CTriangView*>(this), QString::fromLatin1(kErrMaxRowsCols), QString(), MB_OK);
    return false;
}

int CTriangView::Interval() const {
    // The kernel's interval is the development period in months; the grid
    // needs the columns by which a row is shorter than the one above, which
    // the object's staircase gives.
    if (m_pTO == nullptr) return 0;
    const auto& lengths = m_pTO->GetRowLengths();
    for (std::size_t i = 1; i < lengths.size(); ++i)
        if (lengths[i] < lengths[i - 1]) return lengths[i - 1] - lengths[i];
    return 0;
}

std::uint16_t CTriangView::RowLength(int row) const {
    std::uint16_t n = 0;
    if (m_pTO == nullptr || row < 0 || m_pTO->GetNumColsInRow(std::uint16_t(row), n) != qsk::kOk) return 0;
    return n;
}

int CTriangView::ObjectColumnOf(int row, int gridCol) const {
    if (!m_bCalendar) return gridCol - 1;
    std::uint16_t maxRow = 0, maxCol = 0, n = 0;
    if (!MaxRowsCols(maxRow, maxCol, false)) return -1;
    if (row < 0 || m_pTO->GetNumColsInRow(std::uint16_t(row), n) != qsk::kOk) return -1;
    return gridCol - (maxCol - n) - 1;
}

int CTriangView::OnCreate() {
    if (CObjectView::OnCreate() != 0) return -1;
    m_pTO = dynamic_cast<CDataObject*>(m_pObject);
    if (m_pTO == nullptr) return -1;
    m_pGrid = new CTriangGrid(this);
    if (!CreateSS(m_pGrid)) return -1;
    SetFrameIcon(qs::views::IsUserObjectKind(GetIDDOType(m_lObjectID)) ? qs::views::kIconUserTable
                                                                       : qs::views::kIconTable);
    SetFonts(nullptr);
    m_bCalendar = m_pTO->GetVectorType() == 0 ? g_bCalendarView : 0;
    // The object keeps whether it is shown cumulative or incremental (and
    // its project file stores it): opening a window shows it as it is.
    // Toggling here on every first opening flipped the choice each time a
    // window opened, so pasted cumulative figures could be read as increments.
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return -1;
    return 0;
}

BOOL CTriangView::CreateTriangGrid() {
    m_pGrid = new CTriangGrid(this);
    return CreateSS(m_pGrid);
}

void CTriangView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    if (!bActivate) UninitializeIfEmpty();
    CObjectView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CTriangView::BeforeDetach() { UninitializeIfEmpty(); }

bool CTriangView::UninitializeIfEmpty() {
    if (!g_bObjectRefreshed || m_pTO == nullptr || !m_pTO->IsInitialized()) return false;
    std::uint16_t rows = 0, cols = 0;
    if (m_pTO->GetMaxRowsCols(rows, cols) != qsk::kOk) return false;
    for (int r = 0; r < rows; ++r) {
        std::uint16_t n = 0;
        if (m_pTO->GetNumColsInRow(std::uint16_t(r), n) != qsk::kOk) return false;
        for (int c = 0; c < n; ++c) {
            double value = 0.0;
            char flags = 0;
            if (m_pTO->GetAt(r, c, value, flags) != qsk::kOk) return false;
            // The kernel marks a cell without a value as blank; anything
            // else (a value, not available, a mark) keeps the object.
            if ((std::uint8_t(flags) & ~std::uint8_t(CDataObject::CF_BLANK)) != 0) return false;
        }
    }
    m_pTO->Deinitialize();
    return true;
}

void CTriangView::SetKernelLink(CFormula* object) {
    CObjectView::SetKernelLink(object);
    m_pTO = dynamic_cast<CDataObject*>(object);
}

void CTriangView::RememberCumulative() {
    if (m_pTO != nullptr) m_nSavedCumulative = m_pTO->IsViewedCumulative() ? 1 : 0;
}

void CTriangView::RestoreCumulative() {
    QSSTATUS status = qsk::kOk;
    if (m_pTO != nullptr) m_pTO->ViewCumulative(m_nSavedCumulative, status, 1);
}

void CTriangView::OnInitialUpdate() {
    SetFonts(nullptr);
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    CObjectView::OnInitialUpdate();
    if (SpreadsheetControl* ctrl = GetCtrl()) {
        ctrl->SetSelection(1, 1, 1, 1);
        ctrl->SetActiveCell(1, 1);
    }
}

void CTriangView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    CObjectView::OnUpdate(pSender, lHint, pHint);
    if (lHint != HINT_CALENDAR || m_pTO == nullptr) return;
    if (m_pTO->GetVectorType() == 0) m_bCalendar = g_bCalendarView;
    if (OnFormat(nullptr)) OnUpdateData(FALSE);
    if (SpreadsheetControl* ctrl = GetCtrl()) {
        ctrl->SetSelection(1, 1, 1, 1);
        ctrl->SetActiveCell(1, 1);
    }
}

// ---- layout ---------------------------------------------------------------------------------

BOOL CTriangView::Format(const CPageSetup* pageSetup) {
    m_pTO = dynamic_cast<CDataObject*>(m_pObject);
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (m_pTO == nullptr || ctrl == nullptr || project == nullptr) return FALSE;
    std::uint16_t rows = 0, cols = 0;
    if (!MaxRowsCols(rows, cols)) return FALSE;
    const int maxRow = rows + (m_bCalendar ? 1 : 0);
    const int maxCol = cols;
    ctrl->SetMaxRow(maxRow + 1);
    ctrl->SetMaxCol(maxCol + 1);

    QSStringArray rowLabels, colLabels;
    std::string corner;
    if (m_pTO->GetLabels(rowLabels, colLabels, corner) != qsk::kOk) {
        ReportError(QString::fromLatin1(kErrLabels));
        return FALSE;
    }
    QStringList rowText = ToQStrings(rowLabels), colText = ToQStrings(colLabels);
    QString caption = QString::fromStdString(corner);
    if (m_bCalendar) {
        QSStringArray calendar;
        std::string calCaption;
        project->GetLabels(calendar, LBL_CALENDAR, calCaption, -1);
        colText = ToQStrings(calendar);
        caption = QString::fromStdString(calCaption);
        while (rowText.size() < maxRow) rowText << QString();
        rowText[maxRow - 1] = QStringLiteral("Total");
    } else if (IsCalendarTitledObject(m_lObjectID)) {
        QSStringArray calendar;
        std::string calCaption;
        project->GetLabels(calendar, LBL_CALENDAR, calCaption, -1);
        colText = ToQStrings(calendar);
        std::reverse(colText.begin(), colText.end());
        caption = QStringLiteral("Calendar");
    }
    while (rowText.size() < maxRow) rowText << QString();
    while (colText.size() < maxCol) colText << QString();

    // Measure the headings in a spare row and column written in the headings font.
    CLOGFONT headings;
    if (pageSetup != nullptr) headings = pageSetup->m_LabelsFont;
    else project->GetHeadingsFont(headings);
    QsLogFont lf{};
    headings.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    ctrl->SetSelection(maxRow + 1, 1, maxRow + 1, maxCol + 1);
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0,
                  ColorFromRef(0));
    ctrl->SetSelection(1, maxCol + 1, maxRow + 1, maxCol + 1);
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0,
                  ColorFromRef(0));
    ctrl->SetText(maxRow + 1, maxCol + 1, caption);
    for (int i = 1; i <= maxCol; ++i) ctrl->SetText(maxRow + 1, i, colText[i - 1]);
    for (int i = maxRow; i >= 1; --i) ctrl->SetText(i, maxCol + 1, rowText[i - 1]);
    ctrl->FitColWidths(1, maxCol + 1);
    ctrl->FitRowHeights(1, maxRow + 1);
    const int width = ctrl->GetColWidth(maxCol + 1);
    const int height = ctrl->GetRowHeight(maxRow + 1);
    const int lines = 1 + int(caption.count(QLatin1Char('\n')));
    ctrl->SetHeadingRowHeight(lines * height);
    ctrl->SetHeadingColWidth(width);
    ctrl->ClearRange(maxRow + 1, 1, maxRow + 1, maxCol + 1, SSC_All);
    ctrl->ClearRange(1, maxCol + 1, maxRow + 1, maxCol + 1, SSC_All);
    ctrl->SetMaxRow(maxRow);
    ctrl->SetMaxCol(maxCol);

    ctrl->SetCornerText(caption);
    for (int i = 1; i <= maxCol; ++i) ctrl->SetColHeadingText(i, colText[i - 1]);
    KeepColumnsReadable(1, maxCol, false);
    for (int i = maxRow; i >= 1; --i) ctrl->SetRowHeadingText(i, rowText[i - 1]);

    ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    DataFormat(m_pObject);

    const bool readOnly = m_pObject->IsReadOnly();
    const auto& settings = qs::views::Settings();
    if (readOnly) {
        ctrl->SetGridSwitch(SSG_AllowEditing, false);
        ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
        ctrl->SetPattern(settings.pattern, ColorFromRef(settings.patternFg), ColorFromRef(settings.patternBg));
    }

    const int interval = Interval();
    const QColor background = ctrl->BackgroundColor();
    for (int r = 1; r <= maxRow; ++r) {
        std::uint16_t n = 0;
        const bool totalRow = m_bCalendar && r == maxRow;
        if (!totalRow && m_pTO->GetNumColsInRow(std::uint16_t(r - 1), n) != qsk::kOk) {
            ReportError(QString::fromLatin1(kErrColsInRow));
            return FALSE;
        }
        if (!m_bCalendar) {
            if (readOnly) ThinBorders(ctrl, r, 1, r, n, 1, 1, 1, 1, kGrey);
            if (n < maxCol) {
                ThinBorders(ctrl, r, n + 1, r, n + 1, 1, -1, -1, -1, 0);
                ThinBorders(ctrl, r, n + 1, r, std::min(maxCol, maxCol - (r - 2) * interval), -1, -1, 1, -1, 0);
                ctrl->ClearRange(r, n + 1, r, maxCol, SSC_Values);
                ctrl->SetSelection(r, n + 1, r, maxCol);
                ctrl->SetPattern(1, background, background);
            }
        } else {
            if (n == 0) ThinBorders(ctrl, r, 1, r, maxCol, 1, 1, 1, 1, kGrey);
            else if (readOnly) ThinBorders(ctrl, r, maxCol - n + 1, r, maxCol, 1, 1, 1, 1, kGrey);
            if (n < maxCol && n > 0) {
                ThinBorders(ctrl, r, maxCol - n, r, maxCol - n, -1, 1, -1, -1, 0);
                ThinBorders(ctrl, r, std::max(1, (r - 2) * interval + 1), r, maxCol - n, -1, -1, 1, -1, 0);
                ctrl->ClearRange(r, 1, r, maxCol - n, SSC_Values);
                ctrl->SetSelection(r, 1, r, maxCol - n);
                ctrl->SetPattern(1, background, background);
            }
        }
    }
    return TRUE;
}

// ---- loading and saving -------------------------------------------------------------------------

BOOL CTriangView::UpdateData(BOOL bSave) {
    SpreadsheetControl* ctrl = GetCtrl();
    std::uint16_t maxRow = 0, maxCol = 0;
    if (ctrl == nullptr || !MaxRowsCols(maxRow, maxCol)) return FALSE;
    if (!bSave) {
        UpdateCaption();
        ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
        ctrl->Clear(SSC_Values);
        if (!m_pTO->IsInitialized()) {
            ctrl->SetSelection(1, 1, 1, 1);
            return TRUE;
        }
        for (int r = 0; r < maxRow; ++r) {
            const int n = RowLength(r);
            for (int c = 0; c < n; ++c)
                if (!GetAt(r, c)) return FALSE;
        }
        if (m_bCalendar)
            for (int c = 1; c <= maxCol; ++c) ctrl->SetNumber(maxRow + 1, c, GetColumnTotal(c));
        KeepColumnsReadable(1, maxCol, true);
        ctrl->FitRowHeights(1, maxRow + (m_bCalendar ? 1 : 0));
        return TRUE;
    }
    m_pTO->SetRecalcOn(0);
    for (int r = 0; r < maxRow; ++r) {
        const int n = RowLength(r);
        const int first = m_bCalendar ? maxCol - n + 1 : 1;
        for (int c = first; c < first + n; ++c) {
            QString text;
            double value = 0.0;
            ctrl->GetText(r + 1, c, text);
            ctrl->GetNumber(r + 1, c, value);
            SetAt(r + 1, c, text.left(128), value);
        }
    }
    if (ViewingInterpolationMethodVar() && GetDocument() != nullptr)
        GetDocument()->UpdateAllViews(nullptr, HINT_INTERPOLATION_VALUES, nullptr);
    m_pTO->SetRecalcOn(1);
    return TRUE;
}

void CTriangView::KeepColumnsReadable(int col1, int col2, bool fit) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || col2 < col1) return;
    if (fit) ctrl->FitColWidths(col1, col2);
    // A column fitted to a short label or to no value at all would be too
    // narrow for the figures typed into it later ("##"): keep room for a
    // figure of eight characters and for the column's label.
    for (int c = col1; c <= col2; ++c) {
        const double least = std::max(9.0, ctrl->ColHeadingText(c).size() + 2.0);
        if (ctrl->GetColWidthChars(c) < least) ctrl->SetColWidthChars(c, c, least);
    }
}

BOOL CTriangView::GetAt(int row, int col, CFormula* object) {
    if (!m_bCalendar) return CObjectView::GetAt(row, col, object);
    if (m_pTO == nullptr || !m_pTO->IsInitialized()) return FALSE;
    std::uint16_t maxRow = 0, maxCol = 0;
    if (!MaxRowsCols(maxRow, maxCol)) return FALSE;
    double value = 0.0;
    std::uint8_t flags = 0;
    if (m_pTO->GetAt(row, col, value, flags) != qsk::kOk) {
        ReportError(QStringLiteral("Error: CTriangView::GetAt\n"));
        return FALSE;
    }
    const int n = RowLength(row);
    const int status = WriteCell(m_pSS, row + 1, col + (maxCol - n) + 1, value, flags);
    if (status != SS_OK) {
        ReportError(QStringLiteral("Error: SS::SetNbRC\n") + ErrorText(status).left(255));
        return FALSE;
    }
    return TRUE;
}

BOOL CTriangView::SetAt(int row, int col, const QString& text, double value, CFormula* object) {
    if (!m_bCalendar) return CObjectView::SetAt(row, col, text, value, object);
    std::uint16_t maxRow = 0, maxCol = 0;
    if (!MaxRowsCols(maxRow, maxCol)) return FALSE;
    const int n = RowLength(row - 1);
    if (!CObjectView::SetAt(row, col - maxCol + n, text, value, object)) return FALSE;
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->SetNumber(maxRow + 1, col, GetColumnTotal(col));
    return TRUE;
}

BOOL CTriangView::GetDataR(int row) {
    const int n = RowLength(row);
    for (int c = 0; c < n; ++c)
        if (!GetAt(row, c)) return FALSE;
    return TRUE;
}

BOOL CTriangView::GetDataC(int col) {
    std::uint16_t rows = 0;
    if (m_pTO == nullptr || m_pTO->GetNumRowsInCol(std::uint16_t(col), rows) != qsk::kOk) return FALSE;
    for (int r = 0; r < rows; ++r)
        if (!GetAt(r, col)) return FALSE;
    return TRUE;
}

BOOL CTriangView::GetDataRC(int row, int col) { return GetAt(row, col); }

BOOL CTriangView::IsValidLocation(int row, int col) {
    if (m_pTO == nullptr) return FALSE;
    if (!m_bCalendar) return m_pTO->LocationIsValid(row, col) ? TRUE : FALSE;
    const int objectCol = ObjectColumnOf(row, col + 1);
    return objectCol >= 0 && m_pTO->LocationIsValid(row, objectCol) ? TRUE : FALSE;
}

BOOL CTriangView::GetNumRowsInCol(int col, std::uint16_t& rows) {
    rows = 0;
    if (m_pTO == nullptr) return FALSE;
    if (m_bCalendar) {
        std::uint16_t maxRow = 0, maxCol = 0;
        if (!MaxRowsCols(maxRow, maxCol, false)) return FALSE;
        col = maxCol - col - 1;
    }
    if (col < 0) return FALSE;
    return m_pTO->GetNumRowsInCol(std::uint16_t(col), rows) == qsk::kOk ? TRUE : FALSE;
}

double CTriangView::GetColumnTotal(int col) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pObject == nullptr || ctrl == nullptr) return 0.0;
    double total = 0.0;
    for (int r = 1; r <= ctrl->MaxRow() - 1; ++r) {
        double value = 0.0;
        ctrl->GetNumber(r, col, value);
        total += value;
    }
    return total;
}

// ---- commands -------------------------------------------------------------------------------------

void CTriangView::OnViewCumulative() {
    if (m_pTO == nullptr) return;
    const int state = ViewingInterpolationMethodVar() ? 1 : (m_pTO->IsViewedCumulative() ? 0 : 1);
    QSSTATUS status = qsk::kOk;
    m_pTO->ViewCumulative(state, status, 1);
}

bool CTriangView::AskClearChoice(bool& notesOnly) {
    CClearDlg dialog(this);
    if (dialog.DoModal() != IDOK) return false;
    notesOnly = dialog.m_nChoice != CClearDlg::kDataAndNotes;
    return true;
}

void CTriangView::OnEditClear() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pTO == nullptr || ctrl == nullptr || m_pTO->IsReadOnly()) return;
    bool notesOnly = true;
    if (!AskClearChoice(notesOnly)) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return;
    if (r1 <= 1 && c1 <= 1 && r2 >= kMaxGridRows && c2 >= kMaxGridCols) {
        QSSTATUS status = qsk::kOk;
        if (notesOnly) {
            const auto notes = m_pTO->GetNotes();
            for (const auto& note : notes) {
                const auto [row, col] = CellKey::FromPacked(note.first);
                if ((status = m_pTO->RemoveNoteInCell(row, col)) != qsk::kOk) break;
            }
        } else {
            status = m_pTO->RemoveAll();
            if (status == qsk::kOk) {
                const auto notes = m_pTO->GetNotes();
                for (const auto& note : notes) {
                    const auto [row, col] = CellKey::FromPacked(note.first);
                    m_pTO->RemoveNoteInCell(row, col);
                }
            }
        }
        if (status != qsk::kOk) ReportError(QStringLiteral("Error: TO::RemoveAll()\n"));
        return;
    }
    std::uint16_t maxRow = 0, maxCol = 0;
    m_pTO->SetRecalcOn(0);
    for (int r = r1; r <= r2; ++r) {
        bool stop = false;
        for (int c = c1; c <= c2; ++c) {
            int objectCol = c - 1;
            if (m_bCalendar) {
                if (!MaxRowsCols(maxRow, maxCol)) { stop = true; break; }
                objectCol = ObjectColumnOf(r - 1, c);
            }
            if (objectCol < 0 || !m_pTO->LocationIsValid(r - 1, objectCol)) continue;
            if (!notesOnly && m_pTO->IsInitialized() && m_pTO->SetCellBlank(r - 1, objectCol, 1) != qsk::kOk) {
                ReportError(QStringLiteral("Error: TO::SetCellBlank\n"));
                stop = true;
                break;
            }
            if (m_pTO->DoesCellHaveNote(r - 1, objectCol) && m_pTO->RemoveNoteInCell(r - 1, objectCol) != qsk::kOk) {
                ReportError(QStringLiteral("Error: TO::RemoveNoteInCell\n"));
                stop = true;
                break;
            }
        }
        if (stop) break;
    }
    m_pTO->SetRecalcOn(1);
}

void CTriangView::OnEditClearAll() {
    if (m_pTO == nullptr || m_pTO->IsReadOnly()) return;
    if (::MessageBox(this, QStringLiteral("Remove all data and cell notes from array?"), qs::fw::ApplicationName(),
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    m_pTO->SetRecalcOn(0);
    QSSTATUS status = m_pTO->RemoveAll();
    if (status == qsk::kOk) {
        const auto notes = m_pTO->GetNotes();
        for (const auto& note : notes) {
            const auto [row, col] = CellKey::FromPacked(note.first);
            m_pTO->RemoveNoteInCell(row, col);
        }
    } else {
        ReportError(QStringLiteral("Error: TO::RemoveAll()\n"));
    }
    m_pTO->SetRecalcOn(1);
}

void CTriangView::OnEditCellNote() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pTO == nullptr || ctrl == nullptr || m_pTO->IsReadOnly()) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    int objectCol = col - 1;
    if (m_bCalendar) {
        std::uint16_t maxRow = 0, maxCol = 0;
        if (!MaxRowsCols(maxRow, maxCol)) return;
        objectCol = ObjectColumnOf(row - 1, col);
    }
    EditCellNote(row - 1, objectCol);
}

// ---- keyboard ---------------------------------------------------------------------------------------

void CTriangView::ClearActiveFloodFillMark(int row, int col) {
    if (m_pTO == nullptr || row < 1 || col < 1) return;
    const int objectCol = ObjectColumnOf(row - 1, col);
    if (objectCol < 0 || !m_pTO->LocationIsValid(row - 1, objectCol) || !m_pTO->GetFFMinInCell(row - 1, objectCol))
        return;
    m_pTO->SetCellHasNoFFMin(row - 1, objectCol);
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    const int maxRow = ctrl->MaxRow();
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    const bool hadSelection = ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK;
    const bool notify = ctrl->IsNotifyEnabled(SSN_SelChange);
    ctrl->EnableNotify(SSN_SelChange, false);
    if (row == 1) {
        ThinBorders(ctrl, row, col, row, col, -1, 1, -1, -1, 0);
        ThinBorders(ctrl, row, col, row, col, -1, -1, -1, 1, kGrey);
    } else if (row == maxRow) {
        ThinBorders(ctrl, row, col, row, col, -1, 1, 1, -1, kGrey);
    } else {
        ThinBorders(ctrl, row, col, row, col, -1, 1, 1, 1, kGrey);
    }
    if (hadSelection) ctrl->SetSelection(r1, c1, r2, c2);
    ctrl->SetActiveCell(row, col);
    ctrl->EnableNotify(SSN_SelChange, notify);
}

int CTriangView::MoveActiveCell(int key, bool shift, int& row, int& col, int mode) {
    if (m_pTO == nullptr) return 0;
    const bool enter = key == VK_RETURN, tab = key == VK_TAB;
    if (!enter && !tab) return 0;
    int r = row - 1, c = col - 1;  // 0-based, grid columns
    const auto valid = [this](int vr, int vc) { return vr >= 0 && vc >= 0 && IsValidLocation(vr, vc); };
    const auto done = [&](int nr, int nc) {
        row = nr + 1;
        col = nc + 1;
        return 1;
    };
    const auto beep = [this] {
        Beep();
        return 1;
    };

    if (enter && mode == 0) {
        std::uint16_t count = 0;
        if (!shift) {
            if (GetNumRowsInCol(c, count) && row == count) return valid(0, c + 1) ? done(0, c + 1) : beep();
        } else if (row == 1) {
            if (!GetNumRowsInCol(c - 1, count) || c < 1) return beep();
            return done(count - 1, c - 1);
        }
    }

    std::uint16_t maxRow = 0, maxCol = 0;
    if (m_bCalendar && !MaxRowsCols(maxRow, maxCol)) return 0;
    int step = Interval();
    const int dir = m_bCalendar ? -1 : 1;  // development: up-right diagonal; calendar: up-left

    if (enter && mode == 3) {
        if (!shift) {
            if (valid(r - 1, c + dir * step)) return done(r - 1, c + dir * step);
            if (!valid(r + 1, c)) return beep();
            ++r;
            while (valid(r + 1, c - dir * step)) ++r, c -= dir * step;
            return done(r, c);
        }
        if (valid(r + 1, c - dir * step)) return done(r + 1, c - dir * step);
        if (!valid(r - 1, c)) return beep();
        --r;
        while (valid(r - 1, c + dir * step)) --r, c += dir * step;
        return done(r, c);
    }
    if (enter && mode == 2) {
        if (!m_bCalendar && m_pTO->GetVectorType() == 2) step = 0;
        if (!shift) {
            if (valid(r + 1, c - dir * step)) return done(r + 1, c - dir * step);
            if (!valid(r + 1, c)) return beep();
            if (!m_bCalendar) {
                ++r;
                while (valid(r - 1, c + step)) --r, c += step;
            } else {
                c -= step;
                while (valid(r - 1, c - step)) --r, c -= step;
            }
            return done(r, c);
        }
        if (valid(r - 1, c + dir * step)) return done(r - 1, c + dir * step);
        if (!valid(r, c - dir * step)) return beep();
        c -= dir * step;
        while (valid(r + 1, c - dir * step)) ++r, c -= dir * step;
        return done(r, c);
    }
    const bool forward = (tab && !shift) || (enter && mode == 1 && !shift);
    const bool backward = (tab && shift) || (enter && mode == 1 && shift);
    if (forward) {
        if (valid(r, c + 1)) return done(r, c + 1);
        if (!m_bCalendar) {
            if (col != RowLength(r)) return 1;
            return valid(r + 1, 0) ? done(r + 1, 0) : beep();
        }
        if (col != maxCol) return 1;
        const int first = maxCol - RowLength(r + 1);
        return r + 1 < maxRow && valid(r + 1, first) ? done(r + 1, first) : beep();
    }
    if (backward) {
        if (valid(r, c - 1)) return done(r, c - 1);
        if (!m_bCalendar) {
            if (c != 0 || row <= 1) return 1;
            std::uint16_t n = 0;
            if (m_pTO->GetNumColsInRow(std::uint16_t(r - 1), n) != qsk::kOk || n == 0) return beep();
            return done(r - 1, n - 1);
        }
        // The first cell of a shifted row: back to the end of the row above.
        if (row > 1 && col == maxCol - RowLength(r) + 1) return done(r - 1, maxCol - 1);
        return beep();
    }
    return 0;
}

// ---- printing -------------------------------------------------------------------------------------------

void CTriangView::PreparePrinting(CPrintInfo* pInfo) {
    CObjectView::PreparePrinting(pInfo);
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->FitColWidths(1, ctrl->MaxCol());
}

void CTriangView::BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) {
    CPrintPageState* state = pInfo != nullptr ? pInfo->m_lpUserData : nullptr;
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pTO == nullptr || state == nullptr || ctrl == nullptr) {
        CObjectView::BeginPrinting(pDC, pInfo);
        return;
    }
    m_nSavedCalendar = g_bCalendarView;
    g_bCalendarView = state->m_nCalendarOption;
    if (m_pTO->GetVectorType() == 0 && m_bCalendar != g_bCalendarView) {
        m_bCalendar = g_bCalendarView;
        OnFormat(nullptr);
    }
    m_nSavedCumulative = m_pTO->IsViewedCumulative() ? 1 : 0;
    const int cumulative = state->m_nCumulativeOption == 2 ? state->m_nEntryCumulative : state->m_nCumulativeOption;
    m_pTO->SetRecalcOn(0);
    QSSTATUS status = qsk::kOk;
    m_pTO->ViewCumulative(cumulative, status, 1);
    OnUpdateData(FALSE);
    ctrl->FitRowHeights(1, ctrl->MaxRow());
    ctrl->FitColWidths(1, ctrl->MaxCol());
    CObjectView::BeginPrinting(pDC, pInfo);
    if (state->m_bContinue == 0) return;
    ctrl->FitRowHeights(1, ctrl->MaxRow());
    ctrl->FitColWidths(1, ctrl->MaxCol());
    CalculatePartSize(pDC, pInfo);  // the fitted sizes are the ones printed
    ctrl->SetSelection(1, 1, 1, ctrl->MaxCol());
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetAlignment(SSH_Center, false, SSV_Bottom, 0);
    SaveCellNotes(pInfo, nullptr, QString());
}

BOOL CTriangView::NextPart(QPainter* pDC, CPrintInfo* pInfo) {
    CPrintPageState* state = pInfo != nullptr ? pInfo->m_lpUserData : nullptr;
    SpreadsheetControl* ctrl = GetCtrl();
    if (state == nullptr || ctrl == nullptr) return FALSE;
    std::uint16_t oldCount = 0, newCount = 0;
    const bool hadOld = GetNumRowsInCol(state->m_nFirstCol - state->m_nTitleCols - 1, oldCount);
    if (!CObjectView::NextPart(pDC, pInfo)) return FALSE;
    // Going across to columns that hold fewer rows, the rows below them are
    // empty from here on: they are dropped so that the parts stop at the
    // triangle's last row. Only rows after the new count go; the row that
    // holds the new column's last cell stays. Across-then-down printing has
    // not printed the lower rows of the earlier columns yet, so it keeps them.
    if (!m_bCalendar && ctrl->PrintOrder() == 0 && hadOld &&
        GetNumRowsInCol(state->m_nFirstCol - state->m_nTitleCols - 1, newCount) && newCount < oldCount) {
        // Columns past the last row's reach hold no cells, nor do the ones
        // after them: the table ends here.
        if (newCount == 0) {
            state->m_bContinue = 0;
            return FALSE;
        }
        ctrl->DeleteRows(state->m_nTitleRows + newCount + 1, state->m_nTitleRows + oldCount);
        ctrl->SetMaxRow(ctrl->MaxRow() - (oldCount - newCount));
    }
    return TRUE;
}

void CTriangView::EndPrinting(QPainter*, CPrintInfo*) {
    if (m_pTO == nullptr) return;
    g_bCalendarView = m_nSavedCalendar;
    if (m_pTO->GetVectorType() == 0) m_bCalendar = g_bCalendarView;
    QSSTATUS status = qsk::kOk;
    m_pTO->ViewCumulative(m_nSavedCumulative, status, 1);
    m_pTO->SetRecalcOn(1);
}

QString CTriangView::CellNoteAt(int row, int col) const {
    // In calendar periods a grid column is a diagonal, not the object's column.
    return CObjectView::CellNoteAt(row, m_bCalendar ? ObjectColumnOf(row - 1, col) + 1 : col);
}

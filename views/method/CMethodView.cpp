#include "CMethodView.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QPrinter>

#include <algorithm>
#include <memory>

#include "CDataObject.h"
#include "CellEntry.h"
#include "CFrameWnd.h"
#include "CLOGFONT.h"
#include "CMethod.h"
#include "CPageSetup.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "CommandIds.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"

using namespace qs::ss;

namespace {

constexpr const char* kErrLabels = "Error: GetLabels in CMethodView::Format()";
constexpr std::uint32_t kGrey = 0x808080;
constexpr int kCellTextLimit = 128;

QStringList ToQStrings(const QSStringArray& items) {
    QStringList out;
    for (const auto& s : items) out << QString::fromStdString(s);
    return out;
}

// Switches an object's recalculation off for a scope and on again on every
// way out, so a loop that stops at a failure leaves nothing held.
class RecalcHold {
public:
    explicit RecalcHold(CFormula* object) : m_object(object) {
        if (m_object != nullptr) m_object->SetRecalcOn(0);
    }
    ~RecalcHold() {
        if (m_object != nullptr) m_object->SetRecalcOn(1);
    }
    RecalcHold(const RecalcHold&) = delete;
    RecalcHold& operator=(const RecalcHold&) = delete;

private:
    CFormula* m_object;
};

void ApplyFont(SpreadsheetControl* ctrl, const CLOGFONT& record) {
    QsLogFont lf{};
    record.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0,
                  ColorFromRef(0));
}

int VirtualKeyOf(int qtKey) {
    if (qtKey == Qt::Key_Delete) return 0x2E;
    if (qtKey == Qt::Key_Help) return 0x2F;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x30 + (qtKey - Qt::Key_0);
    return 0;
}

}  // namespace

// ---- grid -------------------------------------------------------------------------------

CMethodGrid::CMethodGrid(CMethodView* view) : CObjectViewGrid(view), m_pMethodView(view) {}

void CMethodGrid::OnDblClick(int row, int col) { OnCellDoubleClick(row, col); }

void CMethodGrid::OnHeadingDblClick(int row, int col) {
    // Only a column heading drops a column; the row headings do nothing.
    if (row == 0 && col > 0) OnCellDoubleClick(0, col);
}

bool CMethodGrid::IsCellLocked() const {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr) return true;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    bool isWeight = false;
    CDataObject* data = m_pMethodView->DataObjectOfColumn(col, &isWeight);
    if (isWeight || data == nullptr || data->IsReadOnly()) return true;
    return row < 1 || row > m_pMethodView->GetPeriodRows();
}

void CMethodGrid::OnStartEdit(Notification* n) {
    if (n != nullptr && IsCellLocked()) n->cancel = true;
}

void CMethodGrid::OnCellDoubleClick(int row, int col) {
    if (row == 0 && col == 0) return;
    if (!m_pMethodView->GetColumnMap().IsSummaryReport()) return;
    bool isWeight = false;
    CDataObject* data = m_pMethodView->DataObjectOfColumn(col, &isWeight);
    if (isWeight || data == nullptr) return;
    if (!data->IsReadOnly()) {
        if (row > 0 && data->LocationIsValid(row - 1, 0)) {
            m_pMethodView->EditCellNote(row - 1, 0, data);
            m_pMethodView->OnUpdateData(FALSE);
        }
        return;
    }
    if (row > 0) m_pMethodView->DropCell(row, col);
    else m_pMethodView->DropColumn(col);
}

void CMethodGrid::OnKeyDown(Notification* n) {
    if (n != nullptr) HandleKey(VirtualKeyOf(n->key));
}

void CMethodGrid::HandleKey(int vk) {
    if (vk < 0x2E || vk > 0x39) return;
    SpreadsheetControl* ctrl = Ctrl();
    CDataObject* ult = m_pMethodView->GetUltimateObject();
    if (ctrl == nullptr || ult == nullptr || ult->IsReadOnly()) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return;
    if (r1 < 1 || r1 > m_pMethodView->GetPeriodRows()) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    // Only a selection inside the ultimate's column clears its marks.
    const int ultCol = m_pMethodView->GetUltimateColumn();
    if (col != ultCol || c1 != ultCol || (c2 >= 1 && c2 != ultCol)) return;
    m_pMethodView->ClearCellMarks(row);
}

// ---- view ---------------------------------------------------------------------------------

CMethodView::CMethodView(QWidget* parent) : CObjectView(parent) { MapMethodCommands(); }

CMethodView::~CMethodView() = default;

void CMethodView::SetKernelLink(CFormula* object) {
    CObjectView::SetKernelLink(object);
    m_pMethod = dynamic_cast<CMethod*>(object);
}

bool CMethodView::IsDatabaseMode() const { return qs::views::Settings().fileMode == 0; }

void CMethodView::MapMethodCommands() {
    MapCommand(ID_VIEW_SOURCE, [this] { OnViewSourceData(); });
    MapCommand(ID_VIEW_FORMULA, [this] { OnViewFormula(); });
    MapCommand(ID_EDIT_CLEAR_ALL, [this] { OnEditClearAll(); });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_CELLNOTE, [this] { OnEditCellNote(); });
    MapCommand(ID_SHOW_ATTACHED_REPORTS, [this] { OnShowAttachedReports(); });
    MapCommand(ID_RUN_ULT_FLOODFILL, [this] { OnExecuteUltimatesFloodFill(); });

    const auto hasFormula = [this](CCmdUI* ui) {
        CDataObject* data = ActiveDataObject();
        ui->Enable(data != nullptr && data->HasValidFormula());
    };
    MapUpdateCommand(ID_VIEW_SOURCE, hasFormula);
    MapUpdateCommand(ID_VIEW_FORMULA, hasFormula);
    MapUpdateCommand(ID_EDIT_CLEAR_ALL, [this](CCmdUI* ui) {
        SpreadsheetControl* ctrl = GetCtrl();
        ui->Enable(ctrl != nullptr && ctrl->GridSwitch(SSG_AllowEditing) && GetUltimateObject() != nullptr);
    });
    MapUpdateCommand(ID_EDIT_CLEAR, [this](CCmdUI* ui) { ui->Enable(IsEditable()); });
    MapUpdateCommand(ID_EDIT_CELLNOTE, [this](CCmdUI* ui) {
        CDataObject* data = ActiveDataObject();
        ui->Enable(data != nullptr && !data->IsReadOnly());
    });
    MapUpdateCommand(ID_SHOW_ATTACHED_REPORTS, [](CCmdUI* ui) { ui->Enable(TRUE); });
    // The ultimates flood fill is run from the enterprise database only.
    MapUpdateCommand(ID_SET_ULT_FLOODFILL,
                     [this](CCmdUI* ui) { ui->Enable(IsDatabaseMode() && m_ColumnMap.IsSummaryReport()); });
    MapUpdateCommand(ID_RUN_ULT_FLOODFILL, [this](CCmdUI* ui) {
        CProject* project = GetProject();
        QSID id = m_lObjectID;
        SetIDLayer(id, m_nLayer);
        ui->Enable(IsDatabaseMode() && m_ColumnMap.IsSummaryReport() && project != nullptr &&
                   project->IsUltimateSetWithFloodFill(id));
    });
}

int CMethodView::OnCreate() {
    if (CObjectView::OnCreate() != 0) return -1;
    m_pMethod = dynamic_cast<CMethod*>(m_pObject);
    if (m_pMethod == nullptr) return -1;
    m_pGrid = new CMethodGrid(this);
    if (!CreateSS(m_pGrid)) return -1;
    IObjectViewDocument* doc = GetObjectDocument();
    const int kind = doc != nullptr ? GetIDDOType(doc->GetPendingObjectID()) : GetIDDOType(m_lObjectID);
    m_nIconId = qs::views::IsUserObjectKind(kind) ? qs::views::kIconUserMethod : qs::views::kIconMethod;
    SetFrameIcon(m_nIconId);
    SpreadsheetControl* ctrl = GetCtrl();
    ctrl->SetGridSwitch(SSG_ShowRowHeadings, true);
    ctrl->SetGridSwitch(SSG_ShowColHeadings, true);
    m_ColumnMap.Attach(GetProject(), m_lObjectID, m_nLayer);
    // Cells can be typed into only where a column is entered: the selected
    // ultimate of a summary report, or a method's entered column (a loss
    // ratio, a severity), which has no other place to be typed.
    bool entered = false;
    for (int c = 1; c <= m_pMethod->GetNumDataObjects() && !entered; ++c)
        entered = m_pMethod->GetDataObject(c) != nullptr && !m_pMethod->GetDataObject(c)->IsReadOnly();
    if (!entered) ctrl->SetGridSwitch(SSG_AllowEditing, false);
    SetFonts(nullptr);
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return -1;
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    return 0;
}

void CMethodView::OnInitialUpdate() {
    CObjectView::OnInitialUpdate();
    const auto& reopening = qs::views::Settings().reopeningTable;
    if (!(reopening && reopening())) OnShowAttachedReports();
    if (SpreadsheetControl* ctrl = GetCtrl()) {
        ctrl->SetSelection(1, 1, 1, 1);
        ctrl->SetActiveCell(1, 1);
    }
}

CDataObject* CMethodView::GetUltimateObject() const {
    CProject* project = GetProject();
    if (m_pMethod == nullptr || project == nullptr || !project->IsIDSummaryReport(m_lObjectID)) return nullptr;
    for (int c = 1; c <= m_pMethod->GetNumDataObjects(); ++c) {
        CDataObject* data = m_pMethod->GetDataObject(c);
        if (data != nullptr && !data->IsReadOnly()) return data;
    }
    return nullptr;
}

int CMethodView::GetUltimateColumn() const {
    CDataObject* ult = GetUltimateObject();
    if (ult == nullptr) return 0;
    for (int d = 1; d <= m_nDisplayCols; ++d) {
        bool isWeight = false;
        if (DataObjectOfColumn(d, &isWeight) == ult && !isWeight) return d;
    }
    return 0;
}

CDataObject* CMethodView::DataObjectOfColumn(int d, bool* isWeight) const {
    bool weight = false;
    const int data = m_ColumnMap.DisplayToDataColumn(d, weight);
    if (isWeight != nullptr) *isWeight = weight;
    if (weight || m_pMethod == nullptr || d < 1) return nullptr;
    return m_pMethod->GetDataObject(data);
}

CDataObject* CMethodView::ActiveDataObject() const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return nullptr;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    return DataObjectOfColumn(col);
}

QString CMethodView::PrepareLongName(const QString& label) const {
    const QStringList pieces = label.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    const QFontMetrics metrics(GetCtrl() != nullptr ? GetCtrl()->font() : font());
    QString widest;
    int widestPx = -1;
    for (const QString& piece : pieces) {
        const int px = metrics.horizontalAdvance(piece);
        if (px > widestPx) {
            widestPx = px;
            widest = piece;
        }
    }
    return widest + QStringLiteral("  ");
}

// ---- layout -----------------------------------------------------------------------------------

BOOL CMethodView::Format(const CPageSetup* pageSetup) {
    if (!m_ColumnMap.Attach(GetProject(), m_lObjectID, m_nLayer)) return FALSE;
    if (m_ColumnMap.IsSummaryReport()) return SummaryReportFormat(pageSetup);
    m_ColumnMap.Load();
    return LayoutGrid(pageSetup);
}

BOOL CMethodView::SummaryReportFormat(const CPageSetup* pageSetup) {
    // A report whose options cannot be read is still shown, without weights.
    m_ColumnMap.Load();
    return LayoutGrid(pageSetup);
}

BOOL CMethodView::LayoutGrid(const CPageSetup* pageSetup) {
    m_pMethod = dynamic_cast<CMethod*>(m_pObject);
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (m_pMethod == nullptr || ctrl == nullptr || project == nullptr) return FALSE;

    QSStringArray rowLabels, colLabels;
    std::string title;
    if (m_pMethod->GetLabels(rowLabels, colLabels, title) != qsk::kOk) {
        ReportError(QString::fromLatin1(kErrLabels));
        return FALSE;
    }
    const int dataCols = m_pMethod->GetNumDataObjects();
    int periods = int(rowLabels.size());
    if (dataCols > 0) {
        std::uint16_t rows = 0, cols = 0;
        if (m_pMethod->GetDataObject(1)->GetMaxRowsCols(rows, cols) == qsk::kOk) periods = rows;
    }
    m_nPeriodRows = periods;
    QStringList colText = ToQStrings(colLabels);
    while (colText.size() < dataCols) colText << QString();
    m_ColumnMap.GetColumnLabel(colText);
    m_nDisplayCols = int(colText.size());

    QStringList rowText = ToQStrings(rowLabels);
    while (rowText.size() < periods) rowText << QString();
    while (rowText.size() > periods) rowText.removeLast();
    m_nTotalRow = m_nAverageRow = m_nLTrendRow = m_nExpRow = 0;
    int expHeadingRow = 0;
    if (m_pMethod->HasTotals()) {
        rowText << QString() << QStringLiteral("Total");
        m_nTotalRow = int(rowText.size());
    }
    if (m_pMethod->HasAverages()) {
        rowText << QString() << QStringLiteral("Average");
        m_nAverageRow = int(rowText.size());
    }
    if (m_pMethod->HasLTrends()) {
        rowText << QString() << QStringLiteral("Linear Fit:") << QStringLiteral("Slope") << QStringLiteral("Intercept")
                << QStringLiteral("R Squared");
        m_nLTrendRow = int(rowText.size()) - 2;
    }
    if (m_pMethod->HasExpCurves()) {
        rowText << QString() << QStringLiteral("Exponential Fit:") << QStringLiteral("Trend (%)")
                << QStringLiteral("Intercept") << QStringLiteral("R Squared");
        m_nExpRow = int(rowText.size()) - 2;
        expHeadingRow = m_nExpRow - 1;
    }
    const int maxRow = int(rowText.size());
    const int maxCol = m_nDisplayCols;
    const QString corner = QString::fromStdString(title) + QStringLiteral("\r\n-----\r\n ");

    // 1. Headings measured in a spare row and column in the headings font.
    CLOGFONT headings;
    if (pageSetup != nullptr) headings = pageSetup->m_LabelsFont;
    else project->GetHeadingsFont(headings);
    ctrl->SetMaxRow(maxRow + 1);
    ctrl->SetMaxCol(maxCol + 1);
    ctrl->SetSelection(maxRow + 1, 1, maxRow + 1, maxCol + 1);
    ApplyFont(ctrl, headings);
    ctrl->SetSelection(1, maxCol + 1, maxRow + 1, maxCol + 1);
    ApplyFont(ctrl, headings);
    for (int d = 1; d <= maxCol; ++d) ctrl->SetText(maxRow + 1, d, PrepareLongName(colText.at(d - 1)));
    ctrl->SetText(maxRow + 1, maxCol + 1, PrepareLongName(corner));
    for (int r = 1; r <= maxRow; ++r) ctrl->SetText(r, maxCol + 1, rowText.at(r - 1));
    if (expHeadingRow > 0) ctrl->SetText(expHeadingRow, maxCol + 1, QStringLiteral("Exponential Fit:"));
    // 2. Widths.
    ctrl->FitColWidths(1, maxCol + 1);
    const int headingWidth = ctrl->GetColWidth(maxCol + 1);
    m_headingWidths.assign(std::size_t(maxCol), 0);
    for (int d = 1; d <= maxCol; ++d) m_headingWidths[std::size_t(d - 1)] = ctrl->GetColWidth(d);
    // 3. Heights with the full texts.
    for (int d = 1; d <= maxCol; ++d) ctrl->SetText(maxRow + 1, d, colText.at(d - 1));
    ctrl->SetText(maxRow + 1, maxCol + 1, corner);
    ctrl->FitRowHeights(maxRow + 1, maxRow + 1);
    const int headingHeight = ctrl->GetRowHeight(maxRow + 1);
    // 4. The final grid and its headings.
    ctrl->ClearRange(maxRow + 1, 1, maxRow + 1, maxCol + 1, SSC_All);
    ctrl->ClearRange(1, maxCol + 1, maxRow + 1, maxCol + 1, SSC_All);
    ctrl->SetMaxRow(maxRow);
    ctrl->SetMaxCol(maxCol);
    ctrl->SetHeadingRowHeight(headingHeight);
    ctrl->SetHeadingColWidth(headingWidth);
    ctrl->SetCornerText(corner);
    for (int d = 1; d <= maxCol; ++d) ctrl->SetColHeadingText(d, colText.at(d - 1));
    for (int r = 1; r <= maxRow; ++r) ctrl->SetRowHeadingText(r, rowText.at(r - 1));
    // A report whose options gather no table yet has no column: its one
    // grid column says so rather than showing a bare letter.
    if (maxCol < 1) {
        ctrl->SetMaxCol(1);
        ctrl->SetColHeadingText(1, QStringLiteral("(no columns)"));
        ctrl->SetColWidthChars(1, 1, 16);
    }
    if (maxRow < 1 || maxCol < 1) return TRUE;

    // Read-only background and grey borders everywhere, plain background
    // for the entered columns.
    const auto& settings = qs::views::Settings();
    const QColor grey = ColorFromRef(kGrey);
    ctrl->SetSelection(1, 1, maxRow, maxCol);
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    ctrl->SetPattern(settings.pattern, ColorFromRef(settings.patternFg), ColorFromRef(settings.patternBg));
    ctrl->SetBorder(1, 1, 1, 1, 1, -1, grey, grey, grey, grey, grey);
    const QColor background = ctrl->BackgroundColor();
    for (int d = 1; d <= maxCol; ++d) {
        bool isWeight = false;
        CDataObject* data = DataObjectOfColumn(d, &isWeight);
        // Number formats: the column's on the period, total, average and
        // intercept rows; plain elsewhere and in weight columns.
        ctrl->SetSelection(1, d, maxRow, d);
        DataFormat(nullptr);
        if (data != nullptr) {
            ctrl->SetSelection(1, d, std::max(1, periods), d);
            if (periods > 0) DataFormat(data);
            for (int r : {m_nTotalRow, m_nAverageRow, m_nLTrendRow > 0 ? m_nLTrendRow + 1 : 0,
                          m_nExpRow > 0 ? m_nExpRow + 1 : 0}) {
                if (r <= 0) continue;
                ctrl->SetSelection(r, d, r, d);
                DataFormat(data);
            }
            if (!data->IsReadOnly()) {
                ctrl->SetSelection(1, d, maxRow, d);
                ctrl->SetPattern(1, background, background);
            }
        }
    }
    // The ultimate's notes and flood-fill minimums are marked on its cells.
    if (CDataObject* ult = GetUltimateObject(); ult != nullptr && !ult->IsReadOnly()) {
        const int col = GetUltimateColumn();
        for (int r = 0; r < periods && col > 0; ++r) {
            if (!ult->LocationIsValid(r, 0)) continue;
            if (ult->DoesCellHaveNote(r, 0)) MarkCellFlag2(m_pSS, r + 1, col);
            if (ult->GetFFMinInCell(r, 0)) MarkCellFlag8(m_pSS, r + 1, col);
        }
    }
    return TRUE;
}

// ---- data -------------------------------------------------------------------------------------------

BOOL CMethodView::UpdateData(BOOL bSave) {
    // A plain method's column map maps every display column to itself, so
    // one routine serves both.
    return SummaryReportUpdateData(bSave);
}

BOOL CMethodView::SummaryReportUpdateData(BOOL bSave) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pMethod == nullptr || ctrl == nullptr) return FALSE;
    const int periods = m_nPeriodRows;
    if (!bSave) {
        ctrl->ClearRange(1, 1, kMaxGridRows, kMaxGridCols, SSC_Values);
        for (int d = 1; d <= m_nDisplayCols; ++d) {
            bool isWeight = false;
            CDataObject* data = DataObjectOfColumn(d, &isWeight);
            if (isWeight) {
                FillWeightColumn(d);
                continue;
            }
            if (data == nullptr) continue;
            for (int r = 1; r <= periods; ++r) {
                if (!data->LocationIsValid(r - 1, 0)) continue;
                double value = 0.0;
                std::uint8_t flags = 0;
                if (data->GetAt(r - 1, 0, value, flags) != qsk::kOk) return FALSE;
                if (WriteCell(m_pSS, r, d, value, flags) != SS_OK) return FALSE;
            }
        }
        if (!LoadSummaryRows()) return FALSE;
        FitToContents();
        UpdateCaption();
        return TRUE;
    }
    RecalcHold methodHold(m_pMethod);
    for (int d = 1; d <= m_nDisplayCols; ++d) {
        bool isWeight = false;
        CDataObject* data = DataObjectOfColumn(d, &isWeight);
        if (isWeight || data == nullptr || data->IsReadOnly()) continue;
        RecalcHold hold(data);
        for (int r = 1; r <= periods; ++r) {
            if (!data->LocationIsValid(r - 1, 0)) continue;
            QString text;
            double value = 0.0;
            ctrl->GetText(r, d, text);
            ctrl->GetNumber(r, d, value);
            if (!CObjectView::SetAt(r, 1, text.left(kCellTextLimit), value, data)) return FALSE;
        }
    }
    return TRUE;
}

BOOL CMethodView::LoadSummaryRows() {
    std::vector<const double*> totals, averages, ltrends, expcurves;
    if (m_nTotalRow && m_pMethod->GetTotals(totals) != qsk::kOk) return FALSE;
    if (m_nAverageRow && m_pMethod->GetAverages(averages) != qsk::kOk) return FALSE;
    if (m_nLTrendRow && m_pMethod->GetLTrends(ltrends) != qsk::kOk) return FALSE;
    if (m_nExpRow && m_pMethod->GetExpCurves(expcurves) != qsk::kOk) return FALSE;
    SpreadsheetControl* ctrl = GetCtrl();
    const auto at = [](const std::vector<const double*>& list, int c) -> const double* {
        return c >= 0 && c < int(list.size()) ? list[std::size_t(c)] : nullptr;
    };
    for (int d = 1; d <= m_nDisplayCols; ++d) {
        bool isWeight = false;
        const int c = m_ColumnMap.DisplayToDataColumn(d, isWeight) - 1;
        if (isWeight) continue;
        if (m_nTotalRow && m_pMethod->IsObjTotaled(c))
            if (const double* v = at(totals, c)) ctrl->SetNumber(m_nTotalRow, d, *v);
        if (m_nAverageRow)
            if (const double* v = at(averages, c)) ctrl->SetNumber(m_nAverageRow, d, *v);
        if (m_nLTrendRow)
            if (const double* v = at(ltrends, c))
                for (int k = 0; k < 3; ++k) ctrl->SetNumber(m_nLTrendRow + k, d, v[k]);
        if (m_nExpRow)
            if (const double* v = at(expcurves, c))
                for (int k = 0; k < 3; ++k) ctrl->SetNumber(m_nExpRow + k, d, v[k]);
    }
    return TRUE;
}

BOOL CMethodView::FillWeightColumn(int d) {
    const int rows = m_nPeriodRows;
    if (rows < 1) return TRUE;
    // The weights go through a scratch column so they are written exactly
    // as the kernel's cells are.
    CDataObject scratch;
    scratch.SetDisplayType(CFormula::DT_NUMBER);
    if (scratch.SetShape(std::uint16_t(rows), 1, 2) != qsk::kOk) return FALSE;
    if (!m_ColumnMap.FillWeights(d, rows, &scratch)) {
        // No weights for this ultimate: the column stays empty and says so.
        std::string name;
        if (CProject* project = GetProject()) project->CreateHeader(m_ColumnMap.WeightedIdOfColumn(d), name);
        if (auto& status = qs::views::Settings().statusMessage)
            status(QStringLiteral("No weights are stored for %1.").arg(QString::fromStdString(name)));
        return TRUE;
    }
    for (int r = 0; r < rows; ++r) {
        double value = 0.0;
        std::uint8_t flags = 0;
        if (scratch.GetAt(r, 0, value, flags) != qsk::kOk) continue;
        WriteCell(m_pSS, r + 1, d, value, flags);
    }
    return TRUE;
}

void CMethodView::FitToContents() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || m_nDisplayCols < 1) return;
    ctrl->FitColWidths(1, m_nDisplayCols);
    // A column is never narrower than its heading.
    for (int d = 1; d <= m_nDisplayCols && d <= int(m_headingWidths.size()); ++d)
        if (ctrl->GetColWidth(d) < m_headingWidths[std::size_t(d - 1)])
            ctrl->SetColWidth(d, d, m_headingWidths[std::size_t(d - 1)]);
    if (ctrl->MaxRow() >= 1) ctrl->FitRowHeights(1, ctrl->MaxRow());
}

BOOL CMethodView::SetAt(int row, int col, const QString& text, double value, CFormula* object) {
    if (object != nullptr) return CObjectView::SetAt(row, 1, text, value, object);
    bool isWeight = false;
    CDataObject* data = DataObjectOfColumn(col, &isWeight);
    if (isWeight) return CObjectView::SetAt(row, col, text, value, nullptr);
    if (data == nullptr || data->IsReadOnly() || row < 1 || row > m_nPeriodRows) return FALSE;
    return CObjectView::SetAt(row, 1, text, value, data);
}

BOOL CMethodView::IsEditable() const {
    CDataObject* ult = GetUltimateObject();
    SpreadsheetControl* ctrl = GetCtrl();
    if (ult == nullptr || ctrl == nullptr || ctrl->SelectionCount() != 1) return FALSE;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK || c1 < 1 || c2 < 1) return FALSE;
    bool w1 = false, w2 = false;
    CDataObject* a = DataObjectOfColumn(c1, &w1);
    CDataObject* b = DataObjectOfColumn(c2, &w2);
    return !w1 && !w2 && a == ult && b == ult ? TRUE : FALSE;
}

// ---- commands -------------------------------------------------------------------------------------------

void CMethodView::OnViewSourceData() {
    if (CDataObject* data = ActiveDataObject()) OpenSourceTable(data);
}

void CMethodView::OnViewFormula() {
    if (CDataObject* data = ActiveDataObject()) ShowFormula(data);
}

void CMethodView::OnShowAttachedReports() {
    if (m_pMethod == nullptr) return;
    QSIDArray links;
    if (m_pMethod->GetLinks(links) != qsk::kOk) {
        ReportError(QStringLiteral("Error: MO::GetLinks\n"));
        return;
    }
    IObjectViewDocument* doc = GetObjectDocument();
    if (doc == nullptr) return;
    for (QSID id : links)
        if (doc->OpenObjectWindow(id, m_nLayer, 1, 1, 0) == 0) break;
}

void CMethodView::OnEditCellNote() {
    SpreadsheetControl* ctrl = GetCtrl();
    CDataObject* data = ActiveDataObject();
    if (ctrl == nullptr || data == nullptr || data->IsReadOnly()) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    if (row < 1 || !data->LocationIsValid(row - 1, 0)) return;
    {
        RecalcHold hold(data);
        EditCellNote(row - 1, 0, data);
    }
    OnUpdateData(FALSE);
    OnFormat(nullptr);
    OnUpdateData(FALSE);
}

BOOL CMethodView::DropCell(int row, int d) {
    CDataObject* ult = GetUltimateObject();
    SpreadsheetControl* ctrl = GetCtrl();
    if (ult == nullptr || ctrl == nullptr || row < 1 || row > m_nPeriodRows) return FALSE;
    QString text;
    ctrl->GetText(row, d, text);
    if (text.trimmed().isEmpty() || qs::views::IsNotAvailableText(text)) return FALSE;
    BeginWaitCursor();
    double value = 0.0;
    ctrl->GetNumber(row, d, value);
    const QSSTATUS status = ult->SetAt(row - 1, 0, value, 1);
    EndWaitCursor();
    if (status != qsk::kOk) {
        ReportError(QStringLiteral("Error: TO::SetAt\n"));
        return FALSE;
    }
    return TRUE;
}

BOOL CMethodView::DropColumn(int d) {
    CDataObject* ult = GetUltimateObject();
    SpreadsheetControl* ctrl = GetCtrl();
    if (ult == nullptr || ctrl == nullptr) return FALSE;
    std::uint16_t rows = 0, cols = 0;
    ult->GetMaxRowsCols(rows, cols);
    const int last = std::min<int>(rows, m_nPeriodRows);
    bool any = false;
    for (int r = 1; r <= last && !any; ++r) {
        QString text;
        ctrl->GetText(r, d, text);
        any = !text.trimmed().isEmpty();
    }
    if (!any) return FALSE;
    if (::MessageBox(this, QStringLiteral("Drop this whole column into Ultimate?"), QString(),
                     MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    BeginWaitCursor();
    BOOL ok = TRUE;
    {
        // Recalculation comes back on whether the drop ends or stops.
        RecalcHold hold(ult);
        for (int r = 0; r < last; ++r) {
            if (ult->GetFFMinInCell(r, 0) && ult->SetCellHasNoFFMin(r, 0) != qsk::kOk) {
                ReportError(QStringLiteral("Error: TO::SetCellHasNoFFMin\n"));
                ok = FALSE;
                break;
            }
            QString text;
            ctrl->GetText(r + 1, d, text);
            if (text.trimmed().isEmpty()) {
                if (ult->SetCellBlank(r, 0, 1) != qsk::kOk) {
                    ReportError(QStringLiteral("Error: TO::SetCellBlank\n"));
                    ok = FALSE;
                    break;
                }
            } else if (qs::views::IsNotAvailableText(text)) {
                if (ult->SetCellNotAvail(r, 0) != qsk::kOk) {
                    ReportError(QStringLiteral("Error: TO::SetCellNotAvail\n"));
                    ok = FALSE;
                    break;
                }
            } else {
                double value = 0.0;
                ctrl->GetNumber(r + 1, d, value);
                if (ult->SetAt(r, 0, value, 1) != qsk::kOk) {
                    ReportError(QStringLiteral("Error: TO::SetAt\n"));
                    ok = FALSE;
                    break;
                }
            }
        }
    }
    EndWaitCursor();
    OnUpdateData(FALSE);
    return ok;
}

void CMethodView::OnEditClearAll() {
    CDataObject* ult = GetUltimateObject();
    if (ult == nullptr) return;
    if (::MessageBox(this, QStringLiteral("Remove all data and cell notes from selected ultimate?"), QString(),
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    {
        RecalcHold hold(ult);
        if (ult->RemoveAll() != qsk::kOk) {
            ReportError(QStringLiteral("Fail to Remove All"));
            return;
        }
        std::uint16_t rows = 0, cols = 0;
        ult->GetMaxRowsCols(rows, cols);
        for (int r = 0; r < rows; ++r) {
            if (!ult->LocationIsValid(r, 0)) continue;
            if (ult->SetCellBlank(r, 0, 1) != qsk::kOk) {
                ReportError(QStringLiteral("Error: Ultimate::SetCellBlank\n"));
                break;
            }
            if (ult->DoesCellHaveNote(r, 0) && ult->RemoveNoteInCell(r, 0) != qsk::kOk) {
                ReportError(QStringLiteral("Error: Ultimate::RemoveNoteInCell\n"));
                break;
            }
        }
    }
    if (OnFormat(nullptr)) OnUpdateData(FALSE);
}

void CMethodView::OnEditClear() {
    CDataObject* ult = GetUltimateObject();
    SpreadsheetControl* ctrl = GetCtrl();
    if (ult == nullptr || ctrl == nullptr || !IsEditable()) return;
    CClearDlg dialog(this);
    if (dialog.DoModal() != IDOK) return;
    const bool notesOnly = dialog.m_nChoice != CClearDlg::kDataAndNotes;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return;
    if (r1 < 1) r1 = 1;
    if (r2 < 1 || r2 > m_nPeriodRows) r2 = m_nPeriodRows;
    {
        RecalcHold hold(ult);
        for (int r = r1; r <= r2; ++r) {
            if (!ult->LocationIsValid(r - 1, 0)) continue;
            if (!notesOnly && ult->SetCellBlank(r - 1, 0, 1) != qsk::kOk) {
                ReportError(QStringLiteral("Error: Ultimate::SetCellBlank\n"));
                break;
            }
            if (ult->DoesCellHaveNote(r - 1, 0) && ult->RemoveNoteInCell(r - 1, 0) != qsk::kOk) {
                ReportError(QStringLiteral("Error: Ultimate::RemoveNoteInCell\n"));
                break;
            }
        }
    }
    if (OnFormat(nullptr)) OnUpdateData(FALSE);
}

void CMethodView::ClearCellMarks(int row) {
    CDataObject* ult = GetUltimateObject();
    if (ult == nullptr || row < 1 || !ult->LocationIsValid(row - 1, 0)) return;
    if (!ult->GetFFMinInCell(row - 1, 0) && !ult->GetAdjCutoffInCell(row - 1, 0)) return;
    ult->SetCellHasNoFFMin(row - 1, 0);
    ult->SetCellHasNoAdjCutoff(row - 1, 0);
    ResetCellBorder(m_pSS, row, GetUltimateColumn());
}

void CMethodView::ClearUltimateFloodFillMarks() {
    CDataObject* ult = GetUltimateObject();
    if (ult == nullptr || ult->IsReadOnly()) return;
    const int col = GetUltimateColumn();
    for (int r = 0; r < m_nPeriodRows; ++r) {
        if (!ult->LocationIsValid(r, 0) || !ult->GetFFMinInCell(r, 0)) continue;
        ult->SetCellHasNoFFMin(r, 0);
        if (col > 0) ResetCellBorder(m_pSS, r + 1, col);
    }
}

void CMethodView::OnExecuteUltimatesFloodFill() {
    ClearUltimateFloodFillMarks();
    if (IObjectViewDocument* doc = GetObjectDocument()) doc->RunUltimatesFloodFill();
    // The frame re-opens the table, so the new marks are drawn afresh.
    if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_COMMAND, 32962, 0);
    else if (OnFormat(nullptr)) OnUpdateData(FALSE);
}

// ---- printing ---------------------------------------------------------------------------------------

void CMethodView::PreparePrinting(CPrintInfo* pInfo) {
    CObjectView::PreparePrinting(pInfo);
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || m_pMethod == nullptr) return;
    // The grid now carries the row headings as its first column: display
    // column d is grid column d + titles.
    const int titles = ctrl->FixedCols();
    for (int d = m_nDisplayCols; d >= 2; --d) {
        bool isWeight = false;
        const int data = m_ColumnMap.DisplayToDataColumn(d, isWeight);
        if (isWeight || !m_pMethod->IsObjHidden(data - 1)) continue;
        ctrl->DeleteCols(d + titles, d + titles);
        ctrl->SetMaxCol(ctrl->MaxCol() - 1);
    }
}

QString CMethodView::HeadingRule(int count) { return QString(std::max(0, count - 3), QLatin1Char('_')); }

void CMethodView::BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) {
    CObjectView::BeginPrinting(pDC, pInfo);
    SpreadsheetControl* ctrl = GetCtrl();
    CPrintPageState* state = pInfo != nullptr ? pInfo->m_lpUserData : nullptr;
    if (ctrl == nullptr || state == nullptr || pInfo->m_pPrinter == nullptr) return;
    QsLogFont lf{};
    state->m_LabelsFont.GetLogFont(&lf);
    QFont font(QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName))));
    font.setPointSizeF(std::max(1, lf.lfHeight / 10));
    font.setBold(lf.lfWeight > 400);
    const QFontMetrics metrics(font, pInfo->m_pPrinter);
    const int dpi = pInfo->m_pPrinter->logicalDpiX();
    const int scale = ctrl->PrintScale() > 0 ? ctrl->PrintScale() : 100;
    for (int c = 1; c <= ctrl->MaxCol(); ++c) {
        QString text;
        ctrl->GetText(1, c, text);
        const int at = text.indexOf(QStringLiteral("-----"));
        if (at < 0) continue;
        const qint64 width = qint64(ctrl->GetColWidth(c)) * (qint64(dpi) * scale + 50) / 100 / 1440;
        int n = 255;
        for (int k = 1; k <= 254; ++k)
            if (metrics.horizontalAdvance(QString(k, QLatin1Char('_'))) >= width) {
                n = k;
                break;
            }
        text.replace(at, 5, HeadingRule(n));
        ctrl->SetText(1, c, text);
    }
}

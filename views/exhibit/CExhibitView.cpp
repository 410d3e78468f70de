#include "CExhibitView.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

#include "CDataObject.h"
#include "CellEntry.h"
#include "CDocument.h"
#include "CExhibit.h"
#include "CFloodFillOptionsDlg.h"
#include "CFrameWnd.h"
#include "CLOGFONT.h"
#include "CommandIds.h"
#include "CPageSetup.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CSDFFloodFillOptionDlg.h"
#include "CProject.h"
#include "CStatistics.h"
#include "CTailFactorAnalysis.h"
#include "CWinApp.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectMaps.h"
#include "ObjectViewFormats.h"
#include "RemoteWindow.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"
#include "WindowMessages.h"

using namespace qs::ss;

namespace {

// The "Interpolated Ages" input array: its View Source opens it.
constexpr QSID kInterpolatedAgesId = 101000804;
constexpr std::uint32_t kLightGrey = 0xC0C0C0;
constexpr int kFrameResizeCommand = 32962;

QString Wrap(const QString& label, int words) {
    const QStringList parts = label.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString out;
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) out += (i % words == 0) ? QStringLiteral("\n") : QStringLiteral(" ");
        out += parts[i];
    }
    return out;
}

bool StartsWithNoCase(const QString& text, const char* prefix) {
    return text.left(5).compare(QLatin1String(prefix).left(5), Qt::CaseInsensitive) == 0;
}

// A cell holds a value (an outlier mark, an available factor).
bool HoldsValue(const CDataObject* d, int row, int col) {
    return d != nullptr && d->LocationIsValid(row, col) && (d->RawFlags(row, col) & CDataObject::CF_VALUE) &&
           !(d->RawFlags(row, col) & CDataObject::CF_NOTAVAIL);
}


void Outline(SpreadsheetControl* ctrl, int r1, int c1, int r2, int c2, int outline, std::uint32_t outlineColour,
             int inner, std::uint32_t innerColour) {
    if (r2 < r1 || c2 < c1) return;
    ctrl->SetSelection(r1, c1, r2, c2);
    const QColor o = ColorFromRef(outlineColour), i = ColorFromRef(innerColour);
    ctrl->SetBorder(outline, inner, inner, inner, inner, -1, o, i, i, i, i);
}

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return CExhibitView::VK_RETURN;
    case Qt::Key_Insert: return CExhibitView::VK_INSERT;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Slash: return 0x2F;
    default:
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x30 + (qtKey - Qt::Key_0);
        return 0;
    }
}

}  // namespace

// ---- grid ------------------------------------------------------------------------------------

CExhibitGrid::CExhibitGrid(CExhibitView* view) : CObjectViewGrid(view), m_pExhibit(view) {}

void CExhibitGrid::OnStartEdit(Notification* n) {
    if (n != nullptr && !m_pExhibit->IsValidTargetCell(n->row, n->col)) n->cancel = true;
}

void CExhibitGrid::OnDblClick(int row, int col) {
    if (row < 1 || (row == 0 && col == 0)) return;
    if (m_pExhibit->GetExhibit() == nullptr) return;
    if (m_pExhibit->GetStatisticsShown() || m_pExhibit->GetSDF() != nullptr) m_pExhibit->Drop(row, col);
}

void CExhibitGrid::OnHeadingDblClick(int row, int col) {
    // A row heading stands for the whole row.
    if (row >= 1 && col == 0) OnDblClick(row, 0);
}

void CExhibitGrid::OnKeyDown(Notification* n) {
    if (n == nullptr) return;
    const int vk = VirtualKeyOf(n->key);
    const bool shift = (n->modifiers & Qt::ShiftModifier) != 0;
    if (HandleKey(vk, shift)) n->cancel = true;
}

bool CExhibitGrid::HandleKey(int vk, bool shift) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr || vk == 0) return false;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    const int kind = m_pExhibit->RowKindOf(row);
    if (kind == CExhibitView::kKindNone) return false;
    const int first = kind == CExhibitView::kKindSelected ? m_pExhibit->GetFirstSelectedRow()
                                                          : m_pExhibit->GetSelectedInterpRow();
    CDataObject* target = m_pExhibit->TargetOf(kind);
    if (first <= 0) return false;
    std::uint16_t rows = 0, cols = 0;
    if (target != nullptr) target->GetMaxRowsCols(rows, cols);
    const int last = first + std::max<int>(rows, 1) - 1;
    const bool inBlock = row >= first && row <= last && col >= 2 && col <= cols + 1;

    if (vk == CExhibitView::VK_RETURN) {
        if (!inBlock || !ctrl->EnterMovesDown()) return false;
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        if (ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK && (r1 != r2 || c1 != c2 || ctrl->SelectionCount() > 1))
            return false;
        if (!shift && row == last) {
            ctrl->EndEdit();
            if (col >= cols + 1) {
                m_pExhibit->Beep();
                return true;
            }
            ctrl->SetSelection(first, col + 1, first, col + 1);
            ctrl->SetActiveCell(first, col + 1);
            ctrl->ShowCell(first, col + 1);
            return true;
        }
        if (shift && row == first) {
            ctrl->EndEdit();
            if (col <= 2) {
                m_pExhibit->Beep();
                return true;
            }
            ctrl->SetSelection(last, col - 1, last, col - 1);
            ctrl->SetActiveCell(last, col - 1);
            ctrl->ShowCell(last, col - 1);
            return true;
        }
        return false;
    }
    if (vk >= CExhibitView::VK_INSERT && vk <= CExhibitView::VK_9) {
        if (target == nullptr) return true;  // nothing to type into: the key is dropped
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK || r1 < first || r1 > last || c1 < 2 || c1 > cols + 1)
            return false;
        const int targetRow = row - first, targetCol = col - 2;
        if (!target->LocationIsValid(targetRow, targetCol)) return false;
        if (target->GetFFMinInCell(targetRow, targetCol) || target->GetAdjCutoffInCell(targetRow, targetCol)) {
            target->SetCellHasNoFFMin(targetRow, targetCol);
            target->SetCellHasNoAdjCutoff(targetRow, targetCol);
            CObjectView::ResetCellBorder(this, row, col);
        }
        return false;
    }
    return false;
}

// ---- view ------------------------------------------------------------------------------------

CExhibitView::CExhibitView(QWidget* parent) : CObjectView(parent) {
    MapExhibitCommands();
    MapTailCommands();
}

CExhibitView::~CExhibitView() {
    // The period objects, the SDF copies and the helper's results are owned
    // here and go with the view. An analysis this view handed to the tail
    // program is let go with it; another view's stays open.
    ReleaseTailFactorServer();
    m_layout.rows.clear();
}

bool CExhibitView::FileMode() const { return qs::views::Settings().fileMode == 1; }

int CExhibitView::ShowSDF() const {
    int on = 0;
    if (CProject* project = GetProject()) project->GetExhibitShowSDF(on);
    return on;
}

QSID CExhibitView::IdWithLayer() const {
    QSID id = m_lObjectID;
    SetIDLayer(id, m_nLayer);
    return id;
}

bool CExhibitView::GetStatisticsShown() const { return m_pExhibit != nullptr && m_pExhibit->HasStatistics(); }

void CExhibitView::Beep() {
    ++m_nBeeps;
    QApplication::beep();
}

int CExhibitView::OnCreate() {
    if (CObjectView::OnCreate() != 0) return -1;
    m_pExhibit = dynamic_cast<CExhibit*>(m_pObject);
    if (m_pExhibit == nullptr) return -1;
    m_pGrid = new CExhibitGrid(this);
    if (!CreateSS(m_pGrid)) return -1;
    SetFrameIcon(qs::views::IsUserObjectKind(GetIDDOType(m_lObjectID)) ? qs::views::kIconUserExhibit
                                                                       : qs::views::kIconExhibit);
    SetFonts(nullptr);
    m_helper.SetProject(GetProject());
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return -1;
    return 0;
}

void CExhibitView::OnInitialUpdate() {
    SetFonts(nullptr);
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    CObjectView::OnInitialUpdate();
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    int row = 1, col = 2;
    if (ShowSDF() && m_pExhibit != nullptr && m_pExhibit->HasSDF() && m_layout.firstSelectedRow > 0) row = m_layout.firstSelectedRow;
    ctrl->SetSelection(row, col, row, col);
    ctrl->SetActiveCell(row, col);
    ctrl->ShowCell(row, col);
    m_layerColour = GetColorForTextBasedOnLayer(m_nLayer);
}

void CExhibitView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    CObjectView::OnUpdate(pSender, lHint, pHint);
    if (lHint == HINT_INTERPOLATION_VALUES && OnFormat(nullptr)) OnUpdateData(FALSE);
}

// ---- the row plan -------------------------------------------------------------------------------

struct CExhibitView::PlanOptions {
    int showSDF = 0, showHist = 0, showCum = 0, showRatio = 0;
    // Hand lines under the selections ("Selected:", "Interpolated:").
    bool blankCounts = false;
    // One source for the long or abbreviated statistic and curve names: the
    // statistics' "Abbreviate Labels" option.
    int abbreviate = 0;
    // The short labels of the selection and interpolated rows.
    int interpAbbrev = 0;
};

CExhibitView::PlanOptions CExhibitView::ReadPlanOptions(CProject& project, CExhibit& exhibit) {
    PlanOptions options;
    int showBlank = 0;
    project.GetExhibitShowSDF(options.showSDF);
    project.GetExhibitShowSelHist(options.showHist);
    project.GetExhibitShowCumSDF(options.showCum);
    project.GetExhibitShowRatioSDF(options.showRatio);
    project.GetExhibitShowBlankSDF(showBlank);
    std::vector<CStatistics::Record> defs;
    int excludePrior = 0;
    project.GetStatsDefs(defs, excludePrior, options.abbreviate);
    options.interpAbbrev = project.GetInterpolateAbbrevFlag();
    options.blankCounts = showBlank && exhibit.HasSDF();
    return options;
}

bool CExhibitView::PlanRows() {
    CProject* project = GetProject();
    m_pExhibit = dynamic_cast<CExhibit*>(m_pObject);
    m_layout = Layout{};
    if (m_pExhibit == nullptr || project == nullptr) return false;
    if (m_pExhibit->GetFactorTriangle(m_layout.factors) != qsk::kOk || m_layout.factors == nullptr) return false;

    const PlanOptions options = ReadPlanOptions(*project, *m_pExhibit);
    FindShownObjects(options);
    PlanCursor at = PlanTriangle();
    PlanStatistics(at, options);
    if (m_layout.hasDFList) PlanObjectRows(at, m_layout.dfs, RowKind::FactorSet);
    if (m_layout.hasSelHistList) PlanObjectRows(at, m_layout.selHist, RowKind::SelHist);
    PlanTailCurves(at, options);
    PlanSelected(at, options);
    if (m_layout.sdf != nullptr) {
        Interpolate();
        // The notes of extrapolated ages reach the status line.
        ShowFootnoteStatus();
        if (m_layout.interpolated) PlanInterpolated(at, options);
    }
    for (const PlannedRow& row : m_layout.rows) at.row = std::max(at.row, row.row);
    m_layout.lastRow = std::max(at.row, m_layout.triangleRows);
    m_layout.maxCol = at.maxCols + 1;
    return true;
}

void CExhibitView::AddRow(int gridRow, RowKind kind, const QString& label, CDataObject* object, int objectRow) {
    PlannedRow row;
    row.row = gridRow;
    row.kind = kind;
    row.label = label;
    row.object = object;
    row.objectRow = objectRow;
    m_layout.rows.push_back(row);
}

// The statistics, factor sets, selection history, tail analysis and the
// selections the switches show; a printed pass leaves out selections that
// hold nothing.
void CExhibitView::FindShownObjects(const PlanOptions& options) {
    CProject* project = GetProject();
    Layout& l = m_layout;
    if (m_pExhibit->HasStatistics()) {
        m_pExhibit->GetStatistics(l.statistics);
        m_pExhibit->GetOutliersObject(l.outliers);
    }
    l.hasDFList = m_pExhibit->HasDFs() && m_pExhibit->GetDFs(l.dfs) == qsk::kOk && !l.dfs.empty();
    l.hasSelHistList = options.showHist && m_pExhibit->HasSelHist() && m_pExhibit->GetSelHist(l.selHist) == qsk::kOk &&
                       !l.selHist.empty();
    if (l.hasSelHistList) {
        unsigned short count = 0;
        project->GetExhibitViewSelHistCount(count);
        if (count > 0 && l.selHist.size() > count) l.selHist.resize(count);
    }
    const auto usable = [this](CDataObject* d) { return d != nullptr && (!m_bPrinting || d->IsInitialized()); };
    if (options.showSDF && m_pExhibit->HasSDF() && m_pExhibit->GetSDFObject(l.sdf) == qsk::kOk && usable(l.sdf)) {
        m_pExhibit->GetCRXObject(l.crx);
    } else {
        l.sdf = nullptr;
    }
    if (!(options.showSDF && m_pExhibit->HasInterpolateSDF() &&
          m_pExhibit->GetInterpolateSDFObject(l.interpSDF) == qsk::kOk && usable(l.interpSDF)))
        l.interpSDF = nullptr;
    if (options.showCum && l.sdf != nullptr) {
        m_pExhibit->GetCumSDFObject(l.cumSDF);
        if (l.interpSDF != nullptr) m_pExhibit->GetInterpolateCumSDFObject(l.interpCumSDF);
    }
    if (options.showRatio && l.sdf != nullptr) {
        m_pExhibit->GetRatioSDFObject(l.ratioSDF);
        if (l.interpSDF != nullptr) m_pExhibit->GetInterpolateRatioSDFObject(l.interpRatioSDF);
    }
}

// The factor triangle takes the first rows; a developed triangle's newest row
// of a single column has nothing to show. One blank row follows it.
CExhibitView::PlanCursor CExhibitView::PlanTriangle() {
    std::uint16_t rows = 0, cols = 0;
    m_layout.factors->GetMaxRowsCols(rows, cols);
    if (m_layout.factors->IsDeveloped() && rows > 0) {
        std::uint16_t n = 0;
        if (m_layout.factors->GetNumColsInRow(rows - 1, n) == qsk::kOk && n == 1) --rows;
    }
    m_layout.triangleRows = rows;
    m_layout.triangleCols = cols;
    return PlanCursor{rows + 1, cols};
}

// Each statistic: a row with its name, then a row per titled row of values;
// an untitled row's values stand on the row last used. Trend and curve
// statistics show their values in the default format, except their
// intercept and projection rows.
void CExhibitView::PlanStatistics(PlanCursor& at, const PlanOptions& options) {
    CStatistics* statistics = m_layout.statistics;
    if (statistics == nullptr) return;
    unsigned short numStats = 0, statCols = 0;
    statistics->GetNumStats(numStats);
    statistics->GetMaxCols(statCols);
    at.maxCols = std::max<int>(at.maxCols, statCols);
    for (unsigned short s = 0; s < numStats; ++s) {
        std::string name;
        statistics->GetStatName(s, name, options.abbreviate);
        const bool trend = statistics->IsStatLTrend(s) || statistics->IsStatExpCurve(s);
        PlannedRow nameRow;
        nameRow.row = ++at.row;
        nameRow.kind = RowKind::StatName;
        nameRow.label = Wrap(QString::fromStdString(name), options.abbreviate ? 3 : 7);
        nameRow.style = kStyleLabel;
        nameRow.factorFormat = !trend;
        nameRow.stat = s;
        m_layout.rows.push_back(nameRow);
        unsigned short statRows = 0;
        statistics->GetNumRows(s, statRows);
        bool lastFormat = nameRow.factorFormat;
        for (unsigned short i = 0; i < statRows; ++i) {
            std::string title;
            statistics->GetRowTitle(s, i, title);
            PlannedRow row;
            row.kind = RowKind::StatRow;
            row.stat = s;
            row.statRow = i;
            row.style = kStyleTitle;
            if (!title.empty()) {
                const QString t = QString::fromStdString(title);
                row.row = ++at.row;
                row.label = Wrap(t, 3);
                row.factorFormat = !trend || StartsWithNoCase(t, "Y Int") || StartsWithNoCase(t, "Proje");
                lastFormat = row.factorFormat;
            } else {
                row.row = at.row;
                row.factorFormat = lastFormat;
            }
            m_layout.rows.push_back(row);
        }
    }
}

// A blank row, then a row per object labelled with its name.
void CExhibitView::PlanObjectRows(PlanCursor& at, const std::vector<CDataObject*>& list, RowKind kind) {
    at.row += 1;
    for (CDataObject* d : list) AddRow(++at.row, kind, Wrap(QString::fromStdString(d->GetIDName(-1)), 3), d);
}

// A blank row, then a row per curve the tail analysis has enabled, from the
// analysis's curve rows made for this pass.
void CExhibitView::PlanTailCurves(PlanCursor& at, const PlanOptions& options) {
    CTailFactorAnalysis* crx = m_layout.crx;
    if (crx == nullptr) return;
    m_layout.crxRows = crx->GetCRXDO();
    at.row += 1;
    for (int curve = 0; curve < 3; ++curve) {
        if (!crx->IsCurveEnabled(curve)) continue;
        AddRow(++at.row, RowKind::Tail, QString::fromStdString(crx->GetCurveName(curve, options.abbreviate)),
               m_layout.crxRows.get(), curve);
    }
}

// The hand line, the Selected block (one row per selection row, the first
// labelled) and its cumulative and ratio-to-ultimate rows.
void CExhibitView::PlanSelected(PlanCursor& at, const PlanOptions& options) {
    Layout& l = m_layout;
    if (options.blankCounts) {
        at.row += 2;
        AddRow(at.row, RowKind::HandSelected, QStringLiteral("Selected:"), nullptr);
    }
    if (l.sdf == nullptr) return;
    at.row += 1;
    l.sdf->GetMaxRowsCols(l.selectedRows, l.selectedCols);
    at.maxCols = std::max<int>(at.maxCols, l.selectedCols);
    l.firstSelectedRow = at.row + 1;
    for (int i = 0; i < l.selectedRows; ++i)
        AddRow(++at.row, RowKind::Selected, i == 0 ? QStringLiteral("Selected") : QString(), l.sdf, i);
    at.row += 1;
    if (l.cumSDF != nullptr) AddRow(++at.row, RowKind::Cumulative, QStringLiteral("Cumulative"), l.cumSDF);
    if (l.ratioSDF != nullptr)
        AddRow(++at.row, RowKind::Ratio,
               options.interpAbbrev ? QStringLiteral("Ratio to Ult") : QStringLiteral("Ratio to Ultimate"), l.ratioSDF);
    if (l.cumSDF != nullptr || l.ratioSDF != nullptr) at.row += 1;
}

// Runs the interpolation helper on the selections when the project
// interpolates: the periods and the SDF copies it borrows are made anew for
// each pass.
void CExhibitView::Interpolate() {
    CProject* project = GetProject();
    Layout& l = m_layout;
    if (!project->GetInterpolateFlag()) return;
    CDataObject* current = nullptr;
    CDataObject* wanted = nullptr;
    project->GetCurrentPeriods(current, m_nLayer);
    l.currentPeriods.reset(current);
    project->GetInterpolatePeriods(wanted, m_nLayer);
    l.interpolatePeriods.reset(wanted);
    if (!l.currentPeriods || !l.interpolatePeriods) return;
    l.cumCopy = std::make_unique<CDataObject>(*l.sdf);
    l.ratioCopy = std::make_unique<CDataObject>(*l.sdf);
    l.interpolated = l.cumCopy->CumulateSDF() == qsk::kOk && l.ratioCopy->RatioSDF() == qsk::kOk &&
                     m_helper.SetInput(l.sdf, l.cumCopy.get(), l.ratioCopy.get(), l.sdf, l.currentPeriods.get(),
                                       l.interpolatePeriods.get()) &&
                     m_helper.Interpolate();
}

// The interpolated block: the interpolated ages, a row per interpolation
// selection, the hand line, then the Selected Interpolated block and its
// cumulative and ratio-to-ultimate rows.
void CExhibitView::PlanInterpolated(PlanCursor& at, const PlanOptions& options) {
    Layout& l = m_layout;
    const bool abbrev = options.interpAbbrev != 0;
    std::uint16_t ageRows = 0, ageCols = 0;
    l.interpolatePeriods->GetMaxRowsCols(ageRows, ageCols);
    at.maxCols = std::max<int>(at.maxCols, ageCols);
    at.row += 1;
    AddRow(++at.row, RowKind::InterpAges, abbrev ? QStringLiteral("Interp Ages") : QStringLiteral("Interpolated Ages"),
           l.interpolatePeriods.get());
    at.row += 1;
    for (const auto& item : m_helper.GetItems()) {
        AddRow(++at.row, RowKind::InterpResult, Wrap(item.label, 3), item.result.get());
        if (item.result) {
            std::uint16_t rr = 0, rc = 0;
            item.result->GetMaxRowsCols(rr, rc);
            at.maxCols = std::max<int>(at.maxCols, rc);
        }
    }
    if (options.blankCounts) {
        at.row += 2;
        AddRow(at.row, RowKind::HandInterpolated, QStringLiteral("Interpolated:"), nullptr);
    }
    at.row += 1;
    if (l.interpSDF == nullptr) return;
    l.interpSDF->GetMaxRowsCols(l.interpRows, l.interpCols);
    at.maxCols = std::max<int>(at.maxCols, l.interpCols);
    l.selectedInterpRow = at.row + 1;
    for (int i = 0; i < l.interpRows; ++i)
        AddRow(++at.row, RowKind::SelectedInterp,
               i == 0 ? (abbrev ? QStringLiteral("Selected Interp") : QStringLiteral("Selected Interpolated")) : QString(),
               l.interpSDF, i);
    at.row += 1;
    if (l.interpCumSDF != nullptr)
        AddRow(++at.row, RowKind::CumulativeInterp,
               abbrev ? QStringLiteral("Cumulative") : QStringLiteral("Cumulative Interpolated"), l.interpCumSDF);
    if (l.interpRatioSDF != nullptr)
        AddRow(++at.row, RowKind::RatioInterp,
               abbrev ? QStringLiteral("Ratio to Ult") : QStringLiteral("Ratio to Ultimate Interpolated"),
               l.interpRatioSDF);
}

// ---- layout ---------------------------------------------------------------------------------------

void CExhibitView::ApplyStyle(int r1, int c1, int r2, int c2, int style) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr || r2 < r1 || c2 < c1) return;
    CLOGFONT record;
    if (style == kStyleLayer || style == kStyleSelected) project->GetHeadingsFont(record);
    else project->GetDataFont(record);
    QsLogFont lf{};
    record.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    std::uint32_t colour = m_layerColour;
    bool underline = lf.lfUnderline != 0;
    if (style == kStyleSelected) {
        underline = true;
        colour = 0;
    }
    ctrl->SetSelection(r1, c1, r2, c2);
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, underline, lf.lfStrikeOut != 0,
                  ColorFromRef(colour));
}

void CExhibitView::StrikeCells(int r1, int c1, int r2, int c2, bool strike) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr || r2 < r1 || c2 < c1) return;
    CLOGFONT record;
    project->GetDataFont(record);
    QsLogFont lf{};
    record.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    ctrl->SetSelection(r1, c1, r2, c2);
    ctrl->SetFont(face, lf.lfHeight / 10, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, strike,
                  ColorFromRef(m_layerColour));
}

BOOL CExhibitView::Format(const CPageSetup*) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr) return FALSE;
    m_layerColour = GetColorForTextBasedOnLayer(m_nLayer);
    if (!PlanRows()) return TRUE;  // nothing to lay out; the grid stays empty
    const auto& settings = qs::views::Settings();
    const int rows = m_layout.triangleRows, cols = m_layout.triangleCols;
    const int lastRow = m_layout.lastRow, maxCol = m_layout.maxCol;
    const int scratch = maxCol + 1;
    ctrl->SetMaxRow(std::max(lastRow, 1));
    ctrl->SetMaxCol(scratch);

    ctrl->ClearRange(1, 1, kMaxGridRows, 1, SSC_All);
    ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
    ctrl->SetPattern(settings.pattern, ColorFromRef(settings.patternFg), ColorFromRef(settings.patternBg));
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    ctrl->SetNumberFormat(QString());
    ApplyStyle(1, 1, kMaxGridRows, kMaxGridCols, kStyleSheet);

    // Triangle block.
    QSStringArray rowLabels, colLabels;
    std::string title;
    m_layout.factors->GetLabels(rowLabels, colLabels, title);
    if (rows > 0) {
        ApplyStyle(1, 1, rows, 1, kStyleRowLabel);
        ctrl->SetSelection(1, 1, rows, 1);
        ctrl->SetAlignment(SSH_Center, false, SSV_Bottom, 0);
        ctrl->SetSelection(1, 2, rows, cols + 1);
        DataFormat(m_layout.factors);
    }
    const QString wrappedTitle = Wrap(QString::fromStdString(title), 3);
    ctrl->SetColHeadingText(1, wrappedTitle);
    for (int c = 0; c < cols; ++c)
        ctrl->SetColHeadingText(c + 2, c < int(colLabels.size()) ? QString::fromStdString(colLabels[c]) : QString());
    for (int c = cols + 2; c <= maxCol; ++c) ctrl->SetColHeadingText(c, QStringLiteral(" "));
    for (int r = 0; r < rows; ++r)
        ctrl->SetText(r + 1, 1, r < int(rowLabels.size()) ? QString::fromStdString(rowLabels[r]) : QString());

    // The other rows: labels, formats, the editable blocks.
    QString widest;
    for (int r = 0; r < rows && r < int(rowLabels.size()); ++r)
        if (rowLabels[r].size() > size_t(widest.size())) widest = QString::fromStdString(rowLabels[r]);
    const QFontMetrics metrics(font());
    int widestPx = metrics.horizontalAdvance(widest);
    for (const PlannedRow& row : m_layout.rows) {
        if (!row.label.isEmpty()) {
            ctrl->SetText(row.row, 1, row.label);
            ApplyStyle(row.row, 1, row.row, 1, row.style);
            for (const QString& line : row.label.split(QLatin1Char('\n'))) {
                const int px = metrics.horizontalAdvance(line);
                if (px > widestPx) {
                    widestPx = px;
                    widest = line;
                }
            }
        }
        ctrl->SetSelection(row.row, 2, row.row, maxCol);
        if (row.factorFormat) DataFormat(m_layout.factors);
        else ctrl->SetNumberFormat(QStringLiteral("General"));
    }
    const auto block = [&](int first, int nRows, int nCols, CDataObject* object) {
        if (first <= 0 || nRows <= 0 || nCols <= 0) return;
        ctrl->SetSelection(first, 2, first + nRows - 1, nCols + 1);
        // Selections stored without a format of their own read like the factors.
        const bool formatted = object->IsFixed() || object->IsCurrency() || object->IsPercent();
        DataFormat(formatted ? object : m_layout.factors);
        ctrl->SetPattern(0, QColor(Qt::white), QColor(Qt::white));
        ctrl->SetBorder(SSB_None, -1, -1, -1, -1, -1, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black);
        Outline(ctrl, first, 2, first + nRows - 1, nCols + 1, SSB_Thin, 0, SSB_Thin, kLightGrey);
    };
    block(m_layout.firstSelectedRow, m_layout.selectedRows, m_layout.selectedCols, m_layout.sdf);
    block(m_layout.selectedInterpRow, m_layout.interpRows, m_layout.interpCols, m_layout.interpSDF);

    // Column 1 takes the widest label line, measured once in a scratch cell.
    ctrl->SetText(1, scratch, widest);
    ApplyStyle(1, scratch, 1, scratch, kStyleLabel);
    ctrl->FitColWidths(scratch, scratch);
    const int width = ctrl->GetColWidth(scratch);
    ctrl->SetColWidth(1, 1, width + width / 10);
    ctrl->ClearRange(1, scratch, 1, scratch, SSC_All);
    ctrl->SetMaxCol(maxCol);
    const int lines = 1 + int(wrappedTitle.count(QLatin1Char('\n')));
    ctrl->SetHeadingRowHeight(lines * ctrl->GetRowHeight(1));
    if (lastRow > rows) {
        ctrl->SetSelection(rows + 1, 1, lastRow, 1);
        ctrl->SetAlignment(SSH_Right, true, SSV_Bottom, 0);
        ctrl->FitRowHeights(rows + 1, lastRow);
    }
    ctrl->SetSelection(1, 2, std::max(lastRow, 1), maxCol);
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    return TRUE;
}

// ---- values -----------------------------------------------------------------------------------------

int CExhibitView::WriteObjectRow(int gridRow, CDataObject* object, int objectRow, int firstCol) {
    if (object == nullptr || !object->IsInitialized()) return 0;
    std::uint16_t rows = 0, cols = 0;
    object->GetMaxRowsCols(rows, cols);
    if (objectRow >= rows) return 0;
    for (int c = 0; c < cols; ++c) {
        double value = 0.0;
        std::uint8_t flags = 0;
        if (!object->LocationIsValid(objectRow, c) || object->GetAt(objectRow, c, value, flags) != qsk::kOk) continue;
        WriteCell(m_pSS, gridRow, c + firstCol, value, flags);
    }
    return cols;
}

BOOL CExhibitView::UpdateData(BOOL bSave) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return FALSE;
    if (bSave) {
        int row = 0, col = 0;
        ctrl->GetActiveCell(row, col);
        const int kind = RowKindOf(row);
        CDataObject* target = TargetOf(kind);
        const int first = kind == kKindSelected ? m_layout.firstSelectedRow : m_layout.selectedInterpRow;
        if (target == nullptr || first <= 0) return TRUE;
        std::uint16_t rows = 0, cols = 0;
        target->GetMaxRowsCols(rows, cols);
        const CProject* project = GetProject();
        BOOL ok = TRUE;
        target->SetRecalcOn(0);
        for (int r = 0; r < rows && ok; ++r) {
            for (int c = 0; c < cols; ++c) {
                if (!target->LocationIsValid(r, c)) continue;
                QString text;
                ctrl->GetText(first + r, c + 2, text);
                const qs::views::CellEntry entry = qs::views::ReadCellEntry(text, project);
                // Words are no factor: the cell keeps its factor.
                if (entry.kind == qs::views::CellEntry::Kind::Words) continue;
                const QSSTATUS status = qs::views::StoreCellEntry(*target, r, c, entry);
                if (status == qsk::kOk && entry.kind == qs::views::CellEntry::Kind::Number)
                    ctrl->SetNumber(first + r, c + 2, entry.value);
                if (status != qsk::kOk) {
                    ReportError(QStringLiteral("Error: CProject::SetAt\n"));
                    ok = FALSE;
                    break;
                }
            }
        }
        target->SetRecalcOn(1);
        return ok;
    }

    UpdateCaption();
    if (!PlanRows()) return TRUE;
    const int rows = m_layout.triangleRows;
    ctrl->ClearRange(1, 2, kMaxGridRows, kMaxGridCols, SSC_Values);
    std::vector<std::pair<int, int>> staleMarks;
    for (int r = 0; r < rows; ++r) {
        std::uint16_t n = 0;
        if (m_layout.factors->GetNumColsInRow(std::uint16_t(r), n) != qsk::kOk) continue;
        for (int c = 0; c < n; ++c) {
            double value = 0.0;
            std::uint8_t flags = 0;
            if (m_layout.factors->GetAt(r, c, value, flags) != qsk::kOk) continue;
            WriteCell(m_pSS, r + 1, c + 2, value, flags);
            if (m_layout.outliers == nullptr || !m_layout.outliers->LocationIsValid(r, c)) continue;
            if (HoldsValue(m_layout.outliers, r, c)) {
                if (!(flags & CDataObject::CF_VALUE)) {
                    staleMarks.emplace_back(r, c);
                    StrikeCells(r + 1, c + 2, r + 1, c + 2, false);
                } else {
                    StrikeCells(r + 1, c + 2, r + 1, c + 2, true);
                }
            }
        }
    }
    for (const PlannedRow& row : m_layout.rows) {
        switch (row.kind) {
        case RowKind::StatName:
        case RowKind::StatRow: {
            if (m_layout.statistics == nullptr || row.statRow < 0) break;
            unsigned short statCols = 0;
            m_layout.statistics->GetMaxCols(statCols);
            for (unsigned short c = 0; c < statCols; ++c) {
                double value = 0.0;
                char flag = 0;
                if (m_layout.statistics->GetAt(row.stat, row.statRow, c, value, flag) == 0 && flag == 0)
                    ctrl->SetNumber(row.row, c + 2, value);
            }
            break;
        }
        case RowKind::HandSelected:
            for (int c = 0; c < m_layout.triangleCols; ++c) ctrl->SetText(row.row, c + 2, QString::fromLatin1(kHandLine));
            break;
        case RowKind::HandInterpolated: {
            std::uint16_t ageRows = 0, ageCols = 0;
            if (m_layout.interpolatePeriods) m_layout.interpolatePeriods->GetMaxRowsCols(ageRows, ageCols);
            for (int c = 0; c < ageCols; ++c) ctrl->SetText(row.row, c + 2, QString::fromLatin1(kHandLine));
            break;
        }
        default: WriteObjectRow(row.row, row.object, row.objectRow); break;
        }
    }
    ctrl->FitColWidths(2, std::max(2, m_layout.maxCol));
    // A mark on a factor that no longer exists goes; the kernel then
    // recalculates and the view hears of it.
    if (!staleMarks.empty()) {
        m_layout.outliers->SetRecalcOn(0);
        for (const auto& [r, c] : staleMarks) m_layout.outliers->SetCellBlank(r, c, 1);
        m_layout.outliers->SetRecalcOn(1);
    }
    return TRUE;
}

QStringList CExhibitView::StatusNotes() const {
    QStringList notes = CObjectView::StatusNotes();
    if (!m_layout.interpolated) return notes;
    // Every result row shares the interpolated ages: each age's note once.
    for (const auto& item : m_helper.GetItems()) {
        if (!item.result) continue;
        for (const auto& [key, note] : item.result->GetNotes()) {
            const QString text = QString::fromStdString(note);
            if (!notes.contains(text)) notes << text;
        }
    }
    return notes;
}

// ---- row kinds and targets ----------------------------------------------------------------------------

int CExhibitView::RowKindOf(int row) const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || row < 1) return kKindNone;
    QString text;
    ctrl->GetText(row, 1, text);
    text = text.trimmed();
    // Rows of a block below its first row carry no label: they belong to the block.
    const auto inBlock = [row](int first, int n) { return first > 0 && row >= first && row < first + std::max(n, 1); };
    if (text.compare(QStringLiteral("Selected"), Qt::CaseInsensitive) == 0 ||
        text.compare(QStringLiteral("Sel"), Qt::CaseInsensitive) == 0 ||
        (text.isEmpty() && inBlock(m_layout.firstSelectedRow, m_layout.selectedRows)))
        return ShowSDF() ? kKindSelected : kKindNone;
    if (text.compare(QStringLiteral("Selected Interpolated"), Qt::CaseInsensitive) == 0 ||
        text.compare(QStringLiteral("Selected Interp"), Qt::CaseInsensitive) == 0 ||
        (text.isEmpty() && inBlock(m_layout.selectedInterpRow, m_layout.interpRows))) {
        CProject* project = GetProject();
        return project != nullptr && project->GetInterpolateFlag() ? kKindInterpolated : kKindNone;
    }
    return kKindNone;
}

CDataObject* CExhibitView::TargetOf(int kind) const {
    if (m_pExhibit == nullptr) return nullptr;
    if (kind == kKindSelected) return ShowSDF() && m_pExhibit->HasSDF() ? m_layout.sdf : nullptr;
    if (kind == kKindInterpolated) {
        CProject* project = GetProject();
        return project != nullptr && project->GetInterpolateFlag() && m_pExhibit->HasInterpolateSDF() ? m_layout.interpSDF
                                                                                                       : nullptr;
    }
    return nullptr;
}

bool CExhibitView::TargetCell(int row, int col, int& kind, int& targetRow, int& targetCol) const {
    kind = RowKindOf(row);
    CDataObject* target = TargetOf(kind);
    const int first = kind == kKindSelected ? m_layout.firstSelectedRow : m_layout.selectedInterpRow;
    if (target == nullptr || first <= 0) return false;
    targetRow = row - first;
    targetCol = col - 2;
    return targetRow >= 0 && targetCol >= 0 && target->LocationIsValid(targetRow, targetCol);
}

bool CExhibitView::IsValidTargetCell(int row, int col) const {
    int kind = 0, tr = 0, tc = 0;
    return TargetCell(row, col, kind, tr, tc);
}

bool CExhibitView::IsValidTriangleCell(int row, int col) const {
    return m_pExhibit != nullptr && m_pExhibit->HasStatistics() && m_layout.factors != nullptr && row >= 1 &&
           row <= m_layout.triangleRows && col >= 2 && m_layout.factors->LocationIsValid(row - 1, col - 2);
}

BOOL CExhibitView::IsEditable() const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return FALSE;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    const int kind = RowKindOf(row);
    if (TargetOf(kind) == nullptr) return FALSE;
    for (const qs::ss::Range& range : ctrl->Selection()) {
        if (!IsValidTargetCell(range.row1, range.col1) && !IsValidTargetCell(range.row1, range.col2) &&
            !IsValidTargetCell(range.row2, range.col1) && !IsValidTargetCell(range.row2, range.col2))
            return FALSE;
    }
    return TRUE;
}

int CExhibitView::MaxSelectedCols(int kind) const {
    CDataObject* target = TargetOf(kind);
    std::uint16_t rows = 0, cols = 0;
    if (target != nullptr) target->GetMaxRowsCols(rows, cols);
    return cols;
}

// ---- typing ---------------------------------------------------------------------------------------------

BOOL CExhibitView::SetAt(int row, int col, const QString& text, double value, CFormula*) {
    int kind = 0, targetRow = 0, targetCol = 0;
    if (!TargetCell(row, col, kind, targetRow, targetCol)) return FALSE;
    CDataObject* target = TargetOf(kind);
    // A value the user puts in replaces whatever a flood fill marked there.
    target->SetCellHasNoFFMin(targetRow, targetCol);
    target->SetCellHasNoAdjCutoff(targetRow, targetCol);
    return CObjectView::SetAt(targetRow + 1, targetCol + 1, text, value, target);
}

// ---- drop (double click) -------------------------------------------------------------------------------

void CExhibitView::ClearTargetFlags(CDataObject* target, int targetCol, bool outline) {
    bool cleared = false;
    if (target->GetFFMinInCell(0, targetCol)) {
        target->SetCellHasNoFFMin(0, targetCol);
        cleared = true;
    }
    if (target->GetAdjCutoffInCell(0, targetCol)) {
        target->SetCellHasNoAdjCutoff(0, targetCol);
        cleared = true;
    }
    if (cleared && outline)
        if (SpreadsheetControl* ctrl = GetCtrl()) {
            int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
            if (ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK)
                Outline(ctrl, r1, c1, r2, c2, SSB_Thin, kLightGrey, -1, kLightGrey);
        }
}

bool CExhibitView::DropCell(int kind, int row, int col) {
    SpreadsheetControl* ctrl = GetCtrl();
    CDataObject* target = TargetOf(kind);
    if (ctrl == nullptr || target == nullptr) return false;
    QString text;
    ctrl->GetText(row, col, text);
    text = text.trimmed();
    if (text.isEmpty() || qs::views::IsNotAvailableText(text)) return false;
    const int targetCol = col - 2;
    if (!target->LocationIsValid(0, targetCol)) return false;
    BeginWaitCursor();
    ClearTargetFlags(target, targetCol, true);
    double value = 0.0;
    ctrl->GetNumber(row, col, value);
    const QSSTATUS status = target->SetAt(0, targetCol, value, 1);
    EndWaitCursor();
    if (status != qsk::kOk) {
        ReportError(QStringLiteral("Error: SDF::SetAt\n"));
        return false;
    }
    return true;
}

bool CExhibitView::DropRow(int kind, int row) {
    SpreadsheetControl* ctrl = GetCtrl();
    CDataObject* target = TargetOf(kind);
    if (ctrl == nullptr || target == nullptr) return false;
    const int cols = MaxSelectedCols(kind);
    BeginWaitCursor();
    target->SetRecalcOn(0);
    bool ok = true;
    for (int i = 0; i < cols && ok; ++i) {
        if (target->GetFFMinInCell(0, i)) ClearTargetFlags(target, i, true);
        QString text;
        ctrl->GetText(row, i + 2, text);
        text = text.trimmed();
        double value = 0.0;
        QSSTATUS status = qsk::kOk;
        const char* error = "Error: SDF::SetAt\n";
        if (qs::views::IsNotAvailableText(text)) {
            status = target->SetCellNotAvail(0, i);
        } else if (text.isEmpty() && i == cols - 1) {
            status = target->SetAt(0, i, 0.0, 1);
        } else if (text.isEmpty()) {
            status = target->SetCellBlank(0, i, 1);
            error = "Error: SDF::SetCellBlank\n";
        } else {
            ctrl->GetNumber(row, i + 2, value);
            status = target->SetAt(0, i, value, 1);
        }
        if (status != qsk::kOk) {
            ReportError(QString::fromLatin1(error));
            ok = false;
        }
    }
    target->SetRecalcOn(1);
    EndWaitCursor();
    return ok;
}

void CExhibitView::Drop(int row, int col) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || m_pExhibit == nullptr || row < 1) return;
    QString label;
    ctrl->GetText(row, 1, label);
    label = label.simplified();
    if (label.compare(QStringLiteral("Interp Ages"), Qt::CaseInsensitive) == 0 ||
        label.compare(QStringLiteral("Interpolated Ages"), Qt::CaseInsensitive) == 0)
        return;
    const int s = m_layout.firstSelectedRow;
    const int i = m_layout.selectedInterpRow;
    const bool wholeRow = col == 0;
    int kind = kKindSelected;
    QString question;
    // Without a Selected block no row lies above it; without an
    // interpolated one no row lies between the two.
    if (s > 0 && row < s) {
        question = QStringLiteral("Drop this whole row into Selected factors? \n");
    } else if (s > 0 && i > 0 && row > s && row < i) {
        kind = kKindInterpolated;
        question = QStringLiteral("Drop this whole row into Interpolated factors? \n");
    } else if (i > 0 && row >= i && row < i + std::max<int>(m_layout.interpRows, 1)) {
        kind = kKindInterpolated;
    } else if (s <= 0 && i <= 0) {
        question = QStringLiteral("Drop this whole row into Selected factors? \n");
    }
    // Within a block, the block's own row: a whole row has nothing to drop.
    if (s > 0 && row >= s && row < s + std::max<int>(m_layout.selectedRows, 1)) question.clear();
    if (wholeRow && !question.isEmpty() &&
        ::MessageBox(this, question, qs::fw::ApplicationName(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (StartsWithNoCase(label, "Slope") || StartsWithNoCase(label, "Y Int") || StartsWithNoCase(label, "R squ")) return;

    CDataObject* target = TargetOf(kind);
    if (!wholeRow && IsValidTriangleCell(row, col)) {
        if (m_layout.outliers != nullptr && target != nullptr) DropCell(kind, row, col);
        return;
    }
    if (target == nullptr) return;
    if (!wholeRow && IsValidTargetCell(row, col)) {
        int k = 0, tr = 0, tc = 0;
        TargetCell(row, col, k, tr, tc);
        EditCellNote(tr, tc, target);
        return;
    }
    if (!wholeRow && col > 1) {
        DropCell(kind, row, col);
        return;
    }
    if (wholeRow) {
        const int cols = MaxSelectedCols(kind);
        bool any = false;
        for (int c = 0; c < cols && !any; ++c) {
            QString text;
            ctrl->GetText(row, c + 2, text);
            any = !text.trimmed().isEmpty();
        }
        if (any) DropRow(kind, row);
    }
}

// ---- commands -----------------------------------------------------------------------------------------------

void CExhibitView::MapExhibitCommands() {
    MapCommand(ID_EDIT_CELLNOTE, [this] { OnEditCellNote(); });
    MapUpdateCommand(ID_EDIT_CELLNOTE, [this](CCmdUI* ui) {
        SpreadsheetControl* ctrl = GetCtrl();
        int row = 0, col = 0;
        if (ctrl != nullptr) ctrl->GetActiveCell(row, col);
        ui->Enable(m_pExhibit != nullptr && m_pExhibit->HasStatistics() &&
                   (IsValidTargetCell(row, col) || IsValidTriangleCell(row, col)));
    });
    MapCommand(ID_VIEW_SOURCE, [this] { OnViewSource(); });
    MapUpdateCommand(ID_VIEW_SOURCE, [this](CCmdUI* ui) {
        SpreadsheetControl* ctrl = GetCtrl();
        int row = 0, col = 0;
        if (ctrl != nullptr) ctrl->GetActiveCell(row, col);
        QString label;
        if (ctrl != nullptr) ctrl->GetText(row, 1, label);
        const bool ages = label == QStringLiteral("Interp Ages") || label == QStringLiteral("Interpolated Ages");
        ui->Enable(ages || (m_layout.factors != nullptr && m_layout.factors->HasValidFormula() && m_pExhibit != nullptr &&
                            !m_pExhibit->GetSources().empty()));
    });
    MapCommand(ID_VIEW_FORMULA, [this] { ShowFormula(m_pExhibit); });
    MapUpdateCommand(ID_VIEW_FORMULA, [this](CCmdUI* ui) {
        SpreadsheetControl* ctrl = GetCtrl();
        int row = 0, col = 0;
        if (ctrl != nullptr) ctrl->GetActiveCell(row, col);
        QString label;
        if (ctrl != nullptr) ctrl->GetText(row, 1, label);
        const bool ages = label == QStringLiteral("Interp Ages") || label == QStringLiteral("Interpolated Ages");
        ui->Enable(!ages && m_layout.factors != nullptr && m_layout.factors->HasValidFormula());
    });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_CLEAR_ALL, [this] { OnEditClearAll(); });
    const auto editableRow = [this](CCmdUI* ui) {
        SpreadsheetControl* ctrl = GetCtrl();
        int row = 0, col = 0;
        if (ctrl != nullptr) ctrl->GetActiveCell(row, col);
        ui->Enable(TargetOf(RowKindOf(row)) != nullptr && ShowSDF() && m_pExhibit->HasSDF());
    };
    MapUpdateCommand(ID_EDIT_CLEAR, editableRow);
    MapUpdateCommand(ID_EDIT_CLEAR_ALL, editableRow);
    MapCommand(ID_EXCLUDE_OUTLIERS, [this] { OnExcludeOutliers(); });
    MapCommand(ID_INCLUDE_OUTLIERS, [this] { OnIncludeOutliers(); });
    MapUpdateCommand(ID_EXCLUDE_OUTLIERS, [this](CCmdUI* ui) { ui->Enable(IsCellSelectionValidForOutliers(true)); });
    MapUpdateCommand(ID_INCLUDE_OUTLIERS, [this](CCmdUI* ui) { ui->Enable(IsCellSelectionValidForOutliers(false)); });
    MapCommand(ID_SET_SDF_FLOODFILL, [this] { OnSetFloodFill(kKindSelected); });
    MapCommand(ID_SET_INTERP_FLOODFILL, [this] { OnSetFloodFill(kKindInterpolated); });
    MapCommand(ID_RUN_SDF_FLOODFILL, [this] { ExecuteSDFFloodFill(kKindSelected); });
    MapCommand(ID_RUN_INTERP_FLOODFILL, [this] { ExecuteSDFFloodFill(kKindInterpolated); });
    MapUpdateCommand(ID_SET_SDF_FLOODFILL, [this](CCmdUI* ui) {
        ui->Enable(!FileMode() && ShowSDF() && m_pExhibit != nullptr && m_pExhibit->HasSDF());
    });
    MapUpdateCommand(ID_SET_INTERP_FLOODFILL, [this](CCmdUI* ui) {
        ui->Enable(!FileMode() && ShowSDF() && m_pExhibit != nullptr && m_pExhibit->HasInterpolateSDF());
    });
    MapUpdateCommand(ID_RUN_SDF_FLOODFILL, [this](CCmdUI* ui) {
        CProject* project = GetProject();
        ui->Enable(!FileMode() && ShowSDF() && m_pExhibit != nullptr && m_pExhibit->HasSDF() && project != nullptr &&
                   project->IsSDFSetWithFloodFill(IdWithLayer()));
    });
    MapUpdateCommand(ID_RUN_INTERP_FLOODFILL, [this](CCmdUI* ui) {
        CProject* project = GetProject();
        ui->Enable(project != nullptr && project->GetInterpolateFlag() && !FileMode() && ShowSDF() &&
                   m_pExhibit != nullptr && m_pExhibit->HasInterpolateSDF() &&
                   project->IsSDFSetWithFloodFill(IdWithLayer()));
    });
    // The ultimates' flood fill belongs to summary reports, never to an exhibit.
    for (UINT id : {UINT(33051), UINT(33052)}) {  // set and execute the ultimates' flood fill
        MapCommand(id, [] {});
        MapUpdateCommand(id, [this](CCmdUI* ui) {
            CProject* project = GetProject();
            ui->Enable(project != nullptr && project->IsIDSummaryReport(m_lObjectID));
        });
    }
}

void CExhibitView::OnViewSource() {
    SpreadsheetControl* ctrl = GetCtrl();
    IObjectViewDocument* doc = GetObjectDocument();
    if (ctrl == nullptr || doc == nullptr) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    QString label;
    ctrl->GetText(row, 1, label);
    if (label == QStringLiteral("Interp Ages") || label == QStringLiteral("Interpolated Ages")) {
        doc->OpenObjectWindow(kInterpolatedAgesId, m_nLayer, 1, 1, 0);
        return;
    }
    // The factors' source is the exhibit's.
    OpenSourceTable(m_pExhibit);
}

void CExhibitView::OnEditCellNote() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || m_pExhibit == nullptr) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    int kind = 0, tr = 0, tc = 0;
    if (TargetCell(row, col, kind, tr, tc)) {
        EditCellNote(tr, tc, TargetOf(kind));
        return;
    }
    // Notes of the triangle's factors live on the outliers object.
    if (m_pExhibit->HasStatistics() && m_layout.outliers != nullptr && IsValidTriangleCell(row, col))
        EditCellNote(row - 1, col - 2, m_layout.outliers);
}

bool CExhibitView::AskClearChoice(bool& notesOnly) {
    CClearDlg dialog(this);
    if (dialog.DoModal() != IDOK) return false;
    notesOnly = dialog.m_nChoice != CClearDlg::kDataAndNotes;
    return true;
}

void CExhibitView::OnEditClear() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    const int kind = RowKindOf(row);
    CDataObject* target = TargetOf(kind);
    if (target == nullptr) return;
    bool notesOnly = true;
    if (!AskClearChoice(notesOnly)) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return;
    if (r1 <= 1 && c1 <= 1 && r2 >= kMaxGridRows && c2 >= kMaxGridCols) {
        // The whole sheet: every note of the target in one go, and with
        // "Data and cell notes" every value too.
        QSSTATUS status = notesOnly ? qsk::kOk : target->RemoveAll();
        if (status == qsk::kOk) {
            const auto notes = target->GetNotes();
            for (const auto& note : notes) {
                const auto [row, col] = CellKey::FromPacked(note.first);
                if ((status = target->RemoveNoteInCell(row, col)) != qsk::kOk) break;
            }
        }
        if (status != qsk::kOk) ReportError(QStringLiteral("Error: SDF::RemoveAll\n"));
        return;
    }
    const int first = kind == kKindSelected ? m_layout.firstSelectedRow : m_layout.selectedInterpRow;
    target->SetRecalcOn(0);
    bool stop = false;
    for (int r = r1; r <= r2 && !stop; ++r) {
        for (int c = c1; c <= c2; ++c) {
            const int tr = r - first, tc = c - 2;
            if (tr < 0 || tc < 0 || !target->LocationIsValid(tr, tc)) continue;
            if (!notesOnly && target->SetCellBlank(tr, tc, 1) != qsk::kOk) {
                ReportError(QStringLiteral("Error: SDF::SetCellBlank\n"));
                stop = true;
                break;
            }
            if (target->DoesCellHaveNote(tr, tc) && target->RemoveNoteInCell(tr, tc) != qsk::kOk) {
                ReportError(QStringLiteral("Error: SDF::RemoveNoteInCell\n"));
                stop = true;
                break;
            }
        }
    }
    target->SetRecalcOn(1);
}

void CExhibitView::OnEditClearAll() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    const int kind = RowKindOf(row);
    CDataObject* target = TargetOf(kind);
    if (target == nullptr) return;
    const QString what = kind == kKindSelected ? QStringLiteral("Selected factors") : QStringLiteral("Interpolated factors");
    if (::MessageBox(this, QStringLiteral("Remove all data and cell notes from ") + what, qs::fw::ApplicationName(),
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    target->SetRecalcOn(0);
    QSSTATUS status = target->RemoveAll();
    if (status == qsk::kOk) {
        const auto notes = target->GetNotes();
        for (const auto& note : notes) {
            const auto [row, col] = CellKey::FromPacked(note.first);
            if ((status = target->RemoveNoteInCell(row, col)) != qsk::kOk) break;
        }
    }
    target->SetRecalcOn(1);
    if (status != qsk::kOk) ReportError(QStringLiteral("Failed to Remove All."));
}

// ---- outliers ----------------------------------------------------------------------------------------------------

namespace {

// The first selection range clipped to the sheet's used area; false when
// nothing of it is inside.
bool ClippedSelection(SpreadsheetControl* ctrl, int& r1, int& c1, int& r2, int& c2) {
    if (ctrl == nullptr || ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return false;
    if (r1 < 1) r1 = 1;
    if (c1 < 1) c1 = 1;
    if (r2 < 1) r2 = kMaxRows;
    if (c2 < 1) c2 = kMaxCols;
    r2 = std::min(r2, ctrl->MaxRow());
    c2 = std::min(c2, ctrl->MaxCol());
    return true;
}

}  // namespace

bool CExhibitView::IsCellSelectionValidForOutliers(bool exclude) const {
    if (m_pExhibit == nullptr || !m_pExhibit->HasStatistics() || m_layout.factors == nullptr) return false;
    if (!exclude && m_layout.outliers == nullptr) return false;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!ClippedSelection(GetCtrl(), r1, c1, r2, c2)) return false;
    if (r2 < r1 || c2 < c1 || r2 > m_layout.triangleRows) return false;
    for (int r = r1; r <= r2; ++r)
        for (int c = std::max(c1, 2); c <= c2; ++c) {
            const int tr = r - 1, tc = c - 2;
            if (!HoldsValue(m_layout.factors, tr, tc)) continue;
            const bool marked = HoldsValue(m_layout.outliers, tr, tc);
            if (exclude ? !marked : marked) return true;
        }
    return false;
}

void CExhibitView::HelperForOnExcludeOutliers(bool exclude) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pExhibit == nullptr || !m_pExhibit->HasStatistics() || m_layout.factors == nullptr) return;
    if (m_layout.outliers == nullptr) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!ClippedSelection(ctrl, r1, c1, r2, c2)) return;
    int sr1 = 0, sc1 = 0, sr2 = 0, sc2 = 0;
    ctrl->GetSelection(0, sr1, sc1, sr2, sc2);
    int activeRow = 0, activeCol = 0;
    ctrl->GetActiveCell(activeRow, activeCol);
    std::vector<std::pair<int, int>> changed;
    m_layout.outliers->SetRecalcOn(0);
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) {
            const int tr = r - 1, tc = c - 2;
            if (tr < 0 || tc < 0 || !m_layout.factors->LocationIsValid(tr, tc)) continue;
            const bool marked = HoldsValue(m_layout.outliers, tr, tc);
            if (exclude && HoldsValue(m_layout.factors, tr, tc) && !marked) {
                m_layout.outliers->SetAt(tr, tc, double('o'), 1);
                changed.emplace_back(r, c);
            } else if (!exclude && marked) {
                m_layout.outliers->SetCellBlank(tr, tc, 1);
                changed.emplace_back(r, c);
            }
        }
    m_layout.outliers->SetRecalcOn(1);
    // The kernel's refresh has laid the view out again; the cells keep their
    // marks through UpdateData. The selection stays where the user put it.
    for (const auto& [r, c] : changed) StrikeCells(r, c, r, c, exclude);
    ctrl->SetSelection(sr1, sc1, sr2, sc2);
    ctrl->SetActiveCell(activeRow, activeCol);
    if (!changed.empty())
        if (CProject* project = GetProject()) project->SetModifiedFlag(true);
}

// ---- flood fill ----------------------------------------------------------------------------------------------------

void CExhibitView::OnSetFloodFill(int kind) {
    CProject* project = GetProject();
    if (project == nullptr || m_pExhibit == nullptr) return;
    const QSID id = IdWithLayer();
    std::string name;
    project->GetNameFromID(id, name);
    CMapLongToOb rules;
    auto freeRules = [&rules] {
        for (auto& [key, rule] : rules) delete rule;
        rules.RemoveAll();
    };
    QSSTATUS status = kind == kKindSelected ? project->GetRegularSDFFloodFillOption(rules)
                                            : project->GetInterpolateSDFFloodFillOption(rules);
    CObject* current = nullptr;
    rules.Lookup(LONG(id), current);
    CObject* edited = nullptr;
    if (kind == kKindSelected) {
        CSDFFloodFillOptionDlg dialog(dynamic_cast<CKDVSDFFloodFillOption*>(current), project, this);
        if (dialog.DoModal(QString::fromStdString(name)) != IDOK) return freeRules();
        if (dialog.GetOption() != nullptr) edited = new CKDVSDFFloodFillOption(*dialog.GetOption());
    } else {
        CFloodFillOptionsDlg dialog(this);
        if (auto* rule = dynamic_cast<CInterpolateSDFFloodFillOption*>(current)) dialog.SetOption(*rule);
        if (dialog.DoModal(QString::fromStdString(name)) != IDOK) return freeRules();
        edited = new CInterpolateSDFFloodFillOption(dialog.GetOption());
    }
    if (edited == nullptr) return freeRules();
    delete current;
    rules.SetAt(LONG(id), edited);
    if (status == qsk::kOk)
        status = kind == kKindSelected ? project->SetRegularSDFFloodFillOption(rules)
                                       : project->SetInterpolateSDFFloodFillOption(rules);
    freeRules();
    if (status != qsk::kOk)
        ::MessageBox(this,
                     kind == kKindSelected ? QStringLiteral("Error: CProject::SetRegularSDFFloodFillOption\n")
                                           : QStringLiteral("Error: CProject::SetInterpolateSDFFloodFillOption\n"),
                     qs::fw::ApplicationName(), MB_OK | MB_ICONSTOP);
}

void CExhibitView::ExecuteSDFFloodFill(int kind) {
    CProject* project = GetProject();
    CDataObject* target = kind == kKindSelected ? m_layout.sdf : m_layout.interpSDF;
    if (project == nullptr || m_pExhibit == nullptr) return;
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr) main->SendMessage(WM_USER + 2, 0, 0);
    if (target != nullptr) {
        std::uint16_t rows = 0, cols = 0;
        target->GetMaxRowsCols(rows, cols);
        for (int c = 0; c + 1 < cols; ++c)
            if (target->GetFFMinInCell(0, c)) target->SetCellHasNoFFMin(0, c);
        if (cols > 0 && target->GetAdjCutoffInCell(0, cols - 1)) target->SetCellHasNoAdjCutoff(0, cols - 1);
    }
    const QSSTATUS status =
        project->FloodFillSDF(nullptr, IdWithLayer(), kind == kKindSelected ? SDF_SELECTED : SDF_INTERPOLATED);
    if (main != nullptr) main->SendMessage(WM_USER, 0, 0);
    const QString word = kind == kKindSelected ? QStringLiteral("Selected") : QStringLiteral("Interpolated");
    if (status != qsk::kOk) {
        // A fill that did not run is no success.
        ::MessageBox(this,
                     word + QStringLiteral(" Development Factors Flood Fill Operation Failed (status ") +
                         QString::number(status) + QStringLiteral(")."),
                     qs::fw::ApplicationName(), MB_OK | MB_ICONSTOP);
        return;
    }
    project->SetModifiedFlag(true);
    if (CDocument* doc = GetDocument()) doc->UpdateAllViews(this, HINT_INTERPOLATION_VALUES, nullptr);
    if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_COMMAND, kFrameResizeCommand, 0);
    ::MessageBox(this, word + QStringLiteral(" Development Factors Flood Fill Operation Completed!"),
                 qs::fw::ApplicationName(), MB_OK | MB_ICONINFORMATION);
}

// ---- printing --------------------------------------------------------------------------------------------------------

void CExhibitView::BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) {
    m_bPrinting = 1;
    CObjectView::BeginPrinting(pDC, pInfo);
    m_bPrinting = 0;
    CPrintPageState* state = pInfo != nullptr ? pInfo->m_lpUserData : nullptr;
    SpreadsheetControl* ctrl = GetCtrl();
    if (state == nullptr || ctrl == nullptr || state->m_bContinue == 0) return;
    // The print copy has the headings as its first row and column: grid
    // (r, c) is printed at (r + 1, c + 1).
    ctrl->SetSelection(1, 1, 1, ctrl->MaxCol());
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetAlignment(SSH_Center, false, SSV_Bottom, 0);
    if (m_layout.outliers != nullptr && m_layout.factors != nullptr)
        for (int r = 0; r < m_layout.triangleRows; ++r) {
            std::uint16_t n = 0;
            m_layout.factors->GetNumColsInRow(std::uint16_t(r), n);
            for (int c = 0; c < n; ++c)
                if (HoldsValue(m_layout.outliers, r, c))
                    StrikeCells(r + 2, c + 3, r + 2, c + 3, true);
        }
    if (m_layout.outliers != nullptr) SaveCellNotes(pInfo, m_layout.outliers, QString::fromStdString(m_pExhibit->GetIDName(-1)));
    if (m_layout.sdf != nullptr)
        SaveCellNotes(pInfo, m_layout.sdf, QString::fromStdString(m_layout.sdf->GetIDName(-1)) + QStringLiteral(" Selected Row"));
    if (m_layout.interpSDF != nullptr)
        SaveCellNotes(pInfo, m_layout.interpSDF,
                      QString::fromStdString(m_layout.interpSDF->GetIDName(-1)) + QStringLiteral(" Selected Row"));
    if (m_layout.firstSelectedRow > 0)
        ApplyStyle(m_layout.firstSelectedRow + 1, 2, m_layout.firstSelectedRow + m_layout.selectedRows, m_layout.selectedCols + 2,
                   kStyleSelected);
    if (m_layout.selectedInterpRow > 0)
        ApplyStyle(m_layout.selectedInterpRow + 1, 2, m_layout.selectedInterpRow + m_layout.interpRows, m_layout.interpCols + 2,
                   kStyleSelected);
}

BOOL CExhibitView::NextPart(QPainter* pDC, CPrintInfo* pInfo) { return CObjectView::NextPart(pDC, pInfo); }

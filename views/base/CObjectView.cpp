#include "CObjectView.h"

#include <QApplication>
#include <algorithm>
#include <memory>
#include <QClipboard>
#include <QPointer>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QMenu>
#include <QPrinter>
#include <QResizeEvent>

#include "CDataObject.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CMDIChildWnd.h"
#include "CLOGFONT.h"
#include "CObjectViewGrid.h"
#include "CellEntry.h"
#include "CommandIds.h"
#include "CPageSetup.h"
#include "CFileDialog.h"
#include "CPrintPageState.h"
#include "ModalScript.h"
#include "ViewPrinting.h"
#include "CSourceTablesDlg.h"
#include "Resources.h"
#include "CProject.h"
#include "CStringStack.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectViewFormats.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"
#include "WindowMessages.h"

using namespace qs::ss;

namespace {

// The id whose kind, data type and index mark the interpolation method table.
constexpr QSID kInterpolationMethodVar = 101000804;

// Grid changes made by the program run with the selection-change
// notification off and the selection restored afterwards, so the grid does
// not call back into the program while the program writes it.
class ObjectViewGridGuard {
public:
    ObjectViewGridGuard(CCmdTarget* target, SpreadsheetControl* ctrl, bool waitCursor, bool holdRedraw)
        : m_target(waitCursor ? target : nullptr), m_ctrl(ctrl), m_holdRedraw(holdRedraw) {
        if (m_target != nullptr) m_target->BeginWaitCursor();
        if (m_ctrl == nullptr) return;
        if (m_holdRedraw) m_ctrl->SetRedraw(false);
        m_notify = m_ctrl->IsNotifyEnabled(SSN_SelChange);
        m_ctrl->EnableNotify(SSN_SelChange, false);
        m_hasSelection = m_ctrl->GetSelection(0, m_r1, m_c1, m_r2, m_c2) == SS_OK;
        m_ctrl->GetActiveCell(m_activeRow, m_activeCol);
    }
    ~ObjectViewGridGuard() {
        if (m_ctrl != nullptr) {
            if (m_hasSelection) {
                m_ctrl->SetSelection(m_r1, m_c1, m_r2, m_c2);
                m_ctrl->SetActiveCell(m_activeRow, m_activeCol);
            }
            m_ctrl->EnableNotify(SSN_SelChange, m_notify);
            if (m_holdRedraw) m_ctrl->SetRedraw(true);
        }
        if (m_target != nullptr) m_target->EndWaitCursor();
    }
    ObjectViewGridGuard(const ObjectViewGridGuard&) = delete;
    ObjectViewGridGuard& operator=(const ObjectViewGridGuard&) = delete;

private:
    CCmdTarget* m_target;
    SpreadsheetControl* m_ctrl;
    bool m_holdRedraw;
    bool m_notify = false;
    bool m_hasSelection = false;
    int m_r1 = 1, m_c1 = 1, m_r2 = 1, m_c2 = 1;
    int m_activeRow = 1, m_activeCol = 1;
};

bool SameKindTypeIndex(QSID a, QSID b) {
    return GetIDDOType(a) == GetIDDOType(b) && GetIDDataType(a) == GetIDDataType(b) && GetIDIndex(a) == GetIDIndex(b);
}

void ApplyFontToSelection(SpreadsheetControl* ctrl, const CLOGFONT& record, std::uint32_t colour, bool setDefault) {
    QsLogFont lf{};
    record.GetLogFont(&lf);
    const QString face = QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName)));
    const double size = lf.lfHeight / 10;  // tenths of a point, truncated
    if (setDefault) ctrl->SetDefaultFont(face, size);
    ctrl->SetFont(face, size, lf.lfWeight > 400, lf.lfItalic != 0, lf.lfUnderline != 0, lf.lfStrikeOut != 0,
                  ColorFromRef(colour));
}

}  // namespace

CObjectView::CObjectView(QWidget* parent) : CView(parent) {
    setFocusPolicy(Qt::StrongFocus);
    MapCommands();
    MapNoteCommands();
    MapMessage(RegisterWindowMessage(kXRefreshMessage), [this](WPARAM w, LPARAM l) { return OnRefresh(w, l); });
}

CObjectView::~CObjectView() {
    if (m_pObject != nullptr) {
        if (m_pOpenedIn != nullptr) m_pOpenedIn->CloseObject(m_pObject, this);
        m_pObject = nullptr;
    }
}

void CObjectView::MapCommands() {
    MapCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    MapCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    MapCommand(ID_EDIT_DELETE, [this] { OnEditDelete(); });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditDelete(); });
    MapCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    MapCommand(ID_VIEW_SOURCE, [this] { OpenSourceTable(nullptr); });
    MapCommand(ID_VIEW_FORMULA, [this] { ShowFormula(nullptr); });
    MapCommand(ID_VIEW_ZOOMIN, [this] { OnZoomIn(); });
    MapCommand(ID_VIEW_ZOOMOUT, [this] { OnZoomOut(); });
    MapCommand(ID_VIEW_GRAPH, [this] { OnShowGraph(); });
    MapCommand(ID_VIEW_SYNC_NAVIGATOR, [this] {
        if (auto& select = qs::views::Settings().selectNavigatorObject) select(m_lObjectID, m_nLayer);
    });
    const auto editable = [this](CCmdUI* ui) { ui->Enable(IsEditable()); };
    MapUpdateCommand(ID_EDIT_CUT, editable);
    MapUpdateCommand(ID_EDIT_DELETE, editable);
    MapUpdateCommand(ID_EDIT_CLEAR, editable);
    MapUpdateCommand(ID_EDIT_PASTE, [this](CCmdUI* ui) { ui->Enable(CanPaste()); });
    const auto hasFormula = [this](CCmdUI* ui) { ui->Enable(m_pObject != nullptr && m_pObject->HasValidFormula()); };
    MapUpdateCommand(ID_VIEW_SOURCE, hasFormula);
    MapUpdateCommand(ID_VIEW_FORMULA, hasFormula);
    MapUpdateCommand(ID_VIEW_ZOOMIN, [](CCmdUI* ui) { ui->Enable(qs::views::Settings().scale < 400); });
    MapUpdateCommand(ID_VIEW_ZOOMOUT, [](CCmdUI* ui) { ui->Enable(qs::views::Settings().scale > 10); });
    // The print commands are the application's (print lists); the view only
    // tells whether it may be printed on its own.
    MapUpdateCommand(ID_FILE_PRINT_ACTIVE, [this](CCmdUI* ui) {
        bool on = qs::views::Settings().fileMode == 1 && m_pObject != nullptr;
        if (on) {
            const int kind = GetIDDOType(m_lObjectID), type = GetIDDataType(m_lObjectID);
            if (kind == 1 && type == 0 && GetIDIndex(m_lObjectID) > 103) on = false;
            if ((kind == 1 || kind == 2) && (type == 1 || type == 7)) on = false;
        }
        ui->Enable(on);
    });
}

IObjectViewDocument* CObjectView::GetObjectDocument() const {
    if (m_pDoc != nullptr) return m_pDoc;
    return dynamic_cast<IObjectViewDocument*>(GetDocument());
}

CProject* CObjectView::GetProject() const {
    IObjectViewDocument* doc = GetObjectDocument();
    return doc != nullptr ? doc->GetProject() : nullptr;
}

SpreadsheetControl* CObjectView::GetCtrl() const { return m_pSS != nullptr ? m_pSS->Ctrl() : nullptr; }

void CObjectView::ReportError(const QString& text) { ::MessageBox(this, text, QString(), MB_OK); }

// ---- creation ------------------------------------------------------------------

int CObjectView::OnCreate() {
    IObjectViewDocument* doc = GetObjectDocument();
    CProject* project = GetProject();
    if (doc == nullptr || project == nullptr) return -1;
    m_lObjectID = doc->GetPendingObjectID();
    m_nLayer = doc->GetPendingLayer();
    m_pObject = project->OpenObject(m_lObjectID, m_nLayer, this, 1);
    if (m_pObject == nullptr) return -1;
    m_pOpenedIn = project;
    return 0;
}

void CObjectView::SetFrameIcon(int iconId) {
    m_nFrameIconId = iconId;
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr) return;
    const QIcon icon = qs::views::FrameIcon(iconId);
    frame->setWindowIcon(icon);
    // Inside the main window the sub-window's title bar shows it.
    if (auto* child = dynamic_cast<CMDIChildWnd*>(frame))
        if (QMdiSubWindow* sub = child->GetSubWindow()) sub->setWindowIcon(icon);
}

BOOL CObjectView::CreateSS(CSpreadsheetWnd* host) {
    m_pSS = host;
    if (host == nullptr || !host->CreateInParent(this)) return FALSE;
    host->m_bPendingEdit = FALSE;
    host->m_nEditRow = 0;
    host->m_nEditCol = 0;
    SpreadsheetControl* ctrl = host->Ctrl();
    ctrl->installEventFilter(this);
    ctrl->viewport()->installEventFilter(this);
    if (IObjectViewDocument* doc = GetObjectDocument())
        if (SpreadsheetControl* sheet = doc->GetSheetToJoin())
            if (ctrl->Join(sheet) != SS_OK) return FALSE;
    const auto& settings = qs::views::Settings();
    ctrl->SetViewScale(qs::views::ClampScale(settings.scale));
    ctrl->SetAppName(settings.appName);
    for (int sw : {1, 2, 3}) ctrl->SetGridSwitch(sw, false);
    SSSetEnterMovesDown(ctrl, settings.enterMoves != 4);
    ctrl->SetGridColor(ColorFromRef(0xC0C0C0));
    // Column edges can be dragged wider and the current cell is drawn, so a
    // person can read the figures and see where typing goes.
    for (int sw : {4, 5, 6, 7, 8, 9, 10}) ctrl->SetGridSwitch(sw, true);
    return TRUE;
}

void CObjectView::OnInitialUpdate() {
    UpdateCaption();
    CView::OnInitialUpdate();
    // The frame opens the size of the table.
    if (auto* frame = dynamic_cast<CMDIChildWnd*>(GetParentFrame())) {
        QMdiSubWindow* sub = frame->GetSubWindow();
        if (sub != nullptr && !sub->isMaximized() && sub->mdiArea() != nullptr) {
            QStyleOptionTitleBar option;
            option.initFrom(sub);
            const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
            const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub);
            const QSize chrome(2 * border, title + 2 * border);
            const QSize area = sub->mdiArea()->viewport()->size() - QSize(3, 3);
            sub->resize((sizeHint() + chrome).boundedTo(area));
        }
    }
    if (m_pSS != nullptr) {
        m_pSS->show();
        if (m_pSS->Ctrl() != nullptr) m_pSS->Ctrl()->setFocus();
    }
}

void CObjectView::resizeEvent(QResizeEvent* event) {
    CView::resizeEvent(event);
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    ShowFootnoteStatus();
}

void CObjectView::focusInEvent(QFocusEvent* event) {
    CView::focusInEvent(event);
    if (m_pSS != nullptr && m_pSS->Ctrl() != nullptr) m_pSS->Ctrl()->setFocus();
    ShowFootnoteStatus();
}

QStringList CObjectView::StatusNotes() const {
    QStringList notes;
    if (m_pObject != nullptr)
        for (const std::string& message : m_pObject->GetMessages()) notes << QString::fromStdString(message);
    return notes;
}

void CObjectView::ShowFootnoteStatus() {
    QStringList parts;
    if (!m_strFootnote.isEmpty()) parts << QStringLiteral("(Footnote) ") + m_strFootnote;
    parts << StatusNotes();
    const QString text = parts.isEmpty() ? QStringLiteral(" ") : parts.join(QStringLiteral("  "));
    if (auto& status = qs::views::Settings().statusMessage) status(text);
}

// ---- refresh and hints ----------------------------------------------------------

void CObjectView::XRefresh(CFormula*, int kind, long code) { OnRefresh(WPARAM(kind), LPARAM(code)); }

LRESULT CObjectView::OnRefresh(WPARAM kind, LPARAM position) {
    g_bObjectRefreshed = 1;
    const long pos = long(position);
    switch (int(kind)) {
    case XR_LAYOUT: return OnFormat(nullptr) && OnUpdateData(FALSE) ? 0 : -1;
    case XR_RELOAD: return OnUpdateData(FALSE) ? 0 : -1;
    case XR_ROW: return OnGetDataR(CellKey::FromNotice(pos).row) ? 0 : -1;
    case XR_COLUMN: return OnGetDataC(CellKey::FromNotice(pos).col) ? 0 : -1;
    case XR_CELL: return OnGetDataRC(CellKey::FromNotice(pos).row, CellKey::FromNotice(pos).col) ? 0 : -1;
    default: return 0;
    }
}

void CObjectView::RefreshAfterReattach() {
    if (m_pObject != nullptr && OnFormat(nullptr)) OnUpdateData(FALSE);
}

void CObjectView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    switch (long(lHint)) {
    case HINT_CAPTION: UpdateCaption(); break;
    case HINT_RELAYOUT:
    case HINT_RELAYOUT2:
    case HINT_RELAYOUT3:
        if (OnFormat(nullptr)) OnUpdateData(FALSE);
        break;
    case HINT_SCALE:
        if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->SetViewScale(qs::views::ClampScale(qs::views::Settings().scale));
        break;
    case HINT_ENTER_MOVES:
        if (SpreadsheetControl* ctrl = GetCtrl()) SSSetEnterMovesDown(ctrl, qs::views::Settings().enterMoves != 4);
        break;
    default: break;
    }
}

// ---- protocol defaults and wrappers ------------------------------------------------

BOOL CObjectView::Format(const CPageSetup*) { return TRUE; }
BOOL CObjectView::UpdateData(BOOL) { return TRUE; }
BOOL CObjectView::GetDataR(int) { return TRUE; }
BOOL CObjectView::GetDataC(int) { return TRUE; }
BOOL CObjectView::GetDataRC(int, int) { return TRUE; }

BOOL CObjectView::IsEditable() const { return m_pObject != nullptr && !m_pObject->IsReadOnly(); }

BOOL CObjectView::OnFormat(const CPageSetup* pageSetup) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return FALSE;
    ObjectViewGridGuard guard(this, ctrl, true, true);
    m_pSS->m_bPendingEdit = FALSE;
    ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols);
    ctrl->Clear(SSC_Formats);
    SetFonts(pageSetup);
    return Format(pageSetup);
}

BOOL CObjectView::OnUpdateData(BOOL bSave) {
    if (m_pObject == nullptr) return FALSE;
    ObjectViewGridGuard guard(this, GetCtrl(), true, true);
    return UpdateData(bSave);
}

BOOL CObjectView::OnGetDataR(int row) {
    ObjectViewGridGuard guard(this, GetCtrl(), true, false);
    return GetDataR(row);
}

BOOL CObjectView::OnGetDataC(int col) {
    ObjectViewGridGuard guard(this, GetCtrl(), true, false);
    return GetDataC(col);
}

BOOL CObjectView::OnGetDataRC(int row, int col) {
    ObjectViewGridGuard guard(this, GetCtrl(), true, false);
    return GetDataRC(row, col);
}

// ---- fonts, formats, caption ---------------------------------------------------------

std::uint32_t CObjectView::GetColorForTextBasedOnLayer(unsigned short layer) {
    const auto& settings = qs::views::Settings();
    if (!settings.showLayerColors || layer < 1 || layer > 5) return 0;
    return settings.layerColors[layer - 1];
}

void CObjectView::SetFonts(const CPageSetup* pageSetup) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr) return;
    ObjectViewGridGuard guard(this, ctrl, true, false);
    const std::uint32_t colour = GetColorForTextBasedOnLayer(m_nLayer);
    CLOGFONT data, headings;
    if (pageSetup != nullptr) {
        data = pageSetup->m_DataFont;
        headings = pageSetup->m_LabelsFont;
    } else {
        project->GetDataFont(data);
        project->GetHeadingsFont(headings);
    }
    if (ctrl->SetSelection(1, 1, kMaxGridRows, kMaxGridCols) == SS_OK) ApplyFontToSelection(ctrl, data, colour, true);
    if (ctrl->SelectHeadings(true, true, true) == SS_OK) {
        ApplyFontToSelection(ctrl, headings, colour, false);
        ctrl->SelectHeadings(false, false, false);
    }
}

BOOL CObjectView::DataFormat(CFormula* object) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr) return FALSE;
    return qs::views::ApplyDataFormat(ctrl, *project, object) ? TRUE : FALSE;
}

void CObjectView::UpdateCaption() {
    if (m_pObject == nullptr) return;
    CProject* project = GetProject();
    QString text = QString::fromStdString(m_pObject->GetIDName(-1));
    std::string layerName;
    if (project != nullptr) project->GetNameLayer(layerName, m_nLayer);
    text += QStringLiteral(" (") + QString::fromStdString(layerName) + QStringLiteral(")");
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    m_strFootnote = QString::fromStdString(footnote);
    if (!m_strFootnote.isEmpty()) text += QLatin1Char('*');
    ShowFootnoteStatus();
    const int type = GetIDDataType(m_lObjectID), kind = GetIDDOType(m_lObjectID);
    if (auto* data = dynamic_cast<CDataObject*>(m_pObject);
        data != nullptr && (type == 0 || type == 8) && (kind == 1 || kind == 2) && data->GetVectorType() != 2)
        text += data->IsViewedCumulative() ? QStringLiteral(" - Cumulative") : QStringLiteral(" - Incremental");
    IObjectViewDocument* doc = GetObjectDocument();
    m_strCaption = qs::views::Settings().fileMode != 0 && doc != nullptr
                       ? doc->GetDocumentTitle() + QStringLiteral(": ") + text
                       : text;
    if (CFrameWnd* frame = GetParentFrame()) frame->SetWindowText(m_strCaption);
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->SetTitle(text);
}

// ---- cells --------------------------------------------------------------------------

BOOL CObjectView::GetAt(int row, int col, CFormula* object) {
    CFormula* obj = object != nullptr ? object : m_pObject;
    auto* data = dynamic_cast<CDataObject*>(obj);
    if (data == nullptr || !data->IsInitialized()) return FALSE;
    double value = 0.0;
    std::uint8_t flags = 0;
    if (data->GetAt(row, col, value, flags) != qsk::kOk) {
        ReportError(QStringLiteral("Error: CObjectView::GetAt\n"));
        return FALSE;
    }
    // A value the kernel hides leaves the grid cell as it is; a blank cell
    // (hidden and without a value) is emptied, so a cell that was just
    // cleared does not keep showing its old number.
    if ((flags & 4) && (flags & 1)) return TRUE;
    const int status = WriteCell(m_pSS, row + 1, col + 1, value, flags);
    if (status != SS_OK) {
        ReportError(QStringLiteral("Error: SS::SetNbRC\n") + ErrorText(status).left(255));
        return FALSE;
    }
    return TRUE;
}

BOOL CObjectView::SetAt(int row, int col, const QString& text, double value, CFormula* object) {
    CFormula* obj = object != nullptr ? object : m_pObject;
    auto* data = dynamic_cast<CDataObject*>(obj);
    if (data == nullptr || row < 1 || col < 1) return FALSE;
    using Kind = qs::views::CellEntry::Kind;
    qs::views::CellEntry entry = qs::views::ReadCellEntry(text, GetProject());
    // The grid's own number wins over the text when it has one (a typed
    // "5%" is 0.05).
    if (value != 0.0 && (entry.kind == Kind::Number || entry.kind == Kind::Words)) entry = {Kind::Number, value};
    return qs::views::StoreCellEntry(*data, row - 1, col - 1, entry) == qsk::kOk ? TRUE : FALSE;
}

int CObjectView::WriteCell(CSpreadsheetWnd* host, int row, int col, double value, std::uint8_t flags) {
    if (host == nullptr || host->Ctrl() == nullptr) return SS_BadArgument;
    if (flags & 2) MarkCellFlag2(host, row, col);
    if (flags & 8) MarkCellFlag8(host, row, col);
    if (flags & 16) MarkCellFlag16(host, row, col);
    SpreadsheetControl* ctrl = host->Ctrl();
    if ((flags & 4) || !(flags & 1)) return ctrl->SetText(row, col, QString());
    return ctrl->SetNumber(row, col, value);
}

namespace {

void OutlineCell(CSpreadsheetWnd* host, int row, int col, int style, std::uint32_t colour) {
    SpreadsheetControl* ctrl = host != nullptr ? host->Ctrl() : nullptr;
    if (ctrl == nullptr) return;
    ObjectViewGridGuard guard(nullptr, ctrl, false, false);
    ctrl->SetSelection(row, col, row, col);
    const QColor c = ColorFromRef(colour);
    ctrl->SetBorder(style, -1, -1, -1, -1, -1, c, c, c, c, c);
}

}  // namespace

void CObjectView::MarkCellFlag2(CSpreadsheetWnd* host, int row, int col) {
    SpreadsheetControl* ctrl = host != nullptr ? host->Ctrl() : nullptr;
    if (ctrl == nullptr) return;
    {
        ObjectViewGridGuard guard(nullptr, ctrl, false, false);
        ctrl->SetSelection(row, col, row, col);
        ctrl->SetActiveCell(row, col);
        int pattern = 0;
        QColor fg, bg;
        ctrl->GetPattern(pattern, fg, bg);
        if (pattern == 0) ctrl->SetPattern(4, ColorFromRef(0xFFFFFF), ColorFromRef(0xFFFF00));
        else ctrl->SetPattern(pattern, fg, ColorFromRef(0xFFFF00));
    }
    OutlineCell(host, row, col, 1, 0xC0C0C0);
}

void CObjectView::MarkCellFlag8(CSpreadsheetWnd* host, int row, int col) { OutlineCell(host, row, col, 2, 0xFF0000); }
void CObjectView::MarkCellFlag16(CSpreadsheetWnd* host, int row, int col) { OutlineCell(host, row, col, 2, 0x0A60FF); }
void CObjectView::ResetCellBorder(CSpreadsheetWnd* host, int row, int col) { OutlineCell(host, row, col, 1, 0xC0C0C0); }

// ---- source and formula ------------------------------------------------------------------

BOOL CObjectView::OpenSourceTable(CFormula* object) {
    CFormula* obj = object != nullptr ? object : m_pObject;
    IObjectViewDocument* doc = GetObjectDocument();
    if (obj == nullptr || doc == nullptr) return FALSE;
    const auto& sources = obj->GetSources();
    if (sources.empty()) return FALSE;
    QSID id = 0;
    unsigned short layer = 0;
    if (sources.size() == 1) {
        id = sources.front()->GetIDNum();
        layer = GetIDLayer(id);
    } else {
        CSourceTablesDlg dialog(this);
        dialog.m_pProject = GetProject();
        dialog.m_pObject = obj;
        if (dialog.DoModal() != IDOK) return TRUE;
        id = dialog.m_lChosenId;
        layer = dialog.m_nChosenLayer;
    }
    // An id without a layer of its own is the view's layer.
    if (layer == 0) layer = m_nLayer;
    SetIDLayer(id, 0);
    return doc->OpenObjectWindow(id, layer, 1, 1, 0);
}

BOOL CObjectView::ShowFormula(CFormula* object) {
    CFormula* obj = object != nullptr ? object : m_pObject;
    if (obj == nullptr) return FALSE;
    CStringStack raw, resolved;
    if (obj->GetFormula(raw, resolved) != qsk::kOk) return FALSE;
    // A box without text tells nothing: fall back to the resolved formula,
    // then say that there is none.
    QString text = QString::fromStdString(raw.Join("")).trimmed();
    if (text.isEmpty()) text = QString::fromStdString(resolved.Join("")).trimmed();
    if (text.isEmpty()) text = QStringLiteral("This table has no formula: its figures are entered.");
    ::MessageBox(this, text, qs::fw::ApplicationName(), MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

BOOL CObjectView::ViewingInterpolationMethodVar() const {
    return SameKindTypeIndex(m_lObjectID, kInterpolationMethodVar) ? TRUE : FALSE;
}

// ---- commands ----------------------------------------------------------------------------------

namespace {

// The table cells a selection covers: whole rows or columns (-1, or the
// sheet's edge) reach only to the table's last row or column.
bool SelectedTableRange(SpreadsheetControl* ctrl, int& r1, int& c1, int& r2, int& c2) {
    if (ctrl == nullptr || ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK) return false;
    const int maxRow = ctrl->MaxRow(), maxCol = ctrl->MaxCol();
    if (r1 < 1) r1 = 1;
    if (c1 < 1) c1 = 1;
    if (r2 < 1 || r2 > maxRow) r2 = maxRow;
    if (c2 < 1 || c2 > maxCol) c2 = maxCol;
    return r1 <= r2 && c1 <= c2;
}

// A cell as another program reads it: a number in full precision without
// the screen's currency signs, separators or padding; text trimmed.
QString PlainCellText(SpreadsheetControl* ctrl, int row, int col) {
    const qs::ss::Cell* cell = ctrl->Sheet().CellAt(row, col);
    if (cell == nullptr || cell->kind == qs::ss::CellKind::Empty) return QString();
    if (cell->kind == qs::ss::CellKind::Number) return QString::number(cell->number, 'g', 15);
    return cell->text.trimmed().left(255);
}

QString CellName(SpreadsheetControl* ctrl, int row, int col) {
    const QString rowLabel = ctrl->RowHeadingText(row).trimmed(), colLabel = ctrl->ColHeadingText(col).trimmed();
    QString name = QStringLiteral("row %1, column %2").arg(row).arg(col);
    if (!rowLabel.isEmpty() && !colLabel.isEmpty()) name += QStringLiteral(" (%1 / %2)").arg(rowLabel, colLabel);
    return name;
}

}  // namespace

BOOL CObjectView::IsEditableCell(int row, int col) {
    SpreadsheetControl* ctrl = GetCtrl();
    return ctrl != nullptr && row >= 1 && col >= 1 && row <= ctrl->MaxRow() && col <= ctrl->MaxCol();
}

bool CObjectView::ReadPastedNumber(const QString& text, double& value) const {
    using Kind = qs::views::CellEntry::Kind;
    value = 0.0;
    const qs::views::CellEntry entry = qs::views::ReadCellEntry(text, GetProject());
    if (entry.kind == Kind::Blank || entry.kind == Kind::NotAvailable) return true;
    // What typing refuses (letters) a paste refuses too.
    for (const QChar ch : text.trimmed())
        if (ch.isLetter()) return false;
    value = entry.value;
    return entry.kind == Kind::Number;
}

void CObjectView::ReloadFromObject() {
    if (OnFormat(nullptr)) OnUpdateData(FALSE);
}

void CObjectView::OnEditCopy() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    ctrl->EndEdit();
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!SelectedTableRange(ctrl, r1, c1, r2, c2)) return;
    // Exactly the selected rectangle: empty cells keep their place.
    QString text;
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            text += PlainCellText(ctrl, r, c);
            if (c < c2) text += QLatin1Char('\t');
        }
        if (r < r2) text += QLatin1Char('\n');
    }
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

void CObjectView::OnEditCut() {
    if (!IsEditable()) return;
    OnEditCopy();
    OnEditDelete();
}

void CObjectView::OnEditDelete() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || !IsEditable()) return;
    ctrl->EndEdit();
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (!SelectedTableRange(ctrl, r1, c1, r2, c2)) return;
    BeginWaitCursor();
    // Each cleared cell goes to the object as an emptied entry does; the
    // grid then shows what the object holds.
    m_pObject->SetRecalcOn(0);
    bool failed = false;
    for (int r = r1; r <= r2 && !failed; ++r)
        for (int c = c1; c <= c2 && !failed; ++c)
            if (IsEditableCell(r, c) && !SetAt(r, c, QString(), 0.0)) failed = true;
    m_pObject->SetRecalcOn(1);
    ReloadFromObject();
    EndWaitCursor();
    if (failed) ReportError(QStringLiteral("Error: CObjectView::SetAt\n"));
}

void CObjectView::OnEditPaste() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || !IsEditable()) return;
    ctrl->EndEdit();
    QClipboard* clipboard = QGuiApplication::clipboard();
    QString body = clipboard != nullptr ? clipboard->text() : QString();
    body.remove(QLatin1Char('\r'));
    if (body.endsWith(QLatin1Char('\n'))) body.chop(1);
    if (body.isEmpty()) return;
    int top = 1, left = 1, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, top, left, r2, c2) != SS_OK) return;
    top = std::max(top, 1);
    left = std::max(left, 1);

    struct Entry {
        int row, col;
        QString text;
        double value;
    };
    std::vector<Entry> entries;
    QStringList refused;
    int refusedCount = 0;
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        for (int j = 0; j < fields.size(); ++j) {
            const int row = top + i, col = left + j;
            const QString field = fields[j].trimmed();
            QString why;
            double value = 0.0;
            if (!IsEditableCell(row, col)) {
                // An empty cell of a copied rectangle lands harmlessly outside the table.
                if (field.isEmpty()) continue;
                why = QStringLiteral("lies outside the cells that take data");
            } else if (!ReadPastedNumber(field, value)) {
                why = QStringLiteral("\"%1\" is not a number").arg(field.left(40));
            }
            if (!why.isEmpty()) {
                if (++refusedCount <= 10) refused << CellName(ctrl, row, col) + QStringLiteral(": ") + why;
                continue;
            }
            entries.push_back({row, col, field, value});
        }
    }
    if (refusedCount > 0) {
        if (refusedCount > 10) refused << QStringLiteral("... and %1 more").arg(refusedCount - 10);
        ::MessageBox(this,
                     QStringLiteral("Nothing was pasted: these cells cannot take the pasted values.\n\n") +
                         refused.join(QLatin1Char('\n')),
                     qs::fw::ApplicationName(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    BeginWaitCursor();
    m_pObject->SetRecalcOn(0);
    bool failed = false;
    for (const Entry& e : entries)
        if (!SetAt(e.row, e.col, e.text, e.value)) {
            failed = true;
            break;
        }
    m_pObject->SetRecalcOn(1);
    ReloadFromObject();
    const int rows = int(lines.size());
    int cols = 0;
    for (const QString& line : lines) cols = std::max(cols, int(line.count(QLatin1Char('\t'))) + 1);
    ctrl->SetSelection(top, left, std::min(top + rows - 1, ctrl->MaxRow()), std::min(left + cols - 1, ctrl->MaxCol()));
    ctrl->SetActiveCell(top, left);
    EndWaitCursor();
    if (failed) ReportError(QStringLiteral("Error: CObjectView::SetAt\n"));
}

BOOL CObjectView::CanPaste() const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return FALSE;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK) {
        const bool allRows = r1 <= 1 && (r2 == kMaxGridRows || r2 < 1);
        const bool allCols = c1 <= 1 && (c2 == kMaxGridCols || c2 < 1);
        if (allRows && allCols) return FALSE;
    }
    // The clipboard is not asked here: update handlers run on every idle
    // pass, and asking another program's clipboard can take long. An empty
    // clipboard pastes nothing.
    return ctrl->GridSwitch(SSG_AllowEditing) && IsEditable();
}

namespace {

void ApplyScale(CObjectView* view, int scale) {
    auto& settings = qs::views::Settings();
    settings.scale = qs::views::ClampScale(scale);
    if (settings.scaleChanged) settings.scaleChanged(settings.scale);
    if (settings.updateAllProjectViews) {
        settings.updateAllProjectViews(nullptr, HINT_SCALE, nullptr);
    } else if (view->GetDocument() != nullptr) {
        view->GetDocument()->UpdateAllViews(nullptr, HINT_SCALE, nullptr);
    } else {
        view->OnUpdate(nullptr, HINT_SCALE, nullptr);
    }
}

}  // namespace

void CObjectView::OnZoomIn() {
    if (qs::views::Settings().scale < 400) ApplyScale(this, qs::views::Settings().scale + 10);
}

void CObjectView::OnZoomOut() {
    if (qs::views::Settings().scale > 10) ApplyScale(this, qs::views::Settings().scale - 10);
}

void CObjectView::OnShowGraph() {
    if (IObjectViewDocument* doc = GetObjectDocument()) doc->OpenObjectWindow(GetGraphIDOf(m_lObjectID), m_nLayer, 1, 1, 0);
}

// ---- context menu ------------------------------------------------------------------------------

namespace {

const std::vector<qs::fw::MenuItem>& ObjectViewPopupMenu() {
    using qs::fw::MenuItem;
    if (const auto* registered = qs::fw::FindMenu(IDR_OBJECTVIEW_POPUP)) return *registered;
    qs::fw::RegisterMenu(
        IDR_OBJECTVIEW_POPUP,
        {MenuItem(QStringLiteral("_POPUP_"),
                  std::vector<MenuItem>{
                      MenuItem(QStringLiteral("Cu&t\tCtrl+X"), ID_EDIT_CUT),
                      MenuItem(QStringLiteral("&Copy\tCtrl+C"), ID_EDIT_COPY),
                      MenuItem(QStringLiteral("&Paste\tCtrl+V"), ID_EDIT_PASTE),
                      MenuItem::Separator(),
                      MenuItem(QStringLiteral("E&dit Cell note..."), ID_EDIT_CELLNOTE),
                      MenuItem::Separator(),
                      MenuItem(QStringLiteral("&Exclude Factor(s) from Statistics"), ID_EXCLUDE_OUTLIERS),
                      MenuItem(QStringLiteral("&Include Factor(s) in Statistics"), ID_INCLUDE_OUTLIERS),
                      MenuItem::Separator(),
                      MenuItem(QStringLiteral("View &Source data"), ID_VIEW_SOURCE),
                      MenuItem(QStringLiteral("View &Formula"), ID_VIEW_FORMULA),
                      MenuItem(QStringLiteral("View &Navigator\tAlt+V"), ID_VIEW_NAVIGATOR),
                      MenuItem::Separator(),
                      MenuItem(QStringLiteral("Tail Fact&or Analysis"),
                               std::vector<MenuItem>{MenuItem(QStringLiteral("&New"), ID_TAILFACTOR_NEW),
                                                     MenuItem(QStringLiteral("&Edit"), ID_TAILFACTOR_EDIT),
                                                     MenuItem(QStringLiteral("&Delete"), ID_TAILFACTOR_DELETE)}),
                      MenuItem(QStringLiteral("&Set Flood Fill"),
                               std::vector<MenuItem>{
                                   MenuItem(QStringLiteral("&Selected Development Factors ..."), ID_SET_SDF_FLOODFILL),
                                   MenuItem(QStringLiteral("&Interpolated Development Factors..."),
                                            ID_SET_INTERP_FLOODFILL),
                                   MenuItem(QStringLiteral("&Set Ultimates Flood Fill Options ..."), 33051)}),
                      MenuItem(QStringLiteral("&Execute Flood Fill"),
                               std::vector<MenuItem>{
                                   MenuItem(QStringLiteral("&Selected Development Factors"), ID_RUN_SDF_FLOODFILL),
                                   MenuItem(QStringLiteral("&Interpolated Development Factors"),
                                            ID_RUN_INTERP_FLOODFILL),
                                   MenuItem(QStringLiteral("&Execute Ultimates Flood Fill Options"), 33052)}),
                  })});
    return *qs::fw::FindMenu(IDR_OBJECTVIEW_POPUP);
}

void AddPopupItems(QMenu* menu, const std::vector<qs::fw::MenuItem>& items, CWnd* target, bool fileMode) {
    for (const qs::fw::MenuItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        const QString label = item.text.section(u'\t', 0, 0);
        const QString shortcut = item.text.section(u'\t', 1);
        if (!item.items.empty()) {
            // Projects in files have no flood fills to set or run from here.
            if (fileMode && (item.text == QStringLiteral("&Set Flood Fill") || item.text == QStringLiteral("&Execute Flood Fill")))
                continue;
            AddPopupItems(menu->addMenu(label), item.items, target, fileMode);
            continue;
        }
        QAction* action = menu->addAction(label);
        action->setData(item.id);
        if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
        CCmdUI ui;
        ui.m_nID = item.id;
        ui.m_pOther = menu;
        ui.DoUpdate(target, TRUE);
        action->setEnabled(ui.m_bEnableChanged ? ui.m_enabled : true);
        if (ui.m_check) {
            action->setCheckable(true);
            action->setChecked(*ui.m_check != 0);
        }
        const UINT id = item.id;
        QPointer<QWidget> alive = dynamic_cast<QWidget*>(target);
        QObject::connect(action, &QAction::triggered, menu, [target, alive, id] {
            if (alive) target->SendMessage(WM_COMMAND, id, 0);
        });
    }
}

}  // namespace

CWnd* CObjectView::CommandTarget() {
    if (auto* top = dynamic_cast<CWnd*>(window()); top != nullptr) return top;
    return this;
}

QMenu* CObjectView::BuildContextMenu(QWidget* parent) {
    const auto& popups = ObjectViewPopupMenu();
    auto* menu = new QMenu(parent);
    if (!popups.empty()) AddPopupItems(menu, popups.front().items, CommandTarget(), qs::views::Settings().fileMode == 1);
    return menu;
}

void CObjectView::ShowContextMenu(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(BuildContextMenu(this));
    menu->exec(globalPos);
}

void CObjectView::contextMenuEvent(QContextMenuEvent* event) {
    ShowContextMenu(event->globalPos());
    event->accept();
}

bool CObjectView::eventFilter(QObject* watched, QEvent* event) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl != nullptr && (watched == ctrl || watched == ctrl->viewport())) {
        if (event->type() == QEvent::ContextMenu) {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            // From the keyboard: at the grid's top-left corner, 5 pixels in.
            ShowContextMenu(menuEvent->reason() == QContextMenuEvent::Keyboard ? ctrl->mapToGlobal(QPoint(5, 5))
                                                                               : menuEvent->globalPos());
            return true;
        }
        if (event->type() == QEvent::ToolTip && watched == ctrl->viewport()) {
            // A noted cell says its note when the pointer rests on it.
            auto* help = static_cast<QHelpEvent*>(event);
            int row = 0, col = 0;
            const QString note = ctrl->HitTest(help->pos(), row, col) ? CellNoteAt(row, col) : QString();
            if (note.isEmpty()) QToolTip::hideText();
            else QToolTip::showText(help->globalPos(), note, ctrl->viewport());
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F10 && (key->modifiers() & Qt::ShiftModifier)) {
                ShowContextMenu(ctrl->mapToGlobal(QPoint(5, 5)));
                return true;
            }
        }
    }
    return CView::eventFilter(watched, event);
}

QSize CObjectView::sizeHint() const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return CView::sizeHint();
    const QSize heading = ctrl->HeadingSize();
    const QSize table = ctrl->MeasureRange(1, 1, std::max(1, ctrl->MaxRow()), std::max(1, ctrl->MaxCol()));
    // Twips to pixels at the view's scale.
    const double scale = ctrl->ViewScale() / 100.0;
    const double xPerTwip = logicalDpiX() * scale / 1440.0, yPerTwip = logicalDpiY() * scale / 1440.0;
    const int border = 2 * (style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int w = int((heading.width() + table.width()) * xPerTwip + 0.5) + border;
    int h = int((heading.height() + table.height()) * yPerTwip + 0.5) + border;

    // The space the frame may take: the main window's client area.
    QSize room;
    for (QWidget* w2 = parentWidget(); w2 != nullptr; w2 = w2->parentWidget())
        if (auto* area = qobject_cast<QMdiArea*>(w2)) {
            room = area->viewport()->size() - QSize(3 + 16, 3 + 40);  // less the frame's title and borders
            break;
        }
    if (!room.isValid() || room.width() < 200 || room.height() < 120) {
        const QScreen* screen = this->screen();
        room = screen ? screen->availableGeometry().size() * 3 / 4 : QSize(1000, 650);
    }
    // The grid always shows both scroll bars.
    w += bar;
    h += bar;
    return QSize(std::clamp(w, 200, std::max(200, room.width())), std::clamp(h, 120, std::max(120, room.height())));
}

QString CObjectView::CellNoteAt(int row, int col) const {
    const auto* data = dynamic_cast<const CDataObject*>(m_pObject);
    std::string note;
    if (data == nullptr || !data->DoesCellHaveNote(row - 1, col - 1) || data->GetNoteInCell(row - 1, col - 1, note) != 0)
        return QString();
    return QString::fromStdString(note);
}

#include "CPPAView.h"

#include <QKeyEvent>

#include <cmath>

#include "CDataObject.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CommandIds.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"

using namespace qs::ss;

namespace {
constexpr int kCellTextLimit = 128;
}

// ---- grid ----------------------------------------------------------------------------------

CPPAGrid::CPPAGrid(CPPAView* view) : CObjectViewGrid(view), m_pPPA(view) {}

void CPPAGrid::OnEndEdit(const QString& text, bool& cancel) {
    if (!IsAcceptableEntry(text)) {
        cancel = true;
        ::MessageBox(this, QString::fromLatin1(kNumericOnly), QString(), MB_OK);
        return;
    }
    m_bPendingEdit = TRUE;
}

void CPPAGrid::OnEntryStored() {
    if (!m_bPendingEdit) return;
    m_bPendingEdit = FALSE;
    BeginWaitCursor();
    m_pPPA->CheckPattern();
    EndWaitCursor();
}

void CPPAGrid::OnKeyDown(Notification* n) {
    if (n == nullptr || n->key != Qt::Key_Delete) return;
    n->cancel = true;
    m_pPPA->OnEditClear();
}

// ---- view ----------------------------------------------------------------------------------

CPPAView::CPPAView(QWidget* parent) : CObjectView(parent) { MapPPACommands(); }

CPPAView::~CPPAView() = default;

void CPPAView::SetKernelLink(CFormula* object) {
    CObjectView::SetKernelLink(object);
    m_pPattern = dynamic_cast<CDataObject*>(object);
}

void CPPAView::MapPPACommands() {
    MapCommand(ID_VIEW_CUMULATIVE, [this] { OnViewCumulative(); });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_DELETE, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_CLEAR_ALL, [this] { OnEditClearAll(); });
    MapCommand(ID_EDIT_CUT, [this] { OnEditCutPattern(); });
    MapCommand(ID_EDIT_PASTE, [this] { OnEditPastePattern(); });
    MapCommand(ID_PPA_APPLY, [this] { OnApply(); });
    MapUpdateCommand(ID_VIEW_CUMULATIVE, [this](CCmdUI* ui) {
        // A pattern the kernel keeps only as running totals has no other view.
        ui->Enable(m_pPattern != nullptr && m_pPattern->GetVectorType() != 2 && m_pPattern->IsCumulable());
        ui->SetCheck(m_pPattern != nullptr && m_pPattern->IsViewedCumulative() ? 1 : 0);
    });
    const auto always = [](CCmdUI* ui) { ui->Enable(TRUE); };
    MapUpdateCommand(ID_EDIT_CLEAR, always);
    MapUpdateCommand(ID_EDIT_DELETE, always);
    MapUpdateCommand(ID_EDIT_CLEAR_ALL, always);
    MapUpdateCommand(ID_EDIT_CUT, always);
    MapUpdateCommand(ID_EDIT_PASTE, [this](CCmdUI* ui) { ui->Enable(GetCtrl() != nullptr && GetCtrl()->CanEditPaste()); });
    MapUpdateCommand(ID_VIEW_CALENDAR, [](CCmdUI* ui) { ui->Enable(FALSE); });
    MapUpdateCommand(ID_PPA_APPLY, [this](CCmdUI* ui) { ui->Enable(IsChanged() && IsValid()); });
}

IPaymentPatternFrame* CPPAView::Frame() const { return dynamic_cast<IPaymentPatternFrame*>(GetParentFrame()); }

bool CPPAView::IsChanged() const {
    if (IPaymentPatternFrame* frame = Frame()) return frame->IsModified();
    return m_bChanged;
}

bool CPPAView::IsValid() const {
    if (IPaymentPatternFrame* frame = Frame()) return frame->IsDataValid();
    return m_bValid;
}

void CPPAView::SetChanged(bool on) {
    m_bChanged = on;
    if (IPaymentPatternFrame* frame = Frame()) frame->SetModified(on);
}

void CPPAView::SetValid(bool on) {
    m_bValid = on;
    if (IPaymentPatternFrame* frame = Frame()) frame->SetDataValid(on);
}

void CPPAView::ShowHint(const QString& text) {
    m_strHint = text;
    if (IPaymentPatternFrame* frame = Frame(); frame != nullptr && frame->HasHintControls()) frame->SetHintText(text);
}

int CPPAView::OnCreate() {
    if (CObjectView::OnCreate() != 0) return -1;
    m_pPattern = dynamic_cast<CDataObject*>(m_pObject);
    if (m_pPattern == nullptr) return -1;
    m_pGrid = new CPPAGrid(this);
    if (!CreateSS(m_pGrid)) return -1;
    SetFrameIcon(qs::views::kIconTable);
    SpreadsheetControl* ctrl = GetCtrl();
    ctrl->SetMaxRow(1);
    ctrl->SetMaxCol(kColumns);
    SetFonts(nullptr);
    if (m_pPattern->GetViewedCount() == 1) {
        QSSTATUS status = qsk::kOk;
        m_pPattern->ViewCumulative(1, status, 0);
    }
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return -1;
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    return 0;
}

void CPPAView::XRefresh(CFormula*, int, long) {}

void CPPAView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    SpreadsheetControl* ctrl = GetCtrl();
    switch (long(lHint)) {
    case HINT_SCALE:
        if (ctrl != nullptr) ctrl->SetViewScale(qs::views::ClampScale(qs::views::Settings().scale));
        break;
    case HINT_CAPTION: UpdateCaption(); break;
    case HINT_RELAYOUT: SetFonts(nullptr); break;
    case HINT_RELAYOUT2:
        if (OnFormat(nullptr)) CheckPattern();
        break;
    case HINT_RELAYOUT3: OnFormat(nullptr); break;
    default: break;
    }
}

BOOL CPPAView::Format(const CPageSetup*) {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (m_pPattern == nullptr || ctrl == nullptr || project == nullptr) return FALSE;
    ctrl->SetMaxRow(1);
    ctrl->SetMaxCol(kColumns);
    QSStringArray rows, cols;
    std::string corner;
    m_pPattern->GetLabels(rows, cols, corner);
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLength = PRD_YEAR;
    if (project->GetInfoDevPrd(numDev, devLength, firstAge) != qsk::kOk) {
        ReportError(QStringLiteral("Error: PO::GetInfoDevPrd\n"));
        return FALSE;
    }
    int last = 0;
    for (int c = 1; c <= kColumns; ++c) {
        if (c <= int(cols.size())) {
            const QString label = QString::fromStdString(cols[std::size_t(c - 1)]);
            ctrl->SetColHeadingText(c, label);
            last = label.trimmed().toInt();
        } else {
            last += int(devLength);
            ctrl->SetColHeadingText(c, QString::asprintf("%d", last));
        }
    }
    ctrl->SetCornerText(QString::fromStdString(corner));
    if (!rows.empty()) ctrl->SetRowHeadingText(1, QString::fromStdString(rows.front()));
    ctrl->SetSelection(1, 1, 1, kColumns);
    ctrl->SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    DataFormat(m_pPattern);
    ctrl->SetSelection(1, 1, 1, 1);
    return TRUE;
}

BOOL CPPAView::UpdateData(BOOL bSave) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pPattern == nullptr || ctrl == nullptr) return FALSE;
    BOOL ok = TRUE;
    if (!bSave) {
        ctrl->ClearRange(1, 1, 1, kColumns, SSC_Values);
        std::uint16_t rows = 0, cols = 0;
        m_pPattern->GetMaxRowsCols(rows, cols);
        for (int c = 1; c <= std::min<int>(cols, kColumns); ++c) {
            double value = 0.0;
            std::uint8_t flags = 0;
            if (m_pPattern->GetAt(0, c - 1, value, flags) != qsk::kOk) continue;
            WriteCell(m_pSS, 1, c, value, flags);
        }
        CheckPattern();
    } else {
        const int n = LastNonZeroColumn();
        if (n == 0) {
            ok = m_pPattern->RemoveAll() == qsk::kOk ? TRUE : FALSE;
        } else {
            m_pPattern->SetRecalcOn(0);
            if (m_pPattern->Resize(1, std::uint16_t(n)) != qsk::kOk) {
                m_pPattern->SetRecalcOn(1);
                ReportError(QStringLiteral("Error: TO::Resize\n"));
                return FALSE;
            }
            for (int c = 1; c <= n; ++c) {
                QString text;
                double value = 0.0;
                ctrl->GetText(1, c, text);
                ctrl->GetNumber(1, c, value);
                if (!CObjectView::SetAt(1, c, text.left(kCellTextLimit), value, m_pPattern)) ok = FALSE;
            }
            m_pPattern->SetRecalcOn(1);
        }
    }
    SetChanged(false);
    // The navigator's lists show whether the pattern holds data.
    g_bObjectRefreshed = 1;
    return ok;
}

std::vector<std::optional<double>> CPPAView::GridCells() const {
    std::vector<std::optional<double>> cells(kColumns);
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return cells;
    for (int c = 1; c <= kColumns; ++c) {
        QString text;
        ctrl->GetText(1, c, text);
        if (text.trimmed().isEmpty()) continue;
        double value = 0.0;
        ctrl->GetNumber(1, c, value);
        cells[std::size_t(c - 1)] = value;
    }
    return cells;
}

int CPPAView::LastNonZeroColumn() const {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return 0;
    for (int c = kColumns; c >= 1; --c) {
        double value = 0.0;
        ctrl->GetNumber(1, c, value);
        if (value != 0.0) return c;
    }
    return 0;
}

CPPAView::Check CPPAView::Evaluate(const std::vector<std::optional<double>>& cells, bool cumulative, int q, int numDev,
                                   int numExp) {
    Check out;
    out.hint = QString::fromLatin1(kHintOk);
    int n = 0;
    for (int c = int(cells.size()); c >= 1; --c)
        if (cells[std::size_t(c - 1)].value_or(0.0) != 0.0) {
            n = c;
            break;
        }
    out.entered = n;
    for (int c = 1; c <= n; ++c)
        if (!cells[std::size_t(c - 1)].has_value()) {
            out.hint = QStringLiteral("Hint: Cannot have blanks before last value!");
            out.valid = false;
            return out;
        }
    double total = 0.0;
    if (cumulative) total = n > 0 ? *cells[std::size_t(n - 1)] : 0.0;
    else
        for (int c = 1; c <= n; ++c) total += *cells[std::size_t(c - 1)];
    out.total = QString::asprintf(QString::asprintf("%%.%df", 6).toLatin1().constData(), total);
    double running = 0.0;
    for (int c = 1; c < n; ++c) {
        const double v = *cells[std::size_t(c - 1)];
        running += v;
        if (!cumulative && running >= 1.0) {
            out.hint = QStringLiteral("Hint: Total reached 1 before the last period!");
            out.valid = false;
        } else if (cumulative && v >= 1.0) {
            out.hint = QStringLiteral("Hint: Cannot reach 1 before the last period!");
            out.valid = false;
        }
    }
    if (n > 0 && (n - q) - (numDev - numExp * q) <= 0) {
        out.hint = QStringLiteral("Hint: Not enough Payment Patterns entered");
        out.valid = false;
    }
    // An empty pattern is valid: applying it empties the table.
    if (n == 0) out.valid = true;
    return out;
}

void CPPAView::CheckPattern() {
    SpreadsheetControl* ctrl = GetCtrl();
    CProject* project = GetProject();
    if (ctrl == nullptr || project == nullptr || m_pPattern == nullptr) return;
    ctrl->FitColWidths(1, kColumns);
    ctrl->FitRowHeights(1, 1);
    SetChanged(true);
    const bool cumulative = m_pPattern->IsViewedCumulative();
    IPaymentPatternFrame* frame = Frame();
    if (frame != nullptr && frame->HasHintControls()) frame->ShowTotalControls(!cumulative);
    PRDLENGTH expLength = PRD_YEAR, devLength = PRD_YEAR;
    project->GetLengthExpPrd(expLength);
    project->GetLengthDevPrd(devLength);
    std::uint16_t numDev = 0, firstAge = 0;
    project->GetInfoDevPrd(numDev, devLength, firstAge);
    const int q = std::max(1, int(expLength) / std::max(1, int(devLength)));
    const Check check = Evaluate(GridCells(), cumulative, q, numDev, project->GetNumExpPrds());
    m_strTotal = check.total;
    if (frame != nullptr && frame->HasHintControls()) frame->SetTotalText(check.total);
    m_nEntered = std::uint16_t(check.entered);
    m_nNeeded = std::uint16_t(project->GetNumExpPrds() + 1);
    ShowHint(check.hint);
    SetValid(check.valid);
}

void CPPAView::OnApply() {
    // An empty pattern asks nothing: it only empties the table.
    if (m_nEntered > 0) {
        if (m_nEntered < m_nNeeded &&
            ::MessageBox(this,
                         QStringLiteral("Your payment pattern may not be long enough to payout the total indicated "
                                        "reserve. Do you want to continue?"),
                         QString(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            ShowHint(QStringLiteral("Hint: Your payment pattern may not be long enough. "));
            SetValid(false);
            return;
        }
        if (m_strTotal != m_strOne &&
            ::MessageBox(this,
                         QStringLiteral("Your payment pattern does not cumulate to 1.00. Do you want to continue?"),
                         QString(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            ShowHint(QStringLiteral("Hint: Your payment pattern does not cumulate to 1.00"));
            SetValid(false);
            return;
        }
    }
    OnUpdateData(TRUE);
    ShowHint(QStringLiteral(" "));
}

void CPPAView::OnViewCumulative() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pPattern == nullptr || ctrl == nullptr) return;
    CDataObject copy(*m_pPattern);
    const int n = LastNonZeroColumn();
    QSSTATUS status = qsk::kOk;
    if (m_pPattern->ViewCumulative(m_pPattern->IsViewedCumulative() ? 0 : 1, status, 0) != qsk::kOk) {
        ReportError(QStringLiteral("Error: TO::ViewCumulative\n"));
        return;
    }
    CheckPattern();
    UpdateCaption();
    if (n == 0) return;
    copy.SetReadOnly(false);
    if (copy.Resize(1, std::uint16_t(n)) != qsk::kOk) {
        ReportError(QStringLiteral("Error: TO::Resize\n"));
        return;
    }
    std::uint16_t rows = 0, cols = 0;
    if (copy.GetMaxRowsCols(rows, cols) != qsk::kOk) {
        ReportError(QStringLiteral("Error: TO::GetMaxRowsCols\n"));
        return;
    }
    // The typed values follow the view change; nothing reaches the table.
    QSSTATUS ignored = qsk::kOk;
    copy.ViewCumulative(1, ignored, 0);
    std::vector<double> values(cols, 0.0);
    for (int c = 1; c <= cols; ++c) ctrl->GetNumber(1, c, values[std::size_t(c - 1)]);
    copy.SetAllCells(values, std::vector<std::uint8_t>(cols, CDataObject::CF_VALUE), 0);
    if (m_pPattern->IsViewedCumulative()) copy.Cumulate();
    else copy.Decumulate();
    for (int c = 1; c <= cols; ++c) {
        double value = 0.0;
        std::uint8_t flags = 0;
        copy.GetAt(0, c - 1, value, flags);
        ctrl->SetNumber(1, c, value);
    }
    CheckPattern();
}

void CPPAView::OnEditClear() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    ctrl->EndEdit();
    ctrl->Clear(SSC_Values);
    CheckPattern();
}

void CPPAView::OnEditClearAll() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    if (::MessageBox(this, QStringLiteral("Remove all data and cell notes from payment pattern?"), QString(),
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    ctrl->ClearRange(1, 1, 1, kColumns, SSC_Values);
    CheckPattern();
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetActiveCell(1, 1);
}

void CPPAView::OnEditCutPattern() {
    OnEditCopy();
    OnEditClear();
}

void CPPAView::OnEditPastePattern() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    ctrl->EndEdit();
    if (ctrl->EditPaste() != SS_OK) return;
    OnFormat(nullptr);
    CheckPattern();
}

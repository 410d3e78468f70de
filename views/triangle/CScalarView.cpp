#include "CScalarView.h"

#include "CScalar.h"
#include "CommandIds.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "KernelIds.h"
#include "ObjectViewFormats.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"

using namespace qs::ss;

CScalarView::CScalarView(QWidget* parent) : CObjectView(parent) {
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
}

CScalarView::~CScalarView() = default;

double CScalarView::ParseNumber(const QString& text) { return qs::views::ParseLocaleNumber(text); }

int CScalarView::OnCreate() {
    if (CObjectView::OnCreate() != 0) return -1;
    m_pScalar = dynamic_cast<CScalar*>(m_pObject);
    if (m_pScalar == nullptr) return -1;
    m_pGrid = new CObjectViewGrid(this);
    if (!CreateSS(m_pGrid)) return -1;
    const int kind = GetIDDOType(m_lObjectID);
    m_nIconId = qs::views::IsUserObjectKind(kind) ? qs::views::kIconUserScalar : qs::views::kIconScalar;
    SetFrameIcon(m_nIconId);

    SpreadsheetControl* ctrl = GetCtrl();
    ctrl->SetMaxRow(1);
    ctrl->SetMaxCol(1);
    ctrl->EnableNotify(SSN_SelChange, false);
    ctrl->EnableNotify(SSN_DblClick, false);
    // One cell needs no row heading and no arrow keys; the column heading
    // stays, it names the kind of number.
    ctrl->SetGridSwitch(SSG_ShowRowHeadings, false);
    ctrl->SetGridSwitch(SSG_AllowArrows, false);
    SSSetEnterMovesDown(ctrl, false);

    SetFonts(nullptr);
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return -1;
    if (m_pSS != nullptr) m_pSS->setGeometry(0, 0, width(), height());
    return 0;
}

BOOL CScalarView::Format(const CPageSetup*) {
    m_pScalar = dynamic_cast<CScalar*>(m_pObject);
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pScalar == nullptr || ctrl == nullptr) return FALSE;
    ctrl->SetMaxRow(1);
    ctrl->SetMaxCol(1);
    ctrl->SetSelection(1, 1, 1, 1);
    DataFormat(m_pScalar);
    QString heading;
    if (m_pScalar->IsCurrency()) heading = QStringLiteral("(Currency)");
    if (m_pScalar->IsPercent()) heading = QStringLiteral("(Percent)");
    if (m_pScalar->IsFixed()) heading = QStringLiteral("(Fixed Number)");
    ctrl->SetColHeadingText(1, heading);
    const QString shown = ctrl->ColHeadingText(1).left(50);
    // (length + 3) x 256 width units: characters of the default font.
    ctrl->SetColWidthChars(1, 1, shown.size() + 3);

    std::string layerName;
    if (CProject* project = GetProject()) project->GetNameLayer(layerName, m_nLayer);
    m_strTitle = QString::fromStdString(m_pScalar->GetIDName(-1)) + QStringLiteral(" (") +
                 QString::fromStdString(layerName) + QLatin1Char(')');
    if (CFrameWnd* frame = GetParentFrame()) frame->SetWindowText(m_strTitle);
    return TRUE;
}

void CScalarView::ClearValues() {
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->ClearRange(1, 1, 1, 1, SSC_Values);
}

BOOL CScalarView::LoadCell() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pScalar == nullptr || ctrl == nullptr) return FALSE;
    double value = 0.0;
    if (m_pScalar->IsScalarBlank() || !m_pScalar->IsInitialized() || m_pScalar->GetValue(value) != qsk::kOk) {
        ClearValues();
        return TRUE;
    }
    return ctrl->SetNumber(1, 1, value) == SS_OK ? TRUE : FALSE;
}

BOOL CScalarView::UpdateData(BOOL bSave) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (m_pScalar == nullptr || ctrl == nullptr) return FALSE;
    BeginWaitCursor();
    BOOL result = TRUE;
    if (!bSave) {
        result = LoadCell();
    } else {
        // A value pasted into a blank scalar is stored like any other: the
        // user's entry must not vanish because the scalar had no value yet.
        QString text;
        ctrl->GetEntry(1, 1, text);
        text = text.left(128).trimmed();
        if (text.isEmpty()) {
            m_pScalar->SetValueBlank();
        } else {
            double value = 0.0;
            ctrl->GetNumber(1, 1, value);
            if (value == 0.0) value = ParseNumber(text);
            m_pScalar->SetValue(value);
        }
    }
    EndWaitCursor();
    return result;
}

BOOL CScalarView::SetAt(int, int, const QString& text, double value, CFormula*) {
    if (m_pScalar == nullptr) return TRUE;
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty()) {
        // The grid's own number when it has one (a typed "5%" is 0.05), else the typed text.
        m_pScalar->SetValue(value != 0.0 ? value : ParseNumber(trimmed));
    } else {
        m_pScalar->SetValueBlank();
        ClearValues();
    }
    return TRUE;
}

BOOL CScalarView::GetDataR(int) { return LoadCell(); }
BOOL CScalarView::GetDataC(int) { return LoadCell(); }
BOOL CScalarView::GetDataRC(int, int) { return LoadCell(); }

void CScalarView::OnEditClear() {
    if (m_pScalar == nullptr) return;
    m_pScalar->SetValueBlank();
    ClearValues();
    m_pScalar->SetValueBlank();
}

void CScalarView::SetKernelLink(CFormula* object) {
    CObjectView::SetKernelLink(object);
    m_pScalar = dynamic_cast<CScalar*>(object);
}

#include "CTriang4View.h"

#include <QComboBox>

#include "CDataObject.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "SpreadsheetControl.h"

using qs::ss::SpreadsheetControl;

CTriang4View::CTriang4View(QWidget* parent) : CTriangView(parent) {
    // Neither layout switch nor notes: the table's footnote holds the parameters.
    for (UINT id : {UINT(ID_VIEW_CALENDAR), UINT(ID_VIEW_CUMULATIVE), UINT(ID_EDIT_FOOTNOTE), UINT(ID_EDIT_CELLNOTE)})
        MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(FALSE); });
}

QComboBox* CTriang4View::DiagonalList() {
    if (m_pDiagonal == nullptr)
        if (CFrameWnd* frame = GetParentFrame()) m_pDiagonal = qobject_cast<QComboBox*>(frame->GetDlgItem(IDC_DIAGONAL));
    return m_pDiagonal;
}

QComboBox* CTriang4View::CutOffList() {
    if (m_pCutOff == nullptr)
        if (CFrameWnd* frame = GetParentFrame()) m_pCutOff = qobject_cast<QComboBox*>(frame->GetDlgItem(IDC_CUT_OFF));
    return m_pCutOff;
}

QString CTriang4View::MakeFootnote(const QString& diagonal, const QString& cutOff) {
    return QString::fromLatin1(kFootnoteFormat).arg(diagonal, cutOff);
}

bool CTriang4View::ParseFootnote(const QString& footnote, QString& diagonal, QString& cutOff) {
    // The fixed text around the two values decides where each ends, so a
    // label holding "]" or "[" is read whole.
    static const QString head = QStringLiteral("Data Adjustment using Diagonal=[");
    static const QString middle = QStringLiteral("] and cut off after [");
    static const QString tail = QStringLiteral("] months");
    if (footnote.startsWith(head) && footnote.endsWith(tail)) {
        const int m = footnote.indexOf(middle, head.size());
        if (m >= 0 && m + middle.size() <= footnote.size() - tail.size()) {
            diagonal = footnote.mid(head.size(), m - head.size());
            cutOff = footnote.mid(m + middle.size(), footnote.size() - tail.size() - m - middle.size());
            return true;
        }
    }
    // Any other text: between the first brackets and between the last ones.
    const int o1 = footnote.indexOf(QLatin1Char('[')), c1 = footnote.indexOf(QLatin1Char(']'), o1 + 1);
    const int o2 = footnote.lastIndexOf(QLatin1Char('[')), c2 = footnote.lastIndexOf(QLatin1Char(']'));
    if (o1 < 0 || c1 < 0 || o2 < 0 || c2 < o2) return false;
    diagonal = footnote.mid(o1 + 1, c1 - o1 - 1);
    cutOff = footnote.mid(o2 + 1, c2 - o2 - 1);
    return true;
}

bool CTriang4View::FillLists() {
    QComboBox* diagonal = DiagonalList();
    QComboBox* cutOff = CutOffList();
    CProject* project = GetProject();
    CDataObject* data = GetTO();
    if (diagonal == nullptr || cutOff == nullptr || project == nullptr || data == nullptr) return false;
    QSStringArray labels;
    std::string caption;
    const short all = -1;
    if (project->GetLabels(labels, LBL_CALENDAR, caption, all) != 0) {
        ReportError(QStringLiteral("Error: m_pPO->GetLabels\n"));
        return false;
    }
    QSStringArray rows, cols;
    std::string corner;
    if (data->GetLabels(rows, cols, corner) != 0) {
        ReportError(QStringLiteral("Error: m_pTO->GetLabels\n"));
        return false;
    }
    const QSignalBlocker b1(diagonal), b2(cutOff);
    diagonal->clear();
    for (const std::string& l : labels) diagonal->addItem(QString::fromStdString(l));
    cutOff->clear();
    for (const std::string& l : cols) cutOff->addItem(QString::fromStdString(l));
    return true;
}

void CTriang4View::HideColumns(int maxCol, int diagonalIndex, int offset) {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr) return;
    const int hidden = HiddenColumnCount(maxCol, diagonalIndex);
    for (int c = 1; c <= hidden; ++c) ctrl->SetColWidth(c + offset, c + offset, 0);
}

bool CTriang4View::ApplyAdjustment() {
    if (m_bApplying) return false;
    m_bApplying = true;
    const bool ok = [&] {
        if (!FillLists()) return false;
        QComboBox* diagonal = m_pDiagonal;
        QComboBox* cutOff = m_pCutOff;
        std::string footnote;
        m_pObject->GetFootnoteString(footnote);
        QString diagText, cutText;
        ParseFootnote(QString::fromStdString(footnote), diagText, cutText);
        bool changed = false;
        int d = diagonal->findText(diagText, Qt::MatchExactly);
        if (d < 0) {
            d = diagonal->count() - 1;
            changed = true;
        }
        int a = cutOff->findText(cutText, Qt::MatchExactly);
        if (a < 0) {
            a = cutOff->count() - 1;
            changed = true;
        }
        {
            const QSignalBlocker b1(diagonal), b2(cutOff);
            diagonal->setCurrentIndex(d);
            cutOff->setCurrentIndex(a);
        }
        std::uint16_t rows = 0, cols = 0;
        GetTO()->GetMaxRowsCols(rows, cols);
        if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->FitColWidths(1, cols);
        KeepColumnsReadable(1, cols, false);
        HideColumns(cols, d, 0);
        // An empty footnote stands for the defaults until the first value is
        // typed (SetAt): merely looking at the table changes nothing.
        if (changed && !footnote.empty() && m_pObject->IsInitialized() && d >= 0 && a >= 0)
            m_pObject->SetFootnoteString(MakeFootnote(diagonal->itemText(d), cutOff->itemText(a)).toStdString());
        const int firstVisible = HiddenColumnCount(cols, d) + 1;
        if (SpreadsheetControl* ctrl = GetCtrl()) {
            ctrl->SetSelection(1, firstVisible, 1, firstVisible);
            ctrl->SetActiveCell(1, firstVisible);
        }
        return true;
    }();
    m_bApplying = false;
    return ok;
}

void CTriang4View::OnAdjustmentChanged() {
    QComboBox* diagonal = DiagonalList();
    QComboBox* cutOff = CutOffList();
    if (diagonal == nullptr || cutOff == nullptr || diagonal->currentIndex() < 0 || cutOff->currentIndex() < 0) return;
    m_pObject->SetFootnoteString(MakeFootnote(diagonal->currentText(), cutOff->currentText()).toStdString());
    OnUpdateData(TRUE);
    ApplyAdjustment();
    UpdateCaption();
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
}

BOOL CTriang4View::Format(const CPageSetup* pageSetup) {
    if (!CTriangView::Format(pageSetup)) return FALSE;
    ApplyAdjustment();
    return TRUE;
}

BOOL CTriang4View::UpdateData(BOOL bSave) {
    if (!CTriangView::UpdateData(bSave)) return FALSE;
    if (!bSave) ApplyAdjustment();
    return TRUE;
}

BOOL CTriang4View::GetAt(int row, int col, CFormula* object) {
    CDataObject* data = object ? dynamic_cast<CDataObject*>(object) : GetTO();
    if (data == nullptr || !data->IsInitialized()) return FALSE;
    double value = 0.0;
    std::uint8_t flags = 0;
    if (data->GetAt(row, col, value, flags) != qsk::kOk) {
        ReportError(QStringLiteral("Error: CTriang4View::GetAt\n"));
        return FALSE;
    }
    std::uint16_t rows = 0, cols = 0;
    if (data->GetMaxRowsCols(rows, cols) != qsk::kOk) {
        ReportError(QStringLiteral("Error: CDataObject::GetMaxRowsCols\n"));
        return FALSE;
    }
    const int status = WriteCell(m_pSS, row + 1, cols - col, value, flags);
    if (status != 0) {
        ReportError(QStringLiteral("Error: SS::SetNbRC\n"));
        return FALSE;
    }
    return TRUE;
}

BOOL CTriang4View::SetAt(int row, int col, const QString& text, double value, CFormula* object) {
    CDataObject* data = GetTO();
    std::uint16_t rows = 0, cols = 0;
    if (data == nullptr || data->GetMaxRowsCols(rows, cols) != qsk::kOk) {
        ReportError(QStringLiteral("Error: CDataObject::GetMaxRowsCols\n"));
        return FALSE;
    }
    if (!CObjectView::SetAt(row, cols - col + 1, text, value, object)) return FALSE;
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    if (footnote.empty()) OnAdjustmentChanged();  // the default parameters are stored with the first value
    return TRUE;
}

void CTriang4View::OnInitialUpdate() {
    SetFonts(nullptr);
    if (QComboBox* diagonal = DiagonalList())
        QObject::connect(diagonal, &QComboBox::activated, this, [this] { OnAdjustmentChanged(); });
    if (QComboBox* cutOff = CutOffList())
        QObject::connect(cutOff, &QComboBox::activated, this, [this] { OnAdjustmentChanged(); });
    ApplyAdjustment();
    if (CFrameWnd* frame = GetParentFrame(); frame != nullptr && frame->width() < 540) frame->resize(540, frame->height());
    CObjectView::OnInitialUpdate();
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
}

void CTriang4View::BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) {
    CTriangView::BeginPrinting(pDC, pInfo);
    CDataObject* data = GetTO();
    CProject* project = GetProject();
    if (data == nullptr || project == nullptr) return;
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    QString diagText, cutText;
    if (!ParseFootnote(QString::fromStdString(footnote), diagText, cutText)) return;
    QSStringArray labels;
    std::string caption;
    const short all = -1;
    if (project->GetLabels(labels, LBL_CALENDAR, caption, all) != 0) return;
    std::uint16_t rows = 0, cols = 0;
    data->GetMaxRowsCols(rows, cols);
    int index = -1;
    for (int i = 0; i < int(labels.size()) && i < cols && index < 0; ++i)
        if (QString::fromStdString(labels[std::size_t(i)]).compare(diagText, Qt::CaseInsensitive) == 0) index = i;
    if (index < 0) return;
    // The printed grid carries the row headings as its first column: the
    // same columns as on screen, one further right.
    HideColumns(cols, index, 1);
}

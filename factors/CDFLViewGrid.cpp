// The factor-library view's grid row: showing the factor row of the chosen
// set, exhibit and layer, writing typed and pasted entries back to it, the
// number format and the clipboard commands.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

#include "CDFLDoc.h"
#include "CDFLGrid.h"
#include "CDFLView.h"
#include "CDataObject.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "FactorLibraryHost.h"
#include "FactorRowForms.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectViewFormats.h"
#include "SpreadsheetControl.h"
#include "WaitCursor.h"

using qs::ss::SpreadsheetControl;

namespace {

constexpr int kIdRole = Qt::UserRole;

bool IsNotAvailableText(const QString& text) { return text.trimmed().compare(QLatin1String("#N/A"), Qt::CaseInsensitive) == 0; }

// A number as the grid shows and people type them: digits with at most one
// decimal separator, thousands separators and blanks, a sign as "-" before
// or after or as parentheses, and a currency symbol. Anything else (letters,
// a formula, two numbers) is not a factor.
bool IsNumberText(const QString& text) {
    const QChar decimal = QLocale().decimalPoint().isEmpty() ? QChar('.') : QLocale().decimalPoint().at(0);
    const QChar group = QLocale().groupSeparator().isEmpty() ? QChar(',') : QLocale().groupSeparator().at(0);
    QString body = text.trimmed();
    if (body.startsWith(u'(') && body.endsWith(u')')) body = body.mid(1, body.size() - 2).trimmed();
    if (body.startsWith(u'$')) body = body.mid(1).trimmed();
    if (body.startsWith(u'-')) body = body.mid(1).trimmed();
    else if (body.endsWith(u'-')) body.chop(1);
    if (body.startsWith(u'$')) body = body.mid(1).trimmed();
    int digits = 0, points = 0;
    for (QChar c : body) {
        if (c.isDigit()) ++digits;
        else if (c == decimal || c == u'.') ++points;
        else if (c != group && c != u' ') return false;
    }
    return digits > 0 && points <= 1;
}

}  // namespace

QString CDFLView::CheckFactorText(const QString& text, bool pasted) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return QString();
    if (pasted && IsNotAvailableText(trimmed)) return QString();
    for (QChar c : trimmed)
        if (c.isLetter() && !c.isDigit()) return QStringLiteral("Alpha characters are not allowed.");
    if (!IsNumberText(trimmed))
        return QStringLiteral("\"%1\" is not a number. Development factors are entered as numbers.").arg(trimmed);
    return QString();
}

bool CDFLView::GridHasFocus() const {
    if (m_pGrid == nullptr || m_pGrid->Ctrl() == nullptr) return false;
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && (focus == m_pGrid->Ctrl() || m_pGrid->Ctrl()->isAncestorOf(focus));
}

void CDFLView::SetDecimals(int n) {
    if (m_pGrid == nullptr || m_pGrid->Ctrl() == nullptr) return;
    SpreadsheetControl* ctrl = m_pGrid->Ctrl();
    const QString format = qs::views::NumberFormatCode(1, true, n);
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
    const bool hadSelection = ctrl->GetSelection(0, r1, c1, r2, c2) == 0;
    ctrl->SetNumberFormat(format);
    ctrl->SetSelection(-1, -1, -1, -1);
    ctrl->SetNumberFormat(format);
    if (hadSelection) ctrl->SetSelection(r1, c1, r2, c2);
}

void CDFLView::WriteCellFromRow(int col) {
    if (m_pShownRow == nullptr || m_pGrid == nullptr) return;
    double value = 0.0;
    std::uint8_t flags = 0;
    if (qsk::GetFactorInForm(*m_pShownRow, m_nDisplayForm, col, value, flags) != 0) return;
    SpreadsheetControl* ctrl = m_pGrid->Ctrl();
    if ((flags & CDataObject::CF_BLANK) || !(flags & CDataObject::CF_VALUE)) ctrl->SetText(1, col + 1, QString());
    else ctrl->SetNumber(1, col + 1, value);
}

BOOL CDFLView::ShowFactors(BOOL save) {
    CFactorSet* set = CurrentFactorSet();
    const int exhibitRow = SelectedExhibitRow();
    if (set == nullptr || exhibitRow < 0 || m_pGrid == nullptr) return FALSE;
    SpreadsheetControl* ctrl = m_pGrid->Ctrl();
    QSID id = QSID(m_pExhibitList->topLevelItem(exhibitRow)->data(0, kIdRole).toLongLong());
    SetIDLayer(id, std::uint16_t(SelectedLayer()));
    CDataObject* row = nullptr;
    set->GetDF(id, std::string(), row);
    // An edit in progress belongs to the row it was started on.
    if (row != m_pShownRow && ctrl->IsEditing()) ctrl->EndEdit();
    m_pShownRow = row;
    const int periods = set->GetNumDevPrds();

    if (!save) {
        const bool notify = ctrl->IsNotifyEnabled(qs::ss::SSN_EndEdit);
        ctrl->EnableNotify(qs::ss::SSN_EndEdit, false);
        if (m_pShownRow == nullptr) {
            for (int c = 1; c <= std::max(ctrl->LastCol(), periods); ++c) ctrl->SetText(1, c, QString());
        } else {
            for (int c = 0; c < periods; ++c) WriteCellFromRow(c);
        }
        ctrl->EnableNotify(qs::ss::SSN_EndEdit, notify);
        return m_pShownRow != nullptr;
    }

    // Every text is checked before anything is written: a paste of text
    // that is no number must not reach the row as a zero.
    const int lastCol = std::min(ctrl->LastCol(), periods);
    QString message;
    if (!RowTextsValid(lastCol, message)) {
        ::MessageBox(m_pGrid, message, QString(), MB_OK);
        ShowFactors(FALSE);
        return FALSE;
    }
    if (m_pShownRow == nullptr && !WriteFactorCell(0, 0, QString(), 0.0)) return FALSE;
    bool empty = true;
    for (int c = 1; c <= lastCol; ++c) {
        QString text;
        if (ctrl->GetEntry(1, c, text) != 0) continue;
        double value = 0.0;
        ctrl->GetNumber(1, c, value);
        if (!WriteFactorCell(0, c - 1, text, value)) return FALSE;
        if (!text.trimmed().isEmpty()) empty = false;
    }
    // Anything pasted beyond the row's columns or rows has no place here.
    if (ctrl->LastRow() > 1) ctrl->ClearRange(2, 1, ctrl->LastRow(), std::max(1, ctrl->LastCol()), qs::ss::SSC_Values);
    if (ctrl->LastCol() > periods) ctrl->ClearRange(1, periods + 1, 1, ctrl->LastCol(), qs::ss::SSC_Values);
    if (empty) ClearAllFactors();
    return TRUE;
}

bool CDFLView::RowTextsValid(int lastCol, QString& message) const {
    SpreadsheetControl* ctrl = m_pGrid->Ctrl();
    for (int c = 1; c <= lastCol; ++c) {
        QString text;
        if (ctrl->GetEntry(1, c, text) != 0) continue;
        message = CheckFactorText(text, true);
        if (!message.isEmpty()) return false;
    }
    return true;
}

BOOL CDFLView::WriteFactorCell(int row, int col, const QString& text, double value) {
    if (m_pShownRow == nullptr) {
        CFactorSet* set = CurrentFactorSet();
        const int exhibitRow = SelectedExhibitRow();
        if (set == nullptr || exhibitRow < 0 || m_pDoc == nullptr) return FALSE;
        QSID id = QSID(m_pExhibitList->topLevelItem(exhibitRow)->data(0, kIdRole).toLongLong());
        QString name;
        for (std::size_t i = 0; i < m_pDoc->m_ObjectIds.size(); ++i)
            if (m_pDoc->m_ObjectIds[i] == id) name = m_pDoc->m_ObjectNames.value(int(i));
        SetIDLayer(id, std::uint16_t(SelectedLayer()));
        CDataObject fresh(id);
        fresh.SetShape(1, set->GetNumDevPrds(), CDataObject::VT_ROW);
        if (set->SetDF(id, name.toStdString(), fresh) != 0) {
            qs::factors::ReportFailure(QStringLiteral("Error: pFS->SetDF( lID, szName, *pDO )\n"));
            return FALSE;
        }
        set->GetDF(id, name.toStdString(), m_pShownRow);
        if (m_pShownRow == nullptr) return FALSE;
        MarkExhibitsWithFactors();
    }
    const QString trimmed = text.trimmed();
    QSSTATUS status = 0;
    if (trimmed.isEmpty()) {
        status = m_pShownRow->SetCellBlank(row, col, 1);
    } else if (IsNotAvailableText(trimmed)) {
        status = m_pShownRow->SetCellNotAvail(row, col);
    } else {
        if (value == 0.0) value = qs::views::ParseLocaleNumber(trimmed);
        status = qsk::SetFactorInForm(*m_pShownRow, m_nDisplayForm, col, value);
        if (status != 0) {
            qs::factors::ReportFailure(QStringLiteral("Error: DO::SetAt\n"));
            return FALSE;
        }
        const bool notify = m_pGrid->Ctrl()->IsNotifyEnabled(qs::ss::SSN_EndEdit);
        m_pGrid->Ctrl()->EnableNotify(qs::ss::SSN_EndEdit, false);
        WriteCellFromRow(col);
        m_pGrid->Ctrl()->EnableNotify(qs::ss::SSN_EndEdit, notify);
    }
    if (status != 0) return FALSE;
    if (m_pDoc) m_pDoc->SetModifiedFlag(TRUE);
    return TRUE;
}

void CDFLView::ClearAllFactors() {
    CFactorSet* set = CurrentFactorSet();
    const int exhibitRow = SelectedExhibitRow();
    if (set == nullptr || exhibitRow < 0) return;
    QSID id = QSID(m_pExhibitList->topLevelItem(exhibitRow)->data(0, kIdRole).toLongLong());
    SetIDLayer(id, std::uint16_t(SelectedLayer()));
    m_pShownRow = nullptr;
    set->RemoveDF(id, ExhibitRowText(exhibitRow).toStdString());
    if (m_pDoc) m_pDoc->SetModifiedFlag(TRUE);
    OnLayerChanged();
}

void CDFLView::OnEditCopy() {
    if (GridHasFocus()) {
        m_pGrid->Ctrl()->EditCopy();
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->copy();
}

void CDFLView::OnEditCut() {
    if (GridHasFocus()) {
        if (m_pGrid->m_bEditPermission == 0) return;
        OnEditCopy();
        OnEditClear();
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->cut();
}

void CDFLView::OnEditPaste() {
    if (GridHasFocus()) {
        if (m_pGrid->m_bEditPermission == 0) return;
        m_pGrid->Ctrl()->EndEdit();
        CWaitCursor wait;
        if (m_pGrid->Ctrl()->EditPaste() == 0) ShowFactors(TRUE);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit->paste();
}

void CDFLView::OnEditClear() {
    if (!GridHasFocus() || m_pGrid->m_bEditPermission == 0) return;
    if (m_pGrid->Ctrl()->Clear(qs::ss::SSC_Values) == 0) ShowFactors(TRUE);
}

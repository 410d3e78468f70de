// Cell notes and the footnote of the object view.
#include "CObjectView.h"

#include <QRegularExpression>

#include "CDataObject.h"
#include "CEditCellNoteDlg.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "KernelIds.h"
#include "MessageBox.h"

namespace {

constexpr int kPrintedNoteChars = 511;

QString LabelAt(const QSStringArray& labels, int i) {
    return i >= 0 && i < int(labels.size()) ? QString::fromStdString(labels[std::size_t(i)]) : QString();
}

// A note as the notes listing prints it: its lines joined so that each
// further line starts a new line indented by two tabs; empty lines drop out.
QString JoinNoteLines(const QString& note) {
    const QStringList lines = note.left(kPrintedNoteChars).split(QRegularExpression(QStringLiteral("[\r\n]")),
                                                                   Qt::SkipEmptyParts);
    return lines.join(QStringLiteral("\r\n\t\t"));
}

}  // namespace

void CObjectView::MapNoteCommands() {
    MapCommand(ID_EDIT_FOOTNOTE, [this] { OnEditFootnote(); });
    MapUpdateCommand(ID_EDIT_FOOTNOTE, [this](CCmdUI* ui) { ui->Enable(m_pObject != nullptr); });
}

BOOL CObjectView::EditCellNote(int row, int col, CFormula* object) {
    auto* data = dynamic_cast<CDataObject*>(object != nullptr ? object : m_pObject);
    if (data == nullptr) return FALSE;
    QSStringArray rows, cols;
    std::string corner;
    data->GetLabels(rows, cols, corner);
    const QString cellText = QLatin1Char('(') + LabelAt(rows, row) + QLatin1Char(',') + LabelAt(cols, col) + QLatin1Char(')');

    CEditCellNoteDlg dlg(cellText, this);
    const bool hadNote = data->DoesCellHaveNote(row, col);
    if (hadNote) {
        std::string note;
        if (data->GetNoteInCell(row, col, note) == qsk::kOk) dlg.m_strNote = QString::fromStdString(note);
    }
    if (dlg.DoModal() != IDOK) return FALSE;
    if (!dlg.m_strNote.isEmpty()) {
        // A store the kernel refuses must not look saved.
        if (data->SetNoteInCell(row, col, dlg.m_strNote.toStdString()) != qsk::kOk) {
            ReportError(QStringLiteral("Error: DO::SetNoteInCell\n"));
            return FALSE;
        }
    } else if (hadNote) {
        if (data->RemoveNoteInCell(row, col) != qsk::kOk) {
            ReportError(QStringLiteral("Error: DO::RemoveNoteInCell\n"));
            return FALSE;
        }
    }
    return TRUE;
}

void CObjectView::OnEditFootnote() {
    if (m_pObject == nullptr) return;
    CEditFootnoteDlg dlg(this);
    std::string footnote;
    m_pObject->GetFootnoteString(footnote);
    dlg.m_strFootnote = QString::fromStdString(footnote);
    if (dlg.DoModal() != IDOK) return;
    if (m_pObject->SetFootnoteString(dlg.m_strFootnote.toStdString()) != qsk::kOk) {
        ReportError(QStringLiteral("Error: OB::SetFootnoteString\n"));
        return;
    }
    UpdateCaption();
}

BOOL CObjectView::SaveCellNotes(CPrintInfo* pInfo, CFormula* object, const QString& name) {
    CFormula* obj = object != nullptr ? object : m_pObject;
    auto* data = dynamic_cast<CDataObject*>(obj);
    CPrintPageState* state = pInfo != nullptr ? pInfo->m_lpUserData : nullptr;
    if (data == nullptr || state == nullptr) return FALSE;
    std::uint16_t maxRow = 0, maxCol = 0;
    if (data->GetMaxRowsCols(maxRow, maxCol) != qsk::kOk) return FALSE;
    QSStringArray rows(maxRow), cols(maxCol);
    std::string corner;
    if (data->GetLabels(rows, cols, corner) != qsk::kOk) return FALSE;

    QString notes;
    for (int r = 0; r < maxRow; ++r) {
        std::uint16_t n = 0;
        if (data->GetNumColsInRow(std::uint16_t(r), n) != qsk::kOk) continue;
        for (int c = 0; c < n; ++c) {
            std::string note;
            if (!data->DoesCellHaveNote(r, c) || data->GetNoteInCell(r, c, note) != qsk::kOk) continue;
            QString colLabel = LabelAt(cols, c);
            if (colLabel.size() == 1) colLabel.prepend(QLatin1Char(' '));
            notes += QStringLiteral("\r\n\t") + LabelAt(rows, r) + QLatin1Char(':') + colLabel + QLatin1Char('\t') +
                     JoinNoteLines(QString::fromStdString(note));
        }
    }
    if (notes.isEmpty()) return FALSE;
    QString heading = !name.isEmpty() ? name : QString::fromStdString(obj->GetIDName(-1));
    std::string layerName;
    unsigned short layer = GetIDLayer(obj->GetIDNum());
    if (layer == 0) layer = m_nLayer;
    if (CProject* project = GetProject()) project->GetNameLayer(layerName, layer);
    heading += QStringLiteral(" (") + QString::fromStdString(layerName) + QLatin1Char(')');
    state->m_strNotes += QStringLiteral("\r\n\r\n") + heading + notes;
    return TRUE;
}

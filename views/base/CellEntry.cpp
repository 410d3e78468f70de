#include "CellEntry.h"

#include "CDataObject.h"
#include "CProject.h"
#include "ObjectViewFormats.h"

namespace qs::views {

bool IsNotAvailableText(const QString& text) {
    return text.trimmed().compare(QStringLiteral("#N/A"), Qt::CaseInsensitive) == 0;
}

CellEntry ReadCellEntry(const QString& text, QChar thousands, QChar decimal) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {CellEntry::Kind::Blank, 0.0};
    if (IsNotAvailableText(trimmed)) return {CellEntry::Kind::NotAvailable, 0.0};
    bool ok = false;
    const double value = ParseFormattedNumber(trimmed, thousands, decimal, &ok);
    return ok ? CellEntry{CellEntry::Kind::Number, value} : CellEntry{CellEntry::Kind::Words, 0.0};
}

CellEntry ReadCellEntry(const QString& text, const CProject* project) {
    char thousands = ',', decimal = '.';
    int useThousands = 1;
    if (project != nullptr) project->GetThousDecSymbol(thousands, decimal, useThousands);
    return ReadCellEntry(text, QChar::fromLatin1(thousands), QChar::fromLatin1(decimal));
}

QSSTATUS StoreCellEntry(CDataObject& data, int row, int col, const CellEntry& entry) {
    switch (entry.kind) {
    case CellEntry::Kind::Blank: return data.SetCellBlank(row, col, 1);
    case CellEntry::Kind::NotAvailable: return data.SetCellNotAvail(row, col);
    case CellEntry::Kind::Number:
    case CellEntry::Kind::Words: break;
    }
    return data.SetAt(row, col, entry.value, 1);
}

}  // namespace qs::views

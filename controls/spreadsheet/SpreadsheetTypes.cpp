#include "SpreadsheetTypes.h"

#include <algorithm>

namespace qs::ss {

QString ErrorText(int status) {
    switch (status) {
    case SS_OK: return QStringLiteral("No error.");
    case SS_BadRow: return QStringLiteral("Row out of range.");
    case SS_BadColumn: return QStringLiteral("Column out of range.");
    case SS_BadArgument: return QStringLiteral("Invalid argument.");
    case SS_BadFormat: return QStringLiteral("Invalid number format.");
    case SS_NoSelection: return QStringLiteral("Nothing is selected.");
    case SS_BadIndex: return QStringLiteral("Index out of range.");
    case SS_ClipboardEmpty: return QStringLiteral("The clipboard holds no text.");
    case SS_NotNumber: return QStringLiteral("The cell holds no number.");
    case SS_Cancelled: return QStringLiteral("The operation was cancelled.");
    }
    return QStringLiteral("Unknown error %1.").arg(status);
}

bool NormalizeRange(int row1, int col1, int row2, int col2, Range& out) {
    if (row1 == -1 || row2 == -1) {
        row1 = 1;
        row2 = kMaxRows;
    }
    if (col1 == -1 || col2 == -1) {
        col1 = 1;
        col2 = kMaxCols;
    }
    if (row1 > row2) std::swap(row1, row2);
    if (col1 > col2) std::swap(col1, col2);
    if (row1 < 1 || row2 > kMaxRows) return false;
    if (col1 < 1 || col2 > kMaxCols) return false;
    out = Range{row1, col1, row2, col2};
    return true;
}

}  // namespace qs::ss

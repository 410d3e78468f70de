#pragma once
// What the text of a grid cell means to a data object. Typing, pasting and
// the exhibit's stored rows read a cell through ReadCellEntry and hand it to
// the kernel through StoreCellEntry, so every way in treats a blank, "#N/A"
// and a number written with the project's separators alike.
#include <QChar>
#include <QString>

#include "KernelTypes.h"

class CDataObject;
class CProject;

namespace qs::views {

struct CellEntry {
    enum class Kind {
        Blank,         // nothing but blanks: the cell is emptied
        NotAvailable,  // "#N/A" in any case
        Number,        // value holds the number
        Words,         // text that holds no number; value is 0
    };
    Kind kind = Kind::Blank;
    double value = 0.0;
};

// True for "#N/A" in any case, blanks around it ignored.
bool IsNotAvailableText(const QString& text);

// Reads text with the given separators (ParseFormattedNumber's rules).
CellEntry ReadCellEntry(const QString& text, QChar thousands, QChar decimal);
// Reads text with the project's thousands and decimal separators ("," and
// "." without a project).
CellEntry ReadCellEntry(const QString& text, const CProject* project);

// Puts entry into cell (row, col) of data, 0-based, as the user's own value
// (the kernel's "typed" mark): a blank empties the cell, "#N/A" marks it not
// available, a number is stored. Words are stored as the number 0, as a
// typed entry without digits always was; callers that keep the cell for
// words check the kind first.
QSSTATUS StoreCellEntry(CDataObject& data, int row, int col, const CellEntry& entry);

}  // namespace qs::views

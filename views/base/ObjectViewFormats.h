#pragma once
// Number formats of the table views and the reading of typed numbers.
#include <QChar>
#include <QString>

class CFormula;
class CProject;
namespace qs::ss {
class SpreadsheetControl;
}

namespace qs::views {

// Format codes. Negative styles: 0 parentheses, 1 leading minus, 2 trailing minus.
QString NumberFormatCode(int negativeStyle, bool thousands, int decimals);
QString PercentFormatCode(int negativeStyle, bool thousands, int decimals);
QString AccountingFormatCode(int negativeStyle, bool symbolBefore, bool thousands, int decimals,
                             const QString& symbol);
// The symbol written as a quoted run of "_x" pads, so that rows after the
// first of a currency block keep the alignment without showing the symbol.
QString PaddedSymbol(const QString& symbol);
// A percent code whose "%" signs become "_%" pads.
QString PaddedPercentCode(const QString& code);

// Formats the grid's current selection for the object (null: the project's
// decimals and a plain number format). False when the grid refuses it.
bool ApplyDataFormat(qs::ss::SpreadsheetControl* ctrl, const CProject& project, const CFormula* object);

// A number typed or shown with the given separators: blanks and thousands
// separators are ignored, anything before the first digit, "-" or decimal
// separator is skipped, and a "-" or "(" in the text makes it negative
// ("(5)", "-5", "5-", "$(5)" are -5). 0 with ok false when the text holds no number.
double ParseFormattedNumber(const QString& text, QChar thousands, QChar decimal, bool* ok = nullptr);
// The same with the user's locale separators.
double ParseLocaleNumber(const QString& text, bool* ok = nullptr);

}  // namespace qs::views

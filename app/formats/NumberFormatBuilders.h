#pragma once
// Spreadsheet (Excel-style) number format codes built from the user's display
// options. Negative styles: 0 parentheses, 1 leading minus, 2 trailing minus;
// any other style gives an empty code. Decimals are clamped to 0..30.
// The two-argument-separator overloads take the punctuation explicitly; the
// others use the application's separators (AppSeparators.h).
#include <QChar>
#include <QString>

QString BuildNumberFormat(int negativeStyle, bool thousands, int decimals);
QString BuildPercentFormat(int negativeStyle, bool thousands, int decimals);
QString BuildAccountingFormat(int negativeStyle, bool symbolBefore, bool thousands, int decimals,
                              const QString& currencySymbol);

namespace qs::app {

QString BuildNumberFormat(int negativeStyle, bool thousands, int decimals, QChar decimalSeparator,
                          QChar thousandsSeparator);
QString BuildPercentFormat(int negativeStyle, bool thousands, int decimals, QChar decimalSeparator,
                           QChar thousandsSeparator);
QString BuildAccountingFormat(int negativeStyle, bool symbolBefore, bool thousands, int decimals,
                              const QString& currencySymbol, QChar decimalSeparator,
                              QChar thousandsSeparator);

}  // namespace qs::app

#pragma once
// The decimal and thousands separators the application formats its
// spreadsheet numbers with. Start-up sets them from the user's locale; until
// then they are "." and ",".
#include <QChar>

namespace qs::app {

void SetApplicationSeparators(QChar decimalSeparator, QChar thousandsSeparator);
QChar ApplicationDecimalSeparator();
QChar ApplicationThousandsSeparator();

// Sets both from the user's locale (QLocale::system()).
void SetApplicationSeparatorsFromLocale();

}  // namespace qs::app

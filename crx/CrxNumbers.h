#pragma once
// Number texts of the tail program: every value it shows goes through
// FormatNumber (the user's locale, a given number of decimals) and every
// value a person types through ParseNumber. The locale is read once from
// the system; tests set one of their own.
#include <QString>

namespace crx {

struct NumberLocale {
    QString decimal = QStringLiteral(".");
    QString thousands = QStringLiteral(",");
    bool leadingZero = true;   // "0.5" rather than ".5"
    int grouping = 3;          // digits per group, 0 for none
    // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
    int negativeOrder = 1;

    static NumberLocale System();
};

const NumberLocale& CurrentLocale();
void SetCurrentLocale(const NumberLocale& locale);

// v rounded to `decimals` places with the locale's separators, grouping and
// negative form; empty for a value that is not finite.
QString FormatNumber(double v, int decimals, const NumberLocale& locale = CurrentLocale());
// Drops trailing zeros after the decimal separator, then a bare separator:
// 12.500 -> 12.5, 3.000 -> 3; a text without the separator is kept.
QString TrimNumber(const QString& text, const NumberLocale& locale = CurrentLocale());
// 0 for an empty text. Spaces and thousands separators are dropped; reading
// starts at the first digit, '-' or decimal separator; a positive result is
// negated when the text holds '-' or '(' (so "(5)" reads as -5).
double ParseNumber(const QString& text, const NumberLocale& locale = CurrentLocale());

// The value dialog's check of a typed value.
enum class ValueText { Ok, Empty, NotNumeric };
// Ok when, after spaces and thousands separators are dropped, only digits,
// at most one decimal separator and at most one '-' remain; *cleaned gets
// that text.
ValueText CheckValueText(const QString& text, QString* cleaned, const NumberLocale& locale = CurrentLocale());

}  // namespace crx

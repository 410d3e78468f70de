#pragma once
// The user's number punctuation and the two operations the views need of it:
// grouping the digits of a displayed value and reading a displayed value back.
#include <QString>

class CNumberFormat {
public:
    // Reads the user locale's decimal and thousands separators. A separator
    // the locale does not give stays empty (grouping then does nothing).
    CNumberFormat();
    CNumberFormat(const QString& decimalSeparator, const QString& thousandsSeparator);

    // Each separator is kept to at most 4 characters; the operations use the first.
    const QString& DecimalSeparator() const { return m_decimal; }
    const QString& ThousandsSeparator() const { return m_thousands; }

    // Inserts the thousands separator into the integer part of a displayed
    // number ("1234567.125" -> "1,234,567.125"). Signs, blanks and any other
    // non-digit characters are copied unchanged. At most 255 characters of
    // the text are used.
    QString InsertThousandsSeparators(const QString& text) const;

    // Reads a displayed number: "(1,234.50)" -> -1234.5, "1.5E-3" -> 0.0015.
    // The text is left without blanks and thousands separators and with a
    // point for the decimal separator. See ParseDisplayedNumber.
    double ParseNumber(QString& text) const;

private:
    QString m_decimal;
    QString m_thousands;
};

// The parse of CNumberFormat::ParseNumber with explicit separators (their
// first characters; a null character means "none"):
// - an empty text, or one without anything numeric, gives 0;
// - blanks and thousands separators are removed; the number starts at the
//   first digit, minus sign or decimal separator; the first decimal
//   separator becomes a point; reading stops at the first character that does
//   not belong to a number;
// - a positive value is negated when the text holds an opening parenthesis or
//   a minus sign that is not the sign of an exponent.
double ParseDisplayedNumber(QString& text, QChar decimalSeparator, QChar thousandsSeparator);

// The same parse with the application's own separators (AppSeparators.h).
double ParseFormattedNumber(QString& text);

// Joins a folder and a name: white space is trimmed at the right of the left
// part and at the left of the right part; when the left part ends with "/"
// and the right part starts with one, one of them is dropped. Nothing is
// added between them otherwise.
QString CombinePath(QString left, QString right);

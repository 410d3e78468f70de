#include "formats/CNumberFormat.h"

#include "formats/AppSeparators.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kMaxSeparatorLength = 4;
constexpr int kMaxGroupedText = 255;

QChar FirstOf(const QString& s) { return s.isEmpty() ? QChar() : s.at(0); }

// A minus directly after the "e" of a number's exponent ("1.5E-3") gives the
// exponent's sign, not the number's.
bool IsExponentSign(const QString& text, qsizetype i, QChar decimal) {
    if (i < 2) return false;
    const QChar e = text.at(i - 1);
    if (e != u'e' && e != u'E') return false;
    const QChar before = text.at(i - 2);
    return before.isDigit() || before == decimal || before == u'.';
}

}  // namespace

CNumberFormat::CNumberFormat() {
    const QLocale locale = QLocale::system();
    m_decimal = locale.decimalPoint().left(kMaxSeparatorLength);
    m_thousands = locale.groupSeparator().left(kMaxSeparatorLength);
}

CNumberFormat::CNumberFormat(const QString& decimalSeparator, const QString& thousandsSeparator)
    : m_decimal(decimalSeparator.left(kMaxSeparatorLength)),
      m_thousands(thousandsSeparator.left(kMaxSeparatorLength)) {}

QString CNumberFormat::InsertThousandsSeparators(const QString& input) const {
    const QString text = input.left(kMaxGroupedText);
    const QChar thousands = FirstOf(m_thousands);
    const QChar decimal = FirstOf(m_decimal);
    if (thousands.isNull()) return text;

    // Walk backwards; digits after the decimal separator are never grouped.
    bool inIntegerPart = decimal.isNull() || !text.contains(decimal);
    int digits = 0;
    QString reversed;
    reversed.reserve(text.size() + text.size() / 3);
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (!inIntegerPart) {
            reversed.append(c);
            if (c == decimal) inIntegerPart = true;
            continue;
        }
        if (c.isDigit()) {
            if (digits == 3) {
                reversed.append(thousands);
                digits = 0;
            }
            ++digits;
        }
        reversed.append(c);
    }
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

double CNumberFormat::ParseNumber(QString& text) const {
    return ParseDisplayedNumber(text, FirstOf(m_decimal), FirstOf(m_thousands));
}

double ParseDisplayedNumber(QString& text, QChar decimal, QChar thousands) {
    if (text.isEmpty()) return 0.0;

    QString clean;
    clean.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        if (c.isSpace()) continue;
        if (!thousands.isNull() && c == thousands) continue;
        clean.append(c);
    }
    text = clean;

    qsizetype start = -1;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c.isDigit() || c == u'-' || (!decimal.isNull() && c == decimal)) {
            start = i;
            break;
        }
    }
    if (start < 0) return 0.0;

    bool negate = false;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c == u'(' || (c == u'-' && !IsExponentSign(clean, i, decimal))) negate = true;
    }

    // Only ASCII can belong to the number; anything else ends it.
    std::string number;
    bool pointSeen = false;
    for (qsizetype i = start; i < clean.size(); ++i) {
        QChar c = clean.at(i);
        if (!pointSeen && !decimal.isNull() && c == decimal) {
            c = u'.';
            pointSeen = true;
            text[i] = c;
        }
        if (c.unicode() > 0x7f) break;
        number.push_back(static_cast<char>(c.unicode()));
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    if (value > 0.0 && negate) value = -value;
    return value;
}

double ParseFormattedNumber(QString& text) {
    return ParseDisplayedNumber(text, qs::app::ApplicationDecimalSeparator(),
                                qs::app::ApplicationThousandsSeparator());
}

QString CombinePath(QString left, QString right) {
    qsizetype l = left.size();
    while (l > 0 && left.at(l - 1).isSpace()) --l;
    left.truncate(l);
    qsizetype r = 0;
    while (r < right.size() && right.at(r).isSpace()) ++r;
    right.remove(0, r);
    if (left.endsWith(u'/') && right.startsWith(u'/')) right.remove(0, 1);
    return left + right;
}

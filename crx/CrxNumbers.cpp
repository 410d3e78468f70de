#include "CrxNumbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace crx {

namespace {

NumberLocale& Current() {
    static NumberLocale locale = NumberLocale::System();
    return locale;
}

QString Digits(const std::string& digits, int grouping, const QString& thousands) {
    if (grouping <= 0) return QString::fromStdString(digits);
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % grouping == 0) out += thousands;
        out += QChar(digits[size_t(i)]);
    }
    return out;
}

}  // namespace

NumberLocale NumberLocale::System() {
    const QLocale system = QLocale::system();
    NumberLocale l;
    l.decimal = system.decimalPoint().left(4);
    l.thousands = system.groupSeparator().left(4);
    if (l.decimal.isEmpty()) l.decimal = QStringLiteral(".");
    return l;
}

const NumberLocale& CurrentLocale() { return Current(); }
void SetCurrentLocale(const NumberLocale& locale) { Current() = locale; }

QString FormatNumber(double v, int decimals, const NumberLocale& l) {
    if (!std::isfinite(v) || decimals < 0 || decimals > 15) return {};
    // Printed with "%.*f" first, as the value then goes to the formatter.
    char buffer[400];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(v));
    if (n <= 0 || n >= int(sizeof buffer)) return {};
    std::string text(buffer, size_t(n));
    const size_t dot = text.find('.');
    std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    QString body;
    if (!(whole == "0" && !l.leadingZero && !fraction.empty())) body = Digits(whole, l.grouping, l.thousands);
    if (!fraction.empty()) body += l.decimal + QString::fromStdString(fraction);
    // A value that rounds to zero shows no sign.
    bool negative = v < 0;
    if (negative && text.find_first_not_of("0.") == std::string::npos) negative = false;
    if (!negative) return body;
    switch (l.negativeOrder) {
    case 0: return "(" + body + ")";
    case 2: return "- " + body;
    case 3: return body + "-";
    case 4: return body + " -";
    default: return "-" + body;
    }
}

QString TrimNumber(const QString& text, const NumberLocale& l) {
    if (l.decimal.isEmpty() || !text.contains(l.decimal)) return text;
    QString out = text;
    while (out.endsWith('0')) out.chop(1);
    if (out.endsWith(l.decimal)) out.chop(l.decimal.size());
    return out;
}

double ParseNumber(const QString& text, const NumberLocale& l) {
    if (text.isEmpty()) return 0.0;
    QString t = text;
    t.remove(' ');
    if (!l.thousands.isEmpty() && l.thousands.at(0) != ' ') t.remove(l.thousands.at(0));
    const QChar decimal = l.decimal.isEmpty() ? QChar('.') : l.decimal.at(0);
    int start = -1;
    for (int i = 0; i < t.size() && start < 0; ++i)
        if (t[i].isDigit() || t[i] == '-' || t[i] == decimal) start = i;
    if (start < 0) return 0.0;
    QString rest = t.mid(start);
    const int at = rest.indexOf(decimal);
    if (at >= 0) rest[at] = '.';
    const std::string s = rest.toStdString();
    // The longest number at the start, as atof reads it; nothing readable is 0.
    double value = 0.0;
    const auto result = std::from_chars(s.c_str(), s.c_str() + s.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) value = 0.0;
    if (value > 0 && (text.contains('-') || text.contains('('))) value = -value;
    return value;
}

ValueText CheckValueText(const QString& text, QString* cleaned, const NumberLocale& l) {
    if (text.isEmpty()) return ValueText::Empty;
    QString t = text;
    t.remove(' ');
    if (!l.thousands.isEmpty() && l.thousands != " ") t.remove(l.thousands);
    int separators = 0, minus = 0;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i].isDigit()) continue;
        if (!l.decimal.isEmpty() && t.mid(i, l.decimal.size()) == l.decimal) {
            ++separators;
            i += int(l.decimal.size()) - 1;
        } else if (t[i] == '-') {
            ++minus;
        } else {
            return ValueText::NotNumeric;
        }
    }
    if (separators > 1 || minus > 1) return ValueText::NotNumeric;
    if (cleaned) *cleaned = t;
    return ValueText::Ok;
}

}  // namespace crx

#include "ObjectViewFormats.h"

#include <QLocale>

#include <algorithm>

#include "CFormula.h"
#include "CProject.h"
#include "SpreadsheetControl.h"

namespace qs::views {

namespace {

QString DigitsCode(bool thousands, int decimals) {
    QString code = thousands ? QStringLiteral("#,##0") : QStringLiteral("0");
    decimals = std::clamp(decimals, 0, 30);
    if (decimals > 0) code += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return code;
}

QString WithNegative(int negativeStyle, const QString& positive) {
    switch (negativeStyle) {
    case 0: return positive + QStringLiteral("_);(") + positive + QLatin1Char(')');
    case 1: return positive + QStringLiteral(";-") + positive;
    case 2: return positive + QStringLiteral("_-;") + positive + QLatin1Char('-');
    default: return QString();
    }
}

}  // namespace

QString NumberFormatCode(int negativeStyle, bool thousands, int decimals) {
    return WithNegative(negativeStyle, DigitsCode(thousands, decimals));
}

QString PercentFormatCode(int negativeStyle, bool thousands, int decimals) {
    return WithNegative(negativeStyle, DigitsCode(thousands, decimals) + QLatin1Char('%'));
}

namespace {

QString AccountingCode(int negativeStyle, bool symbolBefore, bool thousands, int decimals, const QString& segment) {
    const QString digits = DigitsCode(thousands, decimals);
    return WithNegative(negativeStyle, symbolBefore ? segment + digits : digits + segment);
}

}  // namespace

QString AccountingFormatCode(int negativeStyle, bool symbolBefore, bool thousands, int decimals,
                             const QString& symbol) {
    return AccountingCode(negativeStyle, symbolBefore, thousands, decimals, QLatin1Char('"') + symbol + QLatin1Char('"'));
}

QString PaddedSymbol(const QString& symbol) {
    QString out;
    for (const QChar ch : symbol) out += QLatin1Char('_') + QString(ch);
    return out;
}

QString PaddedPercentCode(const QString& code) {
    QString out;
    for (const QChar ch : code) {
        if (ch == QLatin1Char('%')) out += QStringLiteral("_%");
        else if (ch != QLatin1Char('"')) out += ch;
    }
    return out;
}

bool ApplyDataFormat(qs::ss::SpreadsheetControl* ctrl, const CProject& project, const CFormula* object) {
    if (ctrl == nullptr) return false;
    std::string symbol, negative;
    int position = 0, leading = 0, red = 0, useThousands = 0;
    char thousands = ',', decimal = '.';
    project.GetCurrencySymbol(symbol, position);
    project.GetNegSymbol(negative, leading, red);
    project.GetThousDecSymbol(thousands, decimal, useThousands);
    short decimals = 0;
    if (object != nullptr) object->GetDecimals(decimals);
    else project.GetDecimals(decimals);
    const int negativeStyle = negative.empty() ? 0 : (leading != 0 ? 1 : 2);
    // The project keeps the display page's choice: 0 after the number, 1 before.
    const bool before = position != 0;
    const QString sym = QString::fromStdString(symbol);
    QString code;
    if (object == nullptr || object->IsFixed()) code = NumberFormatCode(negativeStyle, useThousands != 0, decimals);
    else if (object->IsCurrency()) code = AccountingFormatCode(negativeStyle, before, useThousands != 0, decimals, sym);
    else if (object->IsPercent()) code = PercentFormatCode(negativeStyle, useThousands != 0, decimals);
    if (ctrl->SetNumberFormat(code) != qs::ss::SS_OK) return false;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (object == nullptr || ctrl->GetSelection(0, r1, c1, r2, c2) != qs::ss::SS_OK) return true;
    const bool manyRows = r2 < 1 || r1 < 1 || r2 > r1;
    if (!manyRows || (!object->IsCurrency() && !object->IsPercent()) || object->IsFixed()) return true;
    const int first = std::max(r1, 1);
    const int last = r2 < 1 ? qs::ss::kMaxRows : r2;
    QString rest;
    if (object->IsCurrency())
        rest = AccountingCode(negativeStyle, before, useThousands != 0, decimals, PaddedSymbol(sym));
    else
        rest = PaddedPercentCode(code);
    ctrl->SetSelection(first + 1, c1, last, c2);
    ctrl->SetNumberFormat(rest);
    ctrl->SetSelection(r1, c1, r2, c2);
    return true;
}

double ParseFormattedNumber(const QString& text, QChar thousands, QChar decimal, bool* ok) {
    // Blanks and thousands separators go; the number starts at the first
    // digit, minus sign or decimal separator, so a currency symbol or an
    // opening parenthesis in front of it is skipped. A minus sign or a
    // parenthesis anywhere marks it negative: "(5)", "-5", "5-" and "$(5)"
    // are all -5, as the grid shows negatives in those styles.
    QString s;
    for (const QChar ch : text)
        if (!ch.isSpace() && ch != thousands) s += ch;
    qsizetype start = 0;
    while (start < s.size() && !s[start].isDigit() && s[start] != QLatin1Char('-') && s[start] != decimal) ++start;
    QString plain;
    for (qsizetype i = start; i < s.size(); ++i) {
        const QChar ch = s[i];
        if (ch.isDigit()) plain += ch;
        else if (ch == decimal) plain += QLatin1Char('.');
        else if (ch == QLatin1Char('-') && plain.isEmpty()) continue;  // the sign is applied below
        else if ((ch == QLatin1Char('e') || ch == QLatin1Char('E')) && !plain.isEmpty()) {
            plain += ch;
            if (i + 1 < s.size() && (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-'))) plain += s[++i];
        } else break;
    }
    bool parsed = false;
    double value = plain.toDouble(&parsed);
    if (ok != nullptr) *ok = parsed;
    if (!parsed) return 0.0;
    bool negative = s.contains(QLatin1Char('('));
    for (qsizetype i = 0; i < s.size() && !negative; ++i)
        if (s[i] == QLatin1Char('-') && !(i > 0 && (s[i - 1] == QLatin1Char('e') || s[i - 1] == QLatin1Char('E'))))
            negative = true;  // an exponent's own minus ("1e-3") does not count
    if (value > 0 && negative) value = -value;
    return value;
}

double ParseLocaleNumber(const QString& text, bool* ok) {
    const QLocale locale;
    const QString group = locale.groupSeparator(), point = locale.decimalPoint();
    return ParseFormattedNumber(text, group.isEmpty() ? QChar(u',') : group.front(),
                                point.isEmpty() ? QChar(u'.') : point.front(), ok);
}

}  // namespace qs::views

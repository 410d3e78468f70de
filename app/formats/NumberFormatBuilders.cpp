#include "formats/NumberFormatBuilders.h"

#include "formats/AppSeparators.h"

#include <algorithm>

namespace {

// Format codes as printf patterns: "%c" is the thousands separator, a "%s"
// right after a double quote the currency symbol, any other "%s" the decimal
// part, "%%" a percent sign.
const char* const kNumberPatterns[3][2] = {
    // with thousands, without
    {"_(#%c##0%s_);(#%c##0%s)", "_(0%s_);(0%s)"},
    {"#%c##0%s;-#%c##0%s", "0%s;-0%s"},
    {"#%c##0%s_-;#%c##0%s-", "0%s_-;0%s-"},
};

const char* const kPercentPatterns[3][2] = {
    {"_(#%c##0%s_)\"%%\";(#%c##0%s)\"%%\"", "_(0%s_)\"%%\";(0%s)\"%%\""},
    {"#%c##0%s\"%%\";-#%c##0%s\"%%\"", "0%s\"%%\";-0%s\"%%\""},
    {"#%c##0%s_-\"%%\";#%c##0%s-\"%%\"", "0%s_-\"%%\";0%s-\"%%\""},
};

// [style][symbol before ? 0 : 1][thousands ? 0 : 1]
const char* const kAccountingPatterns[3][2][2] = {
    {{"_(\"%s\"* #%c##0%s_);_(\"%s\"* (#%c##0%s);_(\"%s\"* \"-\"??_);_(@_)",
      "_(\"%s\"* 0%s_);_(\"%s\"* (0%s);_(\"%s\"* \"-\"??_);_(@_)"},
     {"_(* #%c##0%s_)\"%s\";_(* (#%c##0%s)\"%s\";_(* \"-\"??_)\"%s\";_(@_)",
      "_(* 0%s_)\"%s\";_(* (0%s)\"%s\";_(* \"-\"??_)\"%s\";_(@_)"}},
    {{"_(\"%s\"* #%c##0%s_);_(\"%s\"* -#%c##0%s_);_(\"%s\"* \"-\"??_);_(@_)",
      "_(\"%s\"* 0%s_);_(\"%s\"* -0%s_);_(\"%s\"* \"-\"??_);_(@_)"},
     {"_(#%c##0%s\"%s\"_);_(-#%c##0%s\"%s\"_);_(\"-\"??\"%s\"_);_(@_)",
      "_(0%s\"%s\"_);_(-0%s\"%s\"_);_(\"-\"??\"%s\"_);_(@_)"}},
    {{"_(\"%s\"* #%c##0%s_-_);_(\"%s\"* #%c##0%s-_);_(\"%s\"* ??\"-\"_);_(@_)",
      "_(\"%s\"* 0%s_-_);_(\"%s\"* 0%s-_);_(\"%s\"* ??\"-\"_);_(@_)"},
     {"_(#%c##0%s_-\"%s\"_);_(#%c##0%s-\"%s\"_);_(??\"-\"\"%s\"_);_(@_)",
      "_(0%s_-\"%s\"_);_(0%s-\"%s\"_);_(??\"-\"\"%s\"_);_(@_)"}},
};

QString DecimalPart(int decimals, QChar decimalSeparator) {
    decimals = std::clamp(decimals, 0, 30);
    if (decimals == 0) return {};
    return QString(decimalSeparator) + QString(decimals, u'0');
}

QString Expand(const char* pattern, QChar thousands, const QString& decimalPart, const QString& symbol) {
    QString out;
    const QString p = QString::fromLatin1(pattern);
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p.at(i);
        if (c != u'%' || i + 1 >= p.size()) {
            out.append(c);
            continue;
        }
        const QChar spec = p.at(++i);
        if (spec == u'c') out.append(thousands);
        else if (spec == u's') out.append(i >= 2 && p.at(i - 2) == u'"' ? symbol : decimalPart);
        else out.append(spec);  // "%%"
    }
    return out;
}

bool ValidStyle(int style) { return style >= 0 && style <= 2; }

}  // namespace

namespace qs::app {

QString BuildNumberFormat(int style, bool thousands, int decimals, QChar decimalSeparator,
                          QChar thousandsSeparator) {
    if (!ValidStyle(style)) return {};
    return Expand(kNumberPatterns[style][thousands ? 0 : 1], thousandsSeparator,
                  DecimalPart(decimals, decimalSeparator), {});
}

QString BuildPercentFormat(int style, bool thousands, int decimals, QChar decimalSeparator,
                           QChar thousandsSeparator) {
    if (!ValidStyle(style)) return {};
    return Expand(kPercentPatterns[style][thousands ? 0 : 1], thousandsSeparator,
                  DecimalPart(decimals, decimalSeparator), {});
}

QString BuildAccountingFormat(int style, bool symbolBefore, bool thousands, int decimals,
                              const QString& currencySymbol, QChar decimalSeparator,
                              QChar thousandsSeparator) {
    if (!ValidStyle(style)) return {};
    return Expand(kAccountingPatterns[style][symbolBefore ? 0 : 1][thousands ? 0 : 1], thousandsSeparator,
                  DecimalPart(decimals, decimalSeparator), currencySymbol);
}

}  // namespace qs::app

QString BuildNumberFormat(int style, bool thousands, int decimals) {
    return qs::app::BuildNumberFormat(style, thousands, decimals, qs::app::ApplicationDecimalSeparator(),
                                      qs::app::ApplicationThousandsSeparator());
}

QString BuildPercentFormat(int style, bool thousands, int decimals) {
    return qs::app::BuildPercentFormat(style, thousands, decimals, qs::app::ApplicationDecimalSeparator(),
                                       qs::app::ApplicationThousandsSeparator());
}

QString BuildAccountingFormat(int style, bool symbolBefore, bool thousands, int decimals,
                              const QString& currencySymbol) {
    return qs::app::BuildAccountingFormat(style, symbolBefore, thousands, decimals, currencySymbol,
                                          qs::app::ApplicationDecimalSeparator(),
                                          qs::app::ApplicationThousandsSeparator());
}

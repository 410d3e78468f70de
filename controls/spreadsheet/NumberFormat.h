#pragma once
// Spreadsheet number-format strings: up to four sections separated by ";"
// (positive; negative; zero; text), digit placeholders 0 # ?, "," for
// grouping (and, trailing, for thousands scaling), "." decimals, "%",
// "_x" (a blank as wide as x), "*x" (repeat fill, shown as nothing here),
// "\x" and "quoted" literals, "@" for the text, [Colour] tags, "General"
// and scientific "E+00" / "E-00".
#include <QColor>
#include <QList>
#include <QString>

#include <optional>

namespace qs::ss {

struct FormattedText {
    QString text;  // each "_x" pad is one blank in the text
    struct Pad {
        int pos;   // index of the blank in text
        QChar width;  // character whose width the blank takes when drawn
    };
    QList<Pad> pads;
    std::optional<QColor> color;
    bool isNumber = false;
};

class NumberFormat {
public:
    NumberFormat() = default;  // General
    explicit NumberFormat(const QString& format);

    bool IsValid() const { return m_valid; }
    const QString& Source() const { return m_source; }

    FormattedText Format(double value) const;
    FormattedText FormatText(const QString& text) const;

    // Conveniences for the plain text (pads as blanks).
    static QString Apply(const QString& format, double value);
    static QString ApplyText(const QString& format, const QString& text);
    // The General format of a number, as used for entries.
    static QString General(double value);

    struct Token {
        enum Kind { Literal, Pad, Fill, Digit, Point, Percent, Text, General, Exponent } kind;
        QString text;     // literal text; for Digit the placeholder char; for Exponent "+" or "-"
        int count = 0;    // Exponent: digit count
    };
    struct Section {
        QList<Token> tokens;
        std::optional<QColor> color;
        bool grouping = false;
        int scaleCommas = 0;  // trailing commas: divide by 1000 each
        int percents = 0;
        bool hasDigits = false;
        bool hasText = false;
        bool hasGeneral = false;
        bool hasExponent = false;
    };

private:
    FormattedText FormatSection(const Section& s, double absValue, bool minus) const;

    QString m_source;
    QList<Section> m_sections;
    bool m_valid = true;
};

}  // namespace qs::ss

#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace qs::ss {

namespace {

std::optional<QColor> ColourTag(const QString& tag) {
    static const struct { const char* name; QRgb rgb; } kNames[] = {
        {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000}, {"green", 0x00FF00},
        {"blue", 0x0000FF}, {"yellow", 0xFFFF00}, {"magenta", 0xFF00FF}, {"cyan", 0x00FFFF},
    };
    const QString lower = tag.toLower();
    for (const auto& n : kNames)
        if (lower == QLatin1String(n.name)) return QColor(n.rgb);
    if (lower.startsWith(QLatin1String("color"))) {
        bool ok = false;
        const int index = lower.mid(5).toInt(&ok);
        if (ok && index >= 1 && index <= 8) return QColor(kNames[index - 1].rgb);
        if (ok && index >= 1 && index <= 56) return QColor(Qt::black);
    }
    return std::nullopt;
}

bool IsPlaceholder(QChar c) { return c == u'0' || c == u'#' || c == u'?'; }

// Rounds a non-negative value half away from zero at `decimals` places,
// working on its 15 significant decimal digits so that 2.675 rounds to
// 2.68 as a user reading the number expects, not to the binary neighbour.
void RoundDecimal(double v, int decimals, QString& intPart, QString& fracPart) {
    // Plain character buffers: a view formats every cell of a large sheet
    // when it fits its columns, so this runs hundreds of thousands of times.
    decimals = std::clamp(decimals, 0, 300);
    char buf[64];
    const auto conv = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);  // as "%.14e"
    const char* const end = conv.ec == std::errc() ? conv.ptr : buf;
    char mant[32];
    int mantLen = 0, exp = 0;
    const char* p = buf;
    for (; p < end && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && mantLen < int(sizeof mant)) mant[mantLen++] = *p;
    if (p < end) std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exp);
    if (mantLen == 0) mant[mantLen++] = '0';

    const int keep = exp + 1 + decimals;  // digits of mant at or above 10^-decimals
    std::string digits;
    digits.reserve(std::max(keep, 1) + decimals + 2);
    if (v == 0.0 || keep < 0) {
        digits = "0";
    } else if (keep == 0) {
        digits = mant[0] >= '5' ? "1" : "0";
    } else if (keep >= mantLen) {
        digits.assign(mant, mantLen);
        digits.append(size_t(keep - mantLen), '0');
    } else {
        digits.assign(mant, keep);
        if (mant[keep] >= '5') {
            int i = int(digits.size()) - 1;
            while (i >= 0 && digits[i] == '9') digits[i--] = '0';
            if (i < 0) digits.insert(digits.begin(), '1');
            else ++digits[i];
        }
    }
    if (int(digits.size()) < decimals + 1) digits.insert(0, size_t(decimals + 1 - int(digits.size())), '0');
    const int intLen = int(digits.size()) - decimals;
    int lead = 0;
    while (lead < intLen - 1 && digits[lead] == '0') ++lead;
    intPart = QString::fromLatin1(digits.data() + lead, intLen - lead);
    fracPart = QString::fromLatin1(digits.data() + intLen, decimals);
}

QString Group(const QString& digits) {
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += digits[i];
    }
    return out;
}

}  // namespace

NumberFormat::NumberFormat(const QString& format) : m_source(format) {
    Section cur;
    bool seenPoint = false;
    bool seenDigit = false;
    auto literal = [&](const QString& t) {
        if (!cur.tokens.isEmpty() && cur.tokens.last().kind == Token::Literal) cur.tokens.last().text += t;
        else cur.tokens.append(Token{Token::Literal, t});
    };
    auto finish = [&] {
        m_sections.append(cur);
        cur = Section{};
        seenPoint = seenDigit = false;
    };
    const int n = format.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c == u';') {
            finish();
        } else if (c == u'"') {
            const int end = format.indexOf(u'"', i + 1);
            if (end < 0) {
                m_valid = false;
                break;
            }
            literal(format.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            if (i + 1 >= n) {
                m_valid = false;
                break;
            }
            const QChar next = format[++i];
            if (c == u'\\') literal(QString(next));
            else if (c == u'_') cur.tokens.append(Token{Token::Pad, QString(next)});
            else cur.tokens.append(Token{Token::Fill, QString(next)});
        } else if (c == u'[') {
            const int end = format.indexOf(u']', i + 1);
            if (end < 0) {
                m_valid = false;
                break;
            }
            const QString tag = format.mid(i + 1, end - i - 1);
            if (auto colour = ColourTag(tag)) {
                cur.color = colour;
            } else if (tag.startsWith(u'$')) {
                // Currency tag [$sym-locale]: the symbol is shown.
                const int dash = tag.indexOf(u'-');
                literal(tag.mid(1, dash < 0 ? -1 : dash - 1));
            }
            // Conditions such as [>100] are accepted and not evaluated.
            i = end;
        } else if (IsPlaceholder(c)) {
            cur.tokens.append(Token{Token::Digit, QString(c)});
            cur.hasDigits = seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            cur.tokens.append(Token{Token::Point, QString()});
            seenPoint = true;
        } else if (c == u',') {
            if (seenDigit && i + 1 < n && IsPlaceholder(format[i + 1])) cur.grouping = true;
            else if (seenDigit) ++cur.scaleCommas;
            else literal(QStringLiteral(","));
        } else if (c == u'%') {
            cur.tokens.append(Token{Token::Percent, QStringLiteral("%")});
            ++cur.percents;
        } else if (c == u'@') {
            cur.tokens.append(Token{Token::Text, QString()});
            cur.hasText = true;
        } else if ((c == u'E' || c == u'e') && seenDigit && i + 1 < n &&
                   (format[i + 1] == u'+' || format[i + 1] == u'-')) {
            Token t{Token::Exponent, QString(format[i + 1])};
            i += 2;
            while (i < n && IsPlaceholder(format[i])) {
                ++t.count;
                ++i;
            }
            --i;
            cur.tokens.append(t);
            cur.hasExponent = true;
        } else if (format.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            cur.tokens.append(Token{Token::General, QString()});
            cur.hasGeneral = true;
            i += 6;
        } else {
            literal(QString(c));
        }
    }
    finish();
    if (m_sections.size() > 4) m_valid = false;
    if (!m_valid) m_sections = {Section{{Token{Token::General, QString()}}, {}, false, 0, 0, false, false, true, false}};
}

QString NumberFormat::General(double value) {
    if (value == 0.0 || !std::isfinite(value)) return std::isnan(value) ? QStringLiteral("#NUM!") : QStringLiteral("0");
    const double a = std::fabs(value);
    QString out;
    if (a >= 1e11 || a < 1e-9) {
        QString s = QString::number(a, 'E', 5);  // d.dddddE+xx
        const int e = s.indexOf(u'E');
        QString m = s.left(e);
        while (m.endsWith(u'0')) m.chop(1);
        if (m.endsWith(u'.')) m.chop(1);
        QString ex = s.mid(e + 1);  // +xx / -xx, at least two digits
        out = m + u'E' + ex;
    } else {
        const int intDigits = a >= 1 ? int(std::floor(std::log10(a))) + 1 : 1;
        const int decimals = a >= 1 ? std::max(0, 10 - intDigits) : 9;
        QString ip, fp;
        RoundDecimal(a, decimals, ip, fp);
        while (fp.endsWith(u'0')) fp.chop(1);
        out = fp.isEmpty() ? ip : ip + u'.' + fp;
    }
    return value < 0 ? u'-' + out : out;
}

FormattedText NumberFormat::FormatSection(const Section& s, double absValue, bool minus) const {
    FormattedText out;
    out.color = s.color;
    out.isNumber = true;
    auto pad = [&](QChar w) {
        out.pads.append(FormattedText::Pad{int(out.text.size()), w});
        out.text += u' ';
    };
    if (!s.hasDigits) {
        // Literal-only or General sections.
        if (minus) out.text += u'-';
        for (const Token& t : s.tokens) {
            switch (t.kind) {
            case Token::Literal: out.text += t.text; break;
            case Token::Pad: pad(t.text[0]); break;
            case Token::Percent: out.text += u'%'; break;
            case Token::General: {
                double v = absValue;
                for (int i = 0; i < s.percents; ++i) v *= 100;
                out.text += General(v);
                break;
            }
            default: break;
            }
        }
        if (!s.hasGeneral && !s.hasText && s.tokens.isEmpty() && !minus) out.text.clear();
        return out;
    }
    double v = absValue;
    for (int i = 0; i < s.percents; ++i) v *= 100;
    for (int i = 0; i < s.scaleCommas; ++i) v /= 1000;

    QString intPlaces, fracPlaces;
    {
        bool afterPoint = false, afterExp = false;
        for (const Token& t : s.tokens) {
            if (t.kind == Token::Point) afterPoint = true;
            else if (t.kind == Token::Exponent) afterExp = true;
            else if (t.kind == Token::Digit && !afterExp) (afterPoint ? fracPlaces : intPlaces) += t.text;
        }
    }
    int exponent = 0;
    if (s.hasExponent && v != 0.0) {
        const int lead = std::max<int>(1, int(intPlaces.size()));
        exponent = int(std::floor(std::log10(v))) - (lead - 1);
        double m = v / std::pow(10.0, exponent);
        QString ip, fp;
        RoundDecimal(m, int(fracPlaces.size()), ip, fp);
        if (ip.size() > lead) {  // rounding carried into a new digit
            ++exponent;
            m = v / std::pow(10.0, exponent);
        }
        v = m;
    }
    QString ip, fp;
    RoundDecimal(v, int(fracPlaces.size()), ip, fp);

    // Integer digits: '0' forces a digit, '?' a blank, '#' nothing.
    const int firstZero = intPlaces.indexOf(u'0');
    int firstSpace = -1;
    for (int i = 0; i < intPlaces.size(); ++i)
        if (intPlaces[i] != u'#') {
            firstSpace = i;
            break;
        }
    const int minZeros = firstZero < 0 ? 0 : int(intPlaces.size()) - firstZero;
    const int minWidth = firstSpace < 0 ? 0 : int(intPlaces.size()) - firstSpace;
    QString digits = (ip == u"0" && firstZero < 0) ? QString() : ip;
    if (digits.size() < minZeros) digits.prepend(QString(minZeros - digits.size(), u'0'));
    QString intText = s.grouping ? Group(digits) : digits;
    if (digits.size() < minWidth) intText.prepend(QString(minWidth - digits.size(), u' '));

    // Decimal digits: trailing zeros under '#' vanish, under '?' become blanks.
    QString fracText = fp;
    for (int i = int(fracPlaces.size()) - 1; i >= 0 && fracText[i] == u'0' && fracPlaces[i] != u'0'; --i) {
        if (fracPlaces[i] == u'#') fracText.chop(1);
        else fracText[i] = u' ';
    }

    if (minus) out.text += u'-';
    bool intDone = false, afterPoint = false;
    int fracIndex = 0;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case Token::Literal: out.text += t.text; break;
        case Token::Pad: pad(t.text[0]); break;
        case Token::Percent: out.text += u'%'; break;
        case Token::Point:
            out.text += u'.';
            afterPoint = true;
            break;
        case Token::Digit:
            if (!afterPoint) {
                if (!intDone) out.text += intText;
                intDone = true;
            } else if (fracIndex < fracText.size()) {
                out.text += fracText[fracIndex++];
            } else {
                ++fracIndex;
            }
            break;
        case Token::Exponent: {
            QString e = QString::number(std::abs(exponent));
            if (e.size() < t.count) e.prepend(QString(t.count - e.size(), u'0'));
            out.text += u'E';
            if (exponent < 0) out.text += u'-';
            else if (t.text == u"+") out.text += u'+';
            out.text += e;
            break;
        }
        case Token::General: out.text += General(v); break;
        default: break;
        }
    }
    return out;
}

FormattedText NumberFormat::Format(double value) const {
    if (!std::isfinite(value)) return FormattedText{QStringLiteral("#NUM!"), {}, std::nullopt, true};
    const int n = int(m_sections.size());
    const Section* s = &m_sections[0];
    bool minus = false;
    if (value < 0) {
        if (n >= 2) s = &m_sections[1];
        else minus = true;
    } else if (value == 0 && n >= 3) {
        s = &m_sections[2];
    }
    if (s->hasText && !s->hasDigits && !s->hasGeneral) {
        // A text-only section shows a number in General.
        return FormattedText{General(value), {}, s->color, true};
    }
    if (s->tokens.isEmpty() && m_source.isEmpty()) return FormattedText{General(value), {}, std::nullopt, true};
    return FormatSection(*s, std::fabs(value), minus);
}

FormattedText NumberFormat::FormatText(const QString& text) const {
    const Section* s = nullptr;
    if (m_sections.size() >= 4) s = &m_sections[3];
    else if (m_sections.size() == 1 && m_sections[0].hasText) s = &m_sections[0];
    FormattedText out;
    if (!s) {
        out.text = text;
        return out;
    }
    out.color = s->color;
    for (const Token& t : s->tokens) {
        switch (t.kind) {
        case Token::Literal: out.text += t.text; break;
        case Token::Text: out.text += text; break;
        case Token::Pad:
            out.pads.append(FormattedText::Pad{int(out.text.size()), t.text[0]});
            out.text += u' ';
            break;
        case Token::Percent: out.text += u'%'; break;
        default: break;
        }
    }
    return out;
}

QString NumberFormat::Apply(const QString& format, double value) { return NumberFormat(format).Format(value).text; }

QString NumberFormat::ApplyText(const QString& format, const QString& text) {
    return NumberFormat(format).FormatText(text).text;
}

}  // namespace qs::ss

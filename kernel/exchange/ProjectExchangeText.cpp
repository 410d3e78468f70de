// The text forms of a project (docs/kernel/exchange.md): enhanced ASCII
// records (several projects to a file) and fixed-width ASCII records laid out
// by the user's record layout.
//
// Numbers are written and read with to_chars / from_chars, so neither form
// depends on the process locale.
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "CDataObject.h"
#include "ProjectExchange.h"

namespace qsexchange {
namespace {

// ---------------------------------------------------------------- shared text helpers

std::string TextNumber(double v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

bool TextParseDouble(const std::string& s, double& v) {
    if (s.empty()) return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') ++b;
    const auto res = std::from_chars(b, e, v);
    return res.ec == std::errc() && res.ptr == e && std::isfinite(v);
}

bool TextParseInt(const std::string& s, long lo, long hi, long& v) {
    if (s.empty()) return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') ++b;
    const auto res = std::from_chars(b, e, v);
    return res.ec == std::errc() && res.ptr == e && v >= lo && v <= hi;
}

std::string TextTrim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// Lines without their ends ("\r\n" or "\n").
std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t e = text.find('\n', p);
        const bool last = e == std::string::npos;
        if (last) e = text.size();
        std::string line = text.substr(p, e - p);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        p = last ? e : e + 1;
    }
    return lines;
}

// Padding (zero bytes) and white space only.
bool TextIsPadding(const std::string& s) {
    for (char c : s)
        if (c != 0 && c != ' ' && c != '\t' && c != '\r') return false;
    return true;
}

// ---------------------------------------------------------------- enhanced ASCII
//
// Every record is one CRLF line: a record name in columns 0-7, a two-digit
// record code in columns 8-9, then its fields. Only the project record has
// the code "00", so a scanner finds projects by columns 8 and 9 alone.

constexpr const char* kDatProject = "QSPROJ  00";
constexpr const char* kDatStructure = "STRUCT  01";
constexpr const char* kDatTable = "TABLE   02";
constexpr const char* kDatRow = "ROW     03";
constexpr const char* kDatSelected = "SELECT  04";
constexpr const char* kDatEnd = "END     09";
constexpr std::size_t kDatTag = 10;
constexpr std::size_t kDatNameWidth = 8;

std::string DatEscape(const std::string& s) {
    std::string r;
    for (char c : s) {
        switch (c) {
        case '%': r += "%25"; break;
        case '|': r += "%7C"; break;
        case '\r': r += "%0D"; break;
        case '\n': r += "%0A"; break;
        default: r.push_back(c);
        }
    }
    return r;
}

bool DatUnescape(const std::string& s, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return false;
        const std::string hex = s.substr(i + 1, 2);
        if (hex == "25") out.push_back('%');
        else if (hex == "7C") out.push_back('|');
        else if (hex == "0D") out.push_back('\r');
        else if (hex == "0A") out.push_back('\n');
        else return false;
        i += 2;
    }
    return true;
}

std::vector<std::string> DatFields(const std::string& line, std::size_t from) {
    std::vector<std::string> f;
    if (from > line.size()) return f;
    std::size_t p = from;
    for (;;) {
        const std::size_t e = line.find('|', p);
        if (e == std::string::npos) {
            f.push_back(line.substr(p));
            break;
        }
        f.push_back(line.substr(p, e - p));
        p = e + 1;
    }
    return f;
}

void DatCells(std::string& line, const double* values, const std::uint8_t* present, int count) {
    for (int c = 0; c < count; ++c) {
        line.push_back('|');
        if (present[c]) line += TextNumber(values[c]);
    }
}

bool DatReadCells(const std::vector<std::string>& f, std::size_t first, double* values, std::uint8_t* present,
                  int count) {
    if (f.size() != first + static_cast<std::size_t>(count)) return false;
    for (int c = 0; c < count; ++c) {
        const std::string& s = f[first + c];
        present[c] = !s.empty();
        values[c] = 0.0;
        if (!s.empty() && !TextParseDouble(s, values[c])) return false;
    }
    return true;
}

}  // namespace

std::string WriteExtAscii(const ExchangeData& data) {
    const QSStructure& s = data.structure;
    std::string out;
    const auto end = [&](std::string& line) {
        out += line;
        out += "\r\n";
    };
    std::string name = data.name.empty() ? std::string("PROJECT") : data.name;
    std::string field = name.substr(0, kDatNameWidth);
    for (char& c : field)
        if (c == ' ' || c == '\t' || c == '|' || c == '\r' || c == '\n' || c == 0) c = '_';
    field.resize(kDatNameWidth, ' ');
    std::string line = kDatProject + field + (name.size() > kDatNameWidth ? "1" : "0");
    line += "|" + DatEscape(name) + "|" + DatEscape(data.company);
    end(line);
    line = kDatStructure;
    for (int v : {int(s.numExp), int(s.expLength), int(s.firstYear), int(s.firstInterval), int(s.numDev),
                  int(s.devLength), int(s.firstDevAge), s.prior ? 1 : 0, int(s.evalExtra), int(s.calc1),
                  int(s.calc2), data.cumulative ? 1 : 0})
        line += "|" + std::to_string(v);
    end(line);
    std::size_t rows = 0;
    for (const ExchangeTable& t : data.tables) {
        line = kDatTable;
        for (int v : {t.kind, t.index, int(t.layer), t.vectorType, int(t.rows), int(t.cols)})
            line += "|" + std::to_string(v);
        line += "|" + DatEscape(t.name) + "|" + DatEscape(t.shortName);
        end(line);
        for (int r = 0; r < t.rows; ++r) {
            line = kDatRow;
            line += "|" + std::to_string(r);
            const std::size_t at = static_cast<std::size_t>(r) * t.cols;
            DatCells(line, t.values.data() + at, t.present.data() + at, t.cols);
            end(line);
            ++rows;
        }
    }
    for (const ExchangeSelection& sel : data.selections) {
        line = kDatSelected;
        line += "|" + std::to_string(sel.arrayIndex) + "|" + std::to_string(sel.layer);
        DatCells(line, sel.factors.data(), sel.present.data(), static_cast<int>(sel.factors.size()));
        end(line);
    }
    line = kDatEnd;
    line += "|" + std::to_string(data.tables.size()) + "|" + std::to_string(rows) + "|" +
            std::to_string(data.selections.size());
    end(line);
    return out;
}

QSSTATUS ReadExtAscii(const std::string& text, ExchangeData& out) {
    const std::vector<std::string> lines = TextLines(text);
    std::size_t i = 0;
    // Padding before the project record (a file header) is allowed.
    std::string first;
    for (; i < lines.size(); ++i) {
        std::string l = lines[i];
        l.erase(0, l.find_first_not_of('\0') == std::string::npos ? l.size() : l.find_first_not_of('\0'));
        if (l.rfind(kDatProject, 0) == 0) {
            first = l;
            break;
        }
        if (!TextIsPadding(l)) return kExFormat;
    }
    if (first.empty() || first.size() < kDatTag + kDatNameWidth + 1) return kExFormat;
    ExchangeData data;
    data.hasEvalExtra = true;
    data.hasCalcLayers = true;
    {
        const std::vector<std::string> f = DatFields(first, kDatTag + kDatNameWidth + 1);
        if (f.size() != 3 || !f[0].empty() || !DatUnescape(f[1], data.name) || !DatUnescape(f[2], data.company))
            return kExFormat;
    }
    ++i;
    bool haveStructure = false, ended = false;
    std::size_t rowsRead = 0;
    QSStructure& s = data.structure;
    for (; i < lines.size() && !ended; ++i) {
        const std::string& l = lines[i];
        const std::vector<std::string> f = DatFields(l, kDatTag);
        const std::string tag = l.substr(0, kDatTag);
        if (f.empty() || !f[0].empty()) return kExFormat;
        if (tag == kDatStructure) {
            if (haveStructure || f.size() != 13) return kExFormat;
            long v[12];
            const long hi[12] = {999, 12, 9999, 12, 999, 12, 1200, 1, 1200, 5, 5, 1};
            const long lo[12] = {1, 1, 0, 1, 1, 1, 1, 0, 0, 1, 1, 0};
            for (int k = 0; k < 12; ++k)
                if (!TextParseInt(f[k + 1], lo[k], hi[k], v[k])) return kExFormat;
            s.numExp = static_cast<std::uint16_t>(v[0]);
            s.expLength = static_cast<PRDLENGTH>(v[1]);
            s.firstYear = static_cast<std::uint16_t>(v[2]);
            s.firstInterval = static_cast<std::uint16_t>(v[3]);
            s.numDev = static_cast<std::uint16_t>(v[4]);
            s.devLength = static_cast<PRDLENGTH>(v[5]);
            s.firstDevAge = static_cast<std::uint16_t>(v[6]);
            s.prior = v[7] == 1;
            s.evalExtra = static_cast<std::uint16_t>(v[8]);
            s.calc1 = static_cast<LAYERNAMES>(v[9]);
            s.calc2 = static_cast<LAYERNAMES>(v[10]);
            data.cumulative = v[11] == 1;
            haveStructure = true;
        } else if (tag == kDatTable) {
            if (!haveStructure || f.size() != 9) return kExFormat;
            long v[6];
            const long lo[6] = {1, 1, 1, 0, 1, 1}, hi[6] = {2, 999, 5, 2, 999, 999};
            for (int k = 0; k < 6; ++k)
                if (!TextParseInt(f[k + 1], lo[k], hi[k], v[k])) return kExFormat;
            ExchangeTable t;
            t.kind = static_cast<int>(v[0]);
            t.index = static_cast<int>(v[1]);
            t.layer = static_cast<unsigned short>(v[2]);
            t.vectorType = static_cast<int>(v[3]);
            t.rows = static_cast<std::uint16_t>(v[4]);
            t.cols = static_cast<std::uint16_t>(v[5]);
            if (!DatUnescape(f[7], t.name) || !DatUnescape(f[8], t.shortName)) return kExFormat;
            const std::uint16_t wantRows = t.vectorType == CDataObject::VT_ROW ? 1 : s.numExp;
            const std::uint16_t wantCols = t.vectorType == CDataObject::VT_COLUMN ? 1 : s.numDev;
            if (t.rows != wantRows || t.cols != wantCols) return kExFormat;
            for (const ExchangeTable& o : data.tables)
                if (o.kind == t.kind && o.index == t.index && o.layer == t.layer) return kExFormat;
            const std::size_t cells = static_cast<std::size_t>(t.rows) * t.cols;
            t.values.assign(cells, 0.0);
            t.present.assign(cells, 0);
            for (int r = 0; r < t.rows; ++r) {
                if (++i >= lines.size()) return kExFormat;
                const std::string& rl = lines[i];
                const std::vector<std::string> rf = DatFields(rl, kDatTag);
                long rowNo = -1;
                if (rl.substr(0, kDatTag) != kDatRow || rf.size() < 2 || !rf[0].empty() ||
                    !TextParseInt(rf[1], r, r, rowNo))
                    return kExFormat;
                const std::size_t at = static_cast<std::size_t>(r) * t.cols;
                if (!DatReadCells(rf, 2, t.values.data() + at, t.present.data() + at, t.cols)) return kExFormat;
                ++rowsRead;
            }
            data.tables.push_back(std::move(t));
        } else if (tag == kDatSelected) {
            if (!haveStructure || f.size() != 3u + s.numDev) return kExFormat;
            ExchangeSelection sel;
            long index = 0, layer = 0;
            if (!TextParseInt(f[1], 1, 999, index) || !TextParseInt(f[2], 1, 5, layer)) return kExFormat;
            sel.arrayIndex = static_cast<int>(index);
            sel.layer = static_cast<unsigned short>(layer);
            sel.factors.assign(s.numDev, 0.0);
            sel.present.assign(s.numDev, 0);
            if (!DatReadCells(f, 3, sel.factors.data(), sel.present.data(), s.numDev)) return kExFormat;
            data.selections.push_back(std::move(sel));
        } else if (tag == kDatEnd) {
            long nt = 0, nr = 0, ns = 0;
            if (f.size() != 4 || !TextParseInt(f[1], 0, 1000000, nt) || !TextParseInt(f[2], 0, 100000000, nr) ||
                !TextParseInt(f[3], 0, 1000000, ns))
                return kExFormat;
            if (static_cast<std::size_t>(nt) != data.tables.size() || static_cast<std::size_t>(nr) != rowsRead ||
                static_cast<std::size_t>(ns) != data.selections.size())
                return kExFormat;
            ended = true;
        } else {
            return kExFormat;
        }
    }
    if (!ended || !haveStructure) return kExFormat;
    // After the end record only padding (a file footer) may follow.
    for (; i < lines.size(); ++i)
        if (!TextIsPadding(lines[i])) return kExFormat;
    out = std::move(data);
    return kExOk;
}

// ---------------------------------------------------------------- fixed-width ASCII
//
// Header record: header fields 1-11 then 12-17; data records: data fields
// 1-11, one record per cell holding a value. Fillers are written as blanks
// and not read. A field of width 0 is absent.

namespace {

enum AscHeaderField {
    kAscRows = 1,
    kAscFirstYear = 3,
    kAscPeriodsPerYear = 5,
    kAscFirstPeriod = 7,
    kAscFirstAge = 9,
    kAscNumCols = 11,
    kAscDevPeriodsPerYear = 13,
    kAscPriorFlag = 15,
    kAscLinefeeds = 17,
};
enum AscDataField { kAscArray = 1, kAscYear = 3, kAscInterval = 5, kAscMonths = 7, kAscData = 9 };

// An integer right-aligned in its field; false when it does not fit.
bool AscPutInt(std::string& rec, long v, std::uint8_t width) {
    if (width == 0) return false;
    const std::string s = std::to_string(v);
    if (s.size() > width) return false;
    rec += std::string(width - s.size(), ' ') + s;
    return true;
}

// A value right-aligned in its field: the shortest exact form when it fits,
// else the most significant digits that fit; false when no form fits.
bool AscPutNumber(std::string& rec, double v, std::uint8_t width) {
    std::string s = TextNumber(v);
    for (int precision = 15; s.size() > width && precision >= 1; --precision) {
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
        s.assign(buf, res.ptr);
    }
    if (s.size() > width) return false;
    rec += std::string(width - s.size(), ' ') + s;
    return true;
}

void AscBlanks(std::string& rec, std::uint8_t width) { rec.append(width, ' '); }

std::size_t AscLength(const Widths& w, std::size_t count) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < count; ++i) n += w[i];
    return n;
}

// The fields of a record, cut by their widths.
std::vector<std::string> AscCut(const std::string& rec, const Widths& w, std::size_t count) {
    std::vector<std::string> f;
    std::size_t p = 0;
    for (std::size_t i = 0; i < count; ++i) {
        f.push_back(TextTrim(rec.substr(std::min(p, rec.size()), w[i])));
        p += w[i];
    }
    return f;
}

bool AscLayoutValid(const Widths& header, const Widths& record) {
    if (header.size() != 18 || record.size() != 11) return false;
    for (int i : {kAscRows, kAscFirstYear, kAscPeriodsPerYear, kAscFirstPeriod, kAscFirstAge})
        if (header[i] == 0) return false;
    for (int i : {kAscArray, kAscYear, kAscInterval, kAscMonths, kAscData})
        if (record[i] == 0) return false;
    return true;
}

// Year and period of the year of an exposure row.
void AscRowDate(const QSStructure& s, int row, long& year, long& period) {
    const int months = (s.firstInterval - 1) * s.expLength + row * s.expLength;
    year = s.firstYear + months / 12;
    period = (months % 12) / s.expLength + 1;
}

}  // namespace

QSSTATUS WriteAscii(const ExchangeData& data, const Widths& header, const Widths& record, std::string& out) {
    if (!AscLayoutValid(header, record)) return kExFormat;
    const QSStructure& s = data.structure;
    const bool linefeeds = header[kAscLinefeeds] != 0;
    // The layout must be able to say the structure.
    if (header[kAscNumCols] == 0 && s.numDev != s.numExp) return kExOverflow;
    if (header[kAscDevPeriodsPerYear] == 0 && s.devLength != s.expLength) return kExOverflow;
    if (header[kAscPriorFlag] == 0 && s.prior) return kExOverflow;
    std::string text;
    std::string rec;
    for (int i = 0; i < 17; ++i) {
        long v = -1;
        switch (i) {
        case kAscRows: v = s.numExp; break;
        case kAscFirstYear: v = s.firstYear; break;
        case kAscPeriodsPerYear: v = 12 / s.expLength; break;
        case kAscFirstPeriod: v = s.firstInterval; break;
        case kAscFirstAge: v = s.firstDevAge; break;
        case kAscNumCols: v = header[i] ? s.numDev : -1; break;
        case kAscDevPeriodsPerYear: v = header[i] ? 12 / s.devLength : -1; break;
        case kAscPriorFlag: v = header[i] ? (s.prior ? 1 : 0) : -1; break;
        default: break;
        }
        if (v < 0) AscBlanks(rec, header[i]);
        else if (!AscPutInt(rec, v, header[i])) return kExOverflow;
    }
    text += rec;
    if (linefeeds) text += "\r\n";
    for (const ExchangeTable& t : data.tables) {
        for (int r = 0; r < t.rows; ++r)
            for (int c = 0; c < t.cols; ++c) {
                const std::size_t at = static_cast<std::size_t>(r) * t.cols + c;
                if (!t.present[at]) continue;
                long year = 0, period = 0, months = 0;
                if (t.vectorType != CDataObject::VT_ROW) AscRowDate(s, r, year, period);
                if (t.vectorType != CDataObject::VT_COLUMN) months = s.firstDevAge + c * s.devLength;
                rec.clear();
                for (int i = 0; i < 11; ++i) {
                    bool ok = true;
                    switch (i) {
                    case kAscArray: ok = AscPutInt(rec, t.index, record[i]); break;
                    case kAscYear: ok = AscPutInt(rec, year, record[i]); break;
                    case kAscInterval: ok = AscPutInt(rec, period, record[i]); break;
                    case kAscMonths: ok = AscPutInt(rec, months, record[i]); break;
                    case kAscData: ok = AscPutNumber(rec, t.values[at], record[i]); break;
                    default: AscBlanks(rec, record[i]);
                    }
                    if (!ok) return kExOverflow;
                }
                text += rec;
                if (linefeeds) text += "\r\n";
            }
    }
    out = std::move(text);
    return kExOk;
}

QSSTATUS ReadAscii(const std::string& text, const Widths& header, const Widths& record, unsigned short layer,
                   ExchangeData& out) {
    if (!AscLayoutValid(header, record) || layer < 1 || layer > 5) return kExFormat;
    const bool linefeeds = header[kAscLinefeeds] != 0;
    const std::size_t headLen = AscLength(header, 17), recLen = AscLength(record, 11);
    std::vector<std::string> recs;
    if (linefeeds) {
        for (std::string& l : TextLines(text)) {
            if (TextIsPadding(l)) continue;
            recs.push_back(std::move(l));
        }
    } else {
        if (text.size() < headLen || (text.size() - headLen) % recLen != 0) return kExFormat;
        recs.push_back(text.substr(0, headLen));
        for (std::size_t p = headLen; p < text.size(); p += recLen) recs.push_back(text.substr(p, recLen));
    }
    if (recs.empty() || recs[0].size() > headLen) return kExFormat;

    ExchangeData data;
    data.hasEvalExtra = false;
    data.hasCalcLayers = false;
    data.kindsFromIndex = true;
    QSStructure& s = data.structure;
    const std::vector<std::string> h = AscCut(recs[0], header, 17);
    long rows = 0, year = 0, perYear = 0, firstPeriod = 0, firstAge = 0, cols = 0, devPerYear = 0, prior = 0;
    if (!TextParseInt(h[kAscRows], 1, 999, rows) || !TextParseInt(h[kAscFirstYear], 0, 9999, year) ||
        !TextParseInt(h[kAscPeriodsPerYear], 1, 12, perYear) || !TextParseInt(h[kAscFirstPeriod], 1, 12, firstPeriod) ||
        !TextParseInt(h[kAscFirstAge], 1, 1200, firstAge))
        return kExFormat;
    cols = rows;
    devPerYear = perYear;
    if (header[kAscNumCols] && !TextParseInt(h[kAscNumCols], 1, 999, cols)) return kExFormat;
    if (header[kAscDevPeriodsPerYear] && !TextParseInt(h[kAscDevPeriodsPerYear], 1, 12, devPerYear)) return kExFormat;
    if (header[kAscPriorFlag] && !TextParseInt(h[kAscPriorFlag], 0, 1, prior)) return kExFormat;
    if (12 % perYear != 0 || 12 % devPerYear != 0) return kExFormat;
    s.numExp = static_cast<std::uint16_t>(rows);
    s.expLength = static_cast<PRDLENGTH>(12 / perYear);
    s.firstYear = static_cast<std::uint16_t>(year);
    s.firstInterval = static_cast<std::uint16_t>(firstPeriod);
    s.numDev = static_cast<std::uint16_t>(cols);
    s.devLength = static_cast<PRDLENGTH>(12 / devPerYear);
    s.firstDevAge = static_cast<std::uint16_t>(firstAge);
    s.prior = prior == 1;

    std::map<int, std::size_t> tableOf;  // index -> position in data.tables
    std::set<std::pair<int, std::size_t>> seen;
    for (std::size_t k = 1; k < recs.size(); ++k) {
        if (recs[k].size() > recLen) return kExFormat;
        const std::vector<std::string> f = AscCut(recs[k], record, 11);
        long index = 0, y = 0, period = 0, months = 0;
        double value = 0.0;
        if (!TextParseInt(f[kAscArray], 1, 995, index) || !TextParseInt(f[kAscYear], 0, 9999, y) ||
            !TextParseInt(f[kAscInterval], 0, 12, period) || !TextParseInt(f[kAscMonths], 0, 12000, months) ||
            !TextParseDouble(f[kAscData], value))
            return kExFormat;
        // The row by its date, the column by its age; 0 marks the missing
        // coordinate of a vector.
        int row = -1, col = -1;
        if (y == 0 && period == 0) row = -2;
        else
            for (int r = 0; r < s.numExp; ++r) {
                long ry = 0, rp = 0;
                AscRowDate(s, r, ry, rp);
                if (ry == y && rp == period) row = r;
            }
        if (months == 0) col = -2;
        else if (months >= s.firstDevAge && (months - s.firstDevAge) % s.devLength == 0 &&
                 (months - s.firstDevAge) / s.devLength < s.numDev)
            col = static_cast<int>((months - s.firstDevAge) / s.devLength);
        if (row == -1 || col == -1 || (row == -2 && col == -2)) return kExFormat;
        const int vt = row == -2 ? CDataObject::VT_ROW : col == -2 ? CDataObject::VT_COLUMN : CDataObject::VT_TRIANGLE;
        auto it = tableOf.find(static_cast<int>(index));
        if (it == tableOf.end()) {
            ExchangeTable t;
            t.index = static_cast<int>(index);
            t.kind = index >= qsk::kFirstUserIndex ? 2 : 1;
            t.layer = layer;
            t.vectorType = vt;
            t.rows = vt == CDataObject::VT_ROW ? 1 : s.numExp;
            t.cols = vt == CDataObject::VT_COLUMN ? 1 : s.numDev;
            t.values.assign(static_cast<std::size_t>(t.rows) * t.cols, 0.0);
            t.present.assign(t.values.size(), 0);
            it = tableOf.emplace(t.index, data.tables.size()).first;
            data.tables.push_back(std::move(t));
        }
        ExchangeTable& t = data.tables[it->second];
        if (t.vectorType != vt) return kExFormat;
        const std::size_t at = static_cast<std::size_t>(std::max(row, 0)) * t.cols + std::max(col, 0);
        if (!seen.insert({t.index, at}).second) return kExFormat;
        t.values[at] = value;
        t.present[at] = 1;
    }
    out = std::move(data);
    return kExOk;
}

}  // namespace qsexchange

// The Lotus worksheet form of a project (docs/kernel/exchange.md).
//
// Records are opcode u16 | length u16 | body, little-endian. Written: BOF
// (version 0x0406), RANGE (the used area), LABEL, INTEGER and NUMBER cells,
// EOF. Read besides: FORMULA cells (their cached value counts as a number);
// every other record (blank cells, column widths, window and print settings)
// is skipped by its length.
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "CDataObject.h"
#include "ProjectExchange.h"

namespace qsexchange {
namespace {

constexpr std::uint16_t kWk1Bof = 0x0000;
constexpr std::uint16_t kWk1Eof = 0x0001;
constexpr std::uint16_t kWk1Range = 0x0006;
constexpr std::uint16_t kWk1Integer = 0x000D;
constexpr std::uint16_t kWk1Number = 0x000E;
constexpr std::uint16_t kWk1Label = 0x000F;
constexpr std::uint16_t kWk1Formula = 0x0010;
constexpr std::uint16_t kWk1Version = 0x0406;
constexpr std::uint8_t kWk1Format = 0xFF;  // protected, default format
constexpr std::size_t kWk1MaxLabel = 239;  // a label's text, without prefix and terminator
constexpr int kWk1MaxRows = 8192;
constexpr int kWk1MaxCols = 256;

const char* const kWk1LayerNames[6] = {"", "Net", "Gross", "Ceded", "Direct", "Assumed"};

// Header keys in column A, values from column B.
constexpr const char* kWk1KeyProject = "Project";
constexpr const char* kWk1KeyCompany = "Company";
constexpr const char* kWk1KeyNumExp = "Exposure Periods";
constexpr const char* kWk1KeyExpLength = "Exposure Period Months";
constexpr const char* kWk1KeyFirstYear = "First Year";
constexpr const char* kWk1KeyFirstInterval = "First Period";
constexpr const char* kWk1KeyNumDev = "Development Periods";
constexpr const char* kWk1KeyDevLength = "Development Period Months";
constexpr const char* kWk1KeyFirstAge = "First Age";
constexpr const char* kWk1KeyPrior = "All Prior Row";
constexpr const char* kWk1KeyEvalExtra = "Evaluation Months Past";
constexpr const char* kWk1KeyCalc = "Calculated Layers";
constexpr const char* kWk1KeyCumulative = "Cumulative";
constexpr const char* kWk1KeyTable = "Table";
constexpr const char* kWk1KeySelected = "Selected";

class Wk1Writer {
public:
    void Record(std::uint16_t op, const std::vector<std::uint8_t>& body) {
        U16(op);
        U16(static_cast<std::uint16_t>(body.size()));
        m_out.insert(m_out.end(), body.begin(), body.end());
    }
    void Label(int row, int col, const std::string& text) {
        std::vector<std::uint8_t> b = CellHead(row, col);
        b.push_back('\'');
        const std::string t = text.substr(0, kWk1MaxLabel);
        b.insert(b.end(), t.begin(), t.end());
        b.push_back(0);
        Record(kWk1Label, b);
        Used(row, col);
    }
    void Integer(int row, int col, int value) {
        std::vector<std::uint8_t> b = CellHead(row, col);
        const auto v = static_cast<std::int16_t>(value);
        Put(b, &v, 2);
        Record(kWk1Integer, b);
        Used(row, col);
    }
    void Number(int row, int col, double value) {
        std::vector<std::uint8_t> b = CellHead(row, col);
        Put(b, &value, 8);
        Record(kWk1Number, b);
        Used(row, col);
    }
    int MaxRow() const { return m_maxRow; }
    int MaxCol() const { return m_maxCol; }
    std::vector<std::uint8_t> Finish() {
        std::vector<std::uint8_t> all;
        const auto u16 = [&](std::uint16_t v) { Put(all, &v, 2); };
        u16(kWk1Bof);
        u16(2);
        u16(kWk1Version);
        u16(kWk1Range);
        u16(8);
        u16(0);
        u16(0);
        u16(static_cast<std::uint16_t>(m_maxCol));
        u16(static_cast<std::uint16_t>(m_maxRow));
        all.insert(all.end(), m_out.begin(), m_out.end());
        u16(kWk1Eof);
        u16(0);
        return all;
    }

private:
    static void Put(std::vector<std::uint8_t>& b, const void* p, std::size_t n) {
        const auto* c = static_cast<const std::uint8_t*>(p);
        b.insert(b.end(), c, c + n);
    }
    void U16(std::uint16_t v) { Put(m_out, &v, 2); }
    static std::vector<std::uint8_t> CellHead(int row, int col) {
        std::vector<std::uint8_t> b;
        b.push_back(kWk1Format);
        const auto c = static_cast<std::uint16_t>(col), r = static_cast<std::uint16_t>(row);
        Put(b, &c, 2);
        Put(b, &r, 2);
        return b;
    }
    void Used(int row, int col) {
        m_maxRow = std::max(m_maxRow, row);
        m_maxCol = std::max(m_maxCol, col);
    }
    std::vector<std::uint8_t> m_out;
    int m_maxRow = 0, m_maxCol = 0;
};

std::string Wk1ExposureLabel(const QSStructure& s, int row) {
    if (s.prior && row == 0) return "Prior";
    const int months = (s.firstInterval - 1) * s.expLength + row * s.expLength;
    const int year = s.firstYear + months / 12;
    const int period = (months % 12) / s.expLength + 1;
    if (s.expLength == PRD_YEAR) return std::to_string(year);
    return std::to_string(year) + "-" + std::to_string(period);
}

struct Wk1Cell {
    bool isLabel = false;
    std::string text;
    double number = 0.0;
};
using Wk1Sheet = std::map<std::pair<int, int>, Wk1Cell>;  // (row, col)

const Wk1Cell* Wk1At(const Wk1Sheet& sheet, int row, int col) {
    auto it = sheet.find({row, col});
    return it == sheet.end() ? nullptr : &it->second;
}

std::optional<double> Wk1Number(const Wk1Sheet& sheet, int row, int col) {
    const Wk1Cell* c = Wk1At(sheet, row, col);
    if (!c || c->isLabel) return std::nullopt;
    return c->number;
}

std::optional<std::string> Wk1Text(const Wk1Sheet& sheet, int row, int col) {
    const Wk1Cell* c = Wk1At(sheet, row, col);
    if (!c || !c->isLabel) return std::nullopt;
    return c->text;
}

// A whole number in [lo, hi] or nothing.
std::optional<int> Wk1Int(const Wk1Sheet& sheet, int row, int col, int lo, int hi) {
    const auto v = Wk1Number(sheet, row, col);
    if (!v || *v != std::floor(*v) || *v < lo || *v > hi) return std::nullopt;
    return static_cast<int>(*v);
}

int Wk1LayerFromName(const std::string& name) {
    for (int l = 1; l <= 5; ++l)
        if (name == kWk1LayerNames[l]) return l;
    return 0;
}

QSSTATUS Wk1ParseRecords(const std::uint8_t* bytes, std::size_t size, Wk1Sheet& sheet) {
    std::size_t p = 0;
    bool first = true, ended = false;
    while (p + 4 <= size) {
        std::uint16_t op = 0, len = 0;
        std::memcpy(&op, bytes + p, 2);
        std::memcpy(&len, bytes + p + 2, 2);
        p += 4;
        if (len > size - p) return kExFormat;
        const std::uint8_t* b = bytes + p;
        p += len;
        if (first) {
            std::uint16_t version = 0;
            if (op != kWk1Bof || len < 2) return kExFormat;
            std::memcpy(&version, b, 2);
            if (version < 0x0404 || version > 0x0406) return kExFormat;
            first = false;
            continue;
        }
        if (op == kWk1Eof) {
            ended = true;
            break;
        }
        if (op != kWk1Integer && op != kWk1Number && op != kWk1Label && op != kWk1Formula) continue;
        if (len < 5) return kExFormat;
        std::uint16_t col = 0, row = 0;
        std::memcpy(&col, b + 1, 2);
        std::memcpy(&row, b + 3, 2);
        if (row >= kWk1MaxRows || col >= kWk1MaxCols) return kExFormat;
        Wk1Cell cell;
        if (op == kWk1Integer) {
            if (len < 7) return kExFormat;
            std::int16_t v = 0;
            std::memcpy(&v, b + 5, 2);
            cell.number = v;
        } else if (op == kWk1Number || op == kWk1Formula) {
            if (len < 13) return kExFormat;
            std::memcpy(&cell.number, b + 5, 8);
            if (!std::isfinite(cell.number)) return kExFormat;
        } else {
            cell.isLabel = true;
            std::size_t n = 5;
            // Drop the alignment prefix (' " ^ \), read up to the terminator.
            if (n < len && (b[n] == '\'' || b[n] == '"' || b[n] == '^' || b[n] == '\\')) ++n;
            while (n < len && b[n] != 0) cell.text.push_back(static_cast<char>(b[n++]));
        }
        sheet[{row, col}] = std::move(cell);
    }
    if (first || !ended) return kExFormat;
    return kExOk;
}

}  // namespace

QSSTATUS WriteWk1(const ExchangeData& data, std::vector<std::uint8_t>& out) {
    const QSStructure& s = data.structure;
    Wk1Writer w;
    int row = 0;
    const auto textRow = [&](const char* key, const std::string& value) {
        w.Label(row, 0, key);
        if (!value.empty()) w.Label(row, 1, value);
        ++row;
    };
    const auto intRow = [&](const char* key, int value) {
        w.Label(row, 0, key);
        w.Integer(row, 1, value);
        ++row;
    };
    textRow(kWk1KeyProject, data.name);
    textRow(kWk1KeyCompany, data.company);
    intRow(kWk1KeyNumExp, s.numExp);
    intRow(kWk1KeyExpLength, s.expLength);
    intRow(kWk1KeyFirstYear, s.firstYear);
    intRow(kWk1KeyFirstInterval, s.firstInterval);
    intRow(kWk1KeyNumDev, s.numDev);
    intRow(kWk1KeyDevLength, s.devLength);
    intRow(kWk1KeyFirstAge, s.firstDevAge);
    intRow(kWk1KeyPrior, s.prior ? 1 : 0);
    intRow(kWk1KeyEvalExtra, s.evalExtra);
    w.Label(row, 0, kWk1KeyCalc);
    w.Label(row, 1, kWk1LayerNames[s.calc1 <= 5 ? s.calc1 : 0]);
    w.Label(row, 2, kWk1LayerNames[s.calc2 <= 5 ? s.calc2 : 0]);
    ++row;
    intRow(kWk1KeyCumulative, data.cumulative ? 1 : 0);

    for (const ExchangeTable& t : data.tables) {
        ++row;  // an empty row before each table
        w.Label(row, 0, kWk1KeyTable);
        w.Integer(row, 1, t.index);
        w.Label(row, 2, kWk1LayerNames[t.layer <= 5 ? t.layer : 0]);
        w.Integer(row, 3, t.kind);
        w.Integer(row, 4, t.vectorType);
        w.Label(row, 5, t.name);
        w.Label(row, 6, t.shortName);
        ++row;
        // Column headings: the ages of the columns (a column vector has one).
        const bool column = t.vectorType == CDataObject::VT_COLUMN;
        w.Label(row, 0, column ? "Period" : "Period / Age");
        for (int c = 0; c < t.cols; ++c)
            if (column) w.Label(row, 1, t.name);
            else w.Integer(row, c + 1, s.firstDevAge + c * s.devLength);
        ++row;
        for (int r = 0; r < t.rows; ++r, ++row) {
            w.Label(row, 0, t.vectorType == CDataObject::VT_ROW ? std::string("Pattern") : Wk1ExposureLabel(s, r));
            for (int c = 0; c < t.cols; ++c) {
                const std::size_t i = static_cast<std::size_t>(r) * t.cols + c;
                if (t.present[i]) w.Number(row, c + 1, t.values[i]);
            }
        }
        for (const ExchangeSelection& sel : data.selections) {
            if (sel.arrayIndex != t.index || sel.layer != t.layer || t.kind != 1) continue;
            w.Label(row, 0, kWk1KeySelected);
            for (std::size_t c = 0; c < sel.factors.size(); ++c)
                if (sel.present[c]) w.Number(row, static_cast<int>(c) + 1, sel.factors[c]);
            ++row;
        }
    }
    // A worksheet has 8192 rows and 256 columns.
    if (w.MaxRow() >= kWk1MaxRows || w.MaxCol() >= kWk1MaxCols) return kExOverflow;
    out = w.Finish();
    return kExOk;
}

QSSTATUS ReadWk1(const std::uint8_t* bytes, std::size_t size, ExchangeData& out) {
    Wk1Sheet sheet;
    QSSTATUS st = Wk1ParseRecords(bytes, size, sheet);
    if (st != kExOk) return st;

    // Header: find each key in column A.
    std::map<std::string, int> keys;
    int lastRow = 0;
    for (const auto& [rc, cell] : sheet) {
        lastRow = std::max(lastRow, rc.first);
        if (rc.second == 0 && cell.isLabel && !keys.count(cell.text)) keys[cell.text] = rc.first;
    }
    const auto key = [&](const char* k) { auto it = keys.find(k); return it == keys.end() ? -1 : it->second; };
    const auto keyInt = [&](const char* k, int lo, int hi) -> std::optional<int> {
        const int r = key(k);
        return r < 0 ? std::nullopt : Wk1Int(sheet, r, 1, lo, hi);
    };
    ExchangeData data;
    if (key(kWk1KeyProject) >= 0) data.name = Wk1Text(sheet, key(kWk1KeyProject), 1).value_or("");
    if (key(kWk1KeyCompany) >= 0) data.company = Wk1Text(sheet, key(kWk1KeyCompany), 1).value_or("");
    const auto numExp = keyInt(kWk1KeyNumExp, 1, 999), expLength = keyInt(kWk1KeyExpLength, 1, 12),
               firstYear = keyInt(kWk1KeyFirstYear, 0, 9999), firstInterval = keyInt(kWk1KeyFirstInterval, 1, 12),
               numDev = keyInt(kWk1KeyNumDev, 1, 999), devLength = keyInt(kWk1KeyDevLength, 1, 12),
               firstAge = keyInt(kWk1KeyFirstAge, 1, 1200), prior = keyInt(kWk1KeyPrior, 0, 1),
               cumulative = keyInt(kWk1KeyCumulative, 0, 1);
    if (!numExp || !expLength || !firstYear || !firstInterval || !numDev || !devLength || !firstAge || !prior ||
        !cumulative)
        return kExFormat;
    QSStructure& s = data.structure;
    s.numExp = static_cast<std::uint16_t>(*numExp);
    s.expLength = static_cast<PRDLENGTH>(*expLength);
    s.firstYear = static_cast<std::uint16_t>(*firstYear);
    s.firstInterval = static_cast<std::uint16_t>(*firstInterval);
    s.numDev = static_cast<std::uint16_t>(*numDev);
    s.devLength = static_cast<PRDLENGTH>(*devLength);
    s.firstDevAge = static_cast<std::uint16_t>(*firstAge);
    s.prior = *prior == 1;
    data.cumulative = *cumulative == 1;
    const auto evalExtra = keyInt(kWk1KeyEvalExtra, 0, 1200);
    data.hasEvalExtra = evalExtra.has_value();
    s.evalExtra = static_cast<std::uint16_t>(evalExtra.value_or(0));
    data.hasCalcLayers = false;
    if (key(kWk1KeyCalc) >= 0) {
        const int c1 = Wk1LayerFromName(Wk1Text(sheet, key(kWk1KeyCalc), 1).value_or(""));
        const int c2 = Wk1LayerFromName(Wk1Text(sheet, key(kWk1KeyCalc), 2).value_or(""));
        if (!c1 || !c2) return kExFormat;
        s.calc1 = static_cast<LAYERNAMES>(c1);
        s.calc2 = static_cast<LAYERNAMES>(c2);
        data.hasCalcLayers = true;
    }

    // Tables: a "Table" row, a heading row, then one row per table row and
    // any "Selected" row.
    for (int r = 0; r <= lastRow; ++r) {
        if (Wk1Text(sheet, r, 0).value_or("") != kWk1KeyTable) continue;
        ExchangeTable t;
        const auto index = Wk1Int(sheet, r, 1, 1, 999), kind = Wk1Int(sheet, r, 3, 1, 2),
                   vt = Wk1Int(sheet, r, 4, 0, 2);
        const int layer = Wk1LayerFromName(Wk1Text(sheet, r, 2).value_or(""));
        if (!index || !kind || !vt || !layer) return kExFormat;
        t.index = *index;
        t.kind = *kind;
        t.layer = static_cast<unsigned short>(layer);
        t.vectorType = *vt;
        t.name = Wk1Text(sheet, r, 5).value_or("");
        t.shortName = Wk1Text(sheet, r, 6).value_or("");
        t.rows = t.vectorType == CDataObject::VT_ROW ? 1 : s.numExp;
        t.cols = t.vectorType == CDataObject::VT_COLUMN ? 1 : s.numDev;
        const std::size_t cells = static_cast<std::size_t>(t.rows) * t.cols;
        t.values.assign(cells, 0.0);
        t.present.assign(cells, 0);
        const int first = r + 2;
        for (int i = 0; i < t.rows; ++i) {
            const int row = first + i;
            // The row's label must be there: a missing row means a cut sheet.
            const auto label = Wk1Text(sheet, row, 0);
            if (!label || *label == kWk1KeyTable || *label == kWk1KeySelected) return kExFormat;
            for (int c = 0; c < t.cols; ++c) {
                const Wk1Cell* cell = Wk1At(sheet, row, c + 1);
                if (!cell) continue;
                if (cell->isLabel) return kExFormat;
                t.values[static_cast<std::size_t>(i) * t.cols + c] = cell->number;
                t.present[static_cast<std::size_t>(i) * t.cols + c] = 1;
            }
            const auto beyond = sheet.lower_bound({row, t.cols + 1});
            if (beyond != sheet.end() && beyond->first.first == row) return kExFormat;
        }
        const int selRow = first + t.rows;
        if (Wk1Text(sheet, selRow, 0).value_or("") == kWk1KeySelected) {
            if (t.kind != 1 || t.vectorType != CDataObject::VT_TRIANGLE) return kExFormat;
            ExchangeSelection sel;
            sel.arrayIndex = t.index;
            sel.layer = t.layer;
            sel.factors.assign(s.numDev, 0.0);
            sel.present.assign(s.numDev, 0);
            for (int c = 0; c < s.numDev; ++c)
                if (const auto v = Wk1Number(sheet, selRow, c + 1)) {
                    sel.factors[c] = *v;
                    sel.present[c] = 1;
                }
            data.selections.push_back(std::move(sel));
        }
        for (const ExchangeTable& other : data.tables)
            if (other.kind == t.kind && other.index == t.index && other.layer == t.layer) return kExFormat;
        data.tables.push_back(std::move(t));
    }
    out = std::move(data);
    return kExOk;
}

}  // namespace qsexchange

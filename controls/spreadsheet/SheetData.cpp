#include "SheetData.h"

#include <QDataStream>
#include <QIODevice>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace qs::ss {

namespace {

double SheetScreenDpi() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = app->primaryScreen()) return s->logicalDotsPerInchY();
    return 96.0;
}

// Space around a cell's text, in twips at 100%: two pixels each side on a
// 96 dpi screen.
constexpr int kTextMarginTwips = 60;

QByteArray StyleKey(const CellStyle& s) {
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << s.numberFormat << s.hasFont;
    if (s.hasFont)
        out << s.font.face << s.font.size << s.font.bold << s.font.italic << s.font.underline << s.font.strikeout
            << s.font.color.rgba();
    out << s.pattern << s.patternFg.rgba() << s.patternBg.rgba();
    for (const BorderSide& b : s.border) out << b.style << b.color.rgba();
    out << s.hAlign << s.vAlign << s.wrap << s.orientation;
    return key;
}

// Positions (from 1) of the non-zero entries of a row or column style table.
std::vector<int> StyledIndexes(const std::vector<quint32>& styles) {
    std::vector<int> out;
    for (size_t i = 0; i < styles.size(); ++i)
        if (styles[i]) out.push_back(int(i) + 1);
    return out;
}

}  // namespace

SheetData::SheetData() {
    m_styles.resize(1);
    Intern(CellStyle{});  // index 1: the default look
    m_rowStyle.assign(kMaxRows, 0);
    m_colStyle.assign(kMaxCols, 0);
    m_rowHeight.assign(kMaxRows, -1);
    m_colWidth.assign(kMaxCols, -1);
    m_rowHidden.assign(kMaxRows, false);
    m_colHidden.assign(kMaxCols, false);
}

void SheetData::Notify() {
    if (m_batch > 0) m_dirty = true;
    else emit Changed();
}

void SheetData::EndUpdate() {
    if (m_batch > 0 && --m_batch == 0 && m_dirty) {
        m_dirty = false;
        emit Changed();
    }
}

// --- cells ---------------------------------------------------------------

namespace {

// How far past a row's dense end a new cell may be and still extend it.
constexpr int kDenseReach = 64;

}  // namespace

const Cell* SheetData::RowCells::Find(int col) const {
    if (col <= int(dense.size())) return &dense[size_t(col - 1)];
    const auto it = std::lower_bound(tailCols.begin(), tailCols.end(), col);
    if (it == tailCols.end() || *it != col) return nullptr;
    return &tail[size_t(it - tailCols.begin())];
}

Cell& SheetData::RowCells::Get(int col) {
    if (col <= int(dense.size())) return dense[size_t(col - 1)];
    const auto it = std::lower_bound(tailCols.begin(), tailCols.end(), col);
    const size_t i = size_t(it - tailCols.begin());
    if (it != tailCols.end() && *it == col) return tail[i];
    if (col <= int(dense.size()) + kDenseReach) {
        // Extend the dense part; tail cells it now covers move into it.
        dense.resize(size_t(col));
        size_t moved = 0;
        while (moved < tailCols.size() && tailCols[moved] <= col) {
            dense[size_t(tailCols[moved] - 1)] = std::move(tail[moved]);
            ++moved;
        }
        tailCols.erase(tailCols.begin(), tailCols.begin() + std::ptrdiff_t(moved));
        tail.erase(tail.begin(), tail.begin() + std::ptrdiff_t(moved));
        return dense[size_t(col - 1)];
    }
    tailCols.insert(it, col);
    return *tail.insert(tail.begin() + std::ptrdiff_t(i), Cell{});
}

void SheetData::RowCells::InsertCols(int col1, int n) {
    if (col1 <= int(dense.size())) dense.insert(dense.begin() + (col1 - 1), size_t(n), Cell{});
    if (dense.size() > size_t(kMaxCols)) dense.resize(size_t(kMaxCols));
    for (int& c : tailCols)
        if (c >= col1) c += n;
    const size_t keep = size_t(std::upper_bound(tailCols.begin(), tailCols.end(), kMaxCols) - tailCols.begin());
    tailCols.resize(keep);
    tail.resize(keep);
}

void SheetData::RowCells::DeleteCols(int col1, int col2) {
    const int n = col2 - col1 + 1;
    if (col1 <= int(dense.size()))
        dense.erase(dense.begin() + (col1 - 1), dense.begin() + std::min<int>(int(dense.size()), col2));
    const auto first = std::lower_bound(tailCols.begin(), tailCols.end(), col1);
    const auto last = std::upper_bound(first, tailCols.end(), col2);
    const std::ptrdiff_t i = first - tailCols.begin(), j = last - tailCols.begin();
    tailCols.erase(first, last);
    tail.erase(tail.begin() + i, tail.begin() + j);
    for (size_t k = size_t(i); k < tailCols.size(); ++k) tailCols[k] -= n;
}

const Cell* SheetData::CellAt(int row, int col) const {
    if (row < 1 || col < 1 || row > int(m_rows.size())) return nullptr;
    return m_rows[row - 1].Find(col);
}

Cell& SheetData::Touch(int row, int col) {
    if (int(m_rows.size()) < row) m_rows.resize(row);
    return m_rows[row - 1].Get(col);
}

void SheetData::SetNumber(int row, int col, double value) {
    Cell& c = Touch(row, col);
    c.kind = CellKind::Number;
    c.number = value;
    c.text.clear();
    Notify();
}

void SheetData::SetText(int row, int col, const QString& text) {
    Cell& c = Touch(row, col);
    c.number = 0;
    c.text = text;
    c.kind = text.isEmpty() ? CellKind::Empty : CellKind::Text;
    Notify();
}

void SheetData::SetEntry(int row, int col, const QString& entry) {
    double v = 0;
    if (ParseEntry(entry, v)) SetNumber(row, col, v);
    else SetText(row, col, entry);
}

void SheetData::ClearValue(int row, int col) {
    if (CellAt(row, col)) SetText(row, col, QString());
}

bool SheetData::ParseEntry(const QString& input, double& value) {
    QString t = input.trimmed();
    if (t.isEmpty()) return false;
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        if (t.startsWith(u'-')) negative = !negative;
        t = t.mid(1).trimmed();
    }
    bool percent = false;
    if (t.endsWith(u'%')) {
        percent = true;
        t.chop(1);
    }
    // Thousands commas only between digit groups of the integer part.
    const int point = t.indexOf(u'.');
    QString intPart = point < 0 ? t : t.left(point);
    if (intPart.contains(u',')) {
        const QStringList groups = intPart.split(u',');
        for (int i = 0; i < groups.size(); ++i)
            if (groups[i].isEmpty() || (i > 0 && groups[i].size() != 3) || (i == 0 && groups[i].size() > 3))
                return false;
        t = groups.join(QString()) + (point < 0 ? QString() : t.mid(point));
    }
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (!(c.isDigit() || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-')) return false;
    bool ok = false;
    double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    if (percent) v /= 100;
    value = negative ? -v : v;
    return true;
}

const NumberFormat& SheetData::FormatFor(const QString& format) const {
    auto it = m_formats.find(format);
    if (it == m_formats.end()) it = m_formats.insert(format, NumberFormat(format));
    return *it;
}

FormattedText SheetData::Formatted(int row, int col) const {
    const Cell* c = CellAt(row, col);
    if (!c || c->kind == CellKind::Empty) return {};
    const CellStyle& s = StyleAt(row, col);
    const NumberFormat& f = FormatFor(s.numberFormat);
    return c->kind == CellKind::Number ? f.Format(c->number) : f.FormatText(c->text);
}

QString SheetData::DisplayText(int row, int col) const { return Formatted(row, col).text; }

QString SheetData::EntryText(int row, int col) const {
    const Cell* c = CellAt(row, col);
    if (!c) return QString();
    switch (c->kind) {
    case CellKind::Number: return NumberFormat::General(c->number);
    case CellKind::Text: return c->text;
    case CellKind::Empty: break;
    }
    return QString();
}

void SheetData::ForEachCell(const std::function<void(int, int, const Cell&)>& visit) const {
    for (int r = 0; r < int(m_rows.size()); ++r)
        RowCells::Visit(m_rows[r], 1, kMaxCols, [&](int c, const Cell& cell) { visit(r + 1, c, cell); });
}

void SheetData::Bounds(int& row1, int& col1, int& row2, int& col2) const {
    row1 = col1 = row2 = col2 = 0;
    for (int r = 0; r < int(m_rows.size()); ++r) {
        RowCells::Visit(m_rows[r], 1, kMaxCols, [&](int c, const Cell& cell) {
            if (cell.kind == CellKind::Empty) return;
            if (row1 == 0) row1 = r + 1;
            row2 = r + 1;
            if (col1 == 0 || c < col1) col1 = c;
            col2 = std::max(col2, c);
        });
    }
}

// --- styles --------------------------------------------------------------

quint32 SheetData::Intern(const CellStyle& s) {
    const QByteArray key = StyleKey(s);
    auto it = m_styleIndex.constFind(key);
    if (it != m_styleIndex.constEnd()) return *it;
    m_styles.push_back(s);
    const quint32 index = quint32(m_styles.size() - 1);
    m_styleIndex.insert(key, index);
    return index;
}

quint32 SheetData::ResolvedIndex(int row, int col) const {
    if (const Cell* c = CellAt(row, col); c && c->style) return c->style;
    if (m_rowStyle[row - 1]) return m_rowStyle[row - 1];
    if (m_colStyle[col - 1]) return m_colStyle[col - 1];
    return m_sheetStyle;
}

const CellStyle& SheetData::StyleAt(int row, int col) const { return m_styles[ResolvedIndex(row, col)]; }

void SheetData::ModifyStyle(const Range& range, const std::function<void(CellStyle&)>& change) {
    QHash<quint32, quint32> done;
    auto changed = [&](quint32 index) {
        auto it = done.constFind(index);
        if (it != done.constEnd()) return *it;
        CellStyle s = m_styles[index];
        change(s);
        const quint32 result = Intern(s);
        done.insert(index, result);
        return result;
    };
    const bool wholeRows = range.WholeRows(), wholeCols = range.WholeCols();
    if (wholeRows && wholeCols) {
        m_sheetStyle = changed(m_sheetStyle);
        for (auto& s : m_rowStyle)
            if (s) s = changed(s);
        for (auto& s : m_colStyle)
            if (s) s = changed(s);
        for (auto& row : m_rows)
            RowCells::Visit(row, 1, kMaxCols, [&](int, Cell& c) {
                if (c.style) c.style = changed(c.style);
            });
    } else if (wholeRows) {
        // The styled columns are looked up once, not for every row: the
        // sheet is wide and few columns carry a style of their own.
        const std::vector<int> styledCols = StyledIndexes(m_colStyle);
        for (int r = range.row1; r <= range.row2; ++r) {
            // Cells under a styled column keep that look under the new row style.
            if (!m_rowStyle[r - 1])
                for (int c : styledCols)
                    if (!(CellAt(r, c) && CellAt(r, c)->style)) Touch(r, c).style = m_colStyle[c - 1];
            if (r <= int(m_rows.size()))
                RowCells::Visit(m_rows[r - 1], 1, kMaxCols, [&](int, Cell& c) {
                    if (c.style) c.style = changed(c.style);
                });
            m_rowStyle[r - 1] = changed(m_rowStyle[r - 1] ? m_rowStyle[r - 1] : m_sheetStyle);
        }
    } else if (wholeCols) {
        for (int r = 1; r <= kMaxRows; ++r) {
            const bool rowStyled = m_rowStyle[r - 1] != 0;
            if (rowStyled) {
                for (int c = range.col1; c <= range.col2; ++c) {
                    const Cell* existing = CellAt(r, c);
                    Touch(r, c).style = changed(existing && existing->style ? existing->style : m_rowStyle[r - 1]);
                }
            } else if (r <= int(m_rows.size())) {
                // Only the row's stored cells can carry a style of their own.
                RowCells::Visit(m_rows[r - 1], range.col1, range.col2, [&](int, Cell& c) {
                    if (c.style) c.style = changed(c.style);
                });
            }
        }
        for (int c = range.col1; c <= range.col2; ++c)
            m_colStyle[c - 1] = changed(m_colStyle[c - 1] ? m_colStyle[c - 1] : m_sheetStyle);
    } else {
        for (int r = range.row1; r <= range.row2; ++r)
            for (int c = range.col1; c <= range.col2; ++c) {
                const quint32 index = ResolvedIndex(r, c);
                Touch(r, c).style = changed(index);
            }
    }
    Notify();
}

void SheetData::ResetStyle(const Range& range) {
    const bool wholeRows = range.WholeRows(), wholeCols = range.WholeCols();
    if (wholeRows && wholeCols) {
        m_sheetStyle = 1;
        std::fill(m_rowStyle.begin(), m_rowStyle.end(), 0);
        std::fill(m_colStyle.begin(), m_colStyle.end(), 0);
        for (auto& row : m_rows)
            RowCells::Visit(row, 1, kMaxCols, [](int, Cell& c) { c.style = 0; });
    } else if (wholeRows) {
        for (int r = range.row1; r <= range.row2; ++r) {
            m_rowStyle[r - 1] = 1;
            if (r <= int(m_rows.size()))
                RowCells::Visit(m_rows[r - 1], 1, kMaxCols, [](int, Cell& c) { c.style = 0; });
        }
    } else if (wholeCols) {
        for (int c = range.col1; c <= range.col2; ++c) m_colStyle[c - 1] = 1;
        for (int r = 1; r <= kMaxRows; ++r) {
            if (m_rowStyle[r - 1] != 0) {
                for (int c = range.col1; c <= range.col2; ++c) Touch(r, c).style = 1;
            } else if (r <= int(m_rows.size())) {
                RowCells::Visit(m_rows[r - 1], range.col1, range.col2, [](int, Cell& c) { c.style = 0; });
            }
        }
    } else {
        for (int r = range.row1; r <= range.row2; ++r)
            for (int c = range.col1; c <= range.col2; ++c) {
                const quint32 inherited =
                    m_rowStyle[r - 1] ? m_rowStyle[r - 1] : (m_colStyle[c - 1] ? m_colStyle[c - 1] : m_sheetStyle);
                if (inherited == 1) {
                    if (CellAt(r, c)) Touch(r, c).style = 0;
                } else {
                    Touch(r, c).style = 1;
                }
            }
    }
    Notify();
}

void SheetData::SetDefaultFont(const FontSpec& font) {
    m_defaultFont = font;
    InvalidateMetrics();
    Notify();
}

void SheetData::SetHeadingFont(const FontSpec& font) {
    m_headingFont = font;
    Notify();
}

QFont SheetData::ToQFont(const FontSpec& spec, double scale) {
    QFont f(spec.face);
    f.setPointSizeF(std::max(1.0, spec.size * scale));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStrikeOut(spec.strikeout);
    return f;
}

// --- sizes -------------------------------------------------------------------

int SheetData::CharWidthTwips() const {
    if (m_charWidth < 0) {
        QFontMetricsF fm(ToQFont(m_defaultFont));
        m_charWidth = int(std::lround(fm.horizontalAdvance(u'0') * 1440.0 / SheetScreenDpi()));
        m_defaultRowHeight = int(std::lround(fm.height() * 1440.0 / SheetScreenDpi())) + kTextMarginTwips;
    }
    return m_charWidth;
}

int SheetData::DefaultColWidth() const { return CharWidthTwips() * 9 + kTextMarginTwips; }

int SheetData::DefaultRowHeight() const {
    CharWidthTwips();
    return m_defaultRowHeight;
}

int SheetData::HeadingColWidth() const {
    if (m_headingColWidth >= 0) return m_headingColWidth;
    return CharWidthTwips() * 5 + kTextMarginTwips;
}

int SheetData::StoredColWidth(int col) const {
    const int w = m_colWidth[col - 1];
    return w >= 0 ? w : DefaultColWidth();
}

int SheetData::StoredRowHeight(int row) const {
    const int h = m_rowHeight[row - 1];
    return h >= 0 ? h : DefaultRowHeight();
}

int SheetData::ColWidth(int col) const { return m_colHidden[col - 1] ? 0 : StoredColWidth(col); }
int SheetData::RowHeight(int row) const { return m_rowHidden[row - 1] ? 0 : StoredRowHeight(row); }

void SheetData::SetColWidth(int col1, int col2, int twips) {
    for (int c = col1; c <= col2; ++c) m_colWidth[c - 1] = std::max(0, twips);
    Notify();
}

void SheetData::SetRowHeight(int row1, int row2, int twips) {
    for (int r = row1; r <= row2; ++r) m_rowHeight[r - 1] = std::max(0, twips);
    Notify();
}

void SheetData::SetColHidden(int col1, int col2, bool hidden) {
    for (int c = col1; c <= col2; ++c) m_colHidden[c - 1] = hidden;
    Notify();
}

void SheetData::SetRowHidden(int row1, int row2, bool hidden) {
    for (int r = row1; r <= row2; ++r) m_rowHidden[r - 1] = hidden;
    Notify();
}

namespace {

// Measures cell texts for autofit. Fonts and metrics are made once per
// style, and a plain text (printable ASCII) is measured as the sum of its
// characters' cached advances: shaping every number of a large sheet was
// most of the cost of opening it. Kerning and ligatures only narrow a text,
// so the sum never fits a column too tight.
class AutofitMeasurer {
public:
    explicit AutofitMeasurer(const SheetData& sheet) : m_sheet(sheet), m_k(1440.0 / SheetScreenDpi()) {}

    // Text size in twips, margins included; empty for an empty text.
    QSizeF Size(const FormattedText& f, quint32 styleIndex) {
        if (f.text.isEmpty()) return {};
        Metrics& m = MetricsFor(styleIndex);
        double w = 0;
        int lines = 1;
        qsizetype from = 0;
        for (;;) {
            const qsizetype end = f.text.indexOf(u'\n', from);
            w = std::max(w, Width(m, QStringView(f.text).mid(from, end < 0 ? -1 : end - from)));
            if (end < 0) break;
            from = end + 1;
            ++lines;
        }
        for (const auto& pad : f.pads) w += Advance(m, pad.width) - Advance(m, u' ');
        return QSizeF(w * m_k + kTextMarginTwips, m.lineHeight * lines * m_k + kTextMarginTwips);
    }

    // Height in twips of one line of the style's font, margins included.
    double LineHeightTwips(quint32 styleIndex) {
        return MetricsFor(styleIndex).lineHeight * m_k + kTextMarginTwips;
    }

private:
    struct Metrics {
        explicit Metrics(const QFont& font) : fm(font), lineHeight(fm.height()) { ascii.fill(-1.0); }
        QFontMetricsF fm;
        double lineHeight;
        std::array<double, 128> ascii;
    };

    Metrics& MetricsFor(quint32 styleIndex) {
        if (auto it = m_byStyle.find(styleIndex); it != m_byStyle.end()) return *it->second;
        // Styles that differ in other ways than the font share its metrics.
        const FontSpec spec = m_sheet.EffectiveFont(m_sheet.StyleByIndex(styleIndex));
        Metrics* metrics = nullptr;
        for (const auto& [font, known] : m_byFont)
            if (font == spec) metrics = known.get();
        if (metrics == nullptr) {
            m_byFont.emplace_back(spec, std::make_unique<Metrics>(SheetData::ToQFont(spec)));
            metrics = m_byFont.back().second.get();
        }
        m_byStyle.emplace(styleIndex, metrics);
        return *metrics;
    }

    static double Advance(Metrics& m, QChar c) {
        const char16_t u = c.unicode();
        if (u < 128) {
            double& a = m.ascii[u];
            if (a < 0) a = m.fm.horizontalAdvance(c);
            return a;
        }
        return m.fm.horizontalAdvance(c);
    }

    static double Width(Metrics& m, QStringView line) {
        double w = 0;
        for (const QChar c : line) {
            if (c.unicode() < 32 || c.unicode() >= 127) return m.fm.horizontalAdvance(line.toString());
            w += Advance(m, c);
        }
        return w;
    }

    const SheetData& m_sheet;
    const double m_k;
    std::vector<std::pair<FontSpec, std::unique_ptr<Metrics>>> m_byFont;
    std::unordered_map<quint32, Metrics*> m_byStyle;
};

}  // namespace

QSizeF SheetData::TextSizeTwips(int row, int col) const {
    AutofitMeasurer measurer(*this);
    return measurer.Size(Formatted(row, col), ResolvedIndex(row, col));
}

void SheetData::FitColWidths(int col1, int col2, int minRow, int maxRow) {
    AutofitMeasurer measurer(*this);
    std::vector<double> widest(col2 - col1 + 1, 0.0);
    const int lastRow = std::min<int>(maxRow, int(m_rows.size()));
    for (int r = std::max(1, minRow); r <= lastRow; ++r) {
        if (m_rowHidden[r - 1]) continue;
        RowCells::Visit(m_rows[r - 1], col1, col2, [&](int c, const Cell& cell) {
            if (cell.kind == CellKind::Empty) return;
            widest[c - col1] = std::max(widest[c - col1], measurer.Size(Formatted(r, c), ResolvedIndex(r, c)).width());
        });
    }
    for (int c = col1; c <= col2; ++c)
        if (!m_colHidden[c - 1] && widest[c - col1] > 0) m_colWidth[c - 1] = int(std::ceil(widest[c - col1]));
    Notify();
}

void SheetData::FitRowHeights(int row1, int row2) {
    AutofitMeasurer measurer(*this);
    for (int r = row1; r <= row2; ++r) {
        if (m_rowHidden[r - 1]) continue;
        double tallest = 0;
        if (r <= int(m_rows.size())) {
            RowCells::Visit(m_rows[r - 1], 1, kMaxCols, [&](int c, const Cell& cell) {
                if (cell.kind == CellKind::Empty) return;
                const quint32 style = ResolvedIndex(r, c);
                // A number takes one line: no need to format it when a line
                // of its font is no taller than the row already is.
                if (cell.kind == CellKind::Number && measurer.LineHeightTwips(style) <= tallest &&
                    !m_styles[style].numberFormat.contains(u'\n'))
                    return;
                tallest = std::max(tallest, measurer.Size(Formatted(r, c), style).height());
            });
        }
        m_rowHeight[r - 1] = tallest > 0 ? int(std::ceil(tallest)) : -1;
    }
    Notify();
}

// --- headings ----------------------------------------------------------------

QString SheetData::ColumnLetters(int col) {
    QString s;
    while (col > 0) {
        const int d = (col - 1) % 26;
        s.prepend(QChar(u'A' + d));
        col = (col - 1) / 26;
    }
    return s;
}

QString SheetData::RowHeading(int row) const {
    auto it = m_rowHeadings.constFind(row);
    return it != m_rowHeadings.constEnd() ? *it : QString::number(row);
}

QString SheetData::ColHeading(int col) const {
    auto it = m_colHeadings.constFind(col);
    return it != m_colHeadings.constEnd() ? *it : ColumnLetters(col);
}

void SheetData::SetRowHeading(int row, const QString& text) {
    m_rowHeadings.insert(row, text);
    Notify();
}

void SheetData::SetColHeading(int col, const QString& text) {
    m_colHeadings.insert(col, text);
    Notify();
}

void SheetData::SetCornerHeading(const QString& text) {
    m_corner = text;
    Notify();
}

void SheetData::SetMaxRow(int row) {
    m_maxRow = std::clamp(row, 1, kMaxRows);
    Notify();
}

void SheetData::SetMaxCol(int col) {
    m_maxCol = std::clamp(col, 1, kMaxCols);
    Notify();
}

// --- structure -----------------------------------------------------------------

namespace {

template <typename T>
void InsertInto(std::vector<T>& v, int at, int count, const T& fill, size_t limit) {
    if (at > int(v.size())) return;
    v.insert(v.begin() + at, size_t(count), fill);
    if (v.size() > limit) v.resize(limit);
}

template <typename T>
void EraseFrom(std::vector<T>& v, int at, int count, const T& fill, size_t keepSize) {
    if (at >= int(v.size())) return;
    const int end = std::min<int>(int(v.size()), at + count);
    v.erase(v.begin() + at, v.begin() + end);
    if (keepSize) v.resize(keepSize, fill);
}

QHash<int, QString> ShiftKeys(const QHash<int, QString>& in, int from, int delta, int removeTo) {
    QHash<int, QString> out;
    for (auto it = in.constBegin(); it != in.constEnd(); ++it) {
        int k = it.key();
        if (delta < 0 && k >= from && k <= removeTo) continue;
        if (k >= from) k += delta;
        if (k >= 1) out.insert(k, it.value());
    }
    return out;
}

}  // namespace

void SheetData::InsertRows(int row1, int row2) {
    const int n = row2 - row1 + 1;
    InsertInto(m_rows, row1 - 1, n, RowCells{}, kMaxRows);
    InsertInto(m_rowStyle, row1 - 1, n, quint32(0), kMaxRows);
    InsertInto(m_rowHeight, row1 - 1, n, -1, kMaxRows);
    InsertInto(m_rowHidden, row1 - 1, n, false, kMaxRows);
    m_rowHeadings = ShiftKeys(m_rowHeadings, row1, n, 0);
    Notify();
}

void SheetData::InsertCols(int col1, int col2) {
    const int n = col2 - col1 + 1;
    for (auto& row : m_rows) row.InsertCols(col1, n);
    InsertInto(m_colStyle, col1 - 1, n, quint32(0), kMaxCols);
    InsertInto(m_colWidth, col1 - 1, n, -1, kMaxCols);
    InsertInto(m_colHidden, col1 - 1, n, false, kMaxCols);
    m_colHeadings = ShiftKeys(m_colHeadings, col1, n, 0);
    Notify();
}

void SheetData::DeleteRows(int row1, int row2) {
    const int n = row2 - row1 + 1;
    EraseFrom(m_rows, row1 - 1, n, RowCells{}, 0);
    EraseFrom(m_rowStyle, row1 - 1, n, quint32(0), kMaxRows);
    EraseFrom(m_rowHeight, row1 - 1, n, -1, kMaxRows);
    EraseFrom(m_rowHidden, row1 - 1, n, false, kMaxRows);
    m_rowHeadings = ShiftKeys(m_rowHeadings, row1, -n, row2);
    Notify();
}

void SheetData::DeleteCols(int col1, int col2) {
    const int n = col2 - col1 + 1;
    for (auto& row : m_rows) row.DeleteCols(col1, col2);
    EraseFrom(m_colStyle, col1 - 1, n, quint32(0), kMaxCols);
    EraseFrom(m_colWidth, col1 - 1, n, -1, kMaxCols);
    EraseFrom(m_colHidden, col1 - 1, n, false, kMaxCols);
    m_colHeadings = ShiftKeys(m_colHeadings, col1, -n, col2);
    Notify();
}

void SheetData::Clear(const Range& range, int kind) {
    if (kind == SSC_Values || kind == SSC_All) {
        const int lastRow = std::min<int>(range.row2, int(m_rows.size()));
        for (int r = range.row1; r <= lastRow; ++r) {
            RowCells::Visit(m_rows[r - 1], range.col1, range.col2, [](int, Cell& c) {
                c.kind = CellKind::Empty;
                c.text.clear();
                c.number = 0;
            });
        }
    }
    if (kind == SSC_Formats || kind == SSC_All) ResetStyle(range);
    Notify();
}

}  // namespace qs::ss

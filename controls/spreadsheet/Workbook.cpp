#include "Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cstdio>
#include <unordered_map>

namespace qs::ss {

namespace {

lxw_color_t ToLxw(const QColor& c) { return lxw_color_t(c.rgb() & 0xFFFFFF); }

uint8_t HorizontalToLxw(int h) {
    switch (h) {
    case SSH_Left: return LXW_ALIGN_LEFT;
    case SSH_Center: return LXW_ALIGN_CENTER;
    case SSH_Right: return LXW_ALIGN_RIGHT;
    case SSH_Fill: return LXW_ALIGN_FILL;
    case SSH_Justify: return LXW_ALIGN_JUSTIFY;
    case SSH_CenterAcross: return LXW_ALIGN_CENTER_ACROSS;
    default: return LXW_ALIGN_NONE;
    }
}

uint8_t VerticalToLxw(int v) {
    switch (v) {
    case SSV_Top: return LXW_ALIGN_VERTICAL_TOP;
    case SSV_Center: return LXW_ALIGN_VERTICAL_CENTER;
    default: return LXW_ALIGN_VERTICAL_BOTTOM;
    }
}

lxw_format* MakeFormat(lxw_workbook* wb, const CellStyle& s, const FontSpec& defaultFont) {
    lxw_format* f = workbook_add_format(wb);
    if (!s.numberFormat.isEmpty()) format_set_num_format(f, s.numberFormat.toUtf8().constData());
    // Cells that never got a font keep the file's own default font, so that
    // they match the cells written without any format.
    const bool ownFont = s.hasFont || !(defaultFont == FontSpec{});
    const FontSpec& font = s.hasFont ? s.font : defaultFont;
    if (ownFont) {
        format_set_font_name(f, font.face.toUtf8().constData());
        format_set_font_size(f, font.size);
    }
    if (font.bold) format_set_bold(f);
    if (font.italic) format_set_italic(f);
    if (font.underline) format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (font.strikeout) format_set_font_strikeout(f);
    if (font.color != QColor(Qt::black)) format_set_font_color(f, ToLxw(font.color));
    if (s.hAlign != SSH_General) format_set_align(f, HorizontalToLxw(s.hAlign));
    if (s.vAlign != SSV_Bottom) format_set_align(f, VerticalToLxw(s.vAlign));
    if (s.wrap) format_set_text_wrap(f);
    if (s.pattern > 0 && s.pattern < kPatternCount) {
        // Pattern numbers are the file format's own.
        format_set_pattern(f, uint8_t(s.pattern));
        format_set_fg_color(f, ToLxw(s.patternFg));
        if (s.pattern != 1) format_set_bg_color(f, ToLxw(s.patternBg));
    }
    const BorderSide& l = s.border[SideLeft];
    const BorderSide& r = s.border[SideRight];
    const BorderSide& t = s.border[SideTop];
    const BorderSide& b = s.border[SideBottom];
    if (l.style) { format_set_left(f, uint8_t(l.style)); format_set_left_color(f, ToLxw(l.color)); }
    if (r.style) { format_set_right(f, uint8_t(r.style)); format_set_right_color(f, ToLxw(r.color)); }
    if (t.style) { format_set_top(f, uint8_t(t.style)); format_set_top_color(f, ToLxw(t.color)); }
    if (b.style) { format_set_bottom(f, uint8_t(b.style)); format_set_bottom_color(f, ToLxw(b.color)); }
    return f;
}

QString CellRef(int row, int col) { return QStringLiteral("$%1$%2").arg(SheetData::ColumnLetters(col)).arg(row); }

}  // namespace

Workbook::Workbook() { InsertSheets(1, 1); }
Workbook::~Workbook() = default;

QString Workbook::UniqueName() const {
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Sheet%1").arg(n);
        bool used = false;
        for (const auto& s : m_sheets) used = used || s.name.compare(name, Qt::CaseInsensitive) == 0;
        if (!used) return name;
    }
}

int Workbook::InsertSheets(int at, int count) {
    if (at < 1 || at > SheetCount() + 1 || count < 1) return SS_BadIndex;
    for (int i = 0; i < count; ++i) {
        SheetEntry e;
        e.name = UniqueName();
        e.data = std::make_unique<SheetData>();
        m_sheets.insert(m_sheets.begin() + (at - 1 + i), std::move(e));
    }
    return SS_OK;
}

int Workbook::DeleteSheets(int at, int count) {
    if (at < 1 || count < 1 || at + count - 1 > SheetCount() || count >= SheetCount()) return SS_BadIndex;
    m_sheets.erase(m_sheets.begin() + (at - 1), m_sheets.begin() + (at - 1 + count));
    m_current = std::min(m_current, SheetCount());
    return SS_OK;
}

int Workbook::SetSheetName(int index, const QString& name) {
    if (index < 1 || index > SheetCount()) return SS_BadIndex;
    // The file format's rules for sheet names.
    static const QString kForbidden = QStringLiteral("[]:*?/\\");
    if (name.isEmpty() || name.size() > 31 || name.startsWith(u'\'') || name.endsWith(u'\'')) return SS_BadArgument;
    for (QChar c : name)
        if (kForbidden.contains(c)) return SS_BadArgument;
    for (int i = 1; i <= SheetCount(); ++i)
        if (i != index && m_sheets[i - 1].name.compare(name, Qt::CaseInsensitive) == 0) return SS_BadArgument;
    m_sheets[index - 1].name = name;
    return SS_OK;
}

QString Workbook::SheetName(int index) const {
    return index >= 1 && index <= SheetCount() ? m_sheets[index - 1].name : QString();
}

int Workbook::SetCurrentSheet(int index) {
    if (index < 1 || index > SheetCount()) return SS_BadIndex;
    m_current = index;
    return SS_OK;
}

int Workbook::SetNumber(int row, int col, double value) {
    if (row < 1 || row > kMaxRows) return SS_BadRow;
    if (col < 1 || col > kMaxCols) return SS_BadColumn;
    if (!std::isfinite(value)) return SS_BadArgument;
    Current().data->SetNumber(row, col, value);
    return SS_OK;
}

int Workbook::SetText(int row, int col, const QString& text) {
    if (row < 1 || row > kMaxRows) return SS_BadRow;
    if (col < 1 || col > kMaxCols) return SS_BadColumn;
    if (text.size() > kMaxCellText) return SS_BadArgument;
    Current().data->SetText(row, col, text);
    return SS_OK;
}

int Workbook::GetNumber(int row, int col, double& value) const {
    if (row < 1 || row > kMaxRows) return SS_BadRow;
    if (col < 1 || col > kMaxCols) return SS_BadColumn;
    const Cell* c = Current().data->CellAt(row, col);
    value = c && c->kind == CellKind::Number ? c->number : 0.0;
    return SS_OK;
}

int Workbook::GetText(int row, int col, QString& text) const {
    if (row < 1 || row > kMaxRows) return SS_BadRow;
    if (col < 1 || col > kMaxCols) return SS_BadColumn;
    text = Current().data->DisplayText(row, col);
    return SS_OK;
}

int Workbook::SetSelection(int row1, int col1, int row2, int col2) {
    Range r;
    if (!NormalizeRange(row1, col1, row2, col2, r)) return SS_BadArgument;
    m_selection = r;
    return SS_OK;
}

QString Workbook::SelectionReference() const {
    const QString first = CellRef(m_selection.row1, m_selection.col1);
    if (m_selection.row1 == m_selection.row2 && m_selection.col1 == m_selection.col2) return first;
    return first + u':' + CellRef(m_selection.row2, m_selection.col2);
}

int Workbook::SetSelectionText(const QString& text) {
    if (text.size() > kMaxCellText) return SS_BadArgument;
    const Range& s = m_selection;
    for (int r = s.row1; r <= std::min(s.row2, kMaxRows); ++r)
        for (int c = s.col1; c <= s.col2; ++c) Current().data->SetText(r, c, text);
    return SS_OK;
}

int Workbook::SetNumberFormat(const QString& format) {
    if (!NumberFormat(format).IsValid()) return SS_BadFormat;
    Current().data->ModifyStyle(m_selection, [&](CellStyle& s) { s.numberFormat = format; });
    return SS_OK;
}

int Workbook::SetFont(const QString& face, double size, bool bold, bool italic, bool underline, bool strikeout,
                      const QColor& color) {
    if (size <= 0) return SS_BadArgument;
    const FontSpec spec{face.isEmpty() ? Current().data->DefaultFont().face : face, size, bold, italic, underline,
                        strikeout, color};
    Current().data->ModifyStyle(m_selection, [&](CellStyle& s) {
        s.hasFont = true;
        s.font = spec;
    });
    return SS_OK;
}

int Workbook::SetAlignment(int horizontal, bool wrap, int vertical) {
    if (horizontal < SSH_General || horizontal > SSH_CenterAcross || vertical < SSV_Top || vertical > SSV_Bottom)
        return SS_BadArgument;
    Current().data->ModifyStyle(m_selection, [&](CellStyle& s) {
        s.hAlign = horizontal;
        s.wrap = wrap;
        s.vAlign = vertical;
    });
    return SS_OK;
}

int Workbook::SetPattern(int pattern, const QColor& fg, const QColor& bg) {
    if (pattern < 0 || pattern >= kPatternCount) return SS_BadArgument;
    Current().data->ModifyStyle(m_selection, [&](CellStyle& s) {
        s.pattern = pattern;
        s.patternFg = fg;
        s.patternBg = bg;
    });
    return SS_OK;
}

int Workbook::SetBorder(int outline, const QColor& color) {
    if (outline < 0 || outline > SSB_Hair) return SS_BadArgument;
    const Range& r = m_selection;
    SheetData& d = *Current().data;
    auto side = [&](int which) { return [=](CellStyle& s) { s.border[which] = BorderSide{outline, color}; }; };
    d.ModifyStyle(Range{r.row1, r.col1, r.row2, r.col1}, side(SideLeft));
    d.ModifyStyle(Range{r.row1, r.col2, r.row2, r.col2}, side(SideRight));
    d.ModifyStyle(Range{r.row1, r.col1, r.row1, r.col2}, side(SideTop));
    d.ModifyStyle(Range{r.row2, r.col1, r.row2, r.col2}, side(SideBottom));
    return SS_OK;
}

int Workbook::SetColWidth(int col1, int col2, double chars) {
    Range r;
    if (!NormalizeRange(1, col1, 1, col2, r) || chars < 0 || chars > 255) return SS_BadArgument;
    for (int c = r.col1; c <= r.col2; ++c) Current().widths[c] = chars;
    return SS_OK;
}

int Workbook::DefineName(const QString& name, const QString& reference) {
    if (name.isEmpty() || name.size() > 255 || reference.isEmpty()) return SS_BadArgument;
    if (!(name[0].isLetter() || name[0] == u'_')) return SS_BadArgument;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'.')) return SS_BadArgument;
    m_names.emplace_back(name, reference.startsWith(u'=') ? reference : u'=' + reference);
    return SS_OK;
}

int Workbook::SetPrintHeader(const QString& text) {
    if (text.toUtf8().size() > 255) return SS_BadArgument;
    Current().header = text;
    return SS_OK;
}

int Workbook::SetPrintFooter(const QString& text) {
    if (text.toUtf8().size() > 255) return SS_BadArgument;
    Current().footer = text;
    return SS_OK;
}

bool Workbook::Write(const QString& path, int fileType, QString* error) const {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (fileType != kFileTypeExcel) return fail(QStringLiteral("Unsupported file type %1.").arg(fileType));
    const QFileInfo info(path);
    if (!info.dir().exists()) return fail(QStringLiteral("The folder of %1 does not exist.").arg(path));
    // A temporary name in the target folder, so the final rename is atomic.
    QString tempPath;
    {
        QTemporaryFile probe(info.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
        probe.setAutoRemove(false);
        if (!probe.open()) return fail(QStringLiteral("Cannot write to %1.").arg(info.dir().path()));
        tempPath = probe.fileName();
    }
    const QByteArray tempName = QFile::encodeName(tempPath);
    lxw_workbook* wb = workbook_new(tempName.constData());
    if (!wb) {
        QFile::remove(tempPath);
        return fail(QStringLiteral("Cannot create the workbook %1.").arg(path));
    }
    QString problem;
    for (const SheetEntry& sheet : m_sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name.toUtf8().constData());
        if (!ws) {
            problem = QStringLiteral("Invalid sheet name %1.").arg(sheet.name);
            break;
        }
        for (const auto& [col, width] : sheet.widths) worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);
        if (!sheet.header.isEmpty()) worksheet_set_header(ws, sheet.header.toUtf8().constData());
        if (!sheet.footer.isEmpty()) worksheet_set_footer(ws, sheet.footer.toUtf8().constData());
        std::unordered_map<quint32, lxw_format*> formats;
        const SheetData& data = *sheet.data;
        auto formatFor = [&](int row, int col) -> lxw_format* {
            const quint32 index = data.ResolvedIndex(row, col);
            if (index == 1 && data.DefaultFont() == FontSpec{}) return nullptr;
            auto it = formats.find(index);
            if (it == formats.end())
                it = formats.emplace(index, MakeFormat(wb, data.StyleByIndex(index), data.DefaultFont())).first;
            return it->second;
        };
        data.ForEachCell([&](int row, int col, const Cell& cell) {
            const lxw_row_t r = lxw_row_t(row - 1);
            const lxw_col_t c = lxw_col_t(col - 1);
            lxw_format* f = formatFor(row, col);
            switch (cell.kind) {
            case CellKind::Number: worksheet_write_number(ws, r, c, cell.number, f); break;
            case CellKind::Text: worksheet_write_string(ws, r, c, cell.text.toUtf8().constData(), f); break;
            case CellKind::Empty:
                if (f) worksheet_write_blank(ws, r, c, f);
                break;
            }
        });
    }
    for (const auto& [name, reference] : m_names)
        if (problem.isEmpty() && workbook_define_name(wb, name.toUtf8().constData(), reference.toUtf8().constData()) != LXW_NO_ERROR)
            problem = QStringLiteral("Invalid name %1.").arg(name);
    const lxw_error closed = workbook_close(wb);
    if (problem.isEmpty() && closed != LXW_NO_ERROR) problem = QString::fromUtf8(lxw_strerror(closed));
    if (!problem.isEmpty()) {
        QFile::remove(tempPath);
        return fail(problem);
    }
    if (std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(tempPath);
        return fail(QStringLiteral("Cannot write to file %1.").arg(path));
    }
    return true;
}

}  // namespace qs::ss

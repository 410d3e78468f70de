#pragma once
// Shared vocabulary of the spreadsheet grid: status codes, notification codes,
// switch numbers and the cell style record. Rows and columns count from 1.
#include <QColor>
#include <QString>
#include <QtGlobal>

namespace qs::ss {

// The grid's fixed extent.
inline constexpr int kMaxRows = 16384;
inline constexpr int kMaxCols = 16384;

// Status returned by the grid operations: 0 is success.
enum Status : int {
    SS_OK = 0,
    SS_BadRow = 1,
    SS_BadColumn = 2,
    SS_BadArgument = 3,
    SS_BadFormat = 4,
    SS_NoSelection = 5,
    SS_BadIndex = 6,
    SS_ClipboardEmpty = 7,
    SS_NotNumber = 8,
    SS_Cancelled = 9,
};

// Message text for a status; the texts stay short so a caller can append
// them to its own message.
QString ErrorText(int status);

// Notification codes sent to the host. Only the codes below 1049 and from
// 1025 are valid; each can be enabled, disabled and queried on its own.
enum Notify : int {
    SSN_SelChange = 1025,        // selection or active cell moved
    SSN_StartEdit = 1026,        // in-cell edit about to start (cancel to refuse)
    SSN_EndEdit = 1027,          // edit ending with the entered text (cancel keeps it open)
    SSN_EditChange = 1028,       // the editor's text changed
    SSN_EntryStored = 1029,      // the entry of the last edit is stored in the cell
    SSN_Click = 1030,            // left click on a cell
    SSN_DblClick = 1031,         // double click on a cell
    SSN_RClick = 1032,           // right click on a cell
    SSN_TopLeftChanged = 1033,   // the first scrolled row or column changed
    SSN_KillFocus = 1034,
    SSN_SetFocus = 1035,
    SSN_ColWidthChanged = 1036,
    SSN_RowHeightChanged = 1037,
    SSN_Reserved1038 = 1038,
    SSN_Reserved1039 = 1039,
    SSN_CancelEdit = 1040,       // edit abandoned (Escape)
    SSN_Reserved1041 = 1041,
    SSN_Reserved1042 = 1042,
    SSN_Reserved1043 = 1043,
    SSN_Modified = 1044,         // cell contents changed by the user (edit, paste, clear)
    SSN_KeyDown = 1045,          // key pressed (cancel skips the grid's own handling)
    SSN_KeyUp = 1046,
    SSN_HeadingClick = 1047,     // click on a heading (row 0 = column heading, col 0 = row heading)
    SSN_HeadingDblClick = 1048,
};
inline constexpr int kFirstNotify = SSN_SelChange;
inline constexpr int kLastNotify = SSN_HeadingDblClick;

// What a notification carries beyond (code, row, col). Handlers connected
// directly may set `cancel`.
struct Notification {
    int code = 0;
    int row = 0;
    int col = 0;
    QString text;
    int key = 0;
    int modifiers = 0;
    bool cancel = false;
};

// The ten on/off grid switches. Callers set them by number; the enumerators
// say what each does in this grid.
enum GridSwitch : int {
    SSG_ShowEditBar = 1,
    SSG_ShowTabs = 2,
    SSG_AllowFillRange = 3,
    SSG_AllowResize = 4,        // headings can be dragged to resize
    SSG_ShowSelection = 5,      // selection highlight drawn
    SSG_ShowGridLines = 6,
    SSG_AllowEditing = 7,       // cells can be edited in place
    SSG_ShowRowHeadings = 8,
    SSG_ShowColHeadings = 9,
    SSG_AllowArrows = 10,       // arrow keys move the active cell
};
inline constexpr int kGridSwitchCount = 10;

enum PrintSwitch : int {
    SSP_RowHeadings = 1,
    SSP_ColHeadings = 2,
    SSP_GridLines = 3,
};
inline constexpr int kPrintSwitchCount = 3;

// Kinds for Clear.
enum ClearKind : int { SSC_All = 1, SSC_Formats = 2, SSC_Values = 3 };

enum HAlign : int {
    SSH_General = 1, SSH_Left = 2, SSH_Center = 3, SSH_Right = 4,
    SSH_Fill = 5, SSH_Justify = 6, SSH_CenterAcross = 7,
};
enum VAlign : int { SSV_Top = 1, SSV_Center = 2, SSV_Bottom = 3 };

// Border line styles; -1 passed to a border call leaves a side unchanged.
enum BorderStyle : int {
    SSB_None = 0, SSB_Thin = 1, SSB_Medium = 2, SSB_Dashed = 3, SSB_Dotted = 4,
    SSB_Thick = 5, SSB_Double = 6, SSB_Hair = 7,
};

// Fill patterns: 0 none, 1 solid (foreground colour), 2..18 two-colour
// patterns drawn in the foreground colour over the background colour.
inline constexpr int kPatternCount = 19;

// Colours arrive from callers as Windows colour values 0x00BBGGRR.
inline QColor ColorFromRef(quint32 ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}
inline quint32 ColorToRef(const QColor& c) {
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

struct FontSpec {
    QString face = QStringLiteral("DejaVu Sans");
    double size = 10.0;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    QColor color = Qt::black;
    bool operator==(const FontSpec&) const = default;
};

struct BorderSide {
    int style = SSB_None;
    QColor color = Qt::black;
    bool operator==(const BorderSide&) const = default;
};

enum Side : int { SideLeft = 0, SideRight = 1, SideTop = 2, SideBottom = 3 };

// The complete look of a cell. Cells, rows, columns and the sheet refer to
// interned styles by index, so a whole-sheet change touches one record.
struct CellStyle {
    QString numberFormat;       // empty = General
    bool hasFont = false;       // false: the sheet's default font
    FontSpec font;
    int pattern = 0;
    QColor patternFg = Qt::black;
    QColor patternBg = Qt::white;
    BorderSide border[4];
    int hAlign = SSH_General;
    int vAlign = SSV_Bottom;
    bool wrap = false;
    int orientation = 0;
    bool operator==(const CellStyle&) const = default;
};

// A rectangular range; whole rows or columns are given by -1 in the
// calls and stored here expanded to the grid's extent.
struct Range {
    int row1 = 0, col1 = 0, row2 = 0, col2 = 0;
    bool Contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
    bool WholeRows() const { return col1 == 1 && col2 == kMaxCols; }
    bool WholeCols() const { return row1 == 1 && row2 == kMaxRows; }
    bool operator==(const Range&) const = default;
};

// Expands -1 (whole rows or columns) and orders the corners; returns false
// when a row or column is outside the grid.
bool NormalizeRange(int row1, int col1, int row2, int col2, Range& out);

}  // namespace qs::ss

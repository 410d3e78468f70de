#pragma once
// What the table views read of the application: the display settings of the
// profile, the two process-wide flags, and the few application services the
// views call. The application fills these at start-up and whenever the
// workstation settings change; tests set them directly.
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class CView;
class CObject;
class CObjectView;
class CPrintInfo;
class QPrinter;

// 1 while the views show triangles by calendar period.
extern int g_bCalendarView;
// Set by every kernel refresh a view receives; the navigator clears it.
extern int g_bObjectRefreshed;

namespace qs::views {

struct ViewSettings {
    int scale = 100;        // "Scale", percent, 10..400
    int enterMoves = 0;     // "Enter Moves", 0..4
    int defaultShow = 0;    // "Default Show"
    int fileMode = 1;       // 1 while projects live in files, 0 in database mode
    int appMode = 0;        // the application's mode value (10, 11: a script drives the table wizard)
    bool printingList = false;  // a print list is being printed
    bool showLayerColors = false;  // "Show Differnt Colors For Layers"
    std::array<std::uint32_t, 5> layerColors{};  // 0x00BBGGRR of layers 1..5
    int pattern = 4;                   // "Pattern"
    std::uint32_t patternFg = 65535;   // "Pattern ROFG"
    std::uint32_t patternBg = 16777215;  // "Pattern ROBG"
    QString appName = QStringLiteral("Qstone");

    // Every view of every project document gets the hint (zoom, settings).
    // Unset: only the views that asked are updated.
    std::function<void(CView* sender, long hint, CObject* pHint)> updateAllProjectViews;
    // The zoom commands changed "Scale" (the application keeps the setting).
    std::function<void(int scale)> scaleChanged;
    // The main frame's status text (footnotes, cell labels).
    std::function<void(const QString&)> statusMessage;
    // The status pane that shows the labels of the selected cell.
    std::function<void(const QString&)> cellStatus;
    // The navigator: select the object of the given id and layer.
    std::function<void(long id, unsigned short layer)> selectNavigatorObject;
    // Sets up the application's default printer before a print without a
    // dialog (tests direct it to a PDF file).
    std::function<void(QPrinter&)> preparePrinter;
    // Replaces the header and footer field names of a title or footnote
    // text with their values for the printed table. Unset: "&[Table]"
    // becomes the table's name and layer, other fields stay as written.
    std::function<QString(const QString& text, CPrintInfo* info, CObjectView* view)> expandPrintFields;
    // True while a frame re-opens its table in place (the views skip what
    // they do only when first opened).
    std::function<bool()> reopeningTable;
};

ViewSettings& Settings();

// Clamped view scale: the zoom commands step by 10 within 10..400.
int ClampScale(int percent);

}  // namespace qs::views

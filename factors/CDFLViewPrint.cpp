// Printing a factor library: one table per factor set and layer that holds
// rows, the development periods down the side and the exhibits across, in
// the view's display form and number of decimals, under a header that names
// the library, the set, its structure, the form and the layer.
//
// The tables are laid out one after the other in a hidden sheet and printed
// as one job, each table starting on a new page, so that printing to a file
// keeps every table. The shown factor row of the view is not touched: the
// next edit goes where the user left it.
#include <QComboBox>
#include <QDate>
#include <QLocale>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <memory>

#include "CDFLDoc.h"
#include "CDFLView.h"
#include "CDataObject.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "FactorLibraryHost.h"
#include "FactorRowForms.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"
#include "SpreadsheetPrinter.h"
#include "ViewSettings.h"
#include "WaitCursor.h"

using qs::ss::SpreadsheetControl;

namespace {

const char* const kFormNames[] = {"Age to Age", "Age to Ultimate", "Ratio to Ultimate"};

struct PrintedTable {
    CFactorSet* set = nullptr;
    std::uint16_t layer = 0;
    QSIDArray ids;
    QSStringArray names;
};

// The header and footer texts use the codes of the grid's page setup: "&L"
// left-aligned (the only alignment used here), "&D" the date, "\r\n" a line
// break.
QStringList ExpandPageText(QString text) {
    text.remove(QStringLiteral("&L"));
    text.replace(QStringLiteral("&D"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    text.remove(u'\r');
    return text.split(u'\n');
}

double LinesHeight(const QFontMetricsF& metrics, int lines) { return metrics.lineSpacing() * lines; }

void DrawLines(QPainter& painter, const QStringList& lines, QPointF topLeft) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    double y = topLeft.y() + metrics.ascent();
    for (const QString& line : lines) {
        painter.drawText(QPointF(topLeft.x(), y), line);
        y += metrics.lineSpacing();
    }
}

}  // namespace

void CDFLView::OnFilePrint() { PrintLibrary(); }

void CDFLView::OnFilePrintDirect() {
    m_bPrintDirect = true;
    PrintLibrary();
    m_bPrintDirect = false;
}

int CDFLView::PrintLibrary() {
    if (m_pDoc == nullptr) return 0;
    // A library with nothing to print shows no dialog.
    bool anything = false;
    QSStringArray names;
    m_pDoc->GetLibrary()->GetFactorSetNames(names);
    for (const std::string& name : names) {
        CFactorSet* set = nullptr;
        m_pDoc->GetLibrary()->GetFactorSet(name, set);
        if (set != nullptr && set->GetDFCount() > 0) anything = true;
    }
    if (!anything) return 0;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Quillstone"));
    if (m_bPrintDirect) {
        if (auto& prepare = qs::views::Settings().preparePrinter) prepare(printer);
    } else {
        QPrintDialog dialog(&printer, this);
        if (qs::fw::RunModal(dialog) != IDOK) return 0;
    }
    return PrintLibraryTo(printer);
}

int CDFLView::PrintLibraryTo(QPrinter& printer) {
    if (m_pDoc == nullptr) return 0;
    CWaitCursor wait;
    CFSLib* library = m_pDoc->GetLibrary();
    std::vector<PrintedTable> tables;
    QSStringArray setNames;
    library->GetFactorSetNames(setNames);
    for (const std::string& name : setNames) {
        CFactorSet* set = nullptr;
        library->GetFactorSet(name, set);
        if (set == nullptr) break;
        for (int layer = 1; layer <= m_pLayer->count(); ++layer) {
            PrintedTable table;
            table.set = set;
            table.layer = std::uint16_t(layer);
            set->GetDFList(table.layer, table.ids, table.names);
            if (!table.ids.empty()) tables.push_back(std::move(table));
        }
    }
    if (tables.empty()) return 0;

    // The hidden sheet the tables are laid out in.
    auto sheet = std::make_unique<SpreadsheetControl>(this);
    sheet->hide();
    sheet->SetPrintSwitch(qs::ss::SSP_RowHeadings, false);
    sheet->SetPrintSwitch(qs::ss::SSP_ColHeadings, false);
    sheet->SetPrintSwitch(qs::ss::SSP_GridLines, false);
    sheet->SetPrintScale(100);
    const QString footer = QStringLiteral("Date: &D");
    const QString zeros = m_nDecimals > 0 ? QString(m_nDecimals, u'0') : QString();
    const QString format = QStringLiteral("0.%1;-0.%1").arg(zeros);

    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    QFont font = painter.font();
    font.setPointSizeF(9);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());
    const double gap = metrics.lineSpacing();
    int printed = 0;
    bool firstPage = true;

    for (const PrintedTable& table : tables) {
        CFactorSet* set = table.set;
        QString header = QStringLiteral("&LLibrary: ") + QString::fromStdString(library->GetDescription());
        header += QStringLiteral("\r\nFactor Set: ") + QString::fromStdString(set->GetName());
        header += QStringLiteral("\r\n\r\nNumber of Periods: %1").arg(set->GetNumDevPrds());
        header += QStringLiteral("\r\nLength of Periods: ") + LengthText(set->GetDevPrdLength());
        header += QStringLiteral("\r\nFirst Development Period: %1").arg(set->GetFirstDevPrdLength());
        header += QStringLiteral("\r\n\r\nFormat: ") + QString::fromLatin1(kFormNames[std::clamp(m_nDisplayForm, 0, 2)]);
        header += QStringLiteral("\r\n\r\nLayer: ") + m_pDoc->m_strLayerNames.value(table.layer - 1);
        header += QStringLiteral("\r\n\r\n");
        const QStringList headerLines = ExpandPageText(header);
        const QStringList footerLines = ExpandPageText(footer);

        sheet->SetSelection(-1, -1, -1, -1);
        sheet->Clear(qs::ss::SSC_All);
        sheet->SetFixedRows(1);
        sheet->SetFixedCols(1);
        sheet->SetNumberFormat(format);
        QSStringArray labels;
        set->GetDevPrdLabels(labels);
        const int cols = int(table.ids.size()) + 1;
        const int rows = int(labels.size()) + 1;
        sheet->SetMaxCol(cols);
        sheet->SetMaxRow(rows);
        const QColor black(Qt::black);
        sheet->SetSelection(1, 1, rows, cols);
        sheet->SetBorder(qs::ss::SSB_Thin, qs::ss::SSB_Thin, qs::ss::SSB_Thin, qs::ss::SSB_Thin, qs::ss::SSB_Thin, -1,
                         black, black, black, black, black);
        sheet->SetSelection(1, 1, rows, 1);
        sheet->SetBorder(qs::ss::SSB_Medium, -1, -1, -1, -1, -1, black, black, black, black, black);
        sheet->SetSelection(1, 1, 1, cols);
        sheet->SetBorder(qs::ss::SSB_Medium, -1, -1, -1, -1, -1, black, black, black, black, black);
        sheet->SetAlignment(qs::ss::SSH_Center, true, qs::ss::SSV_Bottom, 0);

        sheet->SetText(1, 1, QStringLiteral("Months of Development\r\n_____________\r\n \r\n"));
        for (int i = 0; i < int(labels.size()); ++i) sheet->SetText(i + 2, 1, QString::fromStdString(labels[i]));
        const bool withNumbers = qs::factors::ShowTableId();
        for (int k = 1; k <= int(table.ids.size()); ++k) {
            const QSID id = table.ids[k - 1];
            // The exhibit's name as the document knows it (the set's own copy
            // of the name when the project no longer has the exhibit).
            QString title = QString::fromStdString(table.names[k - 1]);
            for (std::size_t i = 0; i < m_pDoc->m_ObjectIds.size(); ++i)
                if (GetIDDOType(m_pDoc->m_ObjectIds[i]) == GetIDDOType(id) &&
                    GetIDDataType(m_pDoc->m_ObjectIds[i]) == GetIDDataType(id) &&
                    GetIDIndex(m_pDoc->m_ObjectIds[i]) == GetIDIndex(id))
                    title = withNumbers ? m_pDoc->m_ObjectLabels.value(int(i)) : m_pDoc->m_ObjectNames.value(int(i));
            sheet->SetText(1, k + 1, title + QStringLiteral("\r\n_____________\r\n(%1)\r\n").arg(k));
            const CDataObject* row = set->FindDF(id);
            for (int p = 0; row != nullptr && p < int(labels.size()); ++p) {
                double value = 0.0;
                std::uint8_t flags = 0;
                if (qsk::GetFactorInForm(*row, m_nDisplayForm, p, value, flags) != 0) continue;
                if ((flags & CDataObject::CF_BLANK) || !(flags & CDataObject::CF_VALUE)) sheet->SetText(p + 2, k + 1, QString());
                else sheet->SetNumber(p + 2, k + 1, value);
            }
        }
        sheet->FitColWidths(1, cols);
        sheet->FitRowHeights(1, rows);
        // The heading row holds four lines (name, rule, number, blank).
        const QFontMetrics lines(sheet->font());
        sheet->SetRowHeight(1, 1, std::max(sheet->GetRowHeight(1), 4 * lines.lineSpacing() * 15 + 60));

        // Pages of this table: the header on top, the footer below, the
        // table in parts between them with row 1 and column A repeated.
        const double headerHeight = LinesHeight(metrics, int(headerLines.size()));
        const double footerHeight = LinesHeight(metrics, int(footerLines.size())) + gap;
        const QSizeF available(area.width(), area.height() - headerHeight - footerHeight);
        const qs::ss::SpreadsheetPrinter sheetPrinter(*sheet);
        int firstCol = 2;
        while (firstCol <= cols) {
            int firstRow = 2, partCols = 0;
            while (firstRow <= rows) {
                const auto part = sheetPrinter.MeasurePart(printer, available, firstRow, firstCol, rows, cols);
                if (part.rows == 0 || part.cols == 0) {
                    painter.end();
                    AfxMessageBoxIfVisible(QStringLiteral("The factor set %1 does not fit on the page and was not printed.")
                                               .arg(QString::fromStdString(set->GetName())));
                    return printed;
                }
                if (!firstPage && !printer.newPage()) {
                    painter.end();
                    return -1;
                }
                firstPage = false;
                DrawLines(painter, headerLines, area.topLeft());
                sheetPrinter.PrintPart(painter, QPointF(area.left(), area.top() + headerHeight), part.firstRow,
                                       part.firstCol, part.rows, part.cols);
                DrawLines(painter, footerLines, QPointF(area.left(), area.bottom() - footerHeight + gap));
                firstRow += part.rows;
                partCols = part.cols;
            }
            firstCol += partCols;
        }
        ++printed;
    }
    painter.end();
    return printed;
}

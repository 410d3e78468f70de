#include "ViewPrinting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "CLOGFONT.h"
#include "CObjectView.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"

namespace qs::views {

QFont FontFromRecord(const CLOGFONT& record) {
    QsLogFont lf{};
    record.GetLogFont(&lf);
    QFont font(QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName))));
    font.setPointSizeF(lf.lfHeight > 0 ? lf.lfHeight / 10.0 : 10.0);
    font.setBold(lf.lfWeight > 400);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

void SetPageGeometry(CPrintPageState& state, QPrinter& printer) {
    printer.setPageOrientation(state.m_nOrientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(state.m_dLeftMargin, state.m_dTopMargin, state.m_dRightMargin, state.m_dBottomMargin),
                           QPageLayout::Inch);
    const QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    state.m_rectPage = QRect(QPoint(0, 0), page);
    const QFont title = FontFromRecord(state.m_TitleFont);
    const QFontMetrics metrics(title, &printer);
    state.m_nHeaderSpace = metrics.height();
    int tallest = 0;
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromStdString(state.TitleLine(i)) + QLatin1Char('\n');
        tallest = std::max(tallest, metrics.boundingRect(QRect(0, 0, page.width(), 1 << 20), Qt::TextWordWrap, text).height());
    }
    state.m_nTitleSpace = tallest;
}

int PrintObjectView(CObjectView& view, QPrinter& printer, CPrintPageState& state) {
    SetPageGeometry(state, printer);
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &state;
    info.m_rectDraw = state.m_rectPage;
    view.BeginPrinting(nullptr, &info);
    int pages = 0;
    // The document starts only when the view goes on: a job stopped at its
    // beginning prints nothing and leaves no file behind.
    if (info.m_bContinuePrinting && !info.m_bAborted && state.m_bContinue != 0) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            pages = -1;
        } else {
            for (UINT page = info.GetMinPage(); page <= info.GetMaxPage() && pages < kMaxPrintedPages; ++page) {
                info.m_nCurPage = page;
                view.OnPrepareDC(&painter, &info);
                if (!info.m_bContinuePrinting) break;
                if (pages > 0) printer.newPage();
                info.m_rectDraw = state.m_rectPage;
                view.OnPrint(&painter, &info);
                ++pages;
            }
            view.EndPrinting(&painter, &info);
            painter.end();
            view.RestoreScreenAfterPrinting();
            return pages;
        }
    }
    view.EndPrinting(nullptr, &info);
    view.RestoreScreenAfterPrinting();
    return pages;
}

}  // namespace qs::views

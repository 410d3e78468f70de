#pragma once
// The page setup of a table while it prints, carried as the print
// information's user data. The printing side fills the page-setup fields,
// the page geometry and the job's options; the view writes its parts state
// and appends its cell notes to the notes text.
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

#include "CPageSetup.h"

class CPrintPageState : public CPageSetup {
public:
    CPrintPageState() = default;
    explicit CPrintPageState(const CPageSetup& setup) : CPageSetup(setup) {}

    // ---- read by the view (set by the printing side)
    QString m_strNAText = QStringLiteral("#N/A");  // printed in place of "#N/A"
    QRect m_rectPage;          // printable rectangle of the page (device units)
    int m_nHeaderSpace = 0;    // above the table, for the "(Part %d)" mark
    int m_nTitleSpace = 0;     // for the three title lines
    int m_nCalendarOption = 0;       // copied into g_bCalendarView for the job
    int m_nCumulativeOption = 1;     // 0 incremental, 1 cumulative, 2 the entry's own setting
    int m_nEntryCumulative = 1;      // the print entry's own cumulative setting

    // ---- the parts state (written by the view)
    std::int32_t m_bContinue = 0;
    int m_nFootnoteSpace = 0;
    int m_nTitleRows = 0, m_nTitleCols = 0;
    int m_nPart = 0;
    int m_nFirstRow = 0, m_nFirstCol = 0;
    int m_nRowsInPart = 0, m_nColsInPart = 0;
    int m_nLayout = 1;  // 1 one part, 2 in parts
    int m_nPartWidth = 0, m_nPartHeight = 0;
    // Cell notes of the printed tables (SaveCellNotes appends).
    QString m_strNotes;

    // ---- the print list's job (set by the printing side)
    // The margins in hundredths of a millimetre (left, top, right, bottom).
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    // 1 while an input array prints a second time (incremental, then cumulative).
    int m_bSecondPass = 0;
    // Objects started on the current page.
    int m_nObjectsOnPage = 0;
    // The height of one line of the header font.
    int m_nLineSpacing = 0;
    // A graph view's progress over a page of several graphs; the print list
    // drops it when a table prints and resets it on every new page.
    std::shared_ptr<void> m_pGraphProgress;

    // Takes the page settings: margins in hundredths of a millimetre
    // (inches times 2540, truncated), a scale of 0 becomes 100; the parts
    // state starts afresh.
    void AssignPageSetup(const CPageSetup& setup) {
        CPageSetup::operator=(setup);
        m_nMarginLeft = int(m_dLeftMargin * 2540);
        m_nMarginTop = int(m_dTopMargin * 2540);
        m_nMarginRight = int(m_dRightMargin * 2540);
        m_nMarginBottom = int(m_dBottomMargin * 2540);
        if (m_nScalePercent == 0) m_nScalePercent = 100;
        m_bContinue = 0;
        m_nPart = 0;
    }

    // Fields of the page setup by their role.
    const std::string& TitleLine(int i) const { return m_TitleStrings[std::size_t(i)]; }
    bool FitWidth() const { return m_bFitColumns != 0; }
    bool FitHeight() const { return m_bFitRows != 0; }
    int ScalePercent() const { return m_nScalePercent == 0 ? 100 : m_nScalePercent; }
};

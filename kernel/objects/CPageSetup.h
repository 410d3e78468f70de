#pragma once
// Page settings of a printable object or of the project's default: margins,
// orientation, scaling, header/title/footer texts, six fonts, graph options.
//
// Stored form (Write/Read, docs/kernel/storage.md): a layout number, then the
// fields. The static version (CPageSetupVersion) selects how Read treats the
// stream: 0 reads the current layout, 1 reads the layout the defaults file and
// the print lists were written with. Both are the same today; the switch is
// kept so either side can change without breaking the other.
#include <cstdint>
#include <string>
#include <vector>

#include "CLOGFONT.h"
#include "CObject.h"
#include "KernelTypes.h"

class CArchive;
class KernelWriter;
class KernelReader;

class CPageSetup : public CObject {
    DECLARE_SERIAL(CPageSetup)

public:
    CPageSetup();
    CPageSetup(const CPageSetup&) = default;
    ~CPageSetup() override = default;
    CPageSetup& operator=(const CPageSetup&) = default;

    virtual bool operator==(const CPageSetup& o) const;
    virtual bool operator!=(const CPageSetup& o) const { return !(*this == o); }

    static int CPageSetupVersion;
    static void SetVersion(int version) { CPageSetupVersion = version; }

    // Through the framework archive: a count, then the bytes of Write. A
    // record that does not read back throws CArchiveException (badSchema).
    void Serialize(CArchive& ar) override;
    void Write(KernelWriter& w) const;
    bool Read(KernelReader& r);
    std::vector<std::uint8_t> ToBytes() const;
    bool FromBytes(const std::vector<std::uint8_t>& bytes);

    std::uint32_t m_nKeyValue = 0;  // 16-bit key kept in a 32-bit field
    std::int32_t m_nOrientation = 1;  // 1 portrait, other landscape
    std::int32_t m_bCalendarFormat = 0;
    std::int32_t m_nArrayPresentation = 1;  // 0 incremental, 1 cumulative, 2 both
    double m_dTopMargin = 1.0, m_dLeftMargin = 0.75, m_dBottomMargin = 1.0, m_dRightMargin = 0.75;
    std::int32_t m_bNewPageEachPart = 0;
    std::int32_t m_bWholeSize = 1;
    std::int32_t m_bManualScale = 0;
    std::int32_t m_bSeveralPerPage = 0;
    std::uint16_t m_bFitColumns = 0;
    std::uint16_t m_bFitRows = 0;
    std::uint16_t m_nTablesPerPage = 0;
    std::uint16_t m_nScalePercent = 0;
    std::int32_t m_nGraphsPerPage = 0;
    std::int32_t m_nGraphPageMarker = 0;
    std::int32_t m_nGraphPageMarker2 = 0;
    std::int32_t m_nSeriesChoice = -1;
    std::int32_t m_nSeriesByRows = 0, m_nSeriesByColumns = 0, m_nSeriesByDiagonals = 0;
    std::vector<std::string> m_HeaderStrings{3}, m_FooterStrings{3}, m_TitleStrings{3};
    CLOGFONT m_HeaderFont, m_FooterFont, m_DataFont, m_LabelsFont, m_FootnoteFont, m_TitleFont;

    static CLOGFONT DefaultFont(int tenthsOfPoint, bool bold);
};

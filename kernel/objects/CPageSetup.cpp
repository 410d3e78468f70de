#include "CPageSetup.h"

#include "CArchive.h"
#include "KernelStream.h"

IMPLEMENT_SERIAL(CPageSetup, CObject, 1)

int CPageSetup::CPageSetupVersion = 0;

namespace {
constexpr std::uint32_t kPageSetupLayout = 1;

void PageSetupWriteFont(KernelWriter& w, const CLOGFONT& f) {
    std::vector<std::uint8_t> b;
    f.Store(b);
    w.Raw(b.data(), b.size());
}
void PageSetupReadFont(KernelReader& r, CLOGFONT& f) {
    std::uint8_t b[CLOGFONT::kStreamSize];
    r.Raw(b, sizeof b);
    if (!r.Failed()) f.Load(b, sizeof b);
}
}  // namespace

CLOGFONT CPageSetup::DefaultFont(int tenthsOfPoint, bool bold) {
    CLOGFONT f;
    f.m_lfHeight = tenthsOfPoint;
    f.m_lfWidth = f.m_lfEscapement = f.m_lfOrientation = 0;
    f.m_lfWeight = bold ? 700 : 400;
    f.m_lfItalic = f.m_lfUnderline = f.m_lfStrikeOut = 0;
    f.m_lfCharSet = 0;
    f.m_lfOutPrecision = f.m_lfClipPrecision = 0;
    f.m_lfQuality = 0;
    f.m_lfPitchAndFamily = 0;
    f.SetFace("Arial");
    return f;
}

CPageSetup::CPageSetup()
    : m_HeaderFont(DefaultFont(100, false)),
      m_FooterFont(DefaultFont(80, false)),
      m_DataFont(DefaultFont(80, false)),
      m_LabelsFont(DefaultFont(80, true)),
      m_FootnoteFont(DefaultFont(80, false)),
      m_TitleFont(DefaultFont(120, true)) {
    // Field names as the print-field expansion knows them.
    m_HeaderStrings = {"&[Company Name]", "", "&[Print Date]"};
    m_FooterStrings = {"&[File Name]", "", "Page &[Page]"};
    m_TitleStrings = {"", "&[Table Name]", ""};
}

bool CPageSetup::operator==(const CPageSetup& o) const { return ToBytes() == o.ToBytes(); }

void CPageSetup::Write(KernelWriter& w) const {
    w.U32(kPageSetupLayout);
    w.U32(m_nKeyValue);
    w.I32(m_nOrientation);
    w.I32(m_bCalendarFormat);
    w.I32(m_nArrayPresentation);
    w.F64(m_dTopMargin);
    w.F64(m_dLeftMargin);
    w.F64(m_dBottomMargin);
    w.F64(m_dRightMargin);
    w.I32(m_bNewPageEachPart);
    w.I32(m_bWholeSize);
    w.I32(m_bManualScale);
    w.I32(m_bSeveralPerPage);
    w.U16(m_bFitColumns);
    w.U16(m_bFitRows);
    w.U16(m_nTablesPerPage);
    w.U16(m_nScalePercent);
    w.I32(m_nGraphsPerPage);
    w.I32(m_nGraphPageMarker);
    w.I32(m_nGraphPageMarker2);
    w.I32(m_nSeriesChoice);
    w.I32(m_nSeriesByRows);
    w.I32(m_nSeriesByColumns);
    w.I32(m_nSeriesByDiagonals);
    for (const auto* arr : {&m_HeaderStrings, &m_FooterStrings, &m_TitleStrings})
        for (int i = 0; i < 3; ++i) w.Str(i < static_cast<int>(arr->size()) ? (*arr)[i] : std::string());
    for (const CLOGFONT* f : {&m_HeaderFont, &m_FooterFont, &m_DataFont, &m_LabelsFont, &m_FootnoteFont, &m_TitleFont})
        PageSetupWriteFont(w, *f);
}

bool CPageSetup::Read(KernelReader& r) {
    CPageSetup t;
    const std::uint32_t layout = r.U32();
    if (r.Failed() || layout == 0 || layout > kPageSetupLayout) return false;
    t.m_nKeyValue = r.U32();
    t.m_nOrientation = r.I32();
    t.m_bCalendarFormat = r.I32();
    t.m_nArrayPresentation = r.I32();
    t.m_dTopMargin = r.F64();
    t.m_dLeftMargin = r.F64();
    t.m_dBottomMargin = r.F64();
    t.m_dRightMargin = r.F64();
    t.m_bNewPageEachPart = r.I32();
    t.m_bWholeSize = r.I32();
    t.m_bManualScale = r.I32();
    t.m_bSeveralPerPage = r.I32();
    t.m_bFitColumns = r.U16();
    t.m_bFitRows = r.U16();
    t.m_nTablesPerPage = r.U16();
    t.m_nScalePercent = r.U16();
    t.m_nGraphsPerPage = r.I32();
    t.m_nGraphPageMarker = r.I32();
    t.m_nGraphPageMarker2 = r.I32();
    t.m_nSeriesChoice = r.I32();
    t.m_nSeriesByRows = r.I32();
    t.m_nSeriesByColumns = r.I32();
    t.m_nSeriesByDiagonals = r.I32();
    for (auto* arr : {&t.m_HeaderStrings, &t.m_FooterStrings, &t.m_TitleStrings}) {
        arr->assign(3, {});
        for (int i = 0; i < 3; ++i) (*arr)[i] = r.Str();
    }
    for (CLOGFONT* f : {&t.m_HeaderFont, &t.m_FooterFont, &t.m_DataFont, &t.m_LabelsFont, &t.m_FootnoteFont, &t.m_TitleFont})
        PageSetupReadFont(r, *f);
    if (r.Failed()) return false;
    *this = t;  // nothing changes unless the whole record was read
    return true;
}

std::vector<std::uint8_t> CPageSetup::ToBytes() const {
    KernelWriter w;
    Write(w);
    return w.Bytes();
}

bool CPageSetup::FromBytes(const std::vector<std::uint8_t>& bytes) {
    KernelReader r(bytes);
    return Read(r);
}

void CPageSetup::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        const std::vector<std::uint8_t> bytes = ToBytes();
        ar.WriteCount(bytes.size());
        ar.Write(bytes.data(), bytes.size());
        return;
    }
    // Both layout versions (0 current, 1 the defaults file and print lists)
    // read the same record today.
    const std::size_t n = ar.ReadCount(1);
    std::vector<std::uint8_t> bytes(n);
    ar.ReadExact(bytes.data(), n);
    if (!FromBytes(bytes)) throw CArchiveException(CArchiveException::badSchema, "damaged page setup");
}

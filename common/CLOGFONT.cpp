#include "CLOGFONT.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "CArchive.h"

IMPLEMENT_DYNCREATE(CLOGFONT, CObject)

namespace {
std::mutex gLogFontReporterMutex;
std::function<void(const std::string&)> gLogFontReporter;

void LogFontPut32(std::vector<std::uint8_t>& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}
std::int32_t LogFontGet32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

int CLOGFONT::GetLogFont(QsLogFont* out) const {
    out->lfHeight = m_lfHeight;
    out->lfWidth = m_lfWidth;
    out->lfEscapement = m_lfEscapement;
    out->lfOrientation = m_lfOrientation;
    out->lfWeight = m_lfWeight;
    out->lfItalic = m_lfItalic;
    out->lfUnderline = m_lfUnderline;
    out->lfStrikeOut = m_lfStrikeOut;
    out->lfCharSet = m_lfCharSet;
    out->lfOutPrecision = m_lfOutPrecision;
    out->lfClipPrecision = m_lfClipPrecision;
    out->lfQuality = m_lfQuality;
    out->lfPitchAndFamily = m_lfPitchAndFamily;
    // Up to and including the terminating zero; a name without one fills the field.
    size_t n = 0;
    while (n < sizeof m_lfFaceName && m_lfFaceName[n]) ++n;
    std::memcpy(out->lfFaceName, m_lfFaceName, n < sizeof m_lfFaceName ? n + 1 : n);
    return 0;
}

void CLOGFONT::Store(std::vector<std::uint8_t>& out) const {
    LogFontPut32(out, m_lfHeight);
    LogFontPut32(out, m_lfWidth);
    LogFontPut32(out, m_lfEscapement);
    LogFontPut32(out, m_lfOrientation);
    LogFontPut32(out, m_lfWeight);
    for (std::uint8_t b : {m_lfItalic, m_lfUnderline, m_lfStrikeOut, m_lfCharSet, m_lfOutPrecision, m_lfClipPrecision,
                           m_lfQuality, m_lfPitchAndFamily})
        out.push_back(b);
    out.insert(out.end(), m_lfFaceName, m_lfFaceName + sizeof m_lfFaceName);
}

bool CLOGFONT::Load(const std::uint8_t* data, std::size_t size) {
    std::int32_t* longs[5] = {&m_lfHeight, &m_lfWidth, &m_lfEscapement, &m_lfOrientation, &m_lfWeight};
    std::uint8_t* bytes[8] = {&m_lfItalic,       &m_lfUnderline,     &m_lfStrikeOut, &m_lfCharSet,
                              &m_lfOutPrecision, &m_lfClipPrecision, &m_lfQuality,   &m_lfPitchAndFamily};
    size_t pos = 0;
    for (auto* l : longs) {
        if (pos + 4 > size) { ReportError(kSerializeError); return false; }
        *l = LogFontGet32(data + pos);
        pos += 4;
    }
    for (auto* b : bytes) {
        if (pos + 1 > size) { ReportError(kSerializeError); return false; }
        *b = data[pos++];
    }
    if (pos + sizeof m_lfFaceName > size) { ReportError(kSerializeError); return false; }
    std::memcpy(m_lfFaceName, data + pos, sizeof m_lfFaceName);
    return true;
}

bool CLOGFONT::operator==(const CLOGFONT& o) const {
    std::vector<std::uint8_t> a, b;
    Store(a);
    o.Store(b);
    return a == b;
}

void CLOGFONT::SetFace(const std::string& face) {
    std::memset(m_lfFaceName, 0, sizeof m_lfFaceName);
    std::memcpy(m_lfFaceName, face.data(), std::min(face.size(), sizeof m_lfFaceName - 1));
}

std::string CLOGFONT::GetFace() const {
    size_t n = 0;
    while (n < sizeof m_lfFaceName && m_lfFaceName[n]) ++n;
    return std::string(m_lfFaceName, n);
}

void CLOGFONT::SetErrorReporter(std::function<void(const std::string&)> reporter) {
    std::lock_guard<std::mutex> lock(gLogFontReporterMutex);
    gLogFontReporter = std::move(reporter);
}

void CLOGFONT::ReportError(const std::string& text) {
    std::function<void(const std::string&)> r;
    {
        std::lock_guard<std::mutex> lock(gLogFontReporterMutex);
        r = gLogFontReporter;
    }
    if (r) r(text);
    else std::fprintf(stderr, "%s\n", text.c_str());
}

void CLOGFONT::Serialize(CArchive& ar) {
    try {
        if (ar.IsStoring()) {
            ar << m_lfHeight << m_lfWidth << m_lfEscapement << m_lfOrientation << m_lfWeight;
            ar << m_lfItalic << m_lfUnderline << m_lfStrikeOut << m_lfCharSet << m_lfOutPrecision
               << m_lfClipPrecision << m_lfQuality << m_lfPitchAndFamily;
            ar.Write(m_lfFaceName, sizeof m_lfFaceName);
        } else {
            ar >> m_lfHeight >> m_lfWidth >> m_lfEscapement >> m_lfOrientation >> m_lfWeight;
            ar >> m_lfItalic >> m_lfUnderline >> m_lfStrikeOut >> m_lfCharSet >> m_lfOutPrecision >>
                m_lfClipPrecision >> m_lfQuality >> m_lfPitchAndFamily;
            char face[sizeof m_lfFaceName];
            ar.ReadExact(face, sizeof face);
            std::memcpy(m_lfFaceName, face, sizeof face);
        }
    } catch (const CArchiveException&) {
        ReportError(kSerializeError);
    }
}

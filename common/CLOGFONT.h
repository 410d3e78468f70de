#pragma once
// The serializable font record that projects and page setups keep for their
// fonts. Its stream form is an interface with stored files: little-endian, no
// header: five 32-bit fields (20 bytes), eight single bytes, then the 32
// face-name bytes exactly as they stand (the bytes after the terminating zero
// too) -- 60 bytes in all. (A figure of 52 bytes quoted for this record does
// not add up with its fields; the field list is what both sides write.)
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "CObject.h"

class CArchive;

// The Windows LOGFONT fields the views convert to.
struct QsLogFont {
    std::int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    std::uint8_t lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
        lfPitchAndFamily;
    char lfFaceName[32];
};

class CLOGFONT : public CObject {
    DECLARE_DYNCREATE(CLOGFONT)

public:
    static constexpr std::size_t kStreamSize = 60;

    CLOGFONT() = default;  // members are left as they are, as the stored record's users expect
    CLOGFONT(const CLOGFONT&) = default;
    CLOGFONT& operator=(const CLOGFONT&) = default;

    // The stream form through the framework archive. An archive error while
    // loading is reported once (ReportError) and Serialize returns normally;
    // the fields read before it keep their new values, the rest their old ones.
    void Serialize(CArchive& ar) override;

    int GetLogFont(QsLogFont* out) const;

    // The stream form (kStreamSize bytes).
    void Store(std::vector<std::uint8_t>& out) const;
    // Reads the stream form from data; with fewer bytes the fields that fit
    // are read, the rest keep their values, the error reporter is told once and
    // false is returned.
    bool Load(const std::uint8_t* data, std::size_t size);

    bool operator==(const CLOGFONT& o) const;
    bool operator!=(const CLOGFONT& o) const { return !(*this == o); }

    // Helpers for building a record.
    void SetFace(const std::string& face);
    std::string GetFace() const;

    // Where a damaged stream is reported; by default standard error. The GUI
    // installs a message box.
    static void SetErrorReporter(std::function<void(const std::string&)> reporter);
    static void ReportError(const std::string& text);
    static constexpr const char* kSerializeError = "void CLOGFONT::Serialize( CArchive& ar):CArchive Exception Error!";

    std::int32_t m_lfHeight;
    std::int32_t m_lfWidth;
    std::int32_t m_lfEscapement;
    std::int32_t m_lfOrientation;
    std::int32_t m_lfWeight;
    std::uint8_t m_lfItalic;
    std::uint8_t m_lfUnderline;
    std::uint8_t m_lfStrikeOut;
    std::uint8_t m_lfCharSet;
    std::uint8_t m_lfOutPrecision;
    std::uint8_t m_lfClipPrecision;
    std::uint8_t m_lfQuality;
    std::uint8_t m_lfPitchAndFamily;
    char m_lfFaceName[32];
};

#pragma once
// Reads one member of a zip file (an .xlsx package) for the workbook tests.
// Kept free of Qt: libgsf's headers clash with Qt's keywords.
#include <string>

namespace qs::test {

// The member's bytes; empty with ok false when the file or member is missing.
std::string ReadZipMember(const std::string& zipPath, const std::string& member, bool* ok = nullptr);

}  // namespace qs::test

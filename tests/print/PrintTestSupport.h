#pragma once
// Shared by the print tests: the hand-written hex fixtures, the text and
// page count of a PDF, and a fresh printing host per test.
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace qs::test {

// The bytes of a hex fixture under tests/data/print ("#" lines are comments).
std::vector<std::uint8_t> HexFixture(const std::string& name);
std::string AsString(const std::vector<std::uint8_t>& bytes);

// pdftotext -layout of a PDF (pages end with a form feed); empty when unreadable.
QString PdfText(const QString& path);
QStringList PdfPages(const QString& path);

// Resets the printing host and points its working directory at dir.
void ResetPrintHost(const std::string& dir);

}  // namespace qs::test

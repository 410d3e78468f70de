#pragma once
// The number display of a project as the display page edits it, and the
// defaults file "display.def" that keeps it for new projects: one record,
// little-endian, texts as a length (1 byte below 255; else 255 and 16 bits
// below 65534; else 255, 65535 and 32 bits) followed by UTF-8 bytes.
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct CDisplaySettings {
    QString currencySymbol;     // at most 4 characters
    int currencyPosition = -1;  // 0 after the number, 1 before, -1 none chosen
    int negativeFormat = -1;    // 0 "(1.1)", 1 "-1.1", 2 "1.1-", -1 none chosen
    int useThousands = 0;
    int decimals = -1;          // digits after the decimal point, -1 none chosen
    char thousandsSeparator = ',';
    char decimalSeparator = '.';

    // The kernel's negative symbol: empty for parentheses, "-" otherwise; leading only for "-1.1".
    QString NegativeSymbol() const { return negativeFormat == 0 ? QString() : QStringLiteral("-"); }
    int NegativeLeading() const { return negativeFormat == 1 ? 1 : 0; }
    static int NegativeFormatOf(const QString& symbol, int leading) {
        return symbol.isEmpty() ? 0 : leading ? 1 : 2;
    }
};

namespace qs::project {

inline constexpr const char* kDisplayDefaultsFile = "display.def";

std::vector<std::uint8_t> EncodeDisplayDefaults(const CDisplaySettings& settings);
// Empty when the bytes are not one whole record.
std::optional<CDisplaySettings> DecodeDisplayDefaults(const std::vector<std::uint8_t>& bytes);

// The file in a directory; false when it cannot be read or written (a store
// replaces the file whole or leaves it untouched).
bool LoadDisplayDefaults(const QString& directory, CDisplaySettings& settings);
bool StoreDisplayDefaults(const QString& directory, const CDisplaySettings& settings);

}  // namespace qs::project

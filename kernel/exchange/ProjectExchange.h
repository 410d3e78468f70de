#pragma once
// The exchange formats of whole projects (docs/kernel/exchange.md): Lotus
// worksheets (.wk1), fixed-width ASCII records (.asc), enhanced ASCII text
// holding several projects (.dat) and the predecessor program's exhibit files
// (.pc5).
//
// Every format is read into and written from one neutral form, ExchangeData:
// the structure, the entered tables and, for the exhibit formats, selected
// factors. Readers only parse and check the bytes; they never touch a
// project. CProject's Import and Export calls (CProjectExchange.cpp) move
// projects to and from this form, so a file is checked completely before
// anything is applied.
#include <cstdint>
#include <string>
#include <vector>

#include "CProject.h"

namespace qsexchange {

// One table of one layer. values and present have rows * cols entries, row by
// row; a cell without present holds no value.
struct ExchangeTable {
    int kind = 1;  // 1 system input array, 2 user input array
    int index = 0;
    unsigned short layer = NET;
    int vectorType = 0;  // CDataObject::VectorType
    std::string name, shortName;
    std::uint16_t rows = 0, cols = 0;
    std::vector<double> values;
    std::vector<std::uint8_t> present;
};

// The selected development factors of the standard exhibit of an input array
// (its last cell is the tail).
struct ExchangeSelection {
    int arrayIndex = 0;
    unsigned short layer = NET;
    std::vector<double> factors;
    std::vector<std::uint8_t> present;
};

struct ExchangeData {
    std::string name;
    std::string company;
    QSStructure structure;
    bool hasEvalExtra = true;    // the format records the months past the newest period
    bool hasCalcLayers = true;   // the format records the calculated layers
    bool cumulative = true;      // cumulable triangles are given cumulative (else incremental)
    bool kindsFromIndex = false; // tables named by index alone: 501 and up read as user tables
    std::vector<ExchangeTable> tables;
    std::vector<ExchangeSelection> selections;
};

// Statuses of the readers (the same values CProject's calls return).
constexpr QSSTATUS kExOk = 0;
constexpr QSSTATUS kExIo = 1;          // the file cannot be opened, read or written
constexpr QSSTATUS kExFormat = 20;     // not of the format, damaged or truncated
constexpr QSSTATUS kExStructure = 21;  // the structure is invalid or differs from the project's
constexpr QSSTATUS kExTarget = 22;     // a table cannot be written (calculated layer, kind, name taken)
constexpr QSSTATUS kExOverflow = 23;   // a value does not fit its ASCII field, the sheet its 8192 x 256 cells, or a number (imported increments summed, or added to the project's) overflows

// Cumulative values of a row from incremental ones and back; blank cells stay
// blank and are skipped (a difference is taken to the previous present cell).
void CumulateRow(double* values, const std::uint8_t* present, int count);
void DecumulateRow(double* values, const std::uint8_t* present, int count);

// ---- Lotus worksheet
// kExOverflow when the sheet would pass 8192 rows or 256 columns.
QSSTATUS WriteWk1(const ExchangeData& data, std::vector<std::uint8_t>& out);
QSSTATUS ReadWk1(const std::uint8_t* bytes, std::size_t size, ExchangeData& data);

// ---- enhanced ASCII: one project's records (CRLF lines)
std::string WriteExtAscii(const ExchangeData& data);
// Reads one project from text that starts at (or before, past padding) its
// header record; text after its end record may only be padding.
QSSTATUS ReadExtAscii(const std::string& text, ExchangeData& data);

// ---- fixed-width ASCII records, laid out by the record layout widths:
// header 18 entries (fields 1-11, 12-17, linefeeds flag), data 11 entries.
using Widths = std::vector<std::uint8_t>;
QSSTATUS WriteAscii(const ExchangeData& data, const Widths& header, const Widths& record, std::string& out);
// Tables are read for the given layer.
QSSTATUS ReadAscii(const std::string& text, const Widths& header, const Widths& record, unsigned short layer,
                   ExchangeData& data);

// ---- predecessor exhibit files. The four signature bytes "05.3" are
// written by WritePC5 and are not part of what ReadPC5 takes (the caller has
// read them already). Layers in the file: 1 Net, 2 Direct/Assumed.
constexpr char kPC5Signature[4] = {'0', '5', '.', '3'};
std::vector<std::uint8_t> WritePC5(const ExchangeData& data);
QSSTATUS ReadPC5(const std::uint8_t* bytes, std::size_t size, ExchangeData& data);
// The predecessor's exhibit codes and the input arrays they become.
int PC5CodeToArrayIndex(int code);  // 0 for an unknown code
int ArrayIndexToPC5Code(int arrayIndex);  // 0 for an array the predecessor did not know

// ---- files
// Writes the bytes to a temporary beside path and renames it over path.
QSSTATUS WriteFileAtomically(const std::string& path, const void* bytes, std::size_t size);
QSSTATUS ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace qsexchange

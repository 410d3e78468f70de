#include "CCompanyList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "Ktb.h"
#include "MessageBox.h"

namespace {

// The width KTB delivers an item of this data type in.
int DeliveredWidth(int type) { return type == 1 ? 8 : type == 2 || type == 3 ? 255 : type == 4 ? 15 : 4; }

// A company code as the database holds it: decimal digits, blanks around
// them allowed. Anything else (no code, "ABC", "12x") is no code at all:
// read as 0 it would be the industry composite.
bool ParseCompanyCode(std::string_view text, long& number) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 9) return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    number = value;
    return true;
}

// The entity the import looks a company up by (FillArray's key).
std::string KeyOfCompany(long number) {
    if (number == 0) return "PCOMP";
    char key[32];
    std::snprintf(key, sizeof key, "%05ld", number);
    return key;
}

bool SameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

void ShowStatus(int status) {
    char text[50] = {};
    KtbGetErrText(status, text);
    MessageBox(nullptr, QString::fromLatin1(text), QStringLiteral("Error"), MB_OK);
}

}  // namespace

int CVarSeries::Read(int table, int column) {
    auto fail = [this](int status) {
        m_status = status;
        return -1;
    };
    m_status = KTB_SUCCESS;
    if (const int st = KtbGetInfo(table, column, 8, &m_type); st != KTB_SUCCESS) return fail(st);
    if (m_type == 6) {
        m_size = 4;
    } else if (const int st = KtbGetInfo(table, column, 7, &m_size); st != KTB_SUCCESS) {
        return fail(st);
    }
    if (const int st = KtbGetInfo(table, column, 5, &m_count); st != KTB_SUCCESS) return fail(st);
    if (m_count < 0) return fail(KTB_CANNOT_RETRIEVE);
    // The library writes each item in its delivered width, whatever size the
    // database reports for the variable (texts arrive in 255-byte fields; a
    // damaged catalogue may claim gigabytes for a number).
    m_size = DeliveredWidth(m_type);
    m_items.assign(static_cast<std::size_t>(m_count) * m_size, 0);
    if (m_count > 0) {
        if (const int st = KtbGetVarData(table, column, m_items.data()); st != KTB_SUCCESS) return fail(st);
    }
    char label[46] = {};
    if (const int st = KtbGetInfo(table, column, 4, label); st != KTB_SUCCESS) return fail(st);
    std::memcpy(m_label, label, sizeof label);
    return 0;
}

double CVarSeries::Number(int i) const {
    if (m_type != 1 || i < 0 || i >= m_count) return 0.0;
    double v;
    std::memcpy(&v, m_items.data() + 8 * static_cast<std::size_t>(i), 8);
    return v;
}

bool CVarSeries::IsNA(int i) const {
    if (m_type != 1 || i < 0 || i >= m_count) return true;
    return KtbIsNA(1, m_items.data() + 8 * static_cast<std::size_t>(i)) != 0;
}

const char* CVarSeries::Text(int i) const {
    if (m_type != 2 || i < 0 || i >= m_count) return "";
    return reinterpret_cast<const char*>(m_items.data() + 255 * static_cast<std::size_t>(i));
}

int CCompanyList::Build() {
    int table = 0;
    if (KtbOpenTable("VEZIR", "Main", &table) != KTB_SUCCESS) return -1;
    auto fail = [&] {
        KtbCloseTable(table);
        m_entries.clear();
        m_count = -1;
        return -1;
    };
    if (KtbAddVar(table, "D1") != KTB_SUCCESS || KtbAddVar(table, "D2") != KTB_SUCCESS) return fail();
    int rows = 0;
    if (KtbAllEntityMain(table) != KTB_SUCCESS || KtbGetInfo(table, 0, 1, &rows) != KTB_SUCCESS || rows < 0)
        return fail();
    m_entries.assign(static_cast<std::size_t>(rows), Entry{});
    int moved = KTB_SUCCESS;
    for (int i = 0; i < rows; ++i) {
        if (moved != KTB_SUCCESS) return fail();
        if (ReadEntity(table, m_entries[i]) != 0) return fail();
        moved = KtbMoveTableCursor(table, 2);
    }
    // One code, one company: two entries of one code would share their
    // target files and their figures.
    for (int i = 0; i < rows; ++i) {
        Entry& e = m_entries[i];
        if (!e.problem.empty()) continue;
        for (int j = 0; j < i; ++j) {
            if (!m_entries[j].problem.empty() || m_entries[j].number != e.number) continue;
            e.problem = "The company code " + KeyOfCompany(e.number) + " of " + e.name + " is given to " +
                        m_entries[j].name + " as well.";
            break;
        }
    }
    KtbCloseTable(table);
    m_count = rows;
    return 0;
}

int CCompanyList::ReadEntity(int table, Entry& entry) {
    std::string code;
    int columns = 0;
    if (KtbGetInfo(table, 0, 6, &columns) != KTB_SUCCESS) return -1;
    for (int c = 0; c < columns; ++c) {
        int type = 0, size = 0, count = 0;
        int st = KtbGetInfo(table, c, 8, &type);
        if (st == KTB_SUCCESS && type == 6) size = 4;
        else if (st == KTB_SUCCESS) st = KtbGetInfo(table, c, 7, &size);
        if (st == KTB_SUCCESS) st = KtbGetInfo(table, c, 5, &count);
        if (st != KTB_SUCCESS) {
            ShowStatus(st);
            return -1;
        }
        size = DeliveredWidth(type);
        std::vector<char> data(static_cast<std::size_t>(std::max(count, 1)) * size + 1, 0);
        if (count < 1 || KtbGetVarData(table, c, data.data()) != KTB_SUCCESS) return -1;
        char label[46] = {};
        const bool labelRead = KtbGetInfo(table, c, 4, label) == KTB_SUCCESS;
        if ((labelRead && std::strcmp(label, "LID") == 0) || type != 2) {
            MessageBox(nullptr, QStringLiteral("Unexpected data found!"), QString(), MB_OK);
            return -1;
        }
        if (c == 0) code = data.data();
        if (c == 1) entry.name = data.data();
    }
    char key[46] = {};
    if (KtbGetInfo(table, 0, 2, key) != KTB_SUCCESS) return -1;
    entry.number = 0;
    entry.problem.clear();
    const std::string who = "entity " + std::string(key) + (entry.name.empty() ? std::string() : " (" + entry.name + ")");
    long number = 0;
    if (code.empty()) {
        entry.problem = "The company code of " + who + " is missing.";
    } else if (!ParseCompanyCode(code, number)) {
        entry.problem = "The company code \"" + code + "\" of " + who + " is not a number.";
    } else if (!SameKey(KeyOfCompany(number), key)) {
        entry.problem = "The company code " + KeyOfCompany(number) + " of " + who + " names another entity.";
    } else {
        entry.number = number;
    }
    return 0;
}

int CCompanyList::GetCount(int* count) {
    if (count) *count = m_count;
    return m_count < 0 ? -1 : 0;
}

int CCompanyList::GetName(int index, const char** name) {
    if (index < 0 || index >= m_count || !name) return -1;
    *name = m_entries[index].name.c_str();
    return 0;
}

int CCompanyList::GetNumber(int index, long* number) {
    if (index < 0 || index >= m_count || !number || !m_entries[index].problem.empty()) return -1;
    *number = m_entries[index].number;
    return 0;
}

int CCompanyList::GetEntry(int index, const char** name, long* number) {
    if (index < 0 || index >= m_count || !name || !number || !m_entries[index].problem.empty()) return -1;
    *name = m_entries[index].name.c_str();
    *number = m_entries[index].number;
    return 0;
}

int CCompanyList::GetProblem(int index, const char** text) {
    if (index < 0 || index >= m_count || !text || m_entries[index].problem.empty()) return -1;
    *text = m_entries[index].problem.c_str();
    return 0;
}

#include "CCompanyList.h"

#include <cstdlib>
#include <cstring>

#include "Ktb.h"
#include "MessageBox.h"

namespace {

// The width KTB delivers an item of this data type in.
int DeliveredWidth(int type) { return type == 1 ? 8 : type == 2 || type == 3 ? 255 : type == 4 ? 15 : 4; }

void ShowStatus(int status) {
    char text[50] = {};
    KtbGetErrText(status, text);
    MessageBox(nullptr, QString::fromLatin1(text), QStringLiteral("Error"), MB_OK);
}

}  // namespace

int CVarSeries::Read(int table, int column) {
    if (KtbGetInfo(table, column, 8, &m_type) != KTB_SUCCESS) return -1;
    if (m_type == 6) {
        m_size = 4;
    } else if (KtbGetInfo(table, column, 7, &m_size) != KTB_SUCCESS) {
        return -1;
    }
    if (KtbGetInfo(table, column, 5, &m_count) != KTB_SUCCESS || m_count < 0) return -1;
    // The library writes each item in its delivered width, which can exceed
    // the size the database reports (texts arrive in 255-byte fields).
    m_size = std::max(m_size, DeliveredWidth(m_type));
    m_items.assign(static_cast<std::size_t>(m_count) * m_size, 0);
    if (m_count > 0 && KtbGetVarData(table, column, m_items.data()) != KTB_SUCCESS) return -1;
    char label[46] = {};
    if (KtbGetInfo(table, column, 4, label) != KTB_SUCCESS) return -1;
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
    KtbCloseTable(table);
    m_count = rows;
    return 0;
}

int CCompanyList::ReadEntity(int table, Entry& entry) {
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
        size = std::max(size, DeliveredWidth(type));
        std::vector<char> data(static_cast<std::size_t>(std::max(count, 1)) * size + 1, 0);
        if (count < 1 || KtbGetVarData(table, c, data.data()) != KTB_SUCCESS) return -1;
        char label[46] = {};
        const bool labelRead = KtbGetInfo(table, c, 4, label) == KTB_SUCCESS;
        if ((labelRead && std::strcmp(label, "LID") == 0) || type != 2) {
            MessageBox(nullptr, QStringLiteral("Unexpected data found!"), QString(), MB_OK);
            return -1;
        }
        if (c == 0) entry.number = std::atol(data.data());
        if (c == 1) entry.name = data.data();
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
    if (index < 0 || index >= m_count || !number) return -1;
    *number = m_entries[index].number;
    return 0;
}

int CCompanyList::GetEntry(int index, const char** name, long* number) {
    if (index < 0 || index >= m_count || !name || !number) return -1;
    *name = m_entries[index].name.c_str();
    *number = m_entries[index].number;
    return 0;
}

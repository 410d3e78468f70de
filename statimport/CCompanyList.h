#pragma once
// The companies of the statistics database, in database order: number and
// name per entity (the composite has number 0). A company whose code cannot
// be read, names another entity or is given twice stays listed by name but
// cannot be imported: its number and entry are refused, with the reason.
#include <string>
#include <vector>

#include "LexigroveInterface.h"

class CCompanyList final : public ICompanyList {
public:
    struct Entry {
        long number = 0;
        std::string name;
        std::string problem;  // why the company cannot be imported; empty when it can
    };
    // Reads every entity of the Main table (variables "D1" and "D2"): 0, or -1.
    int Build();
    // Reads the entity at the table's cursor: 0, or -1.
    int ReadEntity(int table, Entry& entry);

    int GetCount(int* count) override;
    int GetName(int index, const char** name) override;
    int GetNumber(int index, long* number) override;
    int GetEntry(int index, const char** name, long* number) override;
    int GetProblem(int index, const char** text) override;

private:
    int m_count = -1;
    std::vector<Entry> m_entries;
};

// One variable column of a Main table at its cursor, as the database gives it.
class CVarSeries {
public:
    // 0 read, -1 when any of its reads fails (Status() then tells why).
    int Read(int table, int column);
    int Status() const { return m_status; }
    int DataType() const { return m_type; }
    int Count() const { return m_count; }
    int ItemSize() const { return m_size; }
    const char* Label() const { return m_label; }
    // Item i as a double (series of numbers); 0 outside the series.
    double Number(int i) const;
    bool IsNA(int i) const;
    const char* Text(int i) const;  // item i of a text series, or ""

private:
    int m_status = 100000;
    int m_type = 0;
    int m_count = 0;
    int m_size = 0;
    char m_label[256] = {};
    std::vector<unsigned char> m_items;
};

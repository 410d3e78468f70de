#pragma once
// The stored content of a print list: four print options, and the entries
// (parallel arrays of ids and display names, one index addressing both) with
// the page setups that the page-setup entries name by key.
//
// Stored form (the body of a ".lst" file after its 18-byte header, and of an
// enterprise list's blob), all through the framework archive:
//   ids        count, then each 32-bit signed id
//   names      count, then each string
//   setups     count, then each page setup in the kernel's stored form
//              (absent in "print_id_list 1.0" files)
//   options    print duvi rozire vididaze, print file summary, print cell
//              notes, print all exhibits from printing arrays (32-bit each)
//   reserved   32-bit 0, skipped on reading
// Loading reads into a fresh object and takes it over only when the whole
// body was read (ids and names of equal count): a damaged body changes nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "CObject.h"
#include "CPageSetup.h"
#include "KernelTypes.h"
#include "WindowsTypes.h"

class CArchive;

class CPrintListOption : public CObject {
    DECLARE_SERIAL(CPrintListOption)

public:
    CPrintListOption() = default;
    CPrintListOption(const CPrintListOption&) = default;
    CPrintListOption& operator=(const CPrintListOption&) = default;

    virtual void copyOptions(const CPrintListOption& other);
    virtual BOOL equalOptions(const CPrintListOption& other) const;

    std::int32_t m_bPrintCellNotes = 0;
    std::int32_t m_bPrintFileSummary = 0;
    std::int32_t m_bPrintAllExhibits = 0;  // ... from printing arrays
    std::int32_t m_bPrintCRX = 0;          // print duvi rozire vididaze
};

class CPrintListData : public CPrintListOption {
    DECLARE_SERIAL(CPrintListData)

public:
    CPrintListData() = default;
    CPrintListData(const CPrintListData&) = default;
    CPrintListData& operator=(const CPrintListData&) = default;

    // The body above, at the kernel's current page-setup layout version.
    // Loading throws CArchiveException when the body is damaged; nothing is
    // changed then.
    void Serialize(CArchive& ar) override;
    // A "print_id_list 1.0" body: ids and names only. The options become 0,
    // the page setups keep what they held.
    void SerializeVersion1(CArchive& ar);

    virtual void assignData(const CPrintListData& other);
    virtual BOOL equalData(const CPrintListData& other) const;

    // ---- entries
    int addEntry(QSID id, const std::string& name);
    void insertEntry(int index, QSID id, const std::string& name);
    void setEntry(int index, QSID id, const std::string& name);
    void removeEntry(int index);
    // Empties ids, names and page setups.
    void clearEntries();
    QSID entryId(int index) const;
    const std::string& entryName(int index) const;
    int entryCount() const { return static_cast<int>(m_names.size()); }
    // ">>>>> Page Setup <<<<<", ">>>>> Page Break <<<<< (Next Page # n)" (or
    // without the number when it is 0), else the stored name.
    std::string entryText(int index) const;
    // Moves entry index one place up (-1) or down (+1); false at an end.
    bool moveEntry(int index, int direction);

    // ---- page setups
    int findPageSetup(int key) const;
    static int pageSetupKeyOf(QSID id);
    int pageSetupCount() const { return static_cast<int>(m_pageSetups.size()); }
    CPageSetup& pageSetupAt(int index) { return m_pageSetups.at(static_cast<std::size_t>(index)); }
    const CPageSetup& pageSetupAt(int index) const { return m_pageSetups.at(static_cast<std::size_t>(index)); }
    void addPageSetup(const CPageSetup& setup) { m_pageSetups.push_back(setup); }
    void removePageSetup(int index);
    // The largest key among the page-setup entries (0 when none).
    int largestPageSetupKey() const;

    const std::vector<QSID>& ids() const { return m_ids; }
    const std::vector<std::string>& names() const { return m_names; }

protected:
    std::vector<CPageSetup> m_pageSetups;
    std::vector<std::string> m_names;
    std::vector<QSID> m_ids;
};

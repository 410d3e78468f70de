#include "CPrintListData.h"

#include <algorithm>
#include <cstdio>

#include "CArchive.h"
#include "CException.h"
#include "PrintListIds.h"

IMPLEMENT_SERIAL(CPrintListOption, CObject, 1)
IMPLEMENT_SERIAL(CPrintListData, CPrintListOption, 1)

using namespace qs::print;

void CPrintListOption::copyOptions(const CPrintListOption& other) {
    m_bPrintCellNotes = other.m_bPrintCellNotes;
    m_bPrintFileSummary = other.m_bPrintFileSummary;
    m_bPrintAllExhibits = other.m_bPrintAllExhibits;
    m_bPrintCRX = other.m_bPrintCRX;
}

BOOL CPrintListOption::equalOptions(const CPrintListOption& other) const {
    return m_bPrintCellNotes == other.m_bPrintCellNotes && m_bPrintFileSummary == other.m_bPrintFileSummary &&
           m_bPrintAllExhibits == other.m_bPrintAllExhibits && m_bPrintCRX == other.m_bPrintCRX;
}

namespace {

// An id is 4 bytes, a string at least its length byte, a page setup at
// least its count: counts the remaining bytes cannot hold fail at once.
void ReadIdsAndNames(CArchive& ar, std::vector<QSID>& ids, std::vector<std::string>& names) {
    const std::size_t nIds = ar.ReadCount(4);
    ids.resize(nIds);
    for (QSID& id : ids) ar >> id;
    const std::size_t nNames = ar.ReadCount(1);
    names.resize(nNames);
    for (std::string& name : names) ar >> name;
    if (nIds != nNames)
        throw CArchiveException(CArchiveException::badSchema, "print list ids and names differ in count");
}

}  // namespace

void CPrintListData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(m_ids.size());
        for (QSID id : m_ids) ar << id;
        ar.WriteCount(m_names.size());
        for (const std::string& name : m_names) ar << name;
        ar.WriteCount(m_pageSetups.size());
        for (CPageSetup& setup : m_pageSetups) setup.Serialize(ar);
        ar << m_bPrintCRX << m_bPrintFileSummary << m_bPrintCellNotes << m_bPrintAllExhibits << std::int32_t(0);
        return;
    }
    CPrintListData read;
    ReadIdsAndNames(ar, read.m_ids, read.m_names);
    read.m_pageSetups.resize(ar.ReadCount(2));
    for (CPageSetup& setup : read.m_pageSetups) setup.Serialize(ar);
    std::int32_t reserved = 0;
    ar >> read.m_bPrintCRX >> read.m_bPrintFileSummary >> read.m_bPrintCellNotes >> read.m_bPrintAllExhibits >>
        reserved;
    assignData(read);
}

void CPrintListData::SerializeVersion1(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(m_ids.size());
        for (QSID id : m_ids) ar << id;
        ar.WriteCount(m_names.size());
        for (const std::string& name : m_names) ar << name;
        return;
    }
    std::vector<QSID> ids;
    std::vector<std::string> names;
    ReadIdsAndNames(ar, ids, names);
    m_ids = std::move(ids);
    m_names = std::move(names);
    copyOptions(CPrintListOption());
}

void CPrintListData::assignData(const CPrintListData& other) {
    if (&other == this) return;
    copyOptions(other);
    m_ids = other.m_ids;
    m_names = other.m_names;
    m_pageSetups = other.m_pageSetups;
}

BOOL CPrintListData::equalData(const CPrintListData& other) const {
    if (m_ids.size() != other.m_ids.size() || m_names.size() != other.m_names.size() ||
        m_pageSetups.size() != other.m_pageSetups.size())
        return FALSE;
    if (m_ids != other.m_ids || m_names != other.m_names) return FALSE;
    for (std::size_t i = 0; i < m_pageSetups.size(); ++i)
        if (m_pageSetups[i] != other.m_pageSetups[i]) return FALSE;
    return equalOptions(other);
}

int CPrintListData::addEntry(QSID id, const std::string& name) {
    m_ids.push_back(id);
    m_names.push_back(name);
    return static_cast<int>(m_names.size()) - 1;
}

void CPrintListData::insertEntry(int index, QSID id, const std::string& name) {
    index = std::clamp(index, 0, entryCount());
    m_ids.insert(m_ids.begin() + index, id);
    m_names.insert(m_names.begin() + index, name);
}

void CPrintListData::setEntry(int index, QSID id, const std::string& name) {
    if (index < 0 || index >= entryCount()) return;
    m_ids[std::size_t(index)] = id;
    m_names[std::size_t(index)] = name;
}

void CPrintListData::removeEntry(int index) {
    if (index < 0 || index >= entryCount()) return;
    m_ids.erase(m_ids.begin() + index);
    m_names.erase(m_names.begin() + index);
}

void CPrintListData::clearEntries() {
    m_ids.clear();
    m_names.clear();
    m_pageSetups.clear();
}

QSID CPrintListData::entryId(int index) const {
    return index >= 0 && index < static_cast<int>(m_ids.size()) ? m_ids[std::size_t(index)] : 0;
}

const std::string& CPrintListData::entryName(int index) const {
    static const std::string none;
    return index >= 0 && index < entryCount() ? m_names[std::size_t(index)] : none;
}

std::string CPrintListData::entryText(int index) const {
    const QSID id = entryId(index);
    if (IsPageSetupEntry(id)) return ">>>>> Page Setup <<<<<";
    if (IsPageBreakEntry(id)) {
        const int next = GetIDIndex(id);
        if (next == 0) return ">>>>> Page Break <<<<<";
        char text[64];
        std::snprintf(text, sizeof text, ">>>>> Page Break <<<<< (Next Page # %d)", next);
        return text;
    }
    return entryName(index);
}

bool CPrintListData::moveEntry(int index, int direction) {
    const int other = index + direction;
    if (index < 0 || index >= entryCount() || other < 0 || other >= entryCount()) return false;
    std::swap(m_ids[std::size_t(index)], m_ids[std::size_t(other)]);
    std::swap(m_names[std::size_t(index)], m_names[std::size_t(other)]);
    return true;
}

int CPrintListData::findPageSetup(int key) const {
    const std::uint32_t wanted = static_cast<std::uint16_t>(key);
    for (std::size_t i = 0; i < m_pageSetups.size(); ++i)
        if (static_cast<std::uint16_t>(m_pageSetups[i].m_nKeyValue) == wanted) return static_cast<int>(i);
    return -1;
}

int CPrintListData::pageSetupKeyOf(QSID id) { return id - kPageSetupEntryBase; }

void CPrintListData::removePageSetup(int index) {
    if (index >= 0 && index < pageSetupCount()) m_pageSetups.erase(m_pageSetups.begin() + index);
}

int CPrintListData::largestPageSetupKey() const {
    int largest = 0;
    for (QSID id : m_ids)
        if (IsPageSetupEntry(id)) largest = std::max(largest, pageSetupKeyOf(id));
    return largest;
}

// The database side of a factor library. It sits with the database
// interfaces (CKDVVantor.h) rather than with the library itself, which
// knows files only.
#include "CFSLib.h"
#include "CKDVVantor.h"

long CFSLib::InitProjectWithDBManager(IKDVDatabaseManager* manager) {
    if (manager == nullptr || manager->GetDevFactLibrary() == nullptr) return -1;
    m_dbManager = manager;
    return 0;
}

bool CFSLib::GetDFLfromDB(const std::string& name) {
    CKDVDevFactLibrary* store = m_dbManager ? m_dbManager->GetDevFactLibrary() : nullptr;
    long id = -1;
    if (store == nullptr || !store->FindLibrary(name, id)) return false;
    m_name = name;
    m_id = id;
    return true;
}

bool CFSLib::LoadFactorSetsFromDB(long id) {
    CKDVDevFactLibrary* store = m_dbManager ? m_dbManager->GetDevFactLibrary() : nullptr;
    std::vector<std::uint8_t> bytes;
    if (store == nullptr || !store->LoadLibraryBytes(id, bytes)) return false;
    const std::string name = m_name;
    const std::string description = m_description;
    if (FromBytes(bytes) != qsk::kOk) return false;
    m_id = id;
    if (!name.empty()) m_name = name;
    if (m_description.empty()) m_description = description;
    return true;
}

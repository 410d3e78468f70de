#include "CEditPageSetup.h"

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CException.h"
#include "CFile.h"
#include "PrintHost.h"

namespace {
constexpr const char* kDefaultsFile = "PageSetup.def";
}

CEditPageSetup::CEditPageSetup() { LoadDefaults(); }

CEditPageSetup::CEditPageSetup(const QStringList* fieldNames) : m_pFieldNames(fieldNames) {}

CEditPageSetup::CEditPageSetup(const CEditPageSetup& other) : CPageSetup(other) {}

CEditPageSetup::CEditPageSetup(const CPageSetup& settings, const QStringList* fieldNames)
    : CPageSetup(settings), m_pFieldNames(fieldNames) {}

CEditPageSetup& CEditPageSetup::operator=(const CEditPageSetup& other) {
    CPageSetup::operator=(other);
    return *this;
}

CEditPageSetup& CEditPageSetup::operator=(const CPageSetup& other) {
    CPageSetup::operator=(other);
    return *this;
}

WORD CEditPageSetup::SetKeyValue(WORD key) {
    const qs::print::TraceScope trace("WORD CEditPageSetup::SetKeyValue(WORD p_key)");
    m_nKeyValue = key;
    return 0;
}

QString CEditPageSetup::DefaultsPath() { return qs::print::WorkingFile(QString::fromLatin1(kDefaultsFile)); }

BOOL CEditPageSetup::LoadDefaults() {
    CFile file;
    if (!file.Open(DefaultsPath().toStdString(), CFile::modeRead | CFile::shareDenyNone)) return FALSE;
    CPageSetup read;
    try {
        PageSetupVersionScope version(1);
        CArchive ar(&file, CArchive::load, 4096);
        read.Serialize(ar);
        ar.Close();
    } catch (const CException&) {
        // A damaged defaults file: the settings stay as they were.
        file.Abort();
        return FALSE;
    }
    file.Abort();
    CPageSetup::operator=(read);
    return TRUE;
}

BOOL CEditPageSetup::SaveDefaults() const {
    CAtomicFile file;
    if (!file.Open(DefaultsPath().toStdString())) return FALSE;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        CPageSetup copy(*this);
        copy.Serialize(ar);
        ar.Close();
        file.Commit();
    } catch (const CException&) {
        file.Abort();
        return FALSE;
    }
    return TRUE;
}

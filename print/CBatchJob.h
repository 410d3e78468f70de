#pragma once
// A batch print job: every print list of the job printed for every project
// file of the job, in order. Stored in ".pjb" files; the job last saved as
// the default lives in "Default.pjb" in the working directory.
//
// Job file (framework archive, little-endian):
//   double 1.0 (00 00 00 00 00 00 F0 3F)   the format version
//   project files      count, then each string
//   print-list names   count, then each string
// A file of another version or with a damaged body is refused with a message
// and the job keeps what it held; writes go through a temporary file.
#include <QString>
#include <QStringList>

#include "CObject.h"
#include "WindowsTypes.h"

class CArchive;
class CProjectDoc;

class CBatchJob : public CObject {
    DECLARE_SERIAL(CBatchJob)

public:
    // Empty; reads nothing.
    CBatchJob() = default;
    // Loads the default job (the path is the default path afterwards).
    explicit CBatchJob(CProjectDoc* owner);
    CBatchJob(const CBatchJob& other) : CObject() { Copy(other); }
    CBatchJob& operator=(const CBatchJob& other) {
        Copy(other);
        return *this;
    }

    void Serialize(CArchive& ar) override;

    virtual void Copy(const CBatchJob& other);
    // Same project files and list names in the same order; the path is not compared.
    virtual BOOL IsEqual(const CBatchJob& other) const;
    virtual BOOL EditJob();
    virtual BOOL Load(const QString& path);
    virtual BOOL Open();
    virtual BOOL Save();
    virtual BOOL Write(const QString& path);
    virtual BOOL SaveAs();
    virtual BOOL LoadDefault();

    // Prints every list for every project; stops at the first print that
    // fails. Documents that were open stay open; those the run opened are closed.
    void Print();

    static QString DefaultPath();
    // "Batch Print" for the default job, "Create batch" without a path,
    // else "Batch - " and the file's name.
    static QString JobTitle(const QString& path);

    CProjectDoc* m_pOwner = nullptr;
    QStringList m_projectFiles;
    QStringList m_printLists;
    QString m_strPath;
};

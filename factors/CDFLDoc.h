#pragma once
// The document of one development factor library. The library itself (its
// factor sets and the ".dfl" file format) is the kernel's CFSLib; this
// document decides where it comes from and goes to (a ".dfl" file, or a
// record of the enterprise database once a database manager is attached),
// prepares the lists of the project's development exhibits that the view
// offers, and reports failures.
//
// The project those lists come from is borrowed from the last open project
// document (or, with none open, a fresh project the document owns). A
// borrowed project is never kept as a bare pointer: GetProject() answers
// null once its project document has closed.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "CDocument.h"
#include "KernelTypes.h"

class CFSLib;
class CProject;
class CProjectDoc;
class IKDVDatabaseManager;

class CDFLDoc : public CDocument {
    DECLARE_DYNCREATE(CDFLDoc)

public:
    CDFLDoc();
    ~CDFLDoc() override;

    CFSLib* GetLibrary() const { return m_pFSLib.get(); }
    // The project the lists were made from; null when there is none or its
    // project document has closed since.
    CProject* GetProject() const;
    bool OwnsProject() const { return m_pOwnedProject != nullptr; }

    // ---- files
    BOOL OnNewDocument() override;
    // Reads a ".dfl" file (database mode: the path text is the library's
    // name in the database). A file that cannot be read, is damaged or is of
    // a newer version is refused with a message; the document stays empty.
    BOOL OnOpenDocument(const QString& path) override;
    // Writes the ".dfl" file atomically: a failed save leaves the old file.
    BOOL OnSaveDocument(const QString& path) override;
    // Saves to path; with no path the file chooser runs first (proposing
    // the title with ".dfl"). bReplace makes the path the document's own.
    BOOL DoSaveAs(const QString& path, BOOL bReplace, BOOL reserved = FALSE);
    BOOL DoSave(const QString& path, BOOL bReplace = TRUE) override;
    // Save from the menu or when asked on closing: through the library's
    // view, so the name and description typed there are saved too.
    BOOL DoFileSave() override;
    // The title without its ".dfl" ending: the library's name.
    QString LibraryNameFromTitle() const;
    static QString NameFromTitle(const QString& title);

    // ---- database mode
    // Binds the document to a database manager. Fails (and holds none) when
    // no manager is given, no database store is installed or the library
    // refuses the binding.
    long AttachDatabaseManager(IKDVDatabaseManager* manager);
    BOOL GetDBManager(IKDVDatabaseManager** manager) const;
    bool HasDBManager() const { return m_pDBManager != nullptr; }
    BOOL OpenFromDatabase(const QString& name);
    BOOL SaveToDatabase(bool update);
    BOOL SaveAsNewToDatabase() { return SaveToDatabase(false); }
    // answer: 1 allowed, 0 refused. FALSE when the question failed.
    BOOL CheckUserRight(int category, int right, int& answer, int reserved = 0);
    void SynchronizeFactorSets();

    // What the view reads.
    QStringList m_strLayerNames;  // layers 1..5
    std::vector<QSID> m_ObjectIds;
    QStringList m_ObjectNames;
    QStringList m_ObjectLabels;
    int m_bOpened = 0;

    // "  7 - Name", " 42 - Name", "123 - Name".
    static QString ObjectLabel(QSID id, const QString& name);

    // Texts the document shows.
    static const char* const kMsgReadDictionary;
    static const char* const kMsgSynchronized;

private:
    void FillObjectLists();
    bool LoadUserDefinedFactors();

    std::unique_ptr<CFSLib> m_pFSLib;
    IKDVDatabaseManager* m_pDBManager = nullptr;
    // The borrowed project and the document that owns it, checked before
    // every use; or the project this document made itself.
    CProjectDoc* m_pProjectDoc = nullptr;
    CProject* m_pBorrowedProject = nullptr;
    std::unique_ptr<CProject> m_pOwnedProject;
};

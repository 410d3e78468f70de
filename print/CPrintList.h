#pragma once
// A print list bound to one open project document. Before printing, the
// stored entries are compiled against the current project into a flat list
// of concrete object ids (layers expanded, All Arrays and All Exhibits
// resolved, renamed objects followed by name); the print job then walks that
// list with moveFirst / currentItem / moveNext, the markers between objects
// setting the pending page number and page setup.
//
// Kinds: CFilePrintList (".lst" files, CPrintListFile.cpp), the enterprise
// database's kind (made through PrintHost::createEnterprisePrintList) and
// CDirectPrintList (the active object alone, stores nothing). The operations
// a kind does not support return FALSE and do nothing.
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "CPrintListData.h"
#include "KernelTypes.h"

class CFrameWnd;
class CObjectView;
class CPrintInfo;
class CProject;
class CProjectDoc;
class CView;
class QPainter;
class CPrintList;

// One compiled item while it prints: the object's view, opened (without
// showing it) or found among the document's open windows.
class CPrintListItem {
public:
    CPrintListItem(CProjectDoc* document, QSID id, unsigned short layer, CPrintList* list);
    ~CPrintListItem();
    CPrintListItem(const CPrintListItem&) = delete;
    CPrintListItem& operator=(const CPrintListItem&) = delete;

    // Closes the frame the item opened; a window the user had open stays
    // open, its screen layout put back.
    void Close();

    // The printer of the object is chosen by its id: graphs through the
    // graph seam; object types 5 and 6, 1 and 2 with data type 0, 1, 7 or
    // 8, 3 and 4 with data type 1, 2 or 3 through the table view; anything
    // else prints nothing.
    void BeginPrint(QPainter* dc, CPrintInfo* info);
    void PrintPage(QPainter* dc, CPrintInfo* info);
    void EndPrint(QPainter* dc, CPrintInfo* info);
    // True when the hooks above print something for this item.
    bool Prints() const;

    QSID id() const { return m_id; }
    unsigned short layer() const { return m_layer; }
    bool isGraph() const;
    CView* view() const { return m_pView; }
    CObjectView* tableView() const;

    static bool IsTablePrintable(QSID id);

private:
    QSID m_id;
    unsigned short m_layer;
    CView* m_pView = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    bool m_bOpenedFrame = false;
    CPrintList* m_pList;
};

class CPrintList : public CPrintListData {
public:
    explicit CPrintList(CProjectDoc* document);
    CPrintList(const CPrintList& rhs);
    ~CPrintList() override;
    CPrintList& operator=(const CPrintList& rhs);

    // ---- kinds' operations
    virtual BOOL edit() = 0;
    virtual BOOL loadByName(const QString& name) = 0;
    virtual BOOL loadById(long id) = 0;
    virtual BOOL open() = 0;
    // Names the list after defaultFileName and reads that file. TRUE always:
    // a missing or unreadable "default.lst" leaves an empty default list.
    virtual BOOL loadDefault();
    virtual BOOL saveDefault();
    virtual BOOL save() = 0;
    virtual BOOL saveAs() = 0;
    virtual std::unique_ptr<CPrintList> clone() const = 0;
    virtual BOOL canModify() = 0;
    // Prints the list as one print job; TRUE when everything was printed
    // (an empty list prints nothing and is TRUE).
    virtual BOOL print();
    // The open dialog; the chosen path, empty on Cancel.
    virtual QString chooseToOpen();
    virtual QString defaultFileName() const;

    // ---- the ".lst" file (CPrintListFile.cpp)
    // Reads a file into the list: FALSE without a message when it cannot be
    // opened; FALSE with a message naming the file when it is not a print
    // list or is damaged. The list is unchanged unless TRUE.
    BOOL readFile(const QString& path);
    // Writes a "print_id_list 3.0" file (temporary file and rename).
    BOOL writeFile(const QString& path) const;
    // The save dialog; the chosen path, empty on Cancel.
    QString askSavePath() const;

    // ---- compiling and iteration
    void compilePrintList();
    BOOL moveFirst();
    BOOL moveNext();
    BOOL isAtEnd() const;
    CPrintListItem* currentItem();
    const std::vector<QSID>& compiledIds() const { return m_compiled; }

    // 0 the default list, 1 unnamed, 2 any other; the Print List dialog's caption.
    int listKind() const;
    QString dialogTitle() const;
    // Reads the file, names the list after it and runs edit.
    BOOL openAndEdit(const QString& path);

    // ---- factories: a file list when print lists live in files, else the
    // enterprise kind. The caller owns the list.
    static std::unique_ptr<CPrintList> createNewPrintList(CProjectDoc* document);
    static std::unique_ptr<CPrintList> createDefaultPrintList(CProjectDoc* document);
    static std::unique_ptr<CPrintList> createDirectPrintList(CProjectDoc* document);

    CProjectDoc* document() const { return m_pDocument; }
    CProject* project() const { return m_pProject; }
    const QString& name() const { return m_strName; }
    void setName(const QString& name) { m_strName = name; }
    BOOL mayPrint() const { return m_bMayPrint; }
    void setMayPrint(BOOL on) { m_bMayPrint = on; }

    // The page settings and page number the next printed page must take.
    const CPageSetup* pendingPageSetup() const { return m_pPendingPageSetup; }
    void setPendingPageSetup(const CPageSetup* setup) { m_pPendingPageSetup = setup; }
    int pendingPageNumber() const { return m_nPendingPage; }
    void setPendingPageNumber(int page) { m_nPendingPage = page; }

protected:
    void consumeMarkers();
    void closeCurrentItem();
    void appendCompiled(QSID id, bool graph);
    void compileEntry(int entry);

    int m_nIndex = -1;
    std::unique_ptr<CPrintListItem> m_pCurrentItem;
    std::vector<QSID> m_compiled;
    CProjectDoc* m_pDocument = nullptr;
    CProject* m_pProject = nullptr;
    const CPageSetup* m_pPendingPageSetup = nullptr;
    int m_nPendingPage = 0;
    QString m_strName;
    BOOL m_bMayPrint = TRUE;
};

class CFilePrintList : public CPrintList {
public:
    explicit CFilePrintList(CProjectDoc* document) : CPrintList(document) {}
    CFilePrintList(const CFilePrintList&) = default;

    BOOL edit() override;
    BOOL loadByName(const QString& path) override;
    BOOL loadById(long) override { return FALSE; }
    BOOL open() override;
    BOOL save() override;
    BOOL saveAs() override;
    std::unique_ptr<CPrintList> clone() const override;
    BOOL canModify() override { return TRUE; }
    BOOL writeTo(const QString& path) const { return writeFile(path); }
};

// The object that is current in the document, with the document's current
// layer: one entry, no options, no page setups.
class CDirectPrintList : public CPrintList {
public:
    explicit CDirectPrintList(CProjectDoc* document);

    BOOL edit() override { return FALSE; }
    BOOL loadByName(const QString&) override { return FALSE; }
    BOOL loadById(long) override { return FALSE; }
    BOOL open() override { return FALSE; }
    BOOL save() override { return FALSE; }
    BOOL saveAs() override { return FALSE; }
    std::unique_ptr<CPrintList> clone() const override { return nullptr; }
    BOOL canModify() override { return FALSE; }
};

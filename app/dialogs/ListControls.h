#pragma once
// The two shared list controls and the folder picker.
//
// CSortListCtrl sorts by the clicked column: column 0 by object name, column
// 1 by the name of the object's layer (both through the sort project), others
// keep their order. Items with id 0 (rows that name no object) come first.
//
// COwnerDrawListCtrl draws whole rows itself (labels shortened with "...")
// and selects by typing: each letter or digit typed within 250 ms of the last
// extends the search prefix.
#include <QFileDialog>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

#include <string>

#include "WindowsTypes.h"

class CWnd;

// The kernel project's names as the sort needs them.
class ISortNameSource {
public:
    virtual ~ISortNameSource() = default;
    virtual std::string NameFromID(long id) const = 0;
    virtual std::string LayerNameOfID(long id) const = 0;
};

// The program-wide sort project; every dialog that fills a sorted list sets it.
void SetSortProject(const ISortNameSource* project);
const ISortNameSource* SortProject();

// The comparison of two items by their ids (<0, 0, >0), a strict weak order.
int CompareSortListItems(long id1, long id2, int column);

class CSortListCtrl : public QTreeWidget {
public:
    explicit CSortListCtrl(QWidget* parent = nullptr);
    // Adds a row for an object: its id and its column texts.
    QTreeWidgetItem* AddItem(long id, const QStringList& texts);
    static long ItemId(const QTreeWidgetItem* item);
    // What a header click does.
    void SortByColumn(int column);
};

// Removes the last character until text + "..." fits the width; the text
// itself when it fits.
QString ShortenToFit(const QString& text, const QFontMetrics& metrics, int width);

class COwnerDrawListCtrl : public QTreeWidget {
public:
    static constexpr int kSearchResetMs = 250;

    explicit COwnerDrawListCtrl(QWidget* parent = nullptr);
    void SetSearchColumn(int column) { m_nSearchColumn = column; }
    const QString& SearchPrefix() const { return m_strSearch; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void ResetSearch();

    int m_nSearchColumn = 0;
    QString m_strSearch;
    int m_nNextSearch = 0;
    QTimer m_resetTimer;
};

// A folder picker: the user chooses only a folder; the path returned ends in
// "/" and the dummy name "Junk", which the caller removes.
class CCustomFileDialog : public QFileDialog {
public:
    CCustomFileDialog(bool openFileDialog, const QString& defaultExtension = {}, const QString& fileName = {},
                      DWORD flags = 0, const QString& filter = {}, QWidget* parent = nullptr);
    int DoModal();
    QString GetPathName() const;
    static constexpr const char* kDummyName = "Junk";
};

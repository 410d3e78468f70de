#pragma once
// "Choose Table Elements to Graph": for each table of a graph, which of its
// parts are plotted (the triangle, row or column of an input array; an
// exhibit's factors, statistics, tail curves, selected factors, factor sets
// and selection history; a method's or report's columns; a scalar's value).
// The checks of every table shown are remembered while the user moves
// between tables; on OK each shown table's graph data is cleared and given
// the checked part codes in list order (tables never shown keep theirs) and
// the graph is marked to be saved as a new graph. Cancel changes nothing.
#include <map>
#include <vector>

#include "CDialog.h"
#include "KernelTypes.h"

class CTableIterator;
class CTableAdapter;
class QListWidget;
class QTreeWidget;

class CChooseGraphElementsDlg : public CDialog {
public:
    enum : UINT { IDD = 448, IDC_TABLES = 1573, IDC_ELEMENTS = 1692 };

    struct Element {
        QString text;
        long code = 0;
    };

    CChooseGraphElementsDlg(CTableIterator* tables, CTableAdapter* table, QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The elements a table offers (by its id and the graph's project).
    static std::vector<Element> ElementsOf(CTableAdapter& table);

    // What a person works with.
    void ShowTable(int index);
    QTreeWidget* TableList() const { return m_pTables; }
    QListWidget* ElementList() const { return m_pElements; }
    bool SetChecked(const QString& text, bool on);

private:
    void Remember();

    CTableIterator* m_pIterator;
    CTableAdapter* m_pAdapter;
    std::vector<CTableAdapter*> m_tables;
    std::map<int, std::vector<Element>> m_elements;  // by table row
    std::map<int, std::vector<bool>> m_checks;        // by table row, once shown
    int m_nShown = -1;
    QTreeWidget* m_pTables;
    QListWidget* m_pElements;
};

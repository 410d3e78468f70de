#pragma once
// The error list dialog: the collected error texts, with Save to a text file
// and Print. Controls carry their numbers as object names ("1001" Save,
// "1002" Print, "1003" Close, "1004" the list).
#include <QDialog>

#include "FaultboxApi.h"

class QListWidget;
class QPrinter;

class CFaultbox : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 101, IDC_SAVE = 1001, IDC_PRINT = 1002, IDC_CLOSE = 1003, IDC_ERRORS = 1004 };

    // The list stays the caller's; null stands for no list.
    explicit CFaultbox(const FaultboxErrorList* errors, QWidget* parent = nullptr);

    void OnClickedButtonSave();
    void OnClickedButtonPrint();
    void OnClickedButtonClose();

    // Prints the list on a printer already chosen; what Print does after the
    // print-setup dialog.
    void PrintTo(QPrinter& printer);
    // Lines that fit on one page of `printer` in its default font.
    static int LinesPerPage(QPrinter& printer);

    QListWidget* ErrorList() const { return m_list; }

private:
    bool HasErrors() const;
    QString ErrorAt(int index) const;
    void OnInitDialog();

    const FaultboxErrorList* m_pErrors;
    QListWidget* m_list;
};

#pragma once
// The "View" dialog of the navigator's table filters: which tables the list
// shows. The caller sets the four filters before running it and reads them
// back after OK (each 0 or 1).
#include <QDialog>

class QRadioButton;
class QPushButton;

class CViewSelectionDlg : public QDialog {
public:
    enum { IDD = 241 };
    explicit CViewSelectionDlg(QWidget* parent = nullptr);

    int m_nViewEntered = 1;
    int m_nViewCalculated = 1;
    int m_nViewDataOnly = 0;
    int m_nViewSelectedTables = 0;

    // The buttons, in the dialog's order: all tables, all with data, only
    // entered, only calculated, only selected tables.
    QRadioButton* Choice(int index) const { return m_choices[index]; }
    QPushButton* SelectButton() const { return m_select; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* m_choices[5] = {};
    QPushButton* m_select = nullptr;
};

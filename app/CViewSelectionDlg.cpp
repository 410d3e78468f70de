#include "CViewSelectionDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>


CViewSelectionDlg::CViewSelectionDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("View"));
    auto* layout = new QVBoxLayout(this);
    const char* const labels[5] = {"&All tables", "All tables with &data", "Only &entered arrays",
                                   "Only &calculated arrays", "Only selected &tables"};
    for (int i = 0; i < 5; ++i) {
        m_choices[i] = new QRadioButton(QString::fromLatin1(labels[i]), this);
        layout->addWidget(m_choices[i]);
    }
    // Choosing the tables themselves is the project's display selection,
    // which this program does not offer yet.
    m_select = new QPushButton(QStringLiteral("Select..."), this);
    m_select->setEnabled(false);
    layout->addWidget(m_select);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CViewSelectionDlg::showEvent(QShowEvent* event) {
    // The filters as one choice: the selected tables win, then data only,
    // then a one-sided entered/calculated filter.
    int choice = 0;
    if (m_nViewSelectedTables) choice = 4;
    else if (m_nViewDataOnly) choice = 1;
    else if (m_nViewEntered && !m_nViewCalculated) choice = 2;
    else if (!m_nViewEntered && m_nViewCalculated) choice = 3;
    m_choices[choice]->setChecked(true);
    QDialog::showEvent(event);
}

void CViewSelectionDlg::accept() {
    int choice = 0;
    for (int i = 0; i < 5; ++i)
        if (m_choices[i]->isChecked()) choice = i;
    m_nViewDataOnly = choice == 1 ? 1 : 0;
    m_nViewEntered = choice == 3 ? 0 : 1;
    m_nViewCalculated = choice == 2 ? 0 : 1;
    m_nViewSelectedTables = choice == 4 ? 1 : 0;
    QDialog::accept();
}

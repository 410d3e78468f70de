#include "CPrjPage4.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CPrjPage4::CPrjPage4() : CPropertyPage(IDD, QStringLiteral("Scaling Factor")) {
    auto* form = new QFormLayout(this);
    auto* text = new QLabel(
        QStringLiteral("This factor accounts for the fact that you may enter count arrays and amount arrays in "
                       "different rounding bases. It is used in calculating averages using both types of data."),
        this);
    text->setWordWrap(true);
    form->addRow(text);
    auto* example = new QLabel(
        QStringLiteral("For example, if you enter Claims amounts in whole units but you round Paid Losses to "
                       "thousands, entering 1000 here allows the Average Paid Loss exhibit to calculate correctly."),
        this);
    example->setWordWrap(true);
    form->addRow(example);
    auto* value = new QLineEdit(this);
    SetControlId(value, IDC_VALUE);
    form->addRow(QStringLiteral("Value:"), value);
}

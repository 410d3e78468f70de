#include "DisplayPreview.h"

#include <QComboBox>

#include "CDialog.h"
#include "CPrjSheetEnvironment.h"
#include "CProject.h"
#include "SpreadsheetControl.h"

namespace qs::project {

void BuildDisplayPreview(qs::ss::SpreadsheetControl& grid) {
    grid.SetMaxRow(3);
    grid.SetMaxCol(2);
    grid.SetDefaultFont(QStringLiteral("MS Sans Serif"), 8);
    grid.SetTitle(QStringLiteral("SAMPLE"));
    grid.SetCornerText(QStringLiteral("SAMPLE"));
    grid.SetHeadingColWidth(1300);  // room for "Currency" and "SAMPLE"
    grid.SetColHeadingText(1, QStringLiteral("Positive"));
    grid.SetColHeadingText(2, QStringLiteral("Negative"));
    const char* rows[3] = {"Number", "Currency", "Percent"};
    for (int r = 1; r <= 3; ++r) {
        grid.SetRowHeadingText(r, QString::fromLatin1(rows[r - 1]));
        grid.SetNumber(r, 1, 1234);
        grid.SetNumber(r, 2, -1234);
    }
}

void FormatDisplayPreview(qs::ss::SpreadsheetControl& grid, const CDisplaySettings& d) {
    if (!grid.MaxRow()) return;  // before the sample is laid out
    const PrjSheetEnvironment& env = PrjSheetEnv();
    const bool thousands = d.useThousands != 0;
    const QString formats[3] = {
        env.buildNumberFormat ? env.buildNumberFormat(d.negativeFormat, thousands, d.decimals) : QString(),
        env.buildAccountingFormat ? env.buildAccountingFormat(d.negativeFormat, d.currencyPosition != 0, thousands,
                                                              d.decimals, d.currencySymbol)
                                  : QString(),
        env.buildPercentFormat ? env.buildPercentFormat(d.negativeFormat, thousands, d.decimals) : QString(),
    };
    for (int r = 1; r <= 3; ++r) {
        grid.SetSelection(r, 1, r, 2);
        grid.SetNumberFormat(formats[r - 1]);
    }
    grid.SetSelection(1, 1, 1, 1);
}

void ReadDisplaySettings(const CProject& project, CDisplaySettings& d) {
    std::string symbol;
    int position = 0;
    if (project.GetCurrencySymbol(symbol, position) == 0) {
        d.currencySymbol = QString::fromStdString(symbol);
        d.currencyPosition = position;
    }
    std::string negative;
    int leading = 0, red = 0;
    if (project.GetNegSymbol(negative, leading, red) == 0)
        d.negativeFormat = CDisplaySettings::NegativeFormatOf(QString::fromStdString(negative), leading);
    char thousands = ',', decimal = '.';
    int useThousands = 0;
    if (project.GetThousDecSymbol(thousands, decimal, useThousands) == 0) {
        d.thousandsSeparator = thousands;
        d.decimalSeparator = decimal;
        d.useThousands = useThousands;
    }
    short decimals = 0;
    if (project.GetDecimals(decimals) == 0) d.decimals = decimals;
}

void WriteDisplaySettings(CProject& project, const CDisplaySettings& d) {
    project.SetCurrencySymbol(d.currencySymbol.toStdString(), d.currencyPosition);
    project.SetNegSymbol(d.NegativeSymbol().toStdString(), d.NegativeLeading(), 0);
    project.SetThousDecSymbol(d.thousandsSeparator, d.decimalSeparator, d.useThousands);
    project.SetDecimals(short(d.decimals));
}

bool PickCurrencySymbol(CDialog& owner, int index, CDisplaySettings& settings) {
    auto* symbol = qobject_cast<QComboBox*>(owner.GetDlgItem(1005));
    if (symbol == nullptr || index < 0 || index >= symbol->count()) return false;
    owner.UpdateData(TRUE);
    settings.currencySymbol = symbol->itemText(index).left(4);
    owner.UpdateData(FALSE);
    return true;
}

void ExchangeDisplaySettings(CDataExchange* pDX, const CWnd& owner, CDisplaySettings& settings) {
    DDX_CBIndex(pDX, 1015, settings.currencyPosition);
    DDX_CBIndex(pDX, 1013, settings.negativeFormat);
    DDX_Check(pDX, 1113, settings.useThousands);
    DDX_CBIndex(pDX, 1006, settings.decimals);
    auto* symbol = qobject_cast<QComboBox*>(owner.GetDlgItem(1005));
    if (symbol == nullptr) return;
    if (pDX->m_bSaveAndValidate) settings.currencySymbol = symbol->currentText().left(4);
    else symbol->setEditText(settings.currencySymbol);
}

}  // namespace qs::project

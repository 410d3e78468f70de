#include "ProfileChooserDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include <cmath>

#include "DatabaseManager.h"
#include "MessageBox.h"

namespace {
const QDate kEpoch(1899, 12, 30);
}

CProfileChooserDlg::CProfileChooserDlg(const QStringList& profiles, const QString& profile, double date, CWnd* parent)
    : CDialog(0, parent), m_strProfile(profile), m_dEvalDate(date) {
    setWindowTitle(QStringLiteral("Save Data As"));
    auto* form = new QFormLayout(this);
    m_profile = new QComboBox(this);
    m_profile->setEditable(true);
    m_profile->addItems(profiles);
    m_profile->setCurrentText(profile);
    m_profile->setMinimumContentsLength(30);
    form->addRow(QStringLiteral("&Profile:"), m_profile);
    m_date = new QDateEdit(this);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    m_date->setDate(kEpoch.addDays(static_cast<qint64>(std::floor(date >= 0 ? date : 0))));
    form->addRow(QStringLiteral("&Evaluation date:"), m_date);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    form->addRow(row);
}

void CProfileChooserDlg::OnOK() {
    const QString profile = m_profile->currentText().trimmed();
    if (profile.isEmpty()) {
        AfxMessageBox(QString::fromUtf8(kBlankProfile), MB_OK | MB_ICONINFORMATION);
        m_profile->setFocus();
        return;
    }
    m_strProfile = profile;
    m_dEvalDate = static_cast<double>(kEpoch.daysTo(m_date->date()));
    EndDialog(IDOK);
}

QStringList ProfileChoices(qs::db::DatabaseManager& connection, long groupId) {
    QStringList out;
    QString query;
    if (connection.GroupQuery(groupId, query) >= 0)
        for (const QString& entry : query.split(QLatin1Char(';'), Qt::SkipEmptyParts)) out << entry;
    std::vector<QString> stored;
    if (connection.QueryStrings(QStringLiteral("SELECT DISTINCT PROFILE_NAME FROM PROFILE_DATA_TBL ORDER BY PROFILE_NAME"),
                                {}, stored) >= 0)
        for (const QString& s : stored)
            if (!out.contains(s)) out << s;
    return out;
}

#pragma once
// The profile chooser of Save Data As: the profile to store the data under
// (one the login's group query names, or another typed in) and its
// evaluation date. The group query decides afterwards whether the choice
// may be written.
#include <QString>
#include <QStringList>

#include "CDialog.h"

class QComboBox;
class QDateEdit;

class CProfileChooserDlg : public CDialog {
public:
    static constexpr const char* kBlankProfile = "Please choose a profile.";
    // profiles: the choices offered; profile and date (a date serial) start the dialog.
    CProfileChooserDlg(const QStringList& profiles, const QString& profile, double date, CWnd* parent = nullptr);
    void OnOK() override;

    QComboBox* ProfileBox() const { return m_profile; }
    QDateEdit* DateEdit() const { return m_date; }

    QString m_strProfile;
    double m_dEvalDate = -1;

private:
    QComboBox* m_profile;
    QDateEdit* m_date;
};

namespace qs::db {
class DatabaseManager;
}

// The profiles the group query of the login's group names, entry by entry
// (separators kept as written); then those already holding data.
QStringList ProfileChoices(qs::db::DatabaseManager& connection, long groupId);

// Profile data of a database project: Save Data, Save Data As, the close
// prompt and saving a copy under another profile.
#include <QApplication>
#include <QDateTime>

#include <cmath>
#include <fstream>

#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "DatabaseManager.h"
#include "GroupQuery.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ProfileChooserDlg.h"
#include "ProjectHost.h"

using qs::project::Host;

namespace {

QString WithReason(const QString& text, const std::string& reason) {
    return reason.empty() ? text : text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

// Today as a date serial (days since 30 December 1899, the time as its fraction).
double Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return static_cast<double>(epoch.msecsTo(now)) / 86400000.0;
}

bool ChooseProfile(qs::db::DatabaseManager& second, QString& profile, double& date) {
    if (Host().chooseProfile) return Host().chooseProfile(second, profile, date);
    CProfileChooserDlg dialog(ProfileChoices(second, gSecAttribs.groupId), profile, date);
    if (dialog.DoModal() != IDOK) return false;
    profile = dialog.m_strProfile;
    date = dialog.m_dEvalDate;
    return true;
}

}  // namespace

void CProjectDoc::OnSaveData() { SaveData(); }

bool CProjectDoc::SaveData() {
    CKDVData* data = DatabaseData();
    if (data == nullptr) return false;
    if (!data->HasStructureChanged()) {
        // A refusal (another user saved meanwhile) or a failure is told,
        // never passed over.
        if (data->Save()) return true;
        ReportMessage(WithReason(QStringLiteral("Failure while saving data to the database"), data->GetLastError()));
        return false;
    }
    if (data->SaveAs(true)) return true;
    ReportMessage(WithReason(QStringLiteral("Failure to insert data to the database"), data->GetLastError()));
    return false;
}

BOOL CProjectDoc::SaveProfileData() {
    auto* manager = dynamic_cast<qs::db::DatabaseManager*>(m_pDbManager.get());
    if (manager == nullptr) return FALSE;
    // The copy goes through a second connection of the same login: the
    // database accepts it only with the login's own values.
    QString why;
    std::shared_ptr<qs::db::DatabaseManager> second = manager->OpenSecond(&why);
    if (!second || !second->VerifyLogin(gSecAttribs.userId, gSecAttribs.groupId,
                                        static_cast<std::uint16_t>(gSecAttribs.activeGroup),
                                        {gSecAttribs.loginValues[0], gSecAttribs.loginValues[1]}, &why))
        return FALSE;
    QString query;
    if (second->GroupQuery(gSecAttribs.groupId, query) < 0) return FALSE;
    if (query.isEmpty()) {
        AfxMessageBox(QStringLiteral("File Import Aborted!\n\nNo group query exists for current active group."));
        return FALSE;
    }
    CKDVData* data = DatabaseData();
    if (data == nullptr) return FALSE;
    double date = data->GetEvalDate();
    if (std::fabs(date + 1.0) < 0.01 && !data->SuggestEvalDateWhenNotAvailable(date)) date = Now();
    QString profile = QString::fromStdString(data->GetProfile());
    if (!ChooseProfile(*second, profile, date) || profile.isEmpty()) return FALSE;

    data->SaveProperties();
    data->SetProfile(profile.toStdString());
    data->SetEvalDate(date);
    // From here every way out that stores nothing puts profile and date back.
    auto refuse = [data](const QString& text, bool report, CProjectDoc& doc) {
        data->RestoreProperties();
        if (report) doc.ReportMessage(text);
        else AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    };
    if (second->GroupQuery(gSecAttribs.groupId, query) < 0 || query.isEmpty())
        return refuse(QStringLiteral("Save action aborted!\n\nNo group query exists for current active group."), false,
                      *this);
    if (!qs::db::MatchGroupQuery(profile, query))
        return refuse(QStringLiteral("Save action aborted!\n\nUser has no write permissions on profile [%1].")
                          .arg(QString::fromStdString(data->GetProfileDisplayName())),
                      true, *this);
    if (!data->SaveAs(qs::project::ApplicationMode() != 6))
        return refuse(WithReason(QStringLiteral("Failure while saving data to the database"), data->GetLastError()),
                      true, *this);
    RefreshGroupQueryFlag(profile);
    UpdateTitle();
    return TRUE;
}

int CProjectDoc::PromptSaveProfileData() {
    CKDVData* data = DatabaseData();
    if (data == nullptr) return 0;
    const QString name = QString::fromStdString(data->GetProfileDisplayName());
    if (m_bGroupQuery) {
        const QString text = name.isEmpty() ? QStringLiteral("Data for profile has changed. Do you want to save it?")
                                            : QStringLiteral("Data for profile [%1] has changed. Do you want to save it?")
                                                  .arg(name);
        switch (AfxMessageBox(text, MB_YESNOCANCEL | MB_SETFOREGROUND)) {
        case IDYES: return SaveData() ? 0 : 1;
        case IDCANCEL: return 1;
        default: return 0;
        }
    }
    const QString text =
        name.isEmpty()
            ? QStringLiteral("Data for profile has changed. But,you have not been granted permission to perform this "
                             "task on this component. Please check your group query.Do you want to continue?")
            : QStringLiteral("Data for profile [%1] has changed. But,you have not been granted permission to perform "
                             "this task on this component. Please check your group query. Do you want to continue?")
                  .arg(name);
    const int answer = AfxMessageBox(text, MB_YESNOCANCEL | MB_SETFOREGROUND);
    LogMessage(text + QStringLiteral("\nData not saved."));
    return answer == IDCANCEL ? 1 : 0;
}

BOOL CProjectDoc::SaveDataTo(const QString& profile, const QString& name, int& flag) {
    CKDVData* data = DatabaseData();
    if (data == nullptr) return FALSE;
    return data->SaveDataTo(profile.toStdString(), name.toStdString(), flag) ? TRUE : FALSE;
}

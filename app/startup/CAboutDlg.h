#pragma once
// The About box (command qs::cmd::kAbout): the program's version texts, the kernel's
// version beside the product version, the API library's version and, while
// automation drives a database project, the enterprise database's version.
#include <QString>

#include <functional>
#include <memory>

#include "CDialog.h"

class QLabel;

// What the About box needs of a database interface: one single-value query.
class IAboutDatabase {
public:
    virtual ~IAboutDatabase() = default;
    // False when the query fails.
    virtual bool QuerySingleValue(const QString& sql, QString* value) = 0;
};

class CAboutDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 100;
    enum : int {
        IDC_COMPANY = 100,
        IDC_DESCRIPTION = 101,
        IDC_FILEVERSION = 102,
        IDC_COPYRIGHT = 103,
        IDC_PRODUCTVERSION = 104,
        IDC_APIVERSION = 105,
        IDC_WHATSNEW = 1674,
    };
    static constexpr const char* kDatabaseVersionQuery =
        "select VALUE from SYSTEM_INFO_TBL where upper(NAME) = 'DATABASE VERSION'";

    CAboutDlg();
    BOOL OnInitDialog() override;

    QString FieldText(int id) const;

    // While automation drives the program, the database interface of the
    // project (or factor library) in use; set by the project document's side.
    static void SetDatabaseProvider(std::function<std::shared_ptr<IAboutDatabase>()> provider);

    // The program's version block.
    static QString VersionValue(const QString& key);
    // The API library's version, "Unknown" when it is not installed.
    static QString ApiLibraryVersion();

private:
    std::shared_ptr<IAboutDatabase> m_database;  // held while the box is up
};

// The About command.
void OnAppAbout();

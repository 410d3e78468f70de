#include "startup/CAboutDlg.h"

#include "KernelVersion.h"
#include "shell/ShellReport.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

std::function<std::shared_ptr<IAboutDatabase>()>& DatabaseProvider() {
    static std::function<std::shared_ptr<IAboutDatabase>()> provider;
    return provider;
}

constexpr const char* kWhatsNewUrl = "https://www.corvinet.example/quillstone/whats_new_qs.htm";

}  // namespace

void CAboutDlg::SetDatabaseProvider(std::function<std::shared_ptr<IAboutDatabase>()> provider) {
    DatabaseProvider() = std::move(provider);
}

QString CAboutDlg::VersionValue(const QString& key) {
    static const QString version = QStringLiteral(QS_VERSION_TEXT);
    if (key == QLatin1String("CompanyName")) return QStringLiteral("Corvinet");
    if (key == QLatin1String("FileDescription")) return QStringLiteral("Quillstone Workstation");
    if (key == QLatin1String("FileVersion")) return version;
    if (key == QLatin1String("LegalCopyright")) return QStringLiteral("Copyright (C) Corvinet");
    if (key == QLatin1String("ProductVersion")) return version;
    return {};
}

QString CAboutDlg::ApiLibraryVersion() {
    // The library's versioned file name (libQuillstoneAPI.so.5.0.1) tells its version.
    const QDir folder(QCoreApplication::applicationDirPath());
    const QFileInfo library(folder.filePath(QStringLiteral("libQuillstoneAPI.so")));
    if (!library.exists()) return QStringLiteral("Unknown");
    const QString target = QFileInfo(library.canonicalFilePath()).fileName();
    const QString prefix = QStringLiteral("libQuillstoneAPI.so.");
    return target.startsWith(prefix) ? target.mid(prefix.size()) : QStringLiteral("Unknown");
}

CAboutDlg::CAboutDlg() : CDialog(kTemplateId) {
    setWindowTitle(QStringLiteral("About Quillstone..."));
    auto* form = new QFormLayout;
    const struct {
        int id;
        const char* key;
    } fields[] = {{IDC_COMPANY, "CompanyName"},
                  {IDC_DESCRIPTION, "FileDescription"},
                  {IDC_FILEVERSION, "FileVersion"},
                  {IDC_COPYRIGHT, "LegalCopyright"},
                  {IDC_PRODUCTVERSION, "ProductVersion"},
                  {IDC_APIVERSION, "API version"}};
    for (const auto& f : fields) {
        auto* label = new QLabel(f.id == IDC_APIVERSION ? QStringLiteral("Unknown") : QString::fromUtf8(f.key), this);
        label->setTextFormat(Qt::PlainText);  // an "&" in a value shows as itself
        SetControlId(label, f.id);
        form->addRow(label);
    }
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">What's new</a>").arg(QString::fromUtf8(kWhatsNewUrl)), this);
    SetControlId(link, IDC_WHATSNEW);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    form->addRow(link);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(AddButton(IDOK, QStringLiteral("OK")), 0, Qt::AlignRight);
}

QString CAboutDlg::FieldText(int id) const { return GetDlgItemText(id); }

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Only while automation drives the program is a database involved.
    m_database.reset();
    if (!qs::app::IsInteractive() && DatabaseProvider()) m_database = DatabaseProvider()();

    // The version texts, the database's version beside the file version.
    QString databaseVersion;
    const bool haveDatabaseVersion =
        m_database && m_database->QuerySingleValue(QString::fromUtf8(kDatabaseVersionQuery), &databaseVersion);
    for (int id = IDC_COMPANY; id <= IDC_PRODUCTVERSION; ++id) {
        const QString key = GetDlgItemText(id);
        QString value = VersionValue(key);
        if (id == IDC_FILEVERSION && haveDatabaseVersion)
            value += QStringLiteral("              DB Version:      ") + databaseVersion;
        SetDlgItemText(id, value);
    }

    // The product version line also names the kernel's version.
    const QString kernel = QString::fromUtf8(QsKernelVersion());
    SetDlgItemText(IDC_PRODUCTVERSION, GetDlgItemText(IDC_PRODUCTVERSION) + QStringLiteral(" - ") +
                                           (kernel.isEmpty() ? QStringLiteral("0000") : kernel));

    // The API library's version.
    SetDlgItemText(IDC_APIVERSION, ApiLibraryVersion());
    return TRUE;
}

void OnAppAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}

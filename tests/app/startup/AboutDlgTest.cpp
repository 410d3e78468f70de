#include <gtest/gtest.h>

#include <QDialog>

#include "startup/CAboutDlg.h"
#include "CQuillstoneApp.h"
#include "KernelVersion.h"
#include "ModalScript.h"

namespace {

class FakeDatabase : public IAboutDatabase {
public:
    bool ok = true;
    QStringList queries;
    bool QuerySingleValue(const QString& sql, QString* value) override {
        queries << sql;
        *value = "7.2.0";
        return ok;
    }
};

struct AboutTexts {
    QString fileVersion, productVersion, company, api;
};

AboutTexts ShowAbout() {
    AboutTexts texts;
    qs::fw::ModalScript script;
    script.Then([&](QDialog& d) {
        auto& about = dynamic_cast<CAboutDlg&>(d);
        texts.fileVersion = about.FieldText(CAboutDlg::IDC_FILEVERSION);
        texts.productVersion = about.FieldText(CAboutDlg::IDC_PRODUCTVERSION);
        texts.company = about.FieldText(CAboutDlg::IDC_COMPANY);
        texts.api = about.FieldText(CAboutDlg::IDC_APIVERSION);
        about.OnOK();
    });
    OnAppAbout();
    EXPECT_TRUE(script.AllHandled());
    return texts;
}

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        CAboutDlg::SetDatabaseProvider([this] { return m_db; });
    }
    void TearDown() override { CAboutDlg::SetDatabaseProvider(nullptr); }
    std::shared_ptr<FakeDatabase> m_db = std::make_shared<FakeDatabase>();
    CQuillstoneApp m_app;
};

TEST_F(AboutDlgTest, ShowsTheProgramsAndTheKernelsVersionsAndNoDatabaseForAUser) {
    const AboutTexts texts = ShowAbout();
    EXPECT_EQ(texts.company, "Corvinet");
    EXPECT_EQ(texts.fileVersion, QS_VERSION_TEXT);
    EXPECT_EQ(texts.productVersion, QString(QS_VERSION_TEXT) + " - " + QsKernelVersion());
    EXPECT_EQ(texts.api, "Unknown");
    EXPECT_TRUE(m_db->queries.isEmpty());  // no query while a user drives the program
}

TEST_F(AboutDlgTest, UnderAutomationTheDatabaseVersionJoinsTheFileVersion) {
    m_app.m_bInteractive = FALSE;
    AboutTexts texts = ShowAbout();
    EXPECT_EQ(m_db->queries, QStringList{CAboutDlg::kDatabaseVersionQuery});
    EXPECT_EQ(texts.fileVersion, QString(QS_VERSION_TEXT) + "              DB Version:      7.2.0");

    m_db->ok = false;  // a failing query leaves the plain file version
    texts = ShowAbout();
    EXPECT_EQ(texts.fileVersion, QS_VERSION_TEXT);

    m_db.reset();  // no database bound
    texts = ShowAbout();
    EXPECT_EQ(texts.fileVersion, QS_VERSION_TEXT);
}

}  // namespace

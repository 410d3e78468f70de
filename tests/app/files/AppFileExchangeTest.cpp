// File > Import, File > Export and Convert PC5 Files from the menus of the
// running program: the installed sample exported to each format and read
// back into a new project that opens for editing with the same values.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <stdexcept>

#include "CDataObject.h"
#include "CDialog.h"
#include "CDocTemplate.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CInfoView.h"
#include "InstalledWorkstation.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsCommandIds.h"
#include "files/CConvertPC5Dlg.h"
#include "frames/CMainFrame.h"
#include "frames/StatusWindow.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

constexpr QSID kPaid = 101000001;

ModalScript::Handler AcceptDialog() {
    return [](QDialog& d) { static_cast<CDialog&>(d).OnOK(); };
}

ModalScript::Handler ChooseFile(const QString& path) {
    return [path](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.setDirectory(QFileInfo(path).absolutePath());
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QFileInfo(path).fileName());
        d.accept();
    };
}

// Every value of the Net paid triangle.
std::vector<double> PaidValues(CProjectDoc* doc) {
    std::vector<double> values;
    CDataObject* paid = doc->GetProject()->FindDataObject(kPaid, NET);
    std::uint16_t rows = 0, cols = 0;
    paid->GetMaxRowsCols(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            double v = 0;
            std::uint8_t f = 0;
            paid->GetAt(r, c, v, f);
            values.push_back((f & CDataObject::CF_VALUE) ? v : -1.0);
        }
    return values;
}

class AppFileExchangeTest : public qs::test::StartedAppTest {
protected:
    void Command(UINT id) { app->MainFrame()->SendMessage(WM_COMMAND, id, 0); }
    QString StatusText() const {
        return qs::app::StatusWindowView() ? qs::app::StatusWindowView()->GetText() : QString();
    }
};

TEST_F(AppFileExchangeTest, MenusExportTheSampleToEachFormatAndImportItBack) {
    Start("exchange");
    const QString data = QString::fromStdString(layout.workingDirectory + "/data");
    auto* sample = dynamic_cast<CProjectDoc*>(app->OpenDocumentFile(data + "/sample.qs5"));
    ASSERT_NE(sample, nullptr);
    const std::vector<double> expected = PaidValues(sample);
    const struct {
        const char* ext;
        UINT exportId;
        UINT importId;
    } formats[] = {{"wk1", qs::cmd::kExportLotus, qs::cmd::kImportLotus},
                   {"dat", qs::cmd::kExportEnhancedAscii, qs::cmd::kImportEnhancedAscii},
                   {"asc", qs::cmd::kExportAscii, qs::cmd::kImportAscii}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.ext);
        const QString ext = QString::fromLatin1(f.ext);
        // Export Active Open File: the sample (chosen again in the navigator,
        // after the last round opened its import), beside its file.
        ASSERT_EQ(app->OpenDocumentFile(data + "/sample.qs5"), sample);
        {
            ModalScript script;
            QString activeText;
            script.Then([&](QDialog& d) {
                activeText = static_cast<CDialog&>(d).GetDlgItemText(1086);
                static_cast<CDialog&>(d).OnOK();
            });
            MessageBoxScript boxes;
            Command(f.exportId);
            EXPECT_TRUE(script.AllHandled());
            EXPECT_EQ(activeText, QStringLiteral("Export sample.qs5"));
            EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(" | ").toStdString();
        }
        const QString exported = data + "/sample." + ext;
        ASSERT_TRUE(QFileInfo::exists(exported)) << StatusText().toStdString();
        EXPECT_TRUE(StatusText().contains("File(s) successfully exported!")) << StatusText().toStdString();

        // Into a new project in a folder of its own, which then opens.
        const QString folder = QString::fromStdString(qs::test::MakeTempDir("back"));
        ASSERT_TRUE(QFile::rename(exported, folder + "/sample." + ext));
        {
            ModalScript script;
            script.Then(AcceptDialog()).Then(ChooseFile(folder + "/sample." + ext));
            MessageBoxScript boxes;
            Command(f.importId);
            EXPECT_TRUE(script.AllHandled());
            EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(" | ").toStdString();
        }
        EXPECT_TRUE(StatusText().contains("File(s) successfully imported!")) << StatusText().toStdString();
        auto* imported =
            dynamic_cast<CProjectDoc*>(app->FindOpenDocument(folder + "/sample.qs5", app->m_pProjectTemplate));
        ASSERT_NE(imported, nullptr) << "opened for editing";
        EXPECT_EQ(PaidValues(imported), expected);
    }
    EXPECT_EQ(app->m_nBatchRunning, 0);
}

// The import's overwrite question through the menu: Skip leaves the
// existing project as it is.
TEST_F(AppFileExchangeTest, ImportAsksBeforeTouchingAnExistingProject) {
    Start("exchangeexisting");
    const QString folder = QString::fromStdString(qs::test::MakeTempDir("existing"));
    const QString data = QString::fromStdString(layout.workingDirectory + "/data");
    ASSERT_TRUE(QFile::copy(data + "/sample.qs5", folder + "/raa.qs5"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(qs::test::DataDir() + "/exchange/raa.wk1"), folder + "/raa.wk1"));
    const std::string before = qs::test::ReadFile((folder + "/raa.qs5").toStdString());
    QString question;
    ModalScript script;
    script.Then(AcceptDialog()).Then(ChooseFile(folder + "/raa.wk1")).Then([&](QDialog& d) {
        question = static_cast<CDialog&>(d).GetDlgItemText(1172);
        qobject_cast<QPushButton*>(static_cast<CDialog&>(d).GetDlgItem(1171))->click();  // Skip File
    });
    Command(qs::cmd::kImportLotus);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(question, folder + "/raa.qs5\nFile already exists.");
    EXPECT_TRUE(qs::test::ReadFile((folder + "/raa.qs5").toStdString()) == before);
    EXPECT_TRUE(StatusText().contains("One or more files were skipped!")) << StatusText().toStdString();
}

TEST_F(AppFileExchangeTest, ConvertPC5FilesMakesAProjectAndOpensIt) {
    Start("convert");
    const QString folder = QString::fromStdString(qs::test::MakeTempDir("pc5"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(qs::test::DataDir() + "/exchange/raa.pc5"), folder + "/raa.pc5"));
    QString okText;
    ModalScript script;
    script.Then<CConvertPC5Dlg>([](CConvertPC5Dlg& d) { d.OnOK(); }).Then([&](QDialog& d) {
        okText = dynamic_cast<QFileDialog&>(d).labelText(QFileDialog::Accept);
        ChooseFile(folder + "/raa.pc5")(d);
    });
    MessageBoxScript boxes;
    Command(qs::cmd::kConvertPC5Files);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(okText, "Convert");
    auto* doc = dynamic_cast<CProjectDoc*>(app->FindOpenDocument(folder + "/raa.qs5", app->m_pProjectTemplate));
    ASSERT_NE(doc, nullptr) << StatusText().toStdString();
    EXPECT_EQ(PaidValues(doc).front(), 5012.0);  // RAA 1981 at 12 months
}

// The scripting server's summary data: "done" only when the export ran; a
// list that cannot be had, or a batch that throws, is reported and never
// called done.
TEST_F(AppFileExchangeTest, SummaryDataIsDoneOnlyWhenItRan) {
    Start("summary");
    const QString data = QString::fromStdString(layout.workingDirectory + "/data");
    auto* doc = dynamic_cast<CProjectDoc*>(app->OpenDocumentFile(data + "/sample.qs5"));
    ASSERT_NE(doc, nullptr);
    const auto pending = [this] { return app->MainFrame()->PendingStatusText(); };
    std::vector<QSID> ran;
    app->m_summaryExport.loadList = [](const QString& name, std::vector<QSID>& ids, QStringList& names) {
        if (name == "missing") return false;
        if (name == "empty") return true;
        ids = {101000001};
        names = {"Paid Loss"};
        return true;
    };
    app->m_summaryExport.runBatch = [&](CProjectDoc&, const std::vector<QSID>& ids, const QStringList&) {
        if (ids.empty()) throw std::runtime_error("never");
        ran = ids;
    };
    app->MainFrame()->GetWidget()->show();  // failures are reported over a visible main window
    {
        MessageBoxScript boxes;
        app->GenerateSummaryData("list", doc);
        EXPECT_EQ(ran, std::vector<QSID>{101000001});
        EXPECT_EQ(pending(), "Summary data generation done.");
        EXPECT_EQ(boxes.Count(), 0u);
    }
    {
        MessageBoxScript boxes;
        app->GenerateSummaryData("empty", doc);
        EXPECT_EQ(pending(), "No tables to export.");
    }
    app->m_summaryExport.runBatch = [](CProjectDoc&, const std::vector<QSID>&, const QStringList&) {
        throw std::runtime_error("the batch stopped");
    };
    for (const char* list : {"missing", "list"}) {
        SCOPED_TRACE(list);
        MessageBoxScript boxes;
        app->GenerateSummaryData(list, doc);
        EXPECT_NE(pending(), "Summary data generation done.");
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, "Error: Summary data generation abnormal termination!\n");
    }
}

}  // namespace

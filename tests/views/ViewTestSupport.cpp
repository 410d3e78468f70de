#include "ViewTestSupport.h"

#include <QProcess>
#include <QRegularExpression>

#include "ExhibitDefaultsFiles.h"
#include "ExhibitDialogsHost.h"
#include "ViewSettings.h"

namespace qs::test {

TestProjectDoc::TestProjectDoc(std::uint16_t numExp, std::uint16_t numDev) : m_project(std::make_unique<CProject>()) {
    m_bAutoDelete = FALSE;  // the test owns the document
    std::uint16_t gen = 5, firstYear = 2001, interval = 1, firstAge = 12;
    PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    m_project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2);
}

void ViewTest::ResetViewGlobals() {
    qs::views::Settings() = qs::views::ViewSettings{};
    qs::views::ExhibitHost() = qs::views::ExhibitDialogsHost();
    qs::views::defaults::BeforeCommitHook() = nullptr;
    g_bCalendarView = 0;
    g_bObjectRefreshed = 0;
}

void ViewTest::OpenTablesAsStored() { qs::views::Settings().defaultShow = 1; }

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return -1;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}  // namespace qs::test

#include "PrintTestSupport.h"

#include <QProcess>
#include <QStringList>

#include <sstream>

#include "PrintHost.h"
#include "TestEnvironment.h"

namespace qs::test {

std::vector<std::uint8_t> HexFixture(const std::string& name) {
    std::istringstream in(ReadFile(DataDir() + "/print/" + name));
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') continue;
        std::istringstream words(line);
        std::string hex;
        while (words >> hex) bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16)));
    }
    return bytes;
}

std::string AsString(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList PdfPages(const QString& path) {
    QStringList pages = PdfText(path).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

void ResetPrintHost(const std::string& dir) {
    qs::print::Host() = qs::print::PrintHost{};
    qs::print::Host().workingDirectory = QString::fromStdString(dir);
}

}  // namespace qs::test

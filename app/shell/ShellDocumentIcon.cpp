#include "shell/ShellDocumentIcon.h"

#include "QsEnvironment.h"
#include "QsRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringList>

#include <vector>

namespace {

// Quotes first, then blanks, until neither is left at either end: a command
// cut before "/dde" ends in a blank after the program's closing quote.
QString TrimQuotesThenBlanks(QString text) {
    for (;;) {
        qsizetype b = 0, e = text.size();
        while (b < e && text.at(b) == u'"') ++b;
        while (e > b && text.at(e - 1) == u'"') --e;
        while (b < e && text.at(b) == u' ') ++b;
        while (e > b && text.at(e - 1) == u' ') --e;
        if (b == 0 && e == text.size()) return text;
        text = text.mid(b, e - b);
    }
}

// Extensions (".qs5") whose classes-root default value names the ProgID.
QStringList ExtensionsOf(const QString& progId) {
    QStringList extensions;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyEx(HKEY_CLASSES_ROOT, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (name[0] != '.') continue;
        std::string value;
        if (qs::registry::ReadString(HKEY_CLASSES_ROOT, name, "", &value) &&
            QString::fromStdString(value).compare(progId, Qt::CaseInsensitive) == 0)
            extensions << QString::fromUtf8(name);
    }
    return extensions;
}

QString XmlEscape(QString s) {
    return s.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;")).replace(u'"', QStringLiteral("&quot;"));
}

bool WriteMimePackage(const QString& progId, const QString& iconIndex) {
    const QString path = qs::app::MimePackagePath(progId);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    std::string description;
    qs::registry::ReadString(HKEY_CLASSES_ROOT, progId.toStdString(), "", &description);
    const QString iconName = QStringLiteral("quillstone-document-%1").arg(iconIndex.trimmed());

    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    xml += QStringLiteral("  <mime-type type=\"%1\">\n").arg(XmlEscape(qs::app::MimeTypeForProgId(progId)));
    if (!description.empty())
        xml += QStringLiteral("    <comment>%1</comment>\n").arg(XmlEscape(QString::fromStdString(description)));
    xml += QStringLiteral("    <icon name=\"%1\"/>\n").arg(XmlEscape(iconName));
    for (const QString& ext : ExtensionsOf(progId))
        xml += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(XmlEscape(ext.toLower()));
    xml += QStringLiteral("  </mime-type>\n</mime-info>\n");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(xml.toUtf8());
    return file.commit();
}

QString OwnCommandLine() {
    QStringList parts = QCoreApplication::arguments();
    if (parts.isEmpty()) return QCoreApplication::applicationFilePath();
    parts[0] = QStringLiteral("\"%1\"").arg(QCoreApplication::applicationFilePath());
    return parts.join(u' ');
}

}  // namespace

namespace qs::app {

QString ShellIconCommand(const QString& commandLine) {
    QString command = TrimQuotesThenBlanks(commandLine);
    const qsizetype dde = command.indexOf(QStringLiteral("/dde"));
    if (dde >= 0) command = TrimQuotesThenBlanks(command.left(dde));
    return command;
}

QString MimeTypeForProgId(const QString& progId) {
    QString name = progId.toLower();
    name.replace(u'.', u'-');
    return QStringLiteral("application/x-") + name;
}

QString MimePackagePath(const QString& progId) {
    return QString::fromStdString(qs::env::XdgDataHome()) + QStringLiteral("/mime/packages/") +
           MimeTypeForProgId(progId).mid(QStringLiteral("application/").size()) + QStringLiteral(".xml");
}

bool RegisterShellDocument(const QString& progId, const QString& iconIndex, const QString& commandLine) {
    HKEY progKey = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, progId.toUtf8().constData(), 0, KEY_READ, &progKey) != ERROR_SUCCESS)
        return false;
    HKEY iconKey = nullptr;
    const LONG opened = RegOpenKeyEx(progKey, "DefaultIcon", 0, KEY_WRITE, &iconKey);
    RegCloseKey(progKey);
    if (opened != ERROR_SUCCESS) return false;

    const QByteArray value = (ShellIconCommand(commandLine) + QStringLiteral(" ,") + iconIndex).toUtf8();
    const LONG written = RegSetValueEx(iconKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.constData()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(iconKey);
    if (written != ERROR_SUCCESS) return false;

    // Telling the desktop is a courtesy: the registration itself has succeeded.
    WriteMimePackage(progId, iconIndex);
    return true;
}

}  // namespace qs::app

bool RegisterShellDocument(const QString& progId, const QString& iconIndex) {
    return qs::app::RegisterShellDocument(progId, iconIndex, OwnCommandLine());
}

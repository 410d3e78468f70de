// faultboxcpl: hosts the message library's control-panel applet the way the
// control panel does. It loads the library, asks the applet for its name,
// description and icon, lists it, and on a double-click lets the applet show
// its options dialog. "--list" prints the applets and exits.
#include <QApplication>
#include <QIcon>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "FaultboxApi.h"
#include "QsEnvironment.h"

namespace {

using AppletProc = long (*)(void*, unsigned int, long, long);

struct AppletInfo {
    int index = 0;
    long data = 0;
    QString name;
    QString info;
    QIcon icon;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool listOnly = app.arguments().contains("--list");

    const std::string path = qs::env::ExecutableDirectory() + "/libFaultbox.so";
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    AppletProc applet = library ? reinterpret_cast<AppletProc>(::dlsym(library, "CPlApplet")) : nullptr;
    if (!applet) {
        std::fprintf(stderr, "faultboxcpl: cannot load the applet from %s: %s\n", path.c_str(), ::dlerror());
        return 2;
    }
    if (applet(nullptr, CPL_INIT, 0, 0) == 0) {
        ::dlclose(library);
        return 1;
    }

    QWidget window;
    window.setWindowTitle("Control Panel");
    auto* list = new QListWidget(&window);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    (new QVBoxLayout(&window))->addWidget(list);

    const long count = applet(&window, CPL_GETCOUNT, 0, 0);
    for (long i = 0; i < count; ++i) {
        NEWCPLINFO record;
        std::memset(&record, 0, sizeof record);
        applet(&window, CPL_NEWINQUIRE, i, reinterpret_cast<long>(&record));
        if (record.dwSize != sizeof record) continue;
        const QString name = QString::fromLocal8Bit(record.szName);
        const QString info = QString::fromLocal8Bit(record.szInfo);
        if (listOnly) {
            std::printf("%s\t%s\n", qPrintable(name), qPrintable(info));
            continue;
        }
        auto* item = new QListWidgetItem(QIcon(QString(":/faultbox/%1.png").arg(record.hIcon)), name, list);
        item->setToolTip(info);
        item->setData(Qt::UserRole, static_cast<qlonglong>(i));
        item->setData(Qt::UserRole + 1, static_cast<qlonglong>(record.lData));
    }

    int result = 0;
    if (!listOnly) {
        QObject::connect(list, &QListWidget::itemDoubleClicked, [&](QListWidgetItem* item) {
            applet(&window, CPL_DBLCLK, static_cast<long>(item->data(Qt::UserRole).toLongLong()),
                   static_cast<long>(item->data(Qt::UserRole + 1).toLongLong()));
        });
        window.resize(320, 200);
        window.show();
        result = app.exec();
    }
    for (long i = 0; i < count; ++i) applet(&window, CPL_STOP, i, 0);
    applet(&window, CPL_EXIT, 0, 0);
    ::dlclose(library);
    return result;
}

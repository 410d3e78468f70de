#include "startup/CSplashWindow.h"

#include "CWnd.h"
#include "MessageBox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <optional>

namespace {

bool gSplashEnabled = false;
CSplashWindow* gSplash = nullptr;

std::optional<QStringList>& SplashCommandLine() {
    static std::optional<QStringList> arguments;
    return arguments;
}

// The program's start picture.
QPixmap StartPicture() {
    QPixmap picture(420, 260);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(24, 52, 96));
    sky.setColorAt(1, QColor(70, 120, 170));
    p.fillRect(picture.rect(), sky);
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPointSize(28);
    title.setBold(true);
    p.setFont(title);
    p.drawText(picture.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("Quillstone"));
    QFont small = p.font();
    small.setPointSize(10);
    small.setBold(false);
    p.setFont(small);
    p.drawText(picture.rect().adjusted(0, 120, 0, 0), Qt::AlignCenter, QStringLiteral("Loss reserving workstation"));
    return picture;
}

// Gives the splash the first look at every event of the program while it is up.
class SplashFilter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override { return CSplashWindow::FilterMessage(event); }
};

SplashFilter& Filter() {
    static SplashFilter filter;
    return filter;
}

}  // namespace

void CSplashWindow::Enable(bool enable) { gSplashEnabled = enable; }
bool CSplashWindow::IsEnabled() { return gSplashEnabled; }
CSplashWindow* CSplashWindow::Instance() { return gSplash; }

void CSplashWindow::SetCommandLine(const QStringList& arguments) { SplashCommandLine() = arguments; }

QStringList CSplashWindow::CommandLine() {
    return SplashCommandLine().value_or(QCoreApplication::arguments().mid(1));
}

bool CSplashWindow::CommandLineNamesWork(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        const bool isSwitch = arg.startsWith(u'/') && arg.size() > 1 && !arg.mid(1).contains(u'/');
        if (!isSwitch && !arg.startsWith(u'-')) return true;  // a file to open
        const QString name = arg.mid(1).toLower();
        if (name == QLatin1String("dde") || name == QLatin1String("p") || name == QLatin1String("pt")) return true;
    }
    return false;
}

CSplashWindow::CSplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint), m_picture(StartPicture()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_timer = startTimer(kShowMs);
}

CSplashWindow::~CSplashWindow() {
    if (gSplash == this) gSplash = nullptr;
}

void CSplashWindow::Show(CWnd* parent) {
    if (!gSplashEnabled || gSplash) return;
    gSplash = new CSplashWindow(parent ? parent->GetWidget() : nullptr);
    gSplash->show();
    gSplash->repaint();
    qApp->installEventFilter(&Filter());
}

void CSplashWindow::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, m_picture); }

void CSplashWindow::timerEvent(QTimerEvent*) { Hide(); }

bool CSplashWindow::FilterMessage(QEvent* event) {
    if (!gSplash) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if (event->type() == QEvent::ShortcutOverride) return false;
        Hide();
        return true;
    default:
        return false;
    }
}

void CSplashWindow::Hide() {
    CSplashWindow* splash = gSplash;
    if (!splash) return;
    gSplash = nullptr;
    qApp->removeEventFilter(&Filter());
    splash->hide();
    delete splash;

    QWidget* mainWindow = qs::fw::MainWindow();
    if (mainWindow) mainWindow->repaint();
    if (!CommandLineNamesWork(CommandLine())) {
        if (CWnd* main = mainWindow ? CWnd::FromWidget(mainWindow) : nullptr)
            main->PostMessage(WM_COMMAND, kStartCommand, 0);
    }
}

#pragma once
// The start picture, centred on the screen while start-up finishes: it goes
// after four seconds or at the first key or mouse press (which it consumes).
// When it goes and the command line named no file, it posts the "Start"
// command (qs::cmd::kStart) to the main window, which runs the tip of the day and the
// welcome dialog.
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include "QsCommandIds.h"
#include "WindowsTypes.h"

class CWnd;
class QEvent;

class CSplashWindow : public QWidget {
public:
    static constexpr UINT kStartCommand = qs::cmd::kStart;
    static constexpr int kShowMs = 4000;

    static void Enable(bool enable);
    static bool IsEnabled();
    // Shows the splash over parent when enabled and none is up.
    static void Show(CWnd* parent);
    // True when the event was taken by the splash (it then goes no further).
    static bool FilterMessage(QEvent* event);
    static void Hide();
    static CSplashWindow* Instance();

    // The command line the splash reads when it goes (program name excluded);
    // by default the application's arguments.
    static void SetCommandLine(const QStringList& arguments);
    static QStringList CommandLine();
    // True when the arguments name a file to open or print (or ask for DDE).
    static bool CommandLineNamesWork(const QStringList& arguments);

    ~CSplashWindow() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    explicit CSplashWindow(QWidget* owner);
    QPixmap m_picture;
    int m_timer = 0;
};



#pragma once
// The small modeless "busy" window of long operations: a caption, a message
// line, a percent line, a turning figure and an optional Cancel button that
// the operation polls.
//
// The turning figure. A thread of the dialog's own turns the figure every
// 250 ms and draws each new picture off-screen, into an image; no help from
// the user-interface thread is needed for that. Only the user-interface
// thread may put a picture on the screen, though, and while it is held in a
// long synchronous call it runs no event loop. So the newest picture is
// copied to the window, in one blit, at the first chance that thread gives:
//   - the event loop, or the step message's PumpMessages, between steps;
//   - KeepTurning(), which long computations reach through the kernel's
//     pulse (SetKernelPulse) between their units of work. It paints the
//     figure directly and dispatches nothing, so no other code of the
//     program runs inside the computation; with no new picture it costs one
//     atomic read.
// The figure therefore keeps turning during a long kernel call without the
// call being moved off the user-interface thread (its callbacks, messages
// and the project data all stay on the one thread they belong to).
//
// Nesting. Busy dialogs nest: the newest is the current one (Current()) and
// the only one shown; an older one is hidden while a newer one is up and
// comes back when that one goes. Each owner window stays disabled until the
// last dialog over it is gone, and is re-enabled then only when it was
// enabled before the first. Destroying a dialog removes only that dialog.
#include <QColor>
#include <QImage>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "CDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

// Control ids of the dialog.
enum : int {
    IDC_BUSY_PROGRESS = 1003,
    IDC_BUSY_PERCENT = 1004,
    IDC_BUSY_MESSAGE = 1005,
    IDC_BUSY_SPINNER = 1231,
};

class CSpinnerWnd : public QWidget {
    Q_OBJECT
public:
    explicit CSpinnerWnd(QWidget* parent = nullptr);

    // Adds the step to the angle and draws the new picture off-screen;
    // callable from any thread. On the user-interface thread the window shows
    // it at once; from another thread at that thread's next chance (the event
    // loop or ShowPendingFrame).
    void Rotate(double step);
    double Angle() const { return m_angle.load(); }
    // User-interface thread: puts a picture drawn since the last one shown on
    // the window now. False when there was none (or the window is hidden).
    bool ShowPendingFrame();
    // How many paints have put a picture on the window.
    int FramesShown() const { return m_framesShown; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The picture of the figure at an angle on the background (any thread).
    static QImage Draw(double angle, const QSize& size, const QColor& background);

    std::atomic<double> m_angle{0.0};
    std::atomic<bool> m_framePending{false};
    // The newest picture and what it is drawn for; the turning thread writes
    // the picture, the user-interface thread the size and background.
    std::mutex m_frameMutex;
    QImage m_frame;
    QSize m_frameSize;
    QColor m_background;
    int m_framesShown = 0;
};

class CBusyDialog : public CDialog {
    Q_OBJECT
public:
    static constexpr UINT kTemplateId = 189;
    static constexpr UINT kDefaultCaptionId = 190;  // "Status"

    // captionId 0 takes the default caption.
    explicit CBusyDialog(UINT captionId = 0);
    ~CBusyDialog() override;

    // Makes the window over the top-level window of owner (may be null),
    // disables that owner and becomes the current busy dialog. Cancel is
    // hidden unless showCancel. False when the window cannot be made.
    bool Create(CWnd* owner, bool showCancel);

    void SetMessage(const QString& text);
    void SetPos(int pos);
    void SetPosUpper() { SetPos(m_nUpper); }
    void SetPosLower() { SetPos(m_nLower); }
    // Handles every waiting event of this thread (system keys dropped), so
    // the interface stays alive between the steps of a long operation.
    void PumpMessages();
    // The cancel flag; reading it clears it.
    bool CheckCancel();

    BOOL DestroyWindow() override;
    void OnOK() override {}
    void OnCancel() override { m_bCancel = true; }
    void OnClose() override { m_bCancel = true; }

    // Replaces the Cancel button's text when set before Create.
    QString m_strCancelCaption;

    QString Message() const;
    QString PercentText() const;
    bool IsCancelShown() const;
    bool IsSpinnerRunning() const { return m_thread.joinable(); }
    CSpinnerWnd* Spinner() const { return m_spinner; }
    // The progress bar an operation registers with the main frame.
    QProgressBar* ProgressBar() const { return m_progress; }
    QWidget* Owner() const { return m_owner; }

    // The current busy dialog (the newest that is up), null when none.
    static CBusyDialog* Current();
    // How many busy dialogs are up.
    static int Count();
    // Shows the current dialog's newest picture of its figure when one was
    // drawn since the last shown. Cheap when none was; does nothing off the
    // user-interface thread. The kernel's pulse while a busy dialog is up.
    static void KeepTurning();

    // The spinner thread's period and turn.
    static constexpr int kTurnIntervalMs = 250;
    static constexpr double kTurnStep = 3.14159265358979323846 / 12;

private:
    void StartSpinner();
    void StopSpinner();
    void ReleaseOwner();

    UINT m_nCaptionId;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    bool m_bCancel = false;
    bool m_created = false;

    QLabel* m_message = nullptr;
    QLabel* m_percent = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    CSpinnerWnd* m_spinner = nullptr;
    QWidget* m_owner = nullptr;  // disabled on our account while non-null

    std::thread m_thread;
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
    bool m_stop = false;
};

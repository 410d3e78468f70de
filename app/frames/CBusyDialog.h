#pragma once
// The small modeless "busy" window of long operations: a caption, a message
// line, a percent line, a turning figure and an optional Cancel button that
// the operation polls. The figure is turned by a thread of its own so it
// keeps moving between the operation's steps; the thread only times the
// turns and asks the user-interface thread to repaint.
//
// Nesting. Busy dialogs nest: the newest is the current one (Current()) and
// the only one shown; an older one is hidden while a newer one is up and
// comes back when that one goes. Each owner window stays disabled until the
// last dialog over it is gone, and is re-enabled then only when it was
// enabled before the first. Destroying a dialog removes only that dialog.
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

    // Adds the step to the angle and asks for a repaint; callable from any
    // thread (the painting itself happens on the user-interface thread).
    void Rotate(double step);
    double Angle() const { return m_angle.load(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::atomic<double> m_angle{0.0};
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
    QWidget* Owner() const { return m_owner; }

    // The current busy dialog (the newest that is up), null when none.
    static CBusyDialog* Current();
    // How many busy dialogs are up.
    static int Count();

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

#pragma once
// A window: a QWidget (the concrete classes derive from both) that takes
// numbered messages. SendMessage runs WindowProc at once (from another
// thread it waits for the window's thread to run it); PostMessage queues a
// Qt event, and queued messages arrive in the order they were posted.
// Handlers are registered per message (the message map's ON_MESSAGE); the
// rest goes to DefWindowProc. Every window has a handle, valid until the
// window is destroyed, so code that keeps a handle can ask IsWindow.
#include <QPointer>
#include <QString>

#include <functional>
#include <map>

#include "CCmdTarget.h"
#include "WindowMessages.h"

class QWidget;
class QAbstractButton;
class QObject;
class QTimer;

enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_NORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_MAXIMIZE = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
    SW_SHOWDEFAULT = 10,
};

class CWnd : public CCmdTarget {
public:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    QWidget* GetWidget() const { return m_widget.data(); }
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);
    // The CWnd a widget belongs to (the widget itself or its nearest ancestor).
    static CWnd* FromWidget(const QWidget* widget);

    // ON_MESSAGE.
    void MapMessage(UINT message, MessageHandler handler);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: LOWORD(wParam) is the command id, routed through OnCmdMsg
    // unless an update handler on the route disables it (as a menu would).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnClose();
    virtual void OnDestroy() {}

    // A repeating timer: each period delivers WM_TIMER(nIDEvent) to this
    // window. Setting an id again restarts it with the new period.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL SetForegroundWindow();
    void BringWindowToTop();
    CWnd* GetParent() const;
    CWnd* SetFocus();
    // Ends the window: WM_DESTROY, the handle becomes invalid, the widget is
    // hidden and, when the window owns its object (frames and views made by
    // the framework), deleted once control is back in the event loop.
    virtual BOOL DestroyWindow();

    // Child controls by id (a dialog's control ids).
    static void SetControlId(QWidget* control, int nID);
    static int ControlIdOf(const QWidget* control);
    QWidget* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int nID, const QString& text);
    QString GetDlgItemText(int nID) const;
    void SetDlgItemInt(int nID, int value, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    // Clicking the button sends WM_COMMAND with its id to this window.
    void BindCommandButton(QAbstractButton* button, int nID);

    int MessageBox(const QString& text, const QString& caption = QString(), UINT nType = 0);

    // When set, DestroyWindow deletes the widget (and so this object).
    void SetAutoDelete(bool on) { m_autoDelete = on; }

protected:
    // Called by the concrete class's constructor with itself.
    void AttachWidget(QWidget* widget);
    // Called by the concrete class's destructor first, before the widget goes.
    void DetachWidget();

private:
    friend class CWndMessagePump;
    QPointer<QWidget> m_widget;
    QObject* m_pump = nullptr;  // event filter and timer owner
    std::map<UINT, MessageHandler> m_messages;
    std::map<UINT_PTR, QTimer*> m_timers;
    bool m_autoDelete = false;
    bool m_destroyed = false;
};

// Handle-based calls, for code that keeps a window handle.
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL IsWindow(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);

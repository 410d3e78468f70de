#include "CWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <unordered_map>

#include "CCmdUI.h"
#include "MessageBox.h"

namespace {

const char* const kControlIdProperty = "qsControlId";
const char* const kWndProperty = "qsWnd";

// Handles are small numbers handed out once; a destroyed window's handle is
// never reused, so a stale handle stays invalid.
QMutex g_handleMutex;
std::unordered_map<std::uintptr_t, CWnd*> g_handles;
std::uintptr_t g_nextHandle = 0x10;

QEvent::Type WindowMessageEventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(WindowMessageEventType()), m_message(message), m_wParam(wParam), m_lParam(lParam) {}
    UINT m_message;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

}  // namespace

// Delivers posted messages to its window.
class CWndMessagePump : public QObject {
public:
    CWndMessagePump(CWnd* wnd, QWidget* widget) : QObject(widget), m_wnd(wnd) { widget->installEventFilter(this); }
    void Forget() { m_wnd = nullptr; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == WindowMessageEventType() && m_wnd != nullptr && watched == m_wnd->GetWidget()) {
            auto* message = static_cast<WindowMessageEvent*>(event);
            m_wnd->WindowProc(message->m_message, message->m_wParam, message->m_lParam);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

    CWnd* m_wnd;
};

CWnd::CWnd() = default;

CWnd::~CWnd() { DetachWidget(); }

void CWnd::AttachWidget(QWidget* widget) {
    m_widget = widget;
    widget->setProperty(kWndProperty, QVariant::fromValue(static_cast<void*>(this)));
    m_pump = new CWndMessagePump(this, widget);
    QMutexLocker lock(&g_handleMutex);
    const std::uintptr_t handle = g_nextHandle++;
    m_hWnd = reinterpret_cast<HWND>(handle);
    g_handles[handle] = this;
}

void CWnd::DetachWidget() {
    for (auto& [id, timer] : m_timers) delete timer;
    m_timers.clear();
    if (m_pump != nullptr) {
        static_cast<CWndMessagePump*>(m_pump)->Forget();
        m_pump = nullptr;  // owned by the widget
    }
    if (m_widget) m_widget->setProperty(kWndProperty, QVariant());
    QMutexLocker lock(&g_handleMutex);
    if (m_hWnd != nullptr) g_handles.erase(reinterpret_cast<std::uintptr_t>(m_hWnd));
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    QMutexLocker lock(&g_handleMutex);
    auto found = g_handles.find(reinterpret_cast<std::uintptr_t>(hWnd));
    return found == g_handles.end() ? nullptr : found->second;
}

CWnd* CWnd::FromWidget(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant wnd = widget->property(kWndProperty);
        if (wnd.isValid() && wnd.value<void*>() != nullptr) return static_cast<CWnd*>(wnd.value<void*>());
    }
    return nullptr;
}

void CWnd::MapMessage(UINT message, MessageHandler handler) { m_messages[message] = std::move(handler); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_widget && m_widget->thread() != QThread::currentThread()) {
        LRESULT result = 0;
        QMetaObject::invokeMethod(
            m_pump, [&] { result = WindowProc(message, wParam, lParam); }, Qt::BlockingQueuedConnection);
        return result;
    }
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_widget || m_hWnd == nullptr) return FALSE;
    QCoreApplication::postEvent(m_widget.data(), new WindowMessageEvent(message, wParam, lParam));
    return TRUE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
    if (!m_widget) return;
    const auto options = bDeep ? Qt::FindChildrenRecursively : Qt::FindDirectChildrenOnly;
    for (QWidget* child : m_widget->findChildren<QWidget*>(QString(), options)) {
        const QVariant wnd = child->property(kWndProperty);
        if (wnd.isValid() && wnd.value<void*>() != nullptr)
            static_cast<CWnd*>(wnd.value<void*>())->SendMessage(message, wParam, lParam);
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = m_messages.find(message);
    if (found != m_messages.end() && found->second) return found->second(wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    // A command that arrives as a message (a tool button, an accelerator, a
    // script sending WM_COMMAND) passes the same enabled test as a menu pick:
    // when an update handler on the route disables it, it does not run. It
    // still counts as handled, so it goes no further.
    CCmdUI state;
    state.m_nID = id;
    OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
    if (state.m_bEnableChanged && !state.m_enabled) return TRUE;
    return OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}

void CWnd::OnTimer(UINT_PTR) {}

void CWnd::OnClose() { DestroyWindow(); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*) {
    if (!m_widget || m_pump == nullptr) return 0;
    QTimer*& timer = m_timers[nIDEvent];
    if (timer == nullptr) {
        timer = new QTimer(m_pump);
        QObject::connect(timer, &QTimer::timeout, m_pump, [this, nIDEvent] { WindowProc(WM_TIMER, nIDEvent, 0); });
    }
    timer->start(int(nElapse));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    auto found = m_timers.find(nIDEvent);
    if (found == m_timers.end()) return FALSE;
    delete found->second;
    m_timers.erase(found);
    return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_widget) return FALSE;
    const BOOL wasVisible = m_widget->isVisible();
    switch (nCmdShow) {
    case SW_HIDE: m_widget->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: m_widget->showMinimized(); break;
    case SW_SHOWMAXIMIZED: m_widget->showMaximized(); break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: m_widget->showNormal(); break;
    default: m_widget->show(); break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_widget && m_widget->isVisible(); }

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_widget) return FALSE;
    const BOOL wasDisabled = !m_widget->isEnabled();
    m_widget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_widget && m_widget->isEnabled(); }

void CWnd::SetWindowText(const QString& text) {
    if (m_widget) m_widget->setWindowTitle(text);
}

QString CWnd::GetWindowText() const { return m_widget ? m_widget->windowTitle() : QString(); }

void CWnd::Invalidate(BOOL) {
    if (m_widget) m_widget->update();
}

void CWnd::UpdateWindow() {
    if (m_widget) m_widget->repaint();
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    if (!m_widget) return;
    QWidget* owner = pAlternateOwner ? pAlternateOwner->GetWidget() : m_widget->parentWidget();
    QRect area;
    if (owner != nullptr) area = owner->frameGeometry();
    else if (QScreen* screen = m_widget->screen()) area = screen->availableGeometry();
    if (area.isValid()) m_widget->move(area.center() - m_widget->rect().center());
}

BOOL CWnd::SetForegroundWindow() {
    if (!m_widget) return FALSE;
    m_widget->raise();
    m_widget->activateWindow();
    return TRUE;
}

void CWnd::BringWindowToTop() {
    if (m_widget) m_widget->raise();
}

CWnd* CWnd::GetParent() const { return m_widget ? FromWidget(m_widget->parentWidget()) : nullptr; }

CWnd* CWnd::SetFocus() {
    if (m_widget) m_widget->setFocus();
    return nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (m_destroyed || !m_widget) return FALSE;
    m_destroyed = true;
    WindowProc(WM_DESTROY, 0, 0);
    QWidget* widget = m_widget.data();
    const bool autoDelete = m_autoDelete;
    DetachWidget();
    widget->hide();
    if (autoDelete) widget->deleteLater();
    return TRUE;
}

void CWnd::SetControlId(QWidget* control, int nID) {
    if (control) control->setProperty(kControlIdProperty, nID);
}

int CWnd::ControlIdOf(const QWidget* control) {
    if (!control) return 0;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

QWidget* CWnd::GetDlgItem(int nID) const {
    if (!m_widget) return nullptr;
    for (QWidget* child : m_widget->findChildren<QWidget*>())
        if (ControlIdOf(child) == nID) return child;
    return nullptr;
}

int CWnd::GetDlgCtrlID() const { return ControlIdOf(m_widget.data()); }

void CWnd::SetDlgItemText(int nID, const QString& text) {
    QWidget* item = GetDlgItem(nID);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(item)) label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(item)) button->setText(text);
    else if (item) item->setWindowTitle(text);
}

QString CWnd::GetDlgItemText(int nID) const {
    QWidget* item = GetDlgItem(nID);
    if (auto* edit = qobject_cast<QLineEdit*>(item)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(item)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(item)) return button->text();
    return item ? item->windowTitle() : QString();
}

void CWnd::SetDlgItemInt(int nID, int value, BOOL bSigned) {
    SetDlgItemText(nID, bSigned ? QString::number(value) : QString::number(unsigned(value)));
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    bool ok = false;
    const QString text = GetDlgItemText(nID).trimmed();
    const UINT value = bSigned ? UINT(text.toInt(&ok)) : text.toUInt(&ok);
    if (lpTrans) *lpTrans = ok;
    return ok ? value : 0;
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    QWidget* item = GetDlgItem(nIDButton);
    if (auto* box = qobject_cast<QCheckBox*>(item)) {
        box->setCheckState(nCheck == 2 ? Qt::PartiallyChecked : nCheck ? Qt::Checked : Qt::Unchecked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setChecked(nCheck != 0);
    }
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    QWidget* item = GetDlgItem(nIDButton);
    if (auto* box = qobject_cast<QCheckBox*>(item)) return box->checkState() == Qt::PartiallyChecked ? 2 : box->isChecked();
    if (auto* button = qobject_cast<QAbstractButton*>(item)) return button->isChecked() ? 1 : 0;
    return 0;
}

void CWnd::BindCommandButton(QAbstractButton* button, int nID) {
    SetControlId(button, nID);
    QObject::connect(button, &QAbstractButton::clicked, m_pump, [this, nID] { SendMessage(WM_COMMAND, WPARAM(nID), 0); });
}

int CWnd::MessageBox(const QString& text, const QString& caption, UINT nType) {
    return ::MessageBox(m_widget.data(), text, caption.isEmpty() ? qs::fw::ApplicationName() : caption, nType);
}

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd ? wnd->SendMessage(message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd ? wnd->PostMessage(message, wParam, lParam) : FALSE;
}

BOOL IsWindow(HWND hWnd) { return CWnd::FromHandle(hWnd) != nullptr; }

BOOL IsWindowVisible(HWND hWnd) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    return wnd && wnd->IsWindowVisible();
}

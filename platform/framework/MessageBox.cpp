#include "MessageBox.h"

#include "CWinApp.h"
#include "CWnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

qs::fw::MessageBoxScript* g_messageBoxScript = nullptr;
QPointer<QWidget> g_mainWindow;
QString g_applicationName;

// No person can answer a box on these platforms (or without an application).
bool NobodyCanSeeBoxes() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

QMessageBox::StandardButton StandardButtonOf(int id) {
    switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

int ShowRealBox(QWidget* owner, const qs::fw::MessageBoxRecord& box) {
    QMessageBox dialog(owner);
    dialog.setWindowTitle(box.caption);
    dialog.setText(box.text);
    switch (box.icon) {
    case MB_ICONSTOP: dialog.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: dialog.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: dialog.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: dialog.setIcon(QMessageBox::Information); break;
    default: dialog.setIcon(QMessageBox::NoIcon); break;
    }
    QMessageBox::StandardButtons buttons;
    for (int id : box.buttons) buttons |= StandardButtonOf(id);
    dialog.setStandardButtons(buttons);
    dialog.setDefaultButton(StandardButtonOf(box.defaultAnswer));
    // Escape answers Cancel where there is one; an OK box closes with OK.
    const auto& b = box.buttons;
    if (std::find(b.begin(), b.end(), IDCANCEL) != b.end())
        dialog.setEscapeButton(QMessageBox::Cancel);
    else if (b.size() == 1)
        dialog.setEscapeButton(StandardButtonOf(b.front()));
    if (box.type & (MB_SETFOREGROUND | MB_TOPMOST | MB_SYSTEMMODAL))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.exec();
    QAbstractButton* clicked = dialog.clickedButton();
    if (clicked != nullptr) {
        const QMessageBox::StandardButton which = dialog.standardButton(clicked);
        for (int id : box.buttons)
            if (StandardButtonOf(id) == which) return id;
    }
    // Closed by the window manager: Cancel when offered, otherwise the only button.
    if (std::find(b.begin(), b.end(), IDCANCEL) != b.end()) return IDCANCEL;
    return b.size() == 1 ? b.front() : box.defaultAnswer;
}

int Present(QWidget* owner, const QString& text, const QString& caption, UINT type, UINT helpId) {
    qs::fw::MessageBoxRecord box;
    box.text = text;
    box.caption = caption;
    box.type = type;
    box.icon = type & MB_ICONMASK;
    box.buttons = qs::fw::ButtonsOf(type);
    box.defaultAnswer = qs::fw::DefaultAnswerOf(type);
    box.helpId = helpId;
    if (g_messageBoxScript != nullptr) return g_messageBoxScript->Respond(std::move(box));
    if (NobodyCanSeeBoxes()) {
        std::fprintf(stderr, "message box (not shown, answered %d): %s: %s\n", box.defaultAnswer,
                     caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return box.defaultAnswer;
    }
    return ShowRealBox(owner, box);
}

}  // namespace

int AfxMessageBox(const QString& text, UINT type, UINT helpId) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    QWidget* owner = qs::fw::IsMainWindowVisible() ? qs::fw::MainWindow() : nullptr;
    return Present(owner, text, qs::fw::ApplicationName(), type, helpId);
}

int MessageBox(QWidget* owner, const QString& text, const QString& caption, UINT type) {
    return Present(owner, text, caption.isEmpty() ? QStringLiteral("Error") : caption, type, 0);
}

int AfxMessageBoxIfVisible(const QString& text, UINT type, UINT helpId) {
    if (!qs::fw::IsMainWindowVisible()) return qs::fw::DefaultAnswerOf(type);
    return AfxMessageBox(text, type, helpId);
}

namespace qs::fw {

void SetMainWindow(QWidget* window) { g_mainWindow = window; }
QWidget* MainWindow() {
    if (g_mainWindow) return g_mainWindow.data();
    CWnd* main = AfxGetMainWnd();
    return main ? main->GetWidget() : nullptr;
}
bool IsMainWindowVisible() {
    QWidget* main = MainWindow();
    return main != nullptr && main->isVisible();
}

void SetApplicationName(const QString& name) { g_applicationName = name; }
QString ApplicationName() {
    if (!g_applicationName.isEmpty()) return g_applicationName;
    if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationName();
    return QString();
}

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

int DefaultAnswerOf(UINT type) {
    const std::vector<int> buttons = ButtonsOf(type);
    const std::size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

MessageBoxScript::MessageBoxScript() : m_outer(g_messageBoxScript) { g_messageBoxScript = this; }

MessageBoxScript::MessageBoxScript(std::initializer_list<int> answers) : MessageBoxScript() {
    m_answers.assign(answers.begin(), answers.end());
}

MessageBoxScript::~MessageBoxScript() { g_messageBoxScript = m_outer; }

MessageBoxScript& MessageBoxScript::Answer(int id) {
    m_answers.push_back(id);
    return *this;
}

void MessageBoxScript::SetResponder(std::function<int(const MessageBoxRecord&)> responder) {
    m_responder = std::move(responder);
}

const MessageBoxRecord& MessageBoxScript::Last() const { return m_boxes.back(); }

QStringList MessageBoxScript::Texts() const {
    QStringList texts;
    for (const auto& box : m_boxes) texts << box.text;
    return texts;
}

bool MessageBoxScript::AllScripted() const {
    return std::all_of(m_boxes.begin(), m_boxes.end(), [](const MessageBoxRecord& b) { return b.scripted; });
}

void MessageBoxScript::Clear() {
    m_boxes.clear();
    m_answers.clear();
}

int MessageBoxScript::Respond(MessageBoxRecord record) {
    if (m_responder) {
        record.answer = m_responder(record);
    } else if (!m_answers.empty()) {
        record.answer = m_answers.front();
        m_answers.pop_front();
    } else {
        record.answer = record.defaultAnswer;
        record.scripted = false;
    }
    m_boxes.push_back(record);
    return record.answer;
}

}  // namespace qs::fw

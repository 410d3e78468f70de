#pragma once
// The one message-box service. A person gets a real QMessageBox; tests
// install a MessageBoxScript that records every box and answers it without
// showing anything. Without a script on a platform nobody can see
// (offscreen, minimal) the box is not shown: it is logged and answered with
// its default button, so a forgotten script never hangs a test or a server.
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "WindowsTypes.h"

class QWidget;

// Button sets, icons, default button and modality; the numbers are the ones
// the application's code and stored settings use.
enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,

    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,

    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,

    MB_APPLMODAL = 0x0000,
    MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000,
    MB_SETFOREGROUND = 0x10000,
    MB_TOPMOST = 0x40000,
};

// Answers (also the dialog result codes).
enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// The application-level box: caption is the application's name; with no icon
// given, OK and OK/Cancel boxes get the warning icon and Yes/No boxes the
// question icon, as the framework always did.
int AfxMessageBox(const QString& text, UINT type = MB_OK, UINT helpId = 0);

// A box owned by a window, with the caller's caption (empty: "Error") and
// exactly the given type.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, UINT type = MB_OK);

// The application's rule for failure reports: the box appears only while the
// main window (SetMainWindow, else the application's m_pMainWnd) is visible. When it is not, nothing is shown or recorded and the
// box's default answer comes back (IDOK for an OK box, the MB_DEFBUTTONn
// button otherwise).
int AfxMessageBoxIfVisible(const QString& text, UINT type = MB_OK, UINT helpId = 0);

namespace qs::fw {

// The main window whose visibility AfxMessageBoxIfVisible consults; the
// application object sets it when it creates its main frame. Null: hidden.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();
bool IsMainWindowVisible();

// The caption AfxMessageBox uses (the application's name).
void SetApplicationName(const QString& name);
QString ApplicationName();

// The buttons of a type, in display order (IDOK, IDCANCEL, ...).
std::vector<int> ButtonsOf(UINT type);
// The answer Enter would give: the MB_DEFBUTTONn button (first when out of range).
int DefaultAnswerOf(UINT type);

struct MessageBoxRecord {
    QString text;
    QString caption;
    UINT type = 0;            // as requested (after AfxMessageBox added its icon)
    UINT icon = 0;            // type & MB_ICONMASK
    std::vector<int> buttons;  // ButtonsOf(type)
    int defaultAnswer = IDOK;
    UINT helpId = 0;
    int answer = 0;           // what the caller got
    bool scripted = true;     // false when the queue was empty and the default was given
};

// Installs itself for its lifetime (scripts nest; the innermost answers).
// Answers are taken in order; a box that finds the queue empty gets its
// default answer and is marked unscripted, so a test can insist on
// AllScripted(). A responder, when set, answers instead of the queue.
class MessageBoxScript {
public:
    MessageBoxScript();
    explicit MessageBoxScript(std::initializer_list<int> answers);
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    MessageBoxScript& Answer(int id);
    void SetResponder(std::function<int(const MessageBoxRecord&)> responder);

    const std::vector<MessageBoxRecord>& Boxes() const { return m_boxes; }
    std::size_t Count() const { return m_boxes.size(); }
    const MessageBoxRecord& Last() const;  // precondition: Count() > 0
    QStringList Texts() const;
    std::size_t Pending() const { return m_answers.size(); }
    bool AllScripted() const;
    void Clear();

    // Used by the service.
    int Respond(MessageBoxRecord record);

private:
    std::deque<int> m_answers;
    std::function<int(const MessageBoxRecord&)> m_responder;
    std::vector<MessageBoxRecord> m_boxes;
    MessageBoxScript* m_outer = nullptr;
};

}  // namespace qs::fw

#pragma once
// Modal dialogs run through RunModal. For a person it is QDialog::exec; a
// test installs a ModalScript whose handlers play the person: each modal
// dialog that starts (after its initialisation, while shown) goes to the next
// handler, which may read and set its fields and must end it (EndDialog,
// OnOK, accept, reject, done). A dialog the handler leaves open, or one that
// finds no handler, ends with IDCANCEL and is marked in the record. Without a
// script on a platform nobody can see, dialogs end with IDCANCEL at once.
#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace qs::fw {

struct ModalRecord {
    QString className;    // the dialog's most-derived QObject class name
    QString title;        // window title when it started
    int result = 0;       // what DoModal returned
    bool handled = true;  // false: no handler, the handler left it open, or wrong type
};

class ModalScript {
public:
    using Handler = std::function<void(QDialog&)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // The next modal dialog goes to this handler.
    ModalScript& Then(Handler handler);
    // The same for a dialog that must be a T; any other kind is cancelled and
    // marked unhandled.
    template <typename T>
    ModalScript& Then(std::function<void(T&)> handler) {
        return Then(Handler([h = std::move(handler), this](QDialog& d) {
            if (T* typed = dynamic_cast<T*>(&d)) h(*typed);
            else MarkWrongType();
        }));
    }

    const std::vector<ModalRecord>& Dialogs() const { return m_dialogs; }
    std::size_t Pending() const { return m_handlers.size(); }
    bool AllHandled() const;

    // Used by RunModal.
    int Run(QDialog& dialog);

private:
    void MarkWrongType() { m_wrongType = true; }

    std::deque<Handler> m_handlers;
    std::vector<ModalRecord> m_dialogs;
    ModalScript* m_outer = nullptr;
    bool m_wrongType = false;
};

// Runs a dialog modally and returns its result code; a QDialog's Rejected (0)
// becomes IDCANCEL and Accepted (1) is IDOK.
int RunModal(QDialog& dialog);

// True when a ModalScript is installed (a dialog should not wait for a person).
bool IsModalScripted();

}  // namespace qs::fw

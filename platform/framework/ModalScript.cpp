#include "ModalScript.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMetaObject>

#include <algorithm>
#include <cstdio>

#include "MessageBox.h"

namespace {

qs::fw::ModalScript* g_modalScript = nullptr;

bool NobodyCanSeeDialogs() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

int ResultCode(int qtResult) { return qtResult == QDialog::Rejected ? IDCANCEL : qtResult; }

}  // namespace

namespace qs::fw {

ModalScript::ModalScript() : m_outer(g_modalScript) { g_modalScript = this; }
ModalScript::~ModalScript() { g_modalScript = m_outer; }

ModalScript& ModalScript::Then(Handler handler) {
    m_handlers.push_back(std::move(handler));
    return *this;
}

bool ModalScript::AllHandled() const {
    return std::all_of(m_dialogs.begin(), m_dialogs.end(), [](const ModalRecord& r) { return r.handled; });
}

int ModalScript::Run(QDialog& dialog) {
    ModalRecord record;
    record.className = QString::fromLatin1(dialog.metaObject()->className());
    record.title = dialog.windowTitle();
    const std::size_t index = m_dialogs.size();
    m_dialogs.push_back(record);  // recorded first so nested dialogs keep start order

    bool ended = false;
    int code = IDCANCEL;
    QMetaObject::Connection finished =
        QObject::connect(&dialog, &QDialog::finished, [&](int r) { ended = true; code = ResultCode(r); });
    bool handled = false;
    if (!m_handlers.empty()) {
        Handler handler = std::move(m_handlers.front());
        m_handlers.pop_front();
        m_wrongType = false;
        dialog.setModal(true);
        dialog.show();
        handler(dialog);
        handled = ended && !m_wrongType;
    }
    QObject::disconnect(finished);
    if (!ended) {
        dialog.done(QDialog::Rejected);
        code = IDCANCEL;
    }
    dialog.hide();
    m_dialogs[index].handled = handled;
    m_dialogs[index].result = code;
    return code;
}

int RunModal(QDialog& dialog) {
    if (g_modalScript != nullptr) return g_modalScript->Run(dialog);
    if (NobodyCanSeeDialogs()) {
        std::fprintf(stderr, "modal dialog (not shown, cancelled): %s\n",
                     dialog.windowTitle().toLocal8Bit().constData());
        dialog.done(QDialog::Rejected);
        return IDCANCEL;
    }
    return ResultCode(dialog.exec());
}

bool IsModalScripted() { return g_modalScript != nullptr; }

}  // namespace qs::fw

// What the application object shows a person: the error list and the
// options applet.
#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QWidget>

#include "CDebugOptionsDlg.h"
#include "CFaultbox.h"
#include "CFaultboxDll.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsProfile.h"
#include "SharedMessageOptions.h"

extern "C" void DebugDriverMessage(const char* message, long lParam1, long lParam2);

void CFaultboxDll::SetDialogColours(QWidget* dialog) {
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    palette.setColor(QPalette::WindowText, Qt::black);
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
}

void CFaultboxDll::ShowErrors(const FaultboxErrorList* errors, QWidget* parent) {
    DebugDriverMessage("Inside CFaultboxDll::ShowErrors\t", 0, 0);
    // Windows need an application; a program without one gets no dialog.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    CFaultbox dialog(errors, parent);
    qs::fw::RunModal(dialog);
}

void CFaultboxDll::RunOptionsApplet(QWidget* parent) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
    faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    CDebugOptionsDlg dlg(parent);
    dlg.m_alertDebugWin = o.AlertDebugWin;
    dlg.m_alertMsgBox = o.AlertMsgBox;
    dlg.m_traceMsgs = o.TraceMsgs;
    dlg.m_alertFile = o.AlertFile;
    dlg.m_errorFile = o.ErrorFile;
    dlg.m_traceFile = o.TraceFile;
    dlg.m_fileName = QString::fromStdString(MessageFileName());
    dlg.m_errorsDebugWin = o.CErrorsDebugWin;
    dlg.m_errorsMsgBox = o.CErrorsMsgBox;
    dlg.m_priority = o.ShowPriority;
    dlg.DoModal();

    // After Cancel the dialog still holds what it was given, so copying back
    // changes nothing.
    o.AlertDebugWin = dlg.m_alertDebugWin;
    o.AlertMsgBox = dlg.m_alertMsgBox;
    o.TraceMsgs = dlg.m_traceMsgs;
    o.AlertFile = dlg.m_alertFile;
    o.ErrorFile = dlg.m_errorFile;
    o.TraceFile = dlg.m_traceFile;
    o.CErrorsDebugWin = dlg.m_errorsDebugWin;
    o.CErrorsMsgBox = dlg.m_errorsMsgBox;
    o.ShowPriority = dlg.m_priority;

    const std::string dialogName = dlg.m_fileName.toStdString();
    const bool nameChanged = dialogName != MessageFileName();
    if (nameChanged) SetMessageFileName(dialogName.empty() ? std::string(o.DefaultFileName) : dialogName);

    const char* section = o.SectionName;
    bool written = true;
    auto write = [&](const char* key, const std::string& value) {
        written = WritePrivateProfileString(section, key, value.c_str(), faultbox::SystemIniPath().c_str()) != 0 &&
                  written;
    };
    auto onOff = [](std::int32_t v) { return std::string(v != 0 ? "1" : "0"); };
    write("CErrorsDebugWin", onOff(o.CErrorsDebugWin));
    write("CErrorsMsgBox", onOff(o.CErrorsMsgBox));
    write("AlertMsgBox", onOff(o.AlertMsgBox));
    write("AlertDebugWin", onOff(o.AlertDebugWin));
    write("TraceMsgs", onOff(o.TraceMsgs));
    write("ShowPriority", std::string(1, o.ShowPriority));
    write("ErrorFile", onOff(o.ErrorFile));
    write("AlertFile", onOff(o.AlertFile));
    write("TraceFile", onOff(o.TraceFile));
    if (nameChanged) write("FileName", MessageFileName());
    // The switches already hold in every running process; only the next
    // start would lose them, so say so rather than fail in silence.
    if (!written)
        MessageBox(parent, QString("The options could not be saved to %1.").arg(QString::fromStdString(faultbox::SystemIniPath())),
                   QString(), MB_OK | MB_ICONEXCLAMATION);
    ChangeToInit();
}

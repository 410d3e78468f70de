#pragma once
// The options applet's dialog: the eight message switches, the alert
// priority and this process's message file name. Controls carry their
// numbers as object names ("1005" .. "1018"; OK and Cancel are the dialog's
// accept and reject).
#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QRadioButton;

class CDebugOptionsDlg : public QDialog {
    Q_OBJECT
public:
    enum {
        IDD = 102,
        IDI_APPLET = 103,
        IDC_ERRORS_DEBUGWIN = 1005,
        IDC_ALERT_MSGBOX = 1006,
        IDC_ALERT_DEBUGWIN = 1007,
        IDC_TRACE_DEBUGWIN = 1008,
        IDC_ALERT_FILE = 1009,
        IDC_ERROR_FILE = 1010,
        IDC_TRACE_FILE = 1011,
        IDC_FILENAME = 1012,
        IDC_ERRORS_MSGBOX = 1013,
        IDC_PRIORITY_CRITICAL = 1016,
        IDC_PRIORITY_WARNING = 1017,
        IDC_PRIORITY_ALL = 1018,
    };
    static constexpr int kMaxFileName = 80;

    explicit CDebugOptionsDlg(QWidget* parent = nullptr);

    // Exchanged with the controls when the dialog starts and when it ends
    // with OK; after Cancel they keep the values the dialog was given.
    int m_alertDebugWin = 0;
    int m_alertMsgBox = 0;
    int m_traceMsgs = 0;
    int m_alertFile = 0;
    int m_errorFile = 0;
    int m_traceFile = 0;
    QString m_fileName;
    int m_errorsDebugWin = 0;
    int m_errorsMsgBox = 0;
    char m_priority = '0';

    // Sets the controls from the members and runs the dialog modally;
    // IDOK or IDCANCEL.
    int DoModal();

    void accept() override;

private:
    QCheckBox* AddCheck(int id, const char* text);
    void OnInitDialog();

    char m_chosenPriority = '0';

    QCheckBox* m_alertDebugWinBox = nullptr;
    QCheckBox* m_alertMsgBoxBox = nullptr;
    QCheckBox* m_traceMsgsBox = nullptr;
    QCheckBox* m_alertFileBox = nullptr;
    QCheckBox* m_errorFileBox = nullptr;
    QCheckBox* m_traceFileBox = nullptr;
    QCheckBox* m_errorsDebugWinBox = nullptr;
    QCheckBox* m_errorsMsgBoxBox = nullptr;
    QLineEdit* m_fileNameEdit = nullptr;
    QRadioButton* m_critical = nullptr;
    QRadioButton* m_warning = nullptr;
    QRadioButton* m_all = nullptr;
};

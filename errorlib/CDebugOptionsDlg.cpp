#include "CDebugOptionsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CFaultboxDll.h"
#include "ModalScript.h"

CDebugOptionsDlg::CDebugOptionsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Platecraft Debugging Options");
    CFaultboxDll::SetDialogColours(this);
    setWindowIcon(QIcon(":/faultbox/103.png"));

    auto* screen = new QGroupBox("Screen Options", this);
    auto* screenLayout = new QVBoxLayout(screen);
    m_errorsMsgBoxBox = AddCheck(IDC_ERRORS_MSGBOX, "Display Error Message Boxes on Screen");
    m_errorsDebugWinBox = AddCheck(IDC_ERRORS_DEBUGWIN, "Display Error Messages in Debug Window");
    m_alertMsgBoxBox = AddCheck(IDC_ALERT_MSGBOX, "Display Alert Message Boxes on Screen");
    m_alertDebugWinBox = AddCheck(IDC_ALERT_DEBUGWIN, "Display Alert Messages in Debug Window");
    m_traceMsgsBox = AddCheck(IDC_TRACE_DEBUGWIN, "Display Trace Messages in Debug Window");
    for (QCheckBox* c : {m_errorsMsgBoxBox, m_errorsDebugWinBox, m_alertMsgBoxBox, m_alertDebugWinBox, m_traceMsgsBox})
        screenLayout->addWidget(c);

    auto* file = new QGroupBox("File Options", this);
    auto* fileLayout = new QVBoxLayout(file);
    m_errorFileBox = AddCheck(IDC_ERROR_FILE, "Write Error Messages To File");
    m_alertFileBox = AddCheck(IDC_ALERT_FILE, "Write Alert Messages To File");
    m_traceFileBox = AddCheck(IDC_TRACE_FILE, "Write Trace Messages To File");
    for (QCheckBox* c : {m_errorFileBox, m_alertFileBox, m_traceFileBox}) fileLayout->addWidget(c);
    auto* nameRow = new QHBoxLayout;
    m_fileNameEdit = new QLineEdit(file);
    m_fileNameEdit->setObjectName(QString::number(IDC_FILENAME));
    m_fileNameEdit->setMaxLength(kMaxFileName);
    auto* nameLabel = new QLabel("File Name:", file);
    nameLabel->setBuddy(m_fileNameEdit);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_fileNameEdit);
    fileLayout->addLayout(nameRow);

    auto* priority = new QGroupBox("Alert Priority Msgs Shown:", this);
    auto* priorityLayout = new QVBoxLayout(priority);
    m_critical = new QRadioButton("Critical Only", priority);
    m_warning = new QRadioButton("Warning and Critical", priority);
    m_all = new QRadioButton("All Messages", priority);
    m_critical->setObjectName(QString::number(IDC_PRIORITY_CRITICAL));
    m_warning->setObjectName(QString::number(IDC_PRIORITY_WARNING));
    m_all->setObjectName(QString::number(IDC_PRIORITY_ALL));
    for (QRadioButton* r : {m_critical, m_warning, m_all}) priorityLayout->addWidget(r);
    // A click chooses the priority; there is no way back to "none" ('0')
    // here. The choice counts only when the dialog ends with OK.
    connect(m_critical, &QRadioButton::clicked, this, [this] { m_chosenPriority = '1'; });
    connect(m_warning, &QRadioButton::clicked, this, [this] { m_chosenPriority = '2'; });
    connect(m_all, &QRadioButton::clicked, this, [this] { m_chosenPriority = '3'; });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDebugOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDebugOptionsDlg::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(screen, 0, 0);
    grid->addWidget(file, 0, 1);
    grid->addWidget(priority, 1, 0);
    grid->addWidget(buttons, 1, 1, Qt::AlignBottom);
}

QCheckBox* CDebugOptionsDlg::AddCheck(int id, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text), this);
    box->setObjectName(QString::number(id));
    return box;
}

void CDebugOptionsDlg::OnInitDialog() {
    m_alertDebugWinBox->setChecked(m_alertDebugWin != 0);
    m_alertMsgBoxBox->setChecked(m_alertMsgBox != 0);
    m_traceMsgsBox->setChecked(m_traceMsgs != 0);
    m_alertFileBox->setChecked(m_alertFile != 0);
    m_errorFileBox->setChecked(m_errorFile != 0);
    m_traceFileBox->setChecked(m_traceFile != 0);
    m_fileNameEdit->setText(m_fileName.left(kMaxFileName));
    m_errorsDebugWinBox->setChecked(m_errorsDebugWin != 0);
    m_errorsMsgBoxBox->setChecked(m_errorsMsgBox != 0);
    m_chosenPriority = m_priority;
    // With priority '0' no button is checked.
    for (QRadioButton* r : {m_critical, m_warning, m_all}) r->setAutoExclusive(false), r->setChecked(false);
    for (QRadioButton* r : {m_critical, m_warning, m_all}) r->setAutoExclusive(true);
    if (m_priority == '1') m_critical->setChecked(true);
    else if (m_priority == '2') m_warning->setChecked(true);
    else if (m_priority == '3') m_all->setChecked(true);
}

int CDebugOptionsDlg::DoModal() {
    OnInitDialog();
    return qs::fw::RunModal(*this);
}

void CDebugOptionsDlg::accept() {
    m_alertDebugWin = m_alertDebugWinBox->isChecked() ? 1 : 0;
    m_alertMsgBox = m_alertMsgBoxBox->isChecked() ? 1 : 0;
    m_traceMsgs = m_traceMsgsBox->isChecked() ? 1 : 0;
    m_alertFile = m_alertFileBox->isChecked() ? 1 : 0;
    m_errorFile = m_errorFileBox->isChecked() ? 1 : 0;
    m_traceFile = m_traceFileBox->isChecked() ? 1 : 0;
    m_fileName = m_fileNameEdit->text();
    m_errorsDebugWin = m_errorsDebugWinBox->isChecked() ? 1 : 0;
    m_errorsMsgBox = m_errorsMsgBoxBox->isChecked() ? 1 : 0;
    m_priority = m_chosenPriority;
    QDialog::accept();
}

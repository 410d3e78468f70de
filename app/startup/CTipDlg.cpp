#include "startup/CTipDlg.h"

#include "formats/CNumberFormat.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "shell/ShellStrings.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <cstring>
#include <ctime>

namespace {

constexpr int kMaxTipLine = 1000;
const QString kTipSection = QStringLiteral("Tip");

int ProfileInt(const QString& key, int defaultValue) {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileInt(kTipSection, key, defaultValue) : defaultValue;
}

QString ProfileString(const QString& section, const QString& key) {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(section, key) : QString();
}

void WriteProfile(const QString& key, const QString& value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString(kTipSection, key, value);
}

void WriteProfile(const QString& key, int value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kTipSection, key, value);
}

bool IsTipLine(const char* line) {
    const char c = line[0];
    return c != ' ' && c != '\t' && c != '\n' && c != ';' && c != '\0';
}

// The tips area: white, the bulb picture and "Did you know..." beside it.
class TipHeading : public QFrame {
public:
    explicit TipHeading(QWidget* parent) : QFrame(parent) {
        setMinimumSize(340, 48);
        CWnd::SetControlId(this, CTipDlg::IDC_BULB);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QRect bulb(6, 6, 36, 36);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 230, 90));
        p.setPen(QPen(QColor(120, 100, 20), 1.5));
        p.drawEllipse(bulb.adjusted(6, 0, -6, -10));
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRect(bulb.center().x() - 5, bulb.bottom() - 10, 10, 8));
        QFont heading = p.font();
        heading.setBold(true);
        heading.setPointSize(heading.pointSize() + 3);
        p.setFont(heading);
        p.setPen(Qt::black);
        p.drawText(QRect(bulb.right() + 10, bulb.top(), width(), bulb.height()), Qt::AlignVCenter | Qt::AlignLeft,
                   ShellString(247));
    }
};

}  // namespace

QString CTipDlg::DefaultTipsPath() {
    return CombinePath(ProfileString(QStringLiteral("Settings"), QStringLiteral("System Directory")),
                       QStringLiteral("/tips.txt"));
}

CTipDlg::CTipDlg() : CDialog(kTemplateId) { Init(DefaultTipsPath()); }

CTipDlg::CTipDlg(const QString& tipsPath) : CDialog(kTemplateId) { Init(tipsPath); }

void CTipDlg::Init(const QString& tipsPath) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    auto* heading = new TipHeading(this);
    m_tip = new QLabel(this);
    SetControlId(m_tip, IDC_TIPSTRING);
    m_tip->setWordWrap(true);
    m_tip->setAutoFillBackground(true);
    QPalette white = m_tip->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_tip->setPalette(white);
    m_tip->setMinimumHeight(90);
    m_tip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_tip->setContentsMargins(48, 4, 8, 8);
    m_startup = new QCheckBox(QStringLiteral("&Show Tips on StartUp"), this);
    SetControlId(m_startup, IDC_STARTUP);
    m_next = AddButton(IDC_NEXTTIP, QStringLiteral("&Next Tip"));
    QPushButton* close = AddButton(IDOK, QStringLiteral("&Close"));
    MapCommand(IDC_NEXTTIP, [this] { OnNextTip(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startup);
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(close);
    auto* area = new QVBoxLayout;
    area->setSpacing(0);
    area->addWidget(heading);
    area->addWidget(m_tip);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(area);
    layout->addLayout(buttons);

    // Whether tips show at start-up, and where the last tip ended.
    m_bStartup = ProfileInt(QStringLiteral("StartUp"), 0) <= 0;
    long offset = ProfileInt(QStringLiteral("FilePos"), 0);

    // The tips file; without it the dialog says so in place of a tip.
    m_pStream = std::fopen(tipsPath.toLocal8Bit().constData(), "r");
    if (!m_pStream) {
        m_strTip = ShellString(248);
        return;
    }

    // A replaced file is read again from its beginning.
    struct stat info {};
    if (::fstat(::fileno(m_pStream), &info) == 0) {
        QString stamp = QString::fromLocal8Bit(std::ctime(&info.st_mtime)).trimmed();
        if (stamp != ProfileString(kTipSection, QStringLiteral("TimeStamp"))) {
            offset = 0;
            WriteProfile(QStringLiteral("TimeStamp"), stamp);
        }
    }

    // The next tip from where the last one ended.
    if (offset < 0 || std::fseek(m_pStream, offset, SEEK_SET) != 0) AfxMessageBox(ShellString(249));
    else GetNextTipString(m_strTip);
}

CTipDlg::~CTipDlg() {
    if (m_pStream) {
        WriteProfile(QStringLiteral("FilePos"), static_cast<int>(std::ftell(m_pStream)));
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
}

void CTipDlg::GetNextTipString(QString& tip) {
    tip.clear();
    if (!m_pStream) return;
    char line[kMaxTipLine + 1];
    bool wrapped = false;
    for (;;) {
        if (std::fgets(line, sizeof line, m_pStream)) {
            // A file written with "\r\n" reads as text mode would give it.
            const size_t n = std::strlen(line);
            if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
                line[n - 2] = '\n';
                line[n - 1] = '\0';
            }
            if (IsTipLine(line)) {
                tip = QString::fromLocal8Bit(line);
                return;
            }
            continue;
        }
        // At the end: once round to the start; a second end means the file
        // holds no tip at all, and the tip stays empty.
        if (wrapped) return;
        wrapped = true;
        std::clearerr(m_pStream);
        if (std::fseek(m_pStream, 0, SEEK_SET) != 0) AfxMessageBox(ShellString(249));
    }
}

BOOL CTipDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_startup->setChecked(m_bStartup);
    m_tip->setText(m_strTip.trimmed());
    m_next->setEnabled(m_pStream != nullptr);
    CenterWindow();
    return TRUE;
}

void CTipDlg::OnNextTip() {
    GetNextTipString(m_strTip);
    m_tip->setText(m_strTip.trimmed());
    m_tip->repaint();
}

void CTipDlg::OnOK() {
    m_bStartup = m_startup->isChecked();
    WriteProfile(QStringLiteral("StartUp"), m_bStartup ? 0 : 1);
    CDialog::OnOK();
}

QString CTipDlg::ShownTip() const { return m_tip->text(); }
bool CTipDlg::StartupChecked() const { return m_startup->isChecked(); }
bool CTipDlg::IsNextTipEnabled() const { return m_next->isEnabled(); }

void ShowTipAtStartup(bool showSplash) {
    if (!showSplash) return;
    CTipDlg dialog;
    if (dialog.m_bStartup) dialog.DoModal();
}

void OnTipOfTheDay() {
    CTipDlg dialog;
    dialog.DoModal();
}

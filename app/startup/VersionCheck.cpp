#include "startup/VersionCheck.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "KernelVersion.h"

namespace qs::app {

namespace {

constexpr char kVersionMarker[] = "QS_VERSION:";

// "5, 0, 1, 2", "5 0 1 2" (commas already removed) and "5.0.1.2" give the
// same fields; anything but digits between separators is not a version.
bool ParseFields(const QString& text, QList<qulonglong>& fields) {
    static const QRegularExpression separator(QStringLiteral("\\s*[.,]\\s*|\\s+"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return false;
    for (const QString& part : trimmed.split(separator)) {
        bool ok = false;
        const qulonglong v = part.toULongLong(&ok);
        if (!ok) return false;
        fields.append(v);
    }
    return true;
}

int CompareFields(QList<qulonglong> a, QList<qulonglong> b) {
    while (a.size() < b.size()) a.append(0);
    while (b.size() < a.size()) b.append(0);
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

}  // namespace

QString OwnVersionText(const QString& programVersion, const QString& kernelVersion) {
    if (programVersion.isEmpty() || kernelVersion.isEmpty()) return QString();
    QString text = programVersion + "-" + kernelVersion;
    return text.remove(',');
}

int CompareVersionTexts(const QString& a, const QString& b, bool* ok) {
    const QStringList pa = a.split('-');
    const QStringList pb = b.split('-');
    if (ok) *ok = false;
    if (pa.size() != 2 || pb.size() != 2) return 0;
    QList<qulonglong> fa, fb;
    for (int i = 0; i < 2; ++i) {
        QList<qulonglong> x, y;
        if (!ParseFields(pa[i], x) || !ParseFields(pb[i], y)) return 0;
        // The program version decides; the kernel's only between equal programs.
        const int c = CompareFields(x, y);
        if (c != 0) {
            if (ok) *ok = true;
            return c;
        }
    }
    if (ok) *ok = true;
    return 0;
}

VersionStatus EvaluateVersionReply(const QByteArray& reply, const QString& ownVersion) {
    const QString text = QString::fromUtf8(reply).trimmed().toUpper();
    const qsizetype at = text.indexOf(kVersionMarker);
    if (at < 0 || ownVersion.isEmpty()) return kVersionNoResult;
    QString published = text.mid(at + qsizetype(sizeof kVersionMarker) - 1);
    const qsizetype eol = published.indexOf('\n');
    if (eol >= 0) published.truncate(eol);
    bool ok = false;
    const int c = CompareVersionTexts(published.trimmed(), ownVersion, &ok);
    if (!ok) return kVersionNoResult;
    return c > 0 ? kVersionNewer : kVersionCurrent;
}

QUrl VersionFileUrl() { return QUrl(qEnvironmentVariable("QS_VERSION_URL")); }
QUrl ReleaseNewsUrl() { return QUrl(qEnvironmentVariable("QS_NEWS_URL")); }

}  // namespace qs::app

CVersionChecker::CVersionChecker(QObject* parent) : QObject(parent) {}

void CVersionChecker::Start(const QUrl& url, const QString& ownVersion) {
    if (!url.isValid() || url.isEmpty()) {
        m_status = qs::app::kVersionNoResult;
        QMetaObject::invokeMethod(this, [this] { emit Finished(m_status); }, Qt::QueuedConnection);
        return;
    }
    if (!m_network) m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("QS INet"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, ownVersion] {
        reply->deleteLater();
        const bool ok = reply->error() == QNetworkReply::NoError;
        m_status = ok ? qs::app::EvaluateVersionReply(reply->readAll(), ownVersion) : qs::app::kVersionNoResult;
        emit Finished(m_status);
    });
}

CNewVersionDlg::CNewVersionDlg() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName("NewVersionNotice");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("A new version of Quillstone is available.\nClick here for details."), this);
    label->setFrameShape(QFrame::Box);
    layout->addWidget(label);
    adjustSize();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { hide(); });
    connect(&m_checker, &CVersionChecker::Finished, this, &CNewVersionDlg::OnVersionStatus);
}

void CNewVersionDlg::OnVersionStatus(int status) {
    if (status != qs::app::kVersionNewer) return;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        const QSize s = frameSize();
        move(r.right() + 1 - 10 - s.width(), r.bottom() + 1 - 35 - s.height());
    }
    show();
    m_timer->start(8000);
}

void CNewVersionDlg::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    const QUrl news = qs::app::ReleaseNewsUrl();
    if (news.isValid() && !news.isEmpty()) QDesktopServices::openUrl(news);
}

VersionMonitorThread::VersionMonitorThread() = default;

VersionMonitorThread::~VersionMonitorThread() { delete m_dialog; }

bool VersionMonitorThread::InitInstance() {
    if (!m_dialog) m_dialog = new CNewVersionDlg();
    m_dialog->Checker().Start(qs::app::VersionFileUrl(),
                              qs::app::OwnVersionText(QStringLiteral(QS_VERSION_TEXT), QString::fromUtf8(QsKernelVersion())));
    return true;
}

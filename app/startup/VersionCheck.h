#pragma once
// The version check: one background download of the published version line
// ("QS_VERSION:<program>-<kernel>"), compared with the running program and
// kernel, and a small notice in the lower right corner of the screen for
// eight seconds when a newer release exists.
#include <QObject>
#include <QString>
#include <QUrl>
#include <QWidget>

class QNetworkAccessManager;
class QTimer;

namespace qs::app {

// Status of one check.
enum VersionStatus { kVersionNoResult = 1, kVersionNewer = 2, kVersionCurrent = 3 };

// Program version, "-", kernel version, commas removed; empty when either is.
QString OwnVersionText(const QString& programVersion, const QString& kernelVersion);

// Compares "<program>-<kernel>" version texts field by field as numbers
// (blanks ignored, missing fields count 0). Returns <0, 0, >0; ok is false
// when either text is not a version.
int CompareVersionTexts(const QString& a, const QString& b, bool* ok);

// The status a downloaded reply gives against the own version text: no
// marker, no own version or an unreadable published version give no result.
VersionStatus EvaluateVersionReply(const QByteArray& reply, const QString& ownVersion);

// Where the version line and the news page are published; set by the
// environment (QS_VERSION_URL, QS_NEWS_URL). Without an address no check runs.
QUrl VersionFileUrl();
QUrl ReleaseNewsUrl();

}  // namespace qs::app

// Downloads the version line once and reports the status to its dialog.
class CVersionChecker : public QObject {
    Q_OBJECT
public:
    explicit CVersionChecker(QObject* parent = nullptr);
    void Start(const QUrl& url, const QString& ownVersion);
    int Status() const { return m_status; }

signals:
    void Finished(int status);

private:
    QNetworkAccessManager* m_network = nullptr;
    int m_status = qs::app::kVersionNoResult;
};

// The borderless notice; shown once, hidden after eight seconds, a click
// opens the news page.
class CNewVersionDlg : public QWidget {
    Q_OBJECT
public:
    CNewVersionDlg();
    CVersionChecker& Checker() { return m_checker; }

public slots:
    void OnVersionStatus(int status);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    CVersionChecker m_checker;
    QTimer* m_timer = nullptr;
};

// Owns the notice dialog and starts the check. The download itself runs
// asynchronously, so the user-interface thread never waits on the network.
class VersionMonitorThread : public QObject {
    Q_OBJECT
public:
    VersionMonitorThread();
    ~VersionMonitorThread() override;
    bool InitInstance();
    CNewVersionDlg* Dialog() const { return m_dialog; }

private:
    CNewVersionDlg* m_dialog = nullptr;
};

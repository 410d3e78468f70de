#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "TestEnvironment.h"
#include "startup/VersionCheck.h"

namespace {

using qs::app::CompareVersionTexts;
using qs::app::EvaluateVersionReply;

struct CompareCase {
    const char* published;
    const char* own;
    int sign;  // expected sign of published <=> own
};

TEST(VersionCheck, ComparesFieldByFieldAsNumbers) {
    const CompareCase cases[] = {
        {"5.0.1.10-5.0.1.7", "5.0.1.9-5.0.1.7", 1},    // 10 after 9, not before
        {"5.0.1.9-5.0.1.7", "5.0.1.10-5.0.1.7", -1},
        {"5.0.1.2-5.0.1.7", "5.0.1.2-5.0.1.7", 0},
        {"5.0.1.2-5.0.1.8", "5.0.1.2-5.0.1.7", 1},      // the kernel decides between equal programs
        {"5.0.1.2-5.0.1.1", "5.0.1.3-5.0.1.9", -1},     // the program version first
        {"5, 0, 1, 2-5, 0, 1, 7", "5.0.1.2-5.0.1.7", 0},  // blanks from resource spelling do not count
        {"5.0.1-5.0.1.7", "5.0.1.0-5.0.1.7", 0},        // missing fields are 0
        {"6-1", "5.9.9.9-9.9.9.9", 1},
    };
    for (const auto& c : cases) {
        bool ok = false;
        const int r = CompareVersionTexts(c.published, c.own, &ok);
        EXPECT_TRUE(ok) << c.published << " vs " << c.own;
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.published << " vs " << c.own;
    }
    for (const char* bad : {"", "5.0.1.2", "5.0.x.2-5.0.1.7", "5..1-1", "a-b"}) {
        bool ok = true;
        CompareVersionTexts(bad, "5.0.1.2-5.0.1.7", &ok);
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(VersionCheck, RepliesGiveTheirStatus) {
    const QString own = qs::app::OwnVersionText("5, 0, 1, 2", "5.0.1.7");
    EXPECT_EQ(own, "5 0 1 2-5.0.1.7");
    struct Case {
        const char* reply;
        qs::app::VersionStatus status;
    } cases[] = {
        {"QS_VERSION:5.0.1.3-5.0.1.7", qs::app::kVersionNewer},
        {"  qs_version:5.0.1.3-5.0.1.7\r\n", qs::app::kVersionNewer},  // case and white space do not matter
        {"QS_VERSION:5.0.1.2-5.0.1.7", qs::app::kVersionCurrent},
        {"QS_VERSION:5.0.1.1-5.0.1.9", qs::app::kVersionCurrent},
        {"5.0.1.3-5.0.1.7", qs::app::kVersionNoResult},              // no marker
        {"QS_VERSION:garbage", qs::app::kVersionNoResult},
        {"", qs::app::kVersionNoResult},
    };
    for (const auto& c : cases) EXPECT_EQ(EvaluateVersionReply(c.reply, own), c.status) << c.reply;
    // An unknown own version never claims a newer release.
    EXPECT_EQ(qs::app::OwnVersionText("", "5.0.1.7"), "");
    EXPECT_EQ(EvaluateVersionReply("QS_VERSION:9.9.9.9-9.9.9.9", ""), qs::app::kVersionNoResult);
}

// A one-shot HTTP server on 127.0.0.1 that answers every request with a body.
class TinyHttpServer : public QTcpServer {
public:
    explicit TinyHttpServer(QByteArray body, int code = 200) : m_body(std::move(body)), m_code(code) {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    m_request += s->readAll();
                    if (!m_request.contains("\r\n\r\n")) return;
                    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_code) + " X\r\nContent-Length: " +
                                      QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n";
                    s->write(head + m_body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QUrl Url() const { return QUrl(QString("http://127.0.0.1:%1/qs_version.txt").arg(serverPort())); }
    QByteArray m_request;

private:
    QByteArray m_body;
    int m_code;
};

int RunCheck(TinyHttpServer& server, const QString& own) {
    CVersionChecker checker;
    QSignalSpy spy(&checker, &CVersionChecker::Finished);
    checker.Start(server.Url(), own);
    if (!spy.wait(10000)) return -1;
    return spy.at(0).at(0).toInt();
}

TEST(VersionCheck, DownloadsFromLocalServer) {
    const QString own = "5.0.1.2-5.0.1.7";
    TinyHttpServer newer("QS_VERSION:5.0.1.3-5.0.1.7\n");
    EXPECT_EQ(RunCheck(newer, own), qs::app::kVersionNewer);
    EXPECT_TRUE(newer.m_request.contains("User-Agent: QS INet")) << newer.m_request.constData();
    TinyHttpServer equal("QS_VERSION:5.0.1.2-5.0.1.7");
    EXPECT_EQ(RunCheck(equal, own), qs::app::kVersionCurrent);
    TinyHttpServer older("QS_VERSION:5.0.0.9-5.0.1.7");
    EXPECT_EQ(RunCheck(older, own), qs::app::kVersionCurrent);
    TinyHttpServer missing("not here", 404);
    EXPECT_EQ(RunCheck(missing, own), qs::app::kVersionNoResult);
}

TEST(VersionCheck, NoServerNoAddressNoNotice) {
    TinyHttpServer closed("");
    const QUrl url = closed.Url();
    closed.close();
    CVersionChecker checker;
    QSignalSpy spy(&checker, &CVersionChecker::Finished);
    checker.Start(url, "5.0.1.2-5.0.1.7");
    ASSERT_TRUE(spy.wait(10000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), qs::app::kVersionNoResult);

    qs::test::UnsetEnv("QS_VERSION_URL");
    VersionMonitorThread monitor;
    ASSERT_TRUE(monitor.InitInstance());
    QSignalSpy done(&monitor.Dialog()->Checker(), &CVersionChecker::Finished);
    ASSERT_TRUE(done.wait(5000));
    EXPECT_FALSE(monitor.Dialog()->isVisible());
}

TEST(VersionCheck, NoticeShowsInLowerRightAndHidesAfterEightSeconds) {
    CNewVersionDlg dlg;
    dlg.OnVersionStatus(qs::app::kVersionCurrent);
    EXPECT_FALSE(dlg.isVisible());
    dlg.OnVersionStatus(qs::app::kVersionNewer);
    ASSERT_TRUE(dlg.isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = dlg.frameGeometry();
    EXPECT_EQ(screen.right() - frame.right(), 10);
    EXPECT_EQ(screen.bottom() - frame.bottom(), 35);

    // One single shot of eight seconds; when it fires the notice goes.
    QTimer* timer = dlg.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 8000);
    timer->start(1);
    QTRY_VERIFY(!dlg.isVisible());
}

TEST(VersionCheck, MonitorReportsNewerFromConfiguredAddress) {
    TinyHttpServer newer("QS_VERSION:99.0.0.0-99.0.0.0");
    qs::test::SetEnv("QS_VERSION_URL", newer.Url().toString().toStdString());
    VersionMonitorThread monitor;
    ASSERT_TRUE(monitor.InitInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return monitor.Dialog()->isVisible(); }, 10000));
    qs::test::UnsetEnv("QS_VERSION_URL");
}

}  // namespace

// The words a person reads for each kind of failure and each player status; tests elsewhere check
// kinds.
#include "controls/failuretext.h"
#include "playback/statustext.h"

#include <QTest>

using namespace melodrift;

class TestFailureText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachKindHasItsWords_data()
    {
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("words");
        const QString detail = QStringLiteral("No space left on device");
        QTest::newRow("none") << failureText(Failure{}) << QString();
        QTest::newRow("refused") << failureText(Failure{Failure::Refused, 0, detail}) << QStringLiteral("连接被拒绝");
        QTest::newRow("host not found") << failureText(Failure{Failure::HostNotFound, 0, {}})
                                        << QStringLiteral("找不到服务器");
        QTest::newRow("timed out") << failureText(Failure{Failure::TimedOut, 0, {}}) << QStringLiteral("连接超时");
        QTest::newRow("interrupted") << failureText(Failure{Failure::Interrupted, 0, {}}) << QStringLiteral("连接中断");
        QTest::newRow("redirect loop") << failureText(Failure{Failure::RedirectLoop, 0, {}})
                                       << QStringLiteral("网页转向出错");
        QTest::newRow("unreachable") << failureText(Failure{Failure::Unreachable, 0, {}}) << QStringLiteral("无法连接");
        QTest::newRow("too large") << failureText(Failure{Failure::TooLarge, 0, {}}) << QStringLiteral("网页太大");
        QTest::newRow("undecodable") << failureText(Failure{Failure::Undecodable, 0, {}})
                                     << QStringLiteral("网页无法解码");
        QTest::newRow("HTTP status") << failureText(Failure{Failure::HttpStatus, 404, {}})
                                     << QStringLiteral("服务器回答 404");
        QTest::newRow("write error: the system's words")
            << failureText(Failure{Failure::WriteError, 0, detail}) << detail;
        QTest::newRow("write error without them")
            << failureText(Failure{Failure::WriteError, 0, {}}) << QStringLiteral("无法写入");
        const auto player = [](PlayerStatus::Kind kind, Failure::Kind failure = Failure::None) {
            return playerStatusText(PlayerStatus{kind, Failure{failure, 0, {}}});
        };
        QTest::newRow("player: none") << player(PlayerStatus::None) << QString();
        QTest::newRow("player: connecting") << player(PlayerStatus::Connecting) << QStringLiteral("正在连接…");
        QTest::newRow("player: reconnecting") << player(PlayerStatus::Reconnecting) << QStringLiteral("正在重新连接…");
        QTest::newRow("player: buffering") << player(PlayerStatus::Buffering) << QStringLiteral("正在缓冲…");
        QTest::newRow("player: playing") << player(PlayerStatus::Playing) << QStringLiteral("正在播放");
        QTest::newRow("player: paused") << player(PlayerStatus::Paused) << QStringLiteral("已暂停");
        QTest::newRow("player: stopped") << player(PlayerStatus::Stopped) << QStringLiteral("已停止");
        QTest::newRow("player: ended") << player(PlayerStatus::Ended) << QStringLiteral("播放完毕");
        QTest::newRow("player: format") << player(PlayerStatus::Failed, Failure::Unsupported)
                                        << QStringLiteral("出错：不支持的媒体格式");
        QTest::newRow("player: network") << player(PlayerStatus::Failed, Failure::TimedOut)
                                         << QStringLiteral("出错：连接超时");
        QTest::newRow("player: access") << player(PlayerStatus::Failed, Failure::AccessDenied)
                                        << QStringLiteral("出错：拒绝访问");
        QTest::newRow("player: no sound output")
            << player(PlayerStatus::Failed, Failure::SoundOutput) << QStringLiteral("出错：无法连接声音设备");
        QTest::newRow("player: other") << player(PlayerStatus::Failed, Failure::Unplayable)
                                       << QStringLiteral("出错：无法打开该地址");
        QTest::newRow("launch error") << failureText(Failure{Failure::LaunchError, 0, {}})
                                      << QStringLiteral("无法启动");
    }
    void eachKindHasItsWords()
    {
        QFETCH(QString, said);
        QFETCH(QString, words);
        QCOMPARE(said, words);
    }
};

QTEST_APPLESS_MAIN(TestFailureText)
#include "tst_failuretext.moc"

// The words a person reads for each kind of failure; tests elsewhere check kinds.
#include "controls/failuretext.h"

#include <QTest>

using namespace melodrift;

class TestFailureText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachKindHasItsWords_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("words");
        const QString detail = QStringLiteral("No space left on device");
        QTest::newRow("none") << Failure{} << QString();
        QTest::newRow("refused") << Failure{Failure::Refused, 0, detail} << QStringLiteral("连接被拒绝");
        QTest::newRow("host not found") << Failure{Failure::HostNotFound, 0, {}} << QStringLiteral("找不到服务器");
        QTest::newRow("timed out") << Failure{Failure::TimedOut, 0, {}} << QStringLiteral("连接超时");
        QTest::newRow("interrupted") << Failure{Failure::Interrupted, 0, {}} << QStringLiteral("连接中断");
        QTest::newRow("redirect loop") << Failure{Failure::RedirectLoop, 0, {}} << QStringLiteral("网页转向出错");
        QTest::newRow("unreachable") << Failure{Failure::Unreachable, 0, {}} << QStringLiteral("无法连接");
        QTest::newRow("too large") << Failure{Failure::TooLarge, 0, {}} << QStringLiteral("网页太大");
        QTest::newRow("undecodable") << Failure{Failure::Undecodable, 0, {}} << QStringLiteral("网页无法解码");
        QTest::newRow("HTTP status") << Failure{Failure::HttpStatus, 404, {}} << QStringLiteral("服务器回答 404");
        QTest::newRow("write error: the system's words") << Failure{Failure::WriteError, 0, detail} << detail;
        QTest::newRow("write error without them") << Failure{Failure::WriteError, 0, {}} << QStringLiteral("无法写入");
        QTest::newRow("launch error") << Failure{Failure::LaunchError, 0, {}} << QStringLiteral("无法启动");
    }
    void eachKindHasItsWords()
    {
        QFETCH(Failure, failure);
        QFETCH(QString, words);
        QCOMPARE(failureText(failure), words);
    }
};

QTEST_APPLESS_MAIN(TestFailureText)
#include "tst_failuretext.moc"

#include "tests/support/siteproxy.h"

#include <QTcpServer>
#include <QTest>

namespace melodrift::test {

void useSiteAsProxy(const site::DemoSite& site)
{
    qputenv("http_proxy", site.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
}

void SiteSuite::initTestCase()
{
    QVERIFY(m_site.listen());
    useSiteAsProxy(m_site);
}

QNetworkProxy unreachableProxy()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port);
}

} // namespace melodrift::test

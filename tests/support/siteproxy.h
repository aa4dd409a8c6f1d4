#pragma once

#include "site/demosite.h"

#include <QNetworkProxy>
#include <QObject>

namespace melodrift::test {

//! Sends this process's HTTP, the player's streams included, to the demo site as its proxy.
void useSiteAsProxy(const site::DemoSite& site);

//! A test suite on the demo site, reached as this process's proxy from its first test on.
class SiteSuite : public QObject {
    Q_OBJECT
protected:
    site::DemoSite m_site;
private Q_SLOTS:
    void initTestCase();
};

//! A proxy on a loopback port that nothing listens on: every connection to it is refused.
[[nodiscard]] QNetworkProxy unreachableProxy();

} // namespace melodrift::test

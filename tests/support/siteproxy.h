#pragma once

#include "site/demosite.h"

#include <QNetworkProxy>

namespace melodrift::test {

//! Sends this process's HTTP, the player's streams included, to the demo site as its proxy.
void useSiteAsProxy(const site::DemoSite& site);

//! A proxy on a loopback port that nothing listens on: every connection to it is refused.
[[nodiscard]] QNetworkProxy unreachableProxy();

} // namespace melodrift::test

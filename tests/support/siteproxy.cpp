#include "tests/support/siteproxy.h"

namespace melodrift::test {

void useSiteAsProxy(const site::DemoSite& site)
{
    qputenv("http_proxy", site.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
}

} // namespace melodrift::test

#pragma once

#include "site/demosite.h"

namespace melodrift::test {

//! Sends this process's HTTP, the player's streams included, to the demo site as its proxy.
void useSiteAsProxy(const site::DemoSite& site);

} // namespace melodrift::test

// Tests marked for D-Bus run inside a private session bus of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(SessionBus, PrivateBusIsProvided) {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_NE(address, nullptr);
    EXPECT_NE(std::string(address).find("unix:"), std::string::npos);
}

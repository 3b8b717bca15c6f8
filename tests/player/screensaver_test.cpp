// The D-Bus screen-saver inhibit stays silent and consistent where there is no session bus.
#include "platform/screensaver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace kivamo {
namespace {

TEST(ScreenSaver, WithoutASessionBusTheStateStillFollows)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kivamo-test-bus");
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    DBusScreenSaverInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.isInhibited());
    inhibitor.setInhibited(true);
    inhibitor.setInhibited(true);
    EXPECT_TRUE(inhibitor.isInhibited());
    inhibitor.setInhibited(false);
    EXPECT_FALSE(inhibitor.isInhibited());
    inhibitor.setInhibited(true);  // released again when destroyed
}

}  // namespace
}  // namespace kivamo

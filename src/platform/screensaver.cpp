#include "platform/screensaver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace kivamo {

namespace {

const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString objectPath = QStringLiteral("/org/freedesktop/ScreenSaver");

}  // namespace

DBusScreenSaverInhibitor::DBusScreenSaverInhibitor(QString applicationName)
    : m_applicationName(std::move(applicationName))
{
}

DBusScreenSaverInhibitor::~DBusScreenSaverInhibitor()
{
    setInhibited(false);
}

void DBusScreenSaverInhibitor::setInhibited(bool inhibited)
{
    if (inhibited == m_inhibited)
        return;
    m_inhibited = inhibited;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusInterface screenSaver(service, objectPath, service, bus);
    if (!screenSaver.isValid())
        return;
    if (inhibited) {
        const QDBusReply<std::uint32_t> reply =
            screenSaver.call(QStringLiteral("Inhibit"), m_applicationName, QStringLiteral("播放影片"));
        m_haveCookie = reply.isValid();
        m_cookie = m_haveCookie ? reply.value() : 0;
    } else if (m_haveCookie) {
        screenSaver.call(QStringLiteral("UnInhibit"), m_cookie);
        m_haveCookie = false;
    }
}

}  // namespace kivamo

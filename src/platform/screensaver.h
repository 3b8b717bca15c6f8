// ScreenSaverInhibitor: keeps the desktop's screen saver from starting while setting pingbao asks.
#pragma once

#include <QString>

#include <cstdint>

namespace kivamo {

class ScreenSaverInhibitor {
public:
    virtual ~ScreenSaverInhibitor() = default;
    // Idempotent: asking twice for the same state changes nothing.
    virtual void setInhibited(bool inhibited) = 0;
    virtual bool isInhibited() const = 0;
};

// org.freedesktop.ScreenSaver on the session bus. Without a bus or a service it stays silent and
// reports the state it was asked for; the inhibit is released on destruction (at exit).
class DBusScreenSaverInhibitor : public ScreenSaverInhibitor {
public:
    explicit DBusScreenSaverInhibitor(QString applicationName = QStringLiteral("Kivamo"));
    ~DBusScreenSaverInhibitor() override;

    void setInhibited(bool inhibited) override;
    bool isInhibited() const override { return m_inhibited; }

private:
    QString m_applicationName;
    bool m_inhibited = false;
    bool m_haveCookie = false;
    std::uint32_t m_cookie = 0;
};

}  // namespace kivamo

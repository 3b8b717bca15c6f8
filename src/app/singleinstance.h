// One running instance per user: the first start holds a lock file and a local server in the
// runtime directory; a later start hands its arguments over and waits for the acknowledgement.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace kivamo {

// The lock and server name of the single-instance mutex, derived from the user id.
QString instanceName(uint userId);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& runtimeDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process now owns the instance (a stale lock of a dead instance is taken over);
    // false when another instance runs.
    bool claim();
    // Starts the server that receives hand-off messages; call after claim() succeeded.
    bool listen();
    QString serverName() const;

    // A later start: sends the hand-off message and waits (at most timeoutMs) for the reply.
    static bool sendHandOff(const QString& serverName, int timeoutMs);

signals:
    // A later start has written the hand-off file; the reply goes out when the slots return.
    void handOffRequested();

private:
    void acceptConnection();
    void readMessage(QLocalSocket* socket);

    QString m_runtimeDirectory;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace kivamo

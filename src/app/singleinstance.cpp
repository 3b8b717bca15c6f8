#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace kivamo {

namespace {

const QByteArray kHandOffMessage = QByteArrayLiteral("1025\n");
const QByteArray kHandOffReply = QByteArrayLiteral("done\n");

}  // namespace

QString instanceName(uint userId)
{
    return QStringLiteral("KIVAMO_ONLY_ONE-%1").arg(userId);
}

SingleInstance::SingleInstance(const QString& runtimeDirectory, QObject* parent)
    : QObject(parent),
      m_runtimeDirectory(runtimeDirectory),
      m_lock(QDir(runtimeDirectory).filePath(instanceName(getuid()) + QStringLiteral(".lock")))
{
    // A running instance keeps its lock however long it runs; only a dead owner's lock is stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    return m_lock.tryLock(0);
}

QString SingleInstance::serverName() const
{
    return QDir(m_runtimeDirectory).filePath(instanceName(getuid()));
}

bool SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket file left behind belongs to a dead instance.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName()))
        return false;
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        if (line != kHandOffMessage)
            continue;
        emit handOffRequested();
        socket->write(kHandOffReply);
        socket->flush();
    }
}

bool SingleInstance::sendHandOff(const QString& serverName, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kHandOffMessage);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == kHandOffReply;
}

}  // namespace kivamo

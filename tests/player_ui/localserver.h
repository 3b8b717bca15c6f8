// A small HTTP server inside a test (127.0.0.1) for the movie control's web loads, and a way to wait for
// what it does without sleeping.
#pragma once

#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace kivamo::test {

// Answers every request with what respond() writes on the socket, once the request's head arrived.
class LocalServer {
public:
    std::function<void(QTcpSocket&)> respond;
    QList<QTcpSocket*> sockets;
    QList<QByteArray> heads;  // each request's head (and what of its body came with it), in order

    LocalServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                sockets << socket;
                auto head = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                    bool started = head->contains("\r\n\r\n");
                    head->append(socket->readAll());
                    if (!started && head->contains("\r\n\r\n")) {
                        heads << *head;
                        if (respond)
                            respond(*socket);
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QString address(const QString& path = "/movie.swf") const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void close() { m_server.close(); }

private:
    QTcpServer m_server;
};

// Runs the event loop until done() holds; the time limit only keeps a broken build from hanging.
inline bool runUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QEventLoop loop;
    QTimer check, limit;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    check.start(5);
    limit.start(limitMs);
    if (!done())
        loop.exec();
    return done();
}

}  // namespace kivamo::test

// TShockwaveFlash loading web addresses from a small HTTP server inside the test (127.0.0.1): progress
// and streaming, ready state 4, an error status, a refused connection, a server that stalls.
#include "player/ui/tshockwaveflash.h"

#include "support/testapplication.h"
#include "flashmovies.h"
#include "localserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

QByteArray head(const char* status, qsizetype length)
{
    return QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: application/x-shockwave-flash\r\nContent-Length: "
         + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
}

struct Watched {
    TShockwaveFlash flash;
    QList<int> readyStates, progress;

    Watched()
    {
        FlashControlEvents e;
        e.OnReadyStateChange = [this](int s) { readyStates << s; };
        e.OnProgress = [this](int p) { progress << p; };
        flash.setEvents(e);
        flash.resize(100, 100);
    }
    bool ended() { return flash.ReadyState() == 4 || !flash.message().isEmpty(); }
};

class FlashDownload : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
};

}  // namespace

TEST_F(FlashDownload, MovieStreamsWithProgressAndBecomesComplete)
{
    Bytes movie = squaresMovie(40);
    QByteArray bytes(reinterpret_cast<const char*>(movie.data()), qsizetype(movie.size()));
    LocalServer server;
    QTcpSocket* open = nullptr;
    server.respond = [&](QTcpSocket& socket) {
        socket.write(head("200 OK", bytes.size()));
        socket.write(bytes.left(bytes.size() * 3 / 5));  // the first frames, the rest held back
        open = &socket;
    };
    Watched w;
    w.flash.Movie(server.address());
    EXPECT_EQ(w.flash.ReadyState(), 1);
    ASSERT_TRUE(runUntil([&] { return w.flash.ReadyState() >= 3; }));
    EXPECT_EQ(w.flash.ReadyState(), 3) << "playable before the rest arrived";
    EXPECT_GT(w.flash.TotalFrames(), 0);
    ASSERT_FALSE(w.progress.isEmpty());
    EXPECT_GT(w.progress.last(), 0);
    EXPECT_LT(w.progress.last(), 100);
    w.flash.GotoFrame(1);
    EXPECT_EQ(w.flash.CurrentFrame(), 1) << "the frames that arrived can be shown";

    ASSERT_NE(open, nullptr);
    open->write(bytes.mid(bytes.size() * 3 / 5));
    open->disconnectFromHost();
    QSignalSpy ended(&w.flash, &TShockwaveFlash::loadEnded);
    ASSERT_TRUE(runUntil([&] { return w.ended(); }));
    EXPECT_EQ(w.flash.message(), QString());
    EXPECT_EQ(w.flash.ReadyState(), 4);
    EXPECT_EQ(w.flash.TotalFrames(), 40);
    EXPECT_EQ(w.readyStates, (QList<int>{1, 3, 4}));
    EXPECT_EQ(w.progress.last(), 100);
    EXPECT_TRUE(std::is_sorted(w.progress.begin(), w.progress.end()));
    EXPECT_EQ(ended.count(), 1);
    w.flash.GotoFrame(39);
    EXPECT_EQ(w.flash.CurrentFrame(), 39);
}

TEST_F(FlashDownload, FailuresShowWhyAndTheControlGoesOn)
{
    struct Case {
        const char* name;
        std::function<void(QTcpSocket&)> respond;
        QString messageStart;
        // Only the stalling servers get the short transfer timeout; the others must not hit it on a busy machine.
        int timeoutMs = 30000;
    };
    const Case cases[] = {
        {"404",
         [](QTcpSocket& s) {
             s.write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found");
             s.disconnectFromHost();
         },
         QStringLiteral("下载失败：服务器回答 404 Not Found")},
        {"500",
         [](QTcpSocket& s) {
             s.write("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
             s.disconnectFromHost();
         },
         QStringLiteral("下载失败：服务器回答 500 Internal Server Error")},
        {"page",
         [](QTcpSocket& s) {
             s.write(head("200 OK", 13) + "<html></html>");
             s.disconnectFromHost();
         },
         QStringLiteral("无法播放：这不是 Flash 影片")},
        {"stalls after the head", [](QTcpSocket& s) { s.write(head("200 OK", 5000) + "FWS"); },
         QStringLiteral("下载失败：服务器长时间没有响应"), 300},
        {"never answers", [](QTcpSocket&) {}, QStringLiteral("下载失败：服务器长时间没有响应"), 300},
        {"larger than allowed",
         [](QTcpSocket& s) {
             Bytes movie = paddedMovie(2 * 1024 * 1024);
             s.write(head("200 OK", qsizetype(movie.size())));
             s.write(QByteArray(reinterpret_cast<const char*>(movie.data()), qsizetype(movie.size())));
             s.disconnectFromHost();
         },
         QStringLiteral("无法播放：影片大于 1 MB")},
        {"cut short",
         [](QTcpSocket& s) {
             Bytes movie = squaresMovie(3);
             s.write(head("200 OK", 5000) + QByteArray(reinterpret_cast<const char*>(movie.data()), 10));
             s.disconnectFromHost();
         },
         QStringLiteral("下载失败：")},
    };
    for (const Case& c : cases) {
        LocalServer server;
        server.respond = c.respond;
        Watched w;
        w.flash.setTransferTimeout(c.timeoutMs);
        w.flash.setMaxMovieBytes(1024 * 1024);
        w.flash.Movie(server.address());
        ASSERT_TRUE(runUntil([&] { return w.ended(); })) << c.name;
        EXPECT_TRUE(w.flash.message().startsWith(c.messageStart)) << c.name << ": " << w.flash.message().toStdString();
        EXPECT_FALSE(w.readyStates.contains(4)) << c.name;
        EXPECT_EQ(w.flash.TotalFrames(), 0) << c.name;
        // The same control plays the next movie.
        QTemporaryDir dir;
        w.flash.Movie(storeFile(dir, "next.swf", squaresMovie(3)));
        EXPECT_EQ(w.flash.message(), QString()) << c.name;
        EXPECT_EQ(w.flash.TotalFrames(), 3) << c.name;
    }
}

TEST_F(FlashDownload, RefusedConnectionIsExplained)
{
    QString address;
    {
        LocalServer server;
        address = server.address();
        server.close();
    }
    Watched w;
    w.flash.Movie(address);
    ASSERT_TRUE(runUntil([&] { return w.ended(); }));
    EXPECT_TRUE(w.flash.message().startsWith(QStringLiteral("下载失败：无法连接到服务器"))) << w.flash.message().toStdString();
    EXPECT_EQ(w.flash.ReadyState(), 1);
}

TEST_F(FlashDownload, NewMovieAbandonsARunningDownload)
{
    LocalServer server;
    server.respond = [](QTcpSocket& s) { s.write(head("200 OK", 5000) + "FWS"); };
    Watched w;
    w.flash.Movie(server.address());
    ASSERT_TRUE(runUntil([&] { return !server.sockets.isEmpty(); }));
    QTemporaryDir dir;
    w.flash.Movie(storeFile(dir, "local.swf", squaresMovie(4)));
    EXPECT_EQ(w.flash.TotalFrames(), 4);
    // Whatever the old reply still does, the loaded movie stays.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(w.flash.TotalFrames(), 4);
    EXPECT_EQ(w.flash.message(), QString());
}

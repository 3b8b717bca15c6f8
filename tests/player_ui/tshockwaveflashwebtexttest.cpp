// Scripts of a movie that came from the web load texts from its server: LoadVars relative to the movie's
// address, an error status, and answers that arrive after the movie was replaced.
#include "player/ui/tshockwaveflash.h"

#include "flashmovies.h"
#include "localserver.h"
#include "support/testapplication.h"
#include "swfwriter/scriptparts.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint8_t kGetVariable = 0x1C, kSetVariable = 0x1D, kGetMember = 0x4E, kCallMethod = 0x52,
                       kNewObject = 0x40, kPop = 0x17, kPlay = 0x06, kGetUrl2 = 0x9A;

// Frame 1 loads `url` into a LoadVars "lv"; frame 2 sends its "score" as FSCommand "score"; frame 3 goes
// back to frame 2, so the command repeats until the answer shows.
Bytes loadingMovie(const std::string& url)
{
    ActionBuilder start, report, loop;
    start.pushString("lv").pushNumber(0).pushString("LoadVars").op(kNewObject).op(kSetVariable);
    start.pushString(url).pushNumber(1).pushString("lv").op(kGetVariable).pushString("load").op(kCallMethod).op(kPop);
    report.pushString("FSCommand:score").pushString("lv").op(kGetVariable).pushString("score").op(kGetMember);
    report.record(kGetUrl2, {0});
    loop.gotoFrame(1).op(kPlay);
    SwfWriter w(10, {0, 2000, 0, 2000}, 30 << 8);
    for (const ActionBuilder* code : {&start, &report, &loop}) {
        w.tag(kFlashDoAction, code->bytes());
        w.showFrame();
    }
    return w.finish();
}

QByteArray answer(const char* status, const QByteArray& body)
{
    return QByteArray("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
         + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray asBytes(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

struct WebFixture {
    LocalServer server;
    QStringList commands;
    TShockwaveFlash flash;
    QByteArray movie;
    std::function<void(QTcpSocket&, const QByteArray& head)> text;  // answers the script's request

    explicit WebFixture(const std::string& url) : movie(asBytes(loadingMovie(url)))
    {
        flash.resize(100, 100);
        FlashControlEvents e;
        e.OnFSCommand = [this](const QString& c, const QString& a) { commands << c + "|" + a; };
        flash.setEvents(e);
        server.respond = [this](QTcpSocket& socket) {
            const QByteArray head = server.heads.last();
            if (head.startsWith("GET /games/movie.swf ")) {
                socket.write(answer("200 OK", movie));
                socket.disconnectFromHost();
            } else if (text) {
                text(socket, head);
            }
        };
    }
    bool heard(const QString& command) { return commands.contains(command); }
};

class FlashWebText : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
};

TEST_F(FlashWebText, LoadVarsReadsBesideTheMoviesAddress)
{
    WebFixture f("data/vars.txt");
    f.text = [](QTcpSocket& socket, const QByteArray& head) {
        const bool right = head.startsWith("GET /games/data/vars.txt ");
        socket.write(right ? answer("200 OK", "score=42") : answer("404 Not Found", ""));
        socket.disconnectFromHost();
    };
    f.flash.Movie(f.server.address("/games/movie.swf"));
    ASSERT_TRUE(runUntil([&] { return f.heard("score|42"); })) << f.commands.join(",").toStdString();
    EXPECT_EQ(f.commands.first(), "score|undefined") << "the movie plays on while the text is on its way";
}

TEST_F(FlashWebText, AFailedLoadLeavesTheVariablesUnset)
{
    WebFixture f("vars.txt");
    int asked = 0;
    f.text = [&](QTcpSocket& socket, const QByteArray&) {
        ++asked;
        socket.write(answer("500 Internal Server Error", "score=13"));
        socket.disconnectFromHost();
    };
    f.flash.Movie(f.server.address("/games/movie.swf"));
    ASSERT_TRUE(runUntil([&] { return asked == 1; }));
    const auto seen = f.commands.size();
    ASSERT_TRUE(runUntil([&] { return f.commands.size() >= seen + 10; }));
    EXPECT_FALSE(f.heard("score|13")) << "an error page is no answer";
    EXPECT_EQ(f.flash.message(), QString()) << "the movie itself goes on";
}

TEST_F(FlashWebText, AnswersForAReplacedMovieAreDropped)
{
    WebFixture f("vars.txt");
    QTcpSocket* waiting = nullptr;
    f.text = [&](QTcpSocket& socket, const QByteArray&) { waiting = &socket; };
    f.flash.Movie(f.server.address("/games/movie.swf"));
    ASSERT_TRUE(runUntil([&] { return waiting != nullptr; }));
    QTemporaryDir dir;
    f.flash.Movie(storeFile(dir, "next.swf", squaresMovie(3)));
    waiting->write(answer("200 OK", "score=42"));
    waiting->disconnectFromHost();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(f.flash.TotalFrames(), 3);
    EXPECT_EQ(f.flash.message(), QString());
}

}  // namespace
}  // namespace kivamo::test

// The movie control and a movie's scripts: FSCommands sent from script, SharedObject data kept per movie,
// text files read beside a local movie.
#include "player/ui/tshockwaveflash.h"

#include "flashmovies.h"
#include "support/testapplication.h"
#include "swfwriter/scriptparts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint8_t kGetVariable = 0x1C, kSetVariable = 0x1D, kGetMember = 0x4E, kSetMember = 0x4F,
                       kCallMethod = 0x52, kPop = 0x17, kGetUrl2 = 0x9A;

// fscommand(command, <the value the builder left on the stack>).
ActionBuilder& sendValue(ActionBuilder& code, const std::string& command, const std::function<void(ActionBuilder&)>& value)
{
    code.pushString("FSCommand:" + command);
    value(code);
    return code.record(kGetUrl2, {0});
}

void soData(ActionBuilder& code)
{
    code.pushString("so").op(kGetVariable).pushString("data").op(kGetMember);
}

// Sends the stored value "v" of SharedObject "k" as FSCommand "before", then stores "kept" and flushes.
Bytes sharedObjectScript()
{
    ActionBuilder code;
    code.pushString("so").pushString("k").pushNumber(1).pushString("SharedObject").op(kGetVariable);
    code.pushString("getLocal").op(kCallMethod).op(kSetVariable);
    sendValue(code, "before", [](ActionBuilder& c) { soData(c); c.pushString("v").op(kGetMember); });
    soData(code);
    code.pushString("v").pushString("kept").op(kSetMember);
    code.pushNumber(0).pushString("so").op(kGetVariable).pushString("flush").op(kCallMethod).op(kPop);
    return code.bytes();
}

struct ScriptFixture {
    QTemporaryDir dir;
    QStringList commands;
    TShockwaveFlash flash;

    ScriptFixture()
    {
        flash.resize(100, 100);
        FlashControlEvents e;
        e.OnFSCommand = [this](const QString& c, const QString& a) { commands << c + "|" + a; };
        flash.setEvents(e);
    }
};

class FlashScriptTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }
};

TEST_F(FlashScriptTest, FSCommandsSentFromScriptReachTheEvent)
{
    // The commands the window acts on, sent the way movies send them: with values from the stack.
    ActionBuilder code;
    for (const char* command : {"fullscreen", "allowscale", "exec", "quit"})
        sendValue(code, command, [&](ActionBuilder& c) {
            c.pushString(std::string(command) == "exec" ? "game.sh" : (std::string(command) == "quit" ? "" : "true"));
        });
    ScriptFixture f;
    f.flash.Movie(storeFile(f.dir, "commands.swf", squaresMovie(2, 10, {255, 255, 255, 255}, code.bytes())));
    f.flash.advanceTo(100);
    EXPECT_EQ(f.commands, (QStringList{"fullscreen|true", "allowscale|true", "exec|game.sh", "quit|"}));
}

TEST_F(FlashScriptTest, ScriptTimeFollowsTheControlsClock)
{
    // Every frame sends getTimer() as FSCommand "t".
    ActionBuilder code;
    code.pushString("FSCommand:t").op(0x34).record(kGetUrl2, {0});
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    for (int i = 0; i < 2; ++i) {
        w.tag(kFlashDoAction, code.bytes());
        w.showFrame();
    }
    ScriptFixture f;
    f.flash.Movie(storeFile(f.dir, "clock.swf", w.finish()));
    f.flash.advanceTo(100);
    f.flash.advanceTo(250);
    ASSERT_FALSE(f.commands.isEmpty());
    EXPECT_EQ(f.commands.last(), "t|250") << f.commands.join(",").toStdString();
    EXPECT_TRUE(f.commands.contains("t|100")) << f.commands.join(",").toStdString();
}

TEST_F(FlashScriptTest, SharedObjectsAreKeptOnlyWithAFolderAndApartForEachMovie)
{
    QTemporaryDir root;
    const Bytes movie = squaresMovie(2, 10, {255, 255, 255, 255}, sharedObjectScript());
    auto play = [&](const QString& folder, const QString& name, bool persist) {
        ScriptFixture f;
        if (persist)
            f.flash.setSharedObjectRoot(root.path());
        QDir().mkpath(f.dir.filePath(folder));
        f.flash.Movie(storeFile(f.dir, folder + "/" + name, movie));
        f.flash.advanceTo(100);
        return f.commands;
    };
    // Without a folder nothing is kept; with one, the second play of a movie finds what the first stored.
    EXPECT_EQ(play("a", "movie.swf", false), QStringList{"before|undefined"});
    EXPECT_EQ(play("a", "movie.swf", false), QStringList{"before|undefined"});
    // Each play stores its movie in a temporary folder of its own: the same name there is another movie,
    // which does not see the first one's data.
    EXPECT_EQ(play("a", "movie.swf", true), QStringList{"before|undefined"});
    EXPECT_EQ(play("a", "movie.swf", true), QStringList{"before|undefined"});
    QStringList files = QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(files, QStringList{"localhost"});
}

TEST_F(FlashScriptTest, SharedObjectsOfOneMovieFileAreFoundAgain)
{
    QTemporaryDir root, movies;
    const QString path = storeFile(movies, "kept.swf", squaresMovie(2, 10, {255, 255, 255, 255}, sharedObjectScript()));
    QStringList seen;
    for (int i = 0; i < 2; ++i) {
        ScriptFixture f;
        f.flash.setSharedObjectRoot(root.path());
        f.flash.Movie(path);
        f.flash.advanceTo(100);
        seen << f.commands;
    }
    EXPECT_EQ(seen, (QStringList{"before|undefined", "before|kept"}));
}

}  // namespace
}  // namespace kivamo::test

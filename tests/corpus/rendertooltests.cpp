// `kivamo-swf render` makes a PNG of every corpus movie, and refuses bad arguments with status 2.
#include "support/swfwriter.h"

#include <QImage>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kivamo::test {
namespace {

// A tool run that does not end within a minute counts as failed instead of stalling the whole program.
const std::string kTool = "timeout -k 5 60 " + std::string(KIVAMO_BIN_DIR) + "/kivamo-swf";

void collect(const std::string& dir, std::vector<std::string>& out, int depth = 0)
{
    DIR* d = opendir(dir.c_str());
    if (!d || depth > 4)
        return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = dir + "/" + name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".swf") == 0)
            out.push_back(path);
        else if (e->d_type == DT_DIR)
            collect(path, out, depth + 1);
    }
    closedir(d);
}

int run(const std::string& arguments)
{
    int status = std::system((kTool + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RenderTool, EveryCorpusMovieGivesAnImageOfTheAskedSize)
{
    std::vector<std::string> movies;
    collect(KIVAMO_CORPUS_DIR, movies);
    ASSERT_GT(movies.size(), 100u);
    // The process number keeps runs of this test in other build trees from sharing the file.
    std::string out = testing::TempDir() + "/kivamo-render-" + std::to_string(getpid()) + ".png";
    for (const std::string& movie : movies) {
        std::remove(out.c_str());
        ASSERT_EQ(run("render '" + movie + "' --frames 3 --size 160x120 -o '" + out + "'"), 0) << movie;
        QImage image(QString::fromStdString(out));
        EXPECT_EQ(image.size(), QSize(160, 120)) << movie;
    }
}

TEST(RenderTool, WrongArgumentsAndUnreadableMoviesHaveTheirStatus)
{
    std::string movie = std::string(KIVAMO_CORPUS_DIR) + "/ruffle-visual/simple_shapes__layers/test.swf";
    struct Case {
        std::string arguments;
        int status;
    };
    const Case cases[] = {
        {"render '" + movie + "' --frames 1", 2},                     // no output
        {"render '" + movie + "' --frames 0 -o /tmp/x.png", 2},       // no frame to show
        {"render '" + movie + "' --size 10 -o /tmp/x.png", 2},        // not WxH
        {"render '" + movie + "' --quality ultra -o /tmp/x.png", 2},  // unknown quality
        {"render /nonexistent.swf -o /tmp/x.png", 1},
        {"render '" + std::string(KIVAMO_CORPUS_DIR) + "/README.md' -o /tmp/x.png", 1},
        {"bench '" + movie + "' --frames 2", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.arguments), c.status) << c.arguments;
}

}  // namespace
}  // namespace kivamo::test

namespace kivamo::test {
namespace {

std::string output(const std::string& arguments)
{
    std::string text;
    FILE* pipe = popen((kTool + " " + arguments + " 2>/dev/null").c_str(), "r");
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    if (pipe)
        pclose(pipe);
    return text;
}

TEST(BenchTool, TimesEachWayOfPaintingOverTheFramesAsked)
{
    std::string movie = std::string(KIVAMO_CORPUS_DIR) + "/ruffle-visual/simple_shapes__layers/test.swf";
    std::string text = output("bench '" + movie + "' --frames 3 --size 64x48");
    for (const char* line : {"\nadvance: median ", "\nrender: median ", "\nrender whole: median ", "\npicture: median "}) {
        std::size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line << " in " << text;
        EXPECT_NE(text.find("(3 frames)", at), std::string::npos) << line;
    }
    EXPECT_EQ(text.rfind("parse: ", 0), 0u) << text;
    EXPECT_NE(text.find("\npeak memory: "), std::string::npos) << text;
}

TEST(InfoTool, CountsSkippedScriptsAndSkippedTags)
{
    // Three DoAction blocks: stop, a Push then Stop, GetURL, all run by the player, so none is skipped; one
    // DefineBinaryData tag the engine does not use; one frame.
    SwfWriter w(10, {0, 2000, 0, 2000});
    w.tag(12, actions({{0x07}}));
    w.tag(12, actions({{0x96, 0x02, 0x00, 0x08, 0x00}, {0x07}}));
    w.tag(12, actions({actionGetUrl("FSCommand:quit", "")}));
    w.tag(87, Bytes{1, 0, 0, 0, 0, 0, 42});
    w.showFrame();
    std::string movie = testing::TempDir() + "/kivamo-info.swf";
    ASSERT_TRUE(writeFile(movie, w.finish()));
    std::string text = output("info '" + movie + "'");
    EXPECT_NE(text.find("scripts: 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("scripts_skipped: 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tags_skipped: 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("tags_damaged: 0\n"), std::string::npos) << text;
}

TEST(TraceTool, PrintsTraceLinesAndStopsAfterTheQuitFrame)
{
    // Frame 1 traces, frame 2 traces and sends FSCommand "quit", frame 3 would trace again.
    auto traceBlock = [](const std::string& text) {
        ByteWriter push;
        push.u8(0).cstring(text);
        return actions({ByteWriter().u8(0x96).u16(std::uint16_t(push.data().size())).bytes(push.data()).data(), {0x26}});
    };
    SwfWriter w(8, {0, 2000, 0, 2000});
    w.tag(12, traceBlock("first")).showFrame();
    w.tag(12, traceBlock("second")).tag(12, actions({actionGetUrl("FSCommand:quit", "")})).showFrame();
    w.tag(12, traceBlock("third")).showFrame();
    std::string movie = testing::TempDir() + "/kivamo-trace.swf";
    ASSERT_TRUE(writeFile(movie, w.finish()));
    EXPECT_EQ(output("trace '" + movie + "' --frames 10 --tick-ms 5"), "first\nsecond\n");
    EXPECT_EQ(output("trace '" + movie + "' --frames 1"), "first\n");
    EXPECT_EQ(std::system((kTool + " trace '" + movie + "' >/dev/null 2>&1").c_str()) >> 8, 2);  // no --frames
}

}  // namespace
}  // namespace kivamo::test

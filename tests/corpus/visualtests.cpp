// Renders the corpus's visual cases and compares them with Flash Player's pictures; cases listed in
// expected-failures.txt must fail (so the list only shrinks), every other case must pass.
#include "visualcases.h"

#include "swf/player.h"
#include "swf/qt/painterbackend.h"
#include "swf/tracerun.h"

#include <QGuiApplication>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kivamo::test {
namespace {

const std::string kCorpus = KIVAMO_CORPUS_DIR;

std::unique_ptr<swf::Player> loadPlayer(const std::string& path, swf::FilesBeside& files)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto player = swf::Player::fromBytes(bytes.data(), bytes.size(), &files);
    return player ? std::move(player).value() : nullptr;
}

// Runs the case and returns an empty string when every capture matches, else what differed. The clock moves
// by one frame's interval after each frame, so timeouts and intervals come when they would in Flash.
std::string runCase(const VisualCase& v)
{
    const std::string moviePath = kCorpus + "/" + v.dir + "/test.swf";
    swf::FilesBeside files(moviePath);
    auto player = loadPlayer(moviePath, files);
    if (!player)
        return "movie did not load";
    const double rate = player->header().framesPerSecond();
    const double interval = 1000.0 / (rate > 0 ? rate : 12);
    player->runScripts();
    player->tick(interval);
    long ran = 1;
    std::string problems;
    std::vector<Capture> captures = v.captures;
    std::sort(captures.begin(), captures.end(), [](const Capture& a, const Capture& b) { return a.frame < b.frame; });
    for (const Capture& c : captures) {
        while (ran < c.frame) {
            player->advance();
            player->tick(interval);
            ++ran;
        }
        QImage expected(QString::fromStdString(kCorpus + "/" + v.dir + "/" + c.image));
        if (expected.isNull())
            return "expected image missing: " + c.image;
        swf::View view;
        view.width = expected.width();
        view.height = expected.height();
        view.quality = v.quality == "low" ? swf::Quality::Low : swf::Quality::High;
        QImage actual = swf::renderImage(*player, view);
        for (const Tolerance& t : c.tolerances) {
            long outliers = countOutliers(actual, expected, t.tolerance);
            if (outliers > t.maxOutliers)
                problems += c.image + ": " + std::to_string(outliers) + " values beyond " + std::to_string(t.tolerance)
                            + " (allowed " + std::to_string(t.maxOutliers) + "); ";
        }
    }
    return problems;
}

TEST(CorpusVisual, CasesMatchFlashOrAreListedAsExpectedFailures)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    auto cases = readVisualManifest(kCorpus + "/MANIFEST_visual.tsv");
    ASSERT_GE(cases.size(), 60u);
    auto expectedFailures =
        readExpectedFailures(std::string(KIVAMO_TEST_SOURCE_DIR) + "/corpus/expected-failures.txt", "MANIFEST_visual.tsv");
    int passed = 0;
    for (const VisualCase& v : cases) {
        std::string problems = runCase(v);
        bool listed = std::find(expectedFailures.begin(), expectedFailures.end(), v.dir) != expectedFailures.end();
        if (problems.empty())
            ++passed;
        if (listed && !problems.empty())
            std::printf("expected failure %s: %s\n", v.dir.c_str(), problems.c_str());
        if (listed)
            EXPECT_FALSE(problems.empty()) << v.dir << " now passes: remove it from expected-failures.txt";
        else
            EXPECT_TRUE(problems.empty()) << v.dir << ": " << problems;
    }
    std::printf("visual cases passing: %d of %zu\n", passed, cases.size());
}

TEST(CorpusVisual, ManifestCapturesAreReadWithFramesAndTolerances)
{
    auto cases = readVisualManifest(kCorpus + "/MANIFEST_visual.tsv");
    auto found = std::find_if(cases.begin(), cases.end(),
                              [](const VisualCase& v) { return v.dir == "ruffle-from_shumway/acid__acid-clip-2"; });
    ASSERT_NE(found, cases.end());
    EXPECT_EQ(found->quality, "high");
    ASSERT_EQ(found->captures.size(), 1u);
    EXPECT_EQ(found->captures[0].frame, 1);
    ASSERT_EQ(found->captures[0].tolerances.size(), 4u);
    EXPECT_EQ(found->captures[0].tolerances[1].tolerance, 32);
    EXPECT_EQ(found->captures[0].tolerances[1].maxOutliers, 1300);
    auto loop = std::find_if(cases.begin(), cases.end(), [](const VisualCase& v) {
        return v.dir == "ruffle-from_gnash/misc-ming.all__loop__simple_loop_test";
    });
    ASSERT_NE(loop, cases.end());
    EXPECT_EQ(loop->frames, 30);
    ASSERT_EQ(loop->captures.size(), 7u);
    EXPECT_EQ(loop->captures[6].frame, 8);
    EXPECT_EQ(loop->captures[6].image, "frame7.expected.png");
}

TEST(CorpusVisual, OutliersCountChannelValuesBeyondTheTolerance)
{
    QImage a(2, 1, QImage::Format_RGBA8888), b(2, 1, QImage::Format_RGBA8888);
    a.setPixelColor(0, 0, QColor(10, 20, 30, 255));
    a.setPixelColor(1, 0, QColor(0, 0, 0, 255));
    b.setPixelColor(0, 0, QColor(12, 20, 35, 255));
    b.setPixelColor(1, 0, QColor(0, 0, 0, 255));
    EXPECT_EQ(countOutliers(a, b, 0), 2);
    EXPECT_EQ(countOutliers(a, b, 2), 1);
    EXPECT_EQ(countOutliers(a, b, 5), 0);
    QImage small(1, 1, QImage::Format_RGBA8888);
    EXPECT_GT(countOutliers(small, b, 255), 8);  // a size mismatch never passes
}

}  // namespace
}  // namespace kivamo::test

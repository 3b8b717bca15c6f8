// Every movie of the shared corpus: kivamo-swf info handles it without crashing and agrees with the
// details window's header reader wherever that reader can read the movie.
#include "info/swfheader.h"

#include "support/toolrunner.h"

#include <QDirIterator>

#include <gtest/gtest.h>

using namespace kivamo;
using namespace kivamo::test;

namespace {

QStringList corpusMovies()
{
    QStringList movies;
    QDirIterator it(QStringLiteral(KIVAMO_CORPUS_DIR), {QStringLiteral("*.swf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        movies.append(it.next());
    movies.sort();
    return movies;
}

}  // namespace

TEST(CorpusHeaders, InfoAgreesWithTheHeaderReader)
{
    const QStringList movies = corpusMovies();
    ASSERT_GT(movies.size(), 100) << "corpus not found at " << KIVAMO_CORPUS_DIR;
    int compared = 0;
    for (const QString& movie : movies) {
        SCOPED_TRACE(movie.toStdString());
        ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("info"), movie});
        ASSERT_FALSE(run.crashed);
        ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1);
        if (run.exitCode == 1) {
            EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
            continue;
        }
        auto header = readHeader(movie);
        if (!header.ok() || !header->isFlash)
            continue;
        EXPECT_EQ(valueOf(run.out, QStringLiteral("signature")), header->signature);
        EXPECT_EQ(valueOf(run.out, QStringLiteral("version")).toInt(), header->version);
        if (header->signature == QStringLiteral("FWS")) {
            // Only uncompressed movies give the reader meaningful sizes, rates and counts.
            EXPECT_EQ(valueOf(run.out, QStringLiteral("width")).toInt(), header->width());
            EXPECT_EQ(valueOf(run.out, QStringLiteral("height")).toInt(), header->height());
            EXPECT_EQ(valueOf(run.out, QStringLiteral("frame_count")).toInt(), header->frameCount);
            EXPECT_EQ(int(valueOf(run.out, QStringLiteral("frame_rate")).toDouble()), header->frameRate);
        }
        ++compared;
    }
    EXPECT_GT(compared, movies.size() / 2);
}

TEST(CorpusHeaders, TagListingsNeverCrash)
{
    for (const QString& movie : corpusMovies()) {
        ToolRun run = runTool(QStringLiteral("kivamo-swf"), {QStringLiteral("tags"), movie});
        EXPECT_FALSE(run.crashed) << movie.toStdString();
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << movie.toStdString();
    }
}

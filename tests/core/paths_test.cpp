// Path rules: kinds, titles, extensions and sidecar names, with Windows lists keeping their meaning.
#include "core/paths.h"

#include <gtest/gtest.h>

using namespace kivamo;

TEST(Paths, TitleFromPath)
{
    struct Case {
        const char* path;
        const char* title;
    } cases[] = {
        {"D:\\a\\b.swf", "b"},
        {"/home/u/影片/猫.swf", "猫"},
        {"http://x.org/a.swf", "http://x.org/a.swf"},
        {"HTTP://x.org/a.swf", "a"},           // only a lower-case "http" makes a web address
        {"D:abcd.swf", "abcd"},                  // ":" separates a drive from the name
        {"/m/abcd", ""},                         // four characters or fewer: empty
        {"/m/a.b", ""},
        {"/m/movie.swf2", "movie."},             // the last four characters go, whatever they are
        {"\\\\server\\share\\x.swf", "x"},
        {"plain.swf", "plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(titleFromPath(QString::fromUtf8(c.path)).toStdString(), c.title) << c.path;
    }
}

TEST(Paths, UpperExtension)
{
    struct Case {
        const char* path;
        const char* extension;
    } cases[] = {
        {"/a/b.swf", ".SWF"},   {"D:\\a\\b.Kvl", ".KVL"}, {"/a.b/c", ""},     {"D:\\a.b\\c", ""},
        {"x.tar.gz", ".GZ"},    {"noext", ""},            {"/a/.hidden", ".HIDDEN"}, {"C:.swf", ".SWF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(upperExtension(QString::fromUtf8(c.path)).toStdString(), c.extension) << c.path;
    }
    EXPECT_TRUE(hasExtension(QStringLiteral("/m/A.SwF"), QStringLiteral(".SWF")));
    EXPECT_FALSE(hasExtension(QStringLiteral("/m/A.swfx"), QStringLiteral(".SWF")));
}

TEST(Paths, KindsOfPaths)
{
    struct Case {
        const char* path;
        bool drive, local, network, web;
    } cases[] = {
        {"D:\\m\\a.swf", true, true, false, false},
        {"/home/a.swf", false, true, false, false},
        {"\\\\srv\\m\\a.swf", false, false, true, false},
        {"smb://srv/m/a.swf", false, false, true, false},
        {"http://x/a.swf", false, false, false, true},
        {"https://x/a.swf", false, false, false, true},
        {"a.swf", false, false, false, false},
        {"", false, false, false, false},
    };
    for (const Case& c : cases) {
        QString p = QString::fromUtf8(c.path);
        EXPECT_EQ(isDrivePath(p), c.drive) << c.path;
        EXPECT_EQ(isLocalPath(p), c.local) << c.path;
        EXPECT_EQ(isNetworkPath(p), c.network) << c.path;
        EXPECT_EQ(isWebAddress(p), c.web) << c.path;
    }
}

TEST(Paths, SidecarReplacesTheLastFourCharacters)
{
    EXPECT_EQ(sidecarPath(QStringLiteral("D:\\flash\\abc.swf")), QStringLiteral("D:\\flash\\abc.fci"));
    EXPECT_EQ(sidecarPath(QStringLiteral("/m/abc.SWF")), QStringLiteral("/m/abc.fci"));
    EXPECT_EQ(sidecarPath(QStringLiteral("ab")), QStringLiteral(".fci"));
}

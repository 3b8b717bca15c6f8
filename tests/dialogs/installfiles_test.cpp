// The files `cmake --install` puts on the desktop: the desktop entry, the play-list MIME package, the
// thumbnailer entry, icons, manual pages and the help pages, read from assets/ as they will be installed.
#include "shell/associations.h"
#include "shell/desktopfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

const QString kAssets = QStringLiteral(KIVAMO_TEST_SOURCE_DIR "/../assets");

QString asset(const QString& relative)
{
    return readUtf8File(QDir(kAssets).filePath(relative));
}

// Every line of a key file is blank, a comment, a section or key=value, and no key repeats in a section.
void expectWellFormedKeyFile(const QString& text, const QString& firstSection)
{
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith(u'[' + firstSection + u']')) << text.left(40).toStdString();
    EXPECT_TRUE(text.endsWith(u'\n'));
    QString section;
    QSet<QString> keys;
    static const QRegularExpression keyLine(QStringLiteral("^[A-Za-z0-9-]+(\\[[A-Za-z_@.]+\\])?=.*$"));
    for (const QString& line : text.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            EXPECT_TRUE(line.endsWith(u']')) << line.toStdString();
            section = line;
            continue;
        }
        EXPECT_TRUE(keyLine.match(line).hasMatch()) << line.toStdString();
        const QString key = section + line.section(u'=', 0, 0);
        EXPECT_FALSE(keys.contains(key)) << "repeated " << key.toStdString();
        keys.insert(key);
    }
}

QStringList listValue(const QString& text, const QString& section, const QString& key)
{
    const QString value = readKeyFileValue(text, section, key);
    EXPECT_TRUE(value.endsWith(u';')) << key.toStdString();
    return value.split(u';', Qt::SkipEmptyParts);
}

TEST(InstallFiles, DesktopEntryStartsTheProgramWithFilesOfItsTypes)
{
    const QString entry = asset(QStringLiteral("desktop/kivamo.desktop"));
    expectWellFormedKeyFile(entry, QStringLiteral("Desktop Entry"));
    const QString section = QStringLiteral("Desktop Entry");
    EXPECT_EQ(readKeyFileValue(entry, section, QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(readKeyFileValue(entry, section, QStringLiteral("Icon")), QStringLiteral("kivamo"));
    EXPECT_EQ(readKeyFileValue(entry, section, QStringLiteral("Name[zh_CN]")), QStringLiteral("Kivamo flash播放器"));
    EXPECT_EQ(splitDesktopExec(readKeyFileValue(entry, section, QStringLiteral("Exec"))),
              QStringList({QStringLiteral("kivamo"), QStringLiteral("%F")}));
    const QStringList types = listValue(entry, section, QStringLiteral("MimeType"));
    for (const QString& type : kMovieMimeTypes)
        EXPECT_TRUE(types.contains(type)) << type.toStdString();
    EXPECT_TRUE(types.contains(kPlayListMimeType));
    EXPECT_FALSE(listValue(entry, section, QStringLiteral("Categories")).isEmpty());
}

TEST(InstallFiles, DesktopEntryPassesTheDesktopValidator)
{
    // desktop-file-validate comes with desktop-file-utils, which scripts/install-deps.sh installs.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing";
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(validator, {QDir(kAssets).filePath(QStringLiteral("desktop/kivamo.desktop"))});
    ASSERT_TRUE(run.waitForFinished(-1));
    const QString output = QString::fromUtf8(run.readAll());
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.isEmpty()) << output.toStdString();
}

TEST(InstallFiles, ThumbnailerCallsTheEngineToolForMovies)
{
    const QString entry = asset(QStringLiteral("desktop/kivamo.thumbnailer"));
    expectWellFormedKeyFile(entry, QStringLiteral("Thumbnailer Entry"));
    const QString section = QStringLiteral("Thumbnailer Entry");
    EXPECT_EQ(readKeyFileValue(entry, section, QStringLiteral("TryExec")), QStringLiteral("kivamo-swf"));
    EXPECT_EQ(splitDesktopExec(readKeyFileValue(entry, section, QStringLiteral("Exec"))),
              QStringList({QStringLiteral("kivamo-swf"), QStringLiteral("thumbnail"), QStringLiteral("%i"),
                           QStringLiteral("%o"), QStringLiteral("%s")}));
    QStringList expected;
    for (const QString& type : kMovieMimeTypes)
        expected.append(type);
    EXPECT_EQ(listValue(entry, section, QStringLiteral("MimeType")), expected);
}

TEST(InstallFiles, MimePackageDeclaresThePlayListType)
{
    QXmlStreamReader xml(asset(QStringLiteral("desktop/kivamo.xml")));
    QStringList types;
    QStringList globs;
    QStringList icons;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-info")) {
            EXPECT_EQ(xml.namespaceUri(), QLatin1String("http://www.freedesktop.org/standards/shared-mime-info"));
        }
        if (xml.name() == QLatin1String("mime-type"))
            types.append(xml.attributes().value(QLatin1String("type")).toString());
        if (xml.name() == QLatin1String("glob"))
            globs.append(xml.attributes().value(QLatin1String("pattern")).toString());
        if (xml.name() == QLatin1String("icon"))
            icons.append(xml.attributes().value(QLatin1String("name")).toString());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(types, QStringList({kPlayListMimeType}));
    EXPECT_EQ(globs, QStringList({QStringLiteral("*.kvl")}));
    EXPECT_EQ(icons, QStringList({QStringLiteral("application-x-kivamo-playlist")}));
}

TEST(InstallFiles, IconsAreSvgAndEveryAssetIsInstalled)
{
    const QString rules = readUtf8File(QStringLiteral(KIVAMO_TEST_SOURCE_DIR "/../cmake/KivamoInstall.cmake"));
    ASSERT_FALSE(rules.isEmpty());
    for (const QString& folder : {QStringLiteral("desktop"), QStringLiteral("man")}) {
        QDirIterator it(QDir(kAssets).filePath(folder), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = QDir(kAssets).relativeFilePath(it.next());
            EXPECT_TRUE(rules.contains(QStringLiteral("${KIVAMO_ASSETS_DIR}/") + relative)) << relative.toStdString();
            if (!relative.endsWith(QLatin1String(".svg")))
                continue;
            {
                QXmlStreamReader svg(asset(relative));
                ASSERT_TRUE(svg.readNextStartElement()) << relative.toStdString();
                EXPECT_EQ(svg.name(), QLatin1String("svg")) << relative.toStdString();
                while (!svg.atEnd())
                    svg.readNext();
                EXPECT_FALSE(svg.hasError()) << relative.toStdString();
            }
        }
    }
    EXPECT_TRUE(rules.contains(QStringLiteral("\"${KIVAMO_ASSETS_DIR}/help/\"")));
}

TEST(InstallFiles, ManualPagesInBothLanguages)
{
    const struct {
        QString file;
        QString header;
        QString name;
    } pages[] = {
        {"man/kivamo.1", ".TH KIVAMO 1 ", ".SH NAME\nkivamo \\- "},
        {"man/kivamo-swf.1", ".TH KIVAMO-SWF 1 ", ".SH NAME\nkivamo\\-swf \\- "},
        {"man/zh_CN/kivamo.1", ".TH KIVAMO 1 ", ".SH 名称\nkivamo \\- "},
        {"man/zh_CN/kivamo-swf.1", ".TH KIVAMO-SWF 1 ", ".SH 名称\nkivamo\\-swf \\- "},
    };
    for (const auto& page : pages) {
        const QString text = asset(page.file);
        EXPECT_TRUE(text.startsWith(page.header)) << page.file.toStdString();
        EXPECT_TRUE(text.contains(page.name)) << page.file.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("thumbnail")) || !page.file.contains(QLatin1String("swf")))
            << page.file.toStdString();
    }
}

TEST(InstallFiles, HelpPagesAreLinkedPlainPagesCoveringEveryFeature)
{
    const QDir help(QDir(kAssets).filePath(QStringLiteral("help")));
    const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_TRUE(pages.contains(QStringLiteral("index.html")));
    static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#]*)"));
    QSet<QString> linked;
    QString all;
    for (const QString& page : pages) {
        const QString text = readUtf8File(help.filePath(page));
        all += text;
        EXPECT_TRUE(text.startsWith(QLatin1String("<!DOCTYPE html>"))) << page.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("<html lang=\"zh-CN\">"))) << page.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("<meta charset=\"utf-8\">"))) << page.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("<script"), Qt::CaseInsensitive)) << page.toStdString();
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral(" on[a-z]+=\"")))) << page.toStdString();
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(help.exists(target)) << page.toStdString() << " links to " << target.toStdString();
            linked.insert(target);
        }
    }
    for (const QString& page : pages)
        EXPECT_TRUE(linked.contains(page)) << page.toStdString() << " is not linked";
    for (const char* topic : {"播放列表", "列表文件", "历史记录", "自定义列表", "快捷键", "全屏", "单张快照",
                              "连续快照", "打印", "影片详细信息", "备注", "复制到", "缓存", "选项设置",
                              "文件关联", "跳到指定帧", "画质", "背景"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(topic))) << topic;
}

}  // namespace
}  // namespace kivamo

// The version record the build writes into the ELF notes of every program that links the engine,
// read back from the built files; files without it, damaged files and the "插件信息" box.
#include "shell/versionrecord.h"

#include "support/scriptedprompts.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

TEST(VersionRecord, ReadBackFromTheBuiltFile)
{
    const QString self = findPluginFile();
    ASSERT_FALSE(self.isEmpty());
    QStringList files{self};
    const QString program = QStringLiteral(KIVAMO_BIN_DIR "/kivamo");
    if (QFile::exists(program))
        files.append(program);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        TFileVersionInfo info(file);
        ASSERT_TRUE(info.read());
        EXPECT_EQ(info.ProductName, "Kivamo");
        EXPECT_EQ(info.ProductVersion, KIVAMO_VERSION);
        EXPECT_EQ(info.FileVersion, KIVAMO_VERSION);
        EXPECT_EQ(info.FileDescription, "Kivamo SWF 播放引擎");
        EXPECT_EQ(info.CompanyName, "Kivamo 开发组");
        EXPECT_EQ(info.LegalCopyright, "Copyright (C) 2026 Kivamo 开发组");
        EXPECT_EQ(info.LegalTrademarks, "Kivamo");
        EXPECT_EQ(info.InternalName, "kivamo_swf");
        EXPECT_EQ(info.OriginalFilename, "kivamo");
    }
}

TEST(VersionRecord, FilesWithoutTheRecord)
{
    QTemporaryDir dir;
    QFile self(findPluginFile());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QByteArray bytes = self.readAll();
    QByteArray renamed = bytes;
    // The same file with the note's owner spelled differently carries no record of ours.
    const qsizetype owner = renamed.indexOf(QByteArray("Kivamo\0\0", 8) + "ProductName=");
    ASSERT_GT(owner, 0);
    renamed[owner] = 'X';
    QByteArray badTable = bytes;
    badTable[0x28] = char(0xff);  // section table offset far beyond the end
    badTable[0x2f] = char(0x7f);
    QByteArray hugeTable = bytes;
    for (int at : {0x3A, 0x3B, 0x3C, 0x3D})
        hugeTable[at] = char(0xff);  // 65,535 entries of 65,535 bytes: more than the file holds
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"section table larger than the file", hugeTable},
        {"empty", {}},
        {"text", "not an ELF file at all"},
        {"header only", bytes.left(64)},
        {"cut in half", bytes.left(bytes.size() / 2)},
        {"owner renamed", renamed},
        {"section table out of range", badTable},
    };
    for (const auto& c : cases) {
        QFile file(dir.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        TFileVersionInfo info(file.fileName());
        EXPECT_FALSE(info.read()) << c.name;
        EXPECT_TRUE(info.ProductVersion.isEmpty()) << c.name;
    }
    EXPECT_FALSE(TFileVersionInfo(dir.filePath("missing")).read());
    EXPECT_FALSE(TFileVersionInfo(dir.path()).read()) << "a folder";
}

TEST(VersionRecord, PluginInfoBoxLines)
{
    ScriptedPrompts prompts;
    prompts.expectMessage("插件信息",
                          QStringLiteral("当前插件信息：\r\n内部名称：kivamo_swf\r\n原文件名：kivamo\r\n产品版本：")
                              + KIVAMO_VERSION + "\r\n文件版本：" + KIVAMO_VERSION
                              + "\r\n文件说明：Kivamo SWF 播放引擎\r\n公司名称：Kivamo 开发组\r\n"
                                "合法版权：Copyright (C) 2026 Kivamo 开发组\r\n合法商标：Kivamo",
                          PromptIcon::Information);
    showPluginInfo(prompts, findPluginFile());
    EXPECT_TRUE(prompts.messages().at(0).stayOnTop);

    TFileVersionInfo empty("/nowhere");
    EXPECT_EQ(pluginInfoLines(empty).join(u'|'),
              "当前插件信息：|内部名称：|原文件名：|产品版本：|文件版本：|文件说明：|公司名称：|合法版权：|合法商标：");
}

TEST(VersionRecord, NothingShownWhenFileOrRecordIsMissing)
{
    QTemporaryDir dir;
    QFile text(dir.filePath("plain"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("plain");
    text.close();
    ScriptedPrompts prompts;
    showPluginInfo(prompts, QString());
    showPluginInfo(prompts, dir.filePath("missing"));
    showPluginInfo(prompts, text.fileName());
    EXPECT_TRUE(prompts.messages().empty());
}

}  // namespace
}  // namespace kivamo

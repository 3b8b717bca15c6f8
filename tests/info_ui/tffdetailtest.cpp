// TFfdetail offscreen: the facts of plain, compressed, damaged and network movies in their labels,
// the playing-movie group, and "确定" storing the notes in the entry and the sidecar file's bytes.
#include "info/ui/tffdetail.h"

#include "dialogfixture.h"
#include "platform/textfile.h"
#include "support/testfiles.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace kivamo;
using namespace kivamo::test;

namespace {

// An uncompressed 550 × 400 movie header (version 9, 12.5 fps, 300 frames) padded with zeros to size bytes.
Bytes plainMovie(std::size_t size)
{
    ByteWriter w;
    w.u8('F').u8('W').u8('S').u8(9).u32(std::uint32_t(size));
    w.bytes(rectBytes({0, 11000, 0, 8000}, 15));
    w.u16(0x0C80).u16(300);
    Bytes bytes = w.data();
    bytes.resize(size, 0);
    return bytes;
}

// The labels in the order of the table of the window: file facts, then movie facts.
QStringList factTexts(const TFfdetail& d)
{
    return {d.LAB_FileSize->text(), d.LAB_FileCDate->text(), d.LAB_fileRDate->text(), d.LAB_FileMDate->text(),
            d.LAB_yasuo->text(),    d.LAB_Version->text(),   d.LAB_height->text(),    d.LAB_width->text(),
            d.LAB_zhenlv->text(),   d.LAB_zhenshu->text()};
}

const QStringList kDesignFacts = {
    QStringLiteral("文件大小："), QStringLiteral("创建日期："),   QStringLiteral("访问日期："), QStringLiteral("修改日期："),
    QStringLiteral("压缩与否："), QStringLiteral("编译器版本："), QStringLiteral("影片高度："), QStringLiteral("影片宽度："),
    QStringLiteral("影片帧率："), QStringLiteral("影片帧数："),
};

const QStringList kUnknownFacts = {
    QStringLiteral("文件大小： <未知>"), QStringLiteral("创建日期： <未知>"),   QStringLiteral("访问日期： <未知>"),
    QStringLiteral("修改日期： <未知>"), QStringLiteral("压缩与否： <未知>"),   QStringLiteral("编译器版本： <未知>"),
    QStringLiteral("影片高度： <未知>"), QStringLiteral("影片宽度： <未知>"),   QStringLiteral("影片帧率： <未知>"),
    QStringLiteral("影片帧数： <未知>"),
};

MovieEntry noted(const QString& path)
{
    MovieEntry entry;
    entry.title = QStringLiteral("动画");
    entry.path = path;
    entry.author = QStringLiteral("张三");
    entry.source = QStringLiteral("闪客帝国");
    entry.type = QStringLiteral("游戏");
    return entry;
}

// A dialog that stays alive when closed, for reading its controls.
struct Kept {
    TFfdetail dialog;
    Kept(DialogFixture& f, int target, int current, const NowPlayingInputs& player = {})
        : dialog(f.list, f.prompts, target, current, player)
    {
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    }
};

}  // namespace

TEST(TFfdetail, DesignCaptionsStayWithoutATarget)
{
    DialogFixture f;
    f.add(QStringLiteral("甲"), f.path(QStringLiteral("a.swf")));
    Kept kept(f, 0, -1);  // no selection, not the current entry
    const TFfdetail& d = kept.dialog;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("影片信息"));
    EXPECT_EQ(d.size(), QSize(375, 390));
    EXPECT_EQ(d.findChild<QGroupBox*>("grp_1")->title(), QStringLiteral("文件属性"));
    EXPECT_EQ(d.findChild<QGroupBox*>("grp_2")->title(), QStringLiteral("影片属性"));
    EXPECT_EQ(d.findChild<QGroupBox*>("grp_now")->title(), QStringLiteral("当前文件"));
    EXPECT_EQ(d.findChild<QGroupBox*>("grp_3")->title(), QStringLiteral("版权"));
    EXPECT_EQ(factTexts(d), kDesignFacts);
    EXPECT_TRUE(d.findChild<QLineEdit*>("EDT_path")->isReadOnly());
    EXPECT_TRUE(d.EDT_path->text().isEmpty());
    EXPECT_FALSE(d.EDT_path->hasFrame());
    EXPECT_EQ(d.EDT_path->palette().color(QPalette::Base), d.palette().color(QPalette::Button));
    for (const char* name : {"LAB_nowstate", "LAB_nowlist", "LAB_q"})
        EXPECT_FALSE(d.findChild<QLabel*>(name)->isEnabled()) << name;
    EXPECT_EQ(d.findChild<QLineEdit*>("LABEDT_author")->text(), QStringLiteral("未知"));
    EXPECT_EQ(d.LABEDT_authorLabel->text(), QStringLiteral("作者："));
    EXPECT_EQ(d.findChild<QLineEdit*>("LABEDT_place")->text(), QStringLiteral("未知"));
    EXPECT_EQ(d.LABEDT_placeLabel->text(), QStringLiteral("出处："));
    QComboBox* type = d.findChild<QComboBox*>("cbb_type");
    ASSERT_NE(type, nullptr);
    EXPECT_TRUE(type->isEditable());
    EXPECT_EQ(type->currentText(), QStringLiteral("未知"));
    QStringList items;
    for (int i = 0; i < type->count(); ++i)
        items << type->itemText(i);
    EXPECT_EQ(items, QStringList({QStringLiteral("影片"), QStringLiteral("游戏"), QStringLiteral("课件"),
                                  QStringLiteral("广告"), QStringLiteral("MTV"), QStringLiteral("网站"),
                                  QStringLiteral("其它")}));
    EXPECT_EQ(d.findChild<QLabel*>("LAB_3")->text(), QStringLiteral("类型："));
    EXPECT_TRUE(d.findChild<QPushButton*>("Button1")->isDefault());
    EXPECT_EQ(d.Button1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.findChild<QPushButton*>("Button2")->text(), QStringLiteral("取消"));
    expectAccessible(d);
}

TEST(TFfdetail, ShowsTheFactsOfEachKindOfEntry)
{
    DialogFixture f;
    const QString plain = storeFile(f.dir, QStringLiteral("plain.swf"), plainMovie(1536));
    // A zlib-compressed version 8 movie, 320 × 240, one frame: its body is not read for these labels.
    const QString packed = storeFile(f.dir, QStringLiteral("packed.swf"),
                                     SwfWriter(8, {0, 6400, 0, 4800}).showFrame().finish(SwfCompression::Zlib));
    const QString other = f.path(QStringLiteral("notes.swf"));
    ASSERT_TRUE(writeBytes(other, "just text, no movie"));

    PlayList& list = f.list;
    list.append(noted(plain));
    list.append(noted(packed));
    list.append(noted(QStringLiteral("http://example.com/a.swf")));
    list.append(noted(other));
    list.selectAll();

    {
        Kept kept(f, 0, -1);
        const QStringList facts = factTexts(kept.dialog);
        EXPECT_EQ(facts.at(0), QStringLiteral("文件大小： 1 KB ( 1536 Bytes )"));
        for (int i = 1; i <= 3; ++i) {
            EXPECT_TRUE(facts.at(i).startsWith(kDesignFacts.at(i) + u' ')) << facts.at(i).toStdString();
            EXPECT_NE(facts.at(i), kUnknownFacts.at(i));
        }
        EXPECT_EQ(facts.mid(4), QStringList({QStringLiteral("压缩与否： 否"), QStringLiteral("编译器版本： 9"),
                                             QStringLiteral("影片高度： 400"), QStringLiteral("影片宽度： 550"),
                                             QStringLiteral("影片帧率： 12 FPS"), QStringLiteral("影片帧数： 300 帧")}));
        EXPECT_EQ(kept.dialog.EDT_path->text(), plain);
        EXPECT_EQ(kept.dialog.LABEDT_author->text(), QStringLiteral("张三"));
        EXPECT_EQ(kept.dialog.LABEDT_place->text(), QStringLiteral("闪客帝国"));
        EXPECT_EQ(kept.dialog.cbb_type->currentText(), QStringLiteral("游戏"));
    }
    {
        Kept kept(f, 1, -1);
        const QStringList facts = factTexts(kept.dialog);
        EXPECT_EQ(facts.at(4), QStringLiteral("压缩与否： 是"));
        EXPECT_EQ(facts.at(5), QStringLiteral("编译器版本： 8"));
        EXPECT_EQ(facts.mid(6), kUnknownFacts.mid(6));
    }
    for (int index : {2, 3}) {
        SCOPED_TRACE(index);
        Kept kept(f, index, -1);
        EXPECT_EQ(factTexts(kept.dialog), kUnknownFacts);
        // A file that exists but is no movie keeps its path in the box; a web address has no file.
        EXPECT_EQ(kept.dialog.EDT_path->text(),
                  index == 2 ? QStringLiteral("文件不存在或者非FLASH影片") : other);
        EXPECT_EQ(kept.dialog.LABEDT_author->text(), QStringLiteral("张三"));
    }
    EXPECT_TRUE(f.prompts.done());
}

TEST(TFfdetail, DamagedMovieIsReportedAndOpensWithItsNotesOnly)
{
    DialogFixture f;
    Bytes cut = plainMovie(64);
    cut.resize(10);  // the header ends inside the frame rectangle
    const int target = f.add(QStringLiteral("坏"), storeFile(f.dir, QStringLiteral("cut.swf"), cut));
    f.list.setEntry(target, noted(f.list.at(target).path));
    f.list.setSelected(target, true);
    f.prompts.expectMessage(QStringLiteral("Kivamo"), QStringLiteral("Stream read error"), PromptIcon::Error);
    Kept kept(f, target, -1);
    EXPECT_TRUE(f.prompts.done());
    EXPECT_EQ(factTexts(kept.dialog), kDesignFacts);
    EXPECT_TRUE(kept.dialog.EDT_path->text().isEmpty());
    EXPECT_EQ(kept.dialog.LABEDT_author->text(), QStringLiteral("张三"));
}

TEST(TFfdetail, PlayingGroupOnlyForTheLoadedMovie)
{
    DialogFixture f;
    f.add(QStringLiteral("甲"), QStringLiteral("http://example.com/a.swf"));
    f.add(QStringLiteral("乙"), QStringLiteral("http://example.com/b.swf"));
    f.list.setListName(QStringLiteral("我的列表"));
    NowPlayingInputs player;
    player.controlExists = true;
    player.movieLoaded = true;
    player.readyState = 4;
    player.quality2 = QStringLiteral("High");
    player.listName = QStringLiteral("我的列表");

    // Opened from the movie menu: no selection, the target is the loaded movie.
    {
        Kept kept(f, 1, 1, player);
        EXPECT_TRUE(kept.dialog.grp_now->isEnabled());
        EXPECT_TRUE(kept.dialog.LAB_nowstate->isEnabled());
        EXPECT_EQ(kept.dialog.LAB_nowstate->text(), QStringLiteral("播放状态： 完成"));
        EXPECT_EQ(kept.dialog.LAB_nowlist->text(), QStringLiteral("当前列表： 我的列表"));
        EXPECT_EQ(kept.dialog.LAB_q->text(), QStringLiteral("播放品质： High"));
    }
    // Another entry, selected in the list: the group stays greyed with its design captions.
    f.list.setSelected(0, true);
    {
        Kept kept(f, 0, 1, player);
        EXPECT_FALSE(kept.dialog.LAB_nowstate->isEnabled());
        EXPECT_FALSE(kept.dialog.LAB_q->isEnabled());
        EXPECT_EQ(kept.dialog.LAB_nowstate->text(), QStringLiteral("播放状态："));
        EXPECT_EQ(kept.dialog.LAB_nowlist->text(), QStringLiteral("当前列表："));
        EXPECT_EQ(kept.dialog.LAB_q->text(), QStringLiteral("播放品质："));
    }
}

TEST(TFfdetail, ConfirmStoresTheNotesInTheEntryAndTheSidecarFile)
{
    for (bool selected : {true, false}) {
        SCOPED_TRACE(selected);
        DialogFixture f;
        const QString movie = storeFile(f.dir, QStringLiteral("动画.swf"), plainMovie(64));
        const int target = f.add(QStringLiteral("动画"), movie);
        f.list.setSelected(target, selected);
        // Without a selection the dialog was opened for the loaded movie.
        QPointer<TFfdetail> dialog = new TFfdetail(f.list, f.prompts, target, selected ? -1 : target, {});
        dialog->show();
        dialog->LABEDT_author->setText(QStringLiteral("李四"));
        dialog->LABEDT_place->setText(QStringLiteral("网上"));
        dialog->cbb_type->setEditText(QStringLiteral("自制动画"));  // free text beside the offered types
        dialog->Button1Click();
        deletePending();

        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(fileBytes(f.path(QStringLiteral("动画.fci"))),
                  encodeGb18030(QStringLiteral("李四\r\n网上\r\n自制动画\r\n路径：") + movie + QStringLiteral("\r\n")));
        EXPECT_EQ(f.list.at(target).author, selected ? QStringLiteral("李四") : QStringLiteral("未知"));
        EXPECT_EQ(f.list.at(target).type, selected ? QStringLiteral("自制动画") : QStringLiteral("未知"));
        EXPECT_FALSE(f.list.isModified());
    }
}

TEST(TFfdetail, NetworkEntryKeepsItsNotesWithoutAnyFile)
{
    DialogFixture f;
    const int target = f.add(QStringLiteral("网"), QStringLiteral("http://example.com/a.swf"));
    f.list.setSelected(target, true);
    QPointer<TFfdetail> dialog = new TFfdetail(f.list, f.prompts, target, -1, {});
    dialog->show();
    dialog->LABEDT_author->setText(QStringLiteral("王五"));
    dialog->Button1Click();
    deletePending();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(f.list.at(target).author, QStringLiteral("王五"));
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST(TFfdetail, FailedSidecarWriteIsReportedAndTheDialogStays)
{
    DialogFixture f;
    const QString movie = storeFile(f.dir, QStringLiteral("m.swf"), plainMovie(64));
    // A folder where the sidecar file should go: the write must fail and say so.
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("m.fci")));
    const int target = f.add(QStringLiteral("m"), movie);
    f.list.setSelected(target, true);
    QPointer<TFfdetail> dialog = new TFfdetail(f.list, f.prompts, target, -1, {});
    dialog->show();
    dialog->LABEDT_author->setText(QStringLiteral("作者"));
    f.prompts.expectMessage(QStringLiteral("Kivamo"), QString(), PromptIcon::Error);
    dialog->Button1Click();
    deletePending();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(f.prompts.messages().at(0).text.isEmpty());
    EXPECT_EQ(f.list.at(target).author, QStringLiteral("作者"));
    EXPECT_TRUE(QFileInfo(f.path(QStringLiteral("m.fci"))).isDir());
    delete dialog;
}

TEST(TFfdetail, CancelStoresNothing)
{
    DialogFixture f;
    const QString movie = storeFile(f.dir, QStringLiteral("m.swf"), plainMovie(64));
    const int target = f.add(QStringLiteral("m"), movie);
    f.list.setSelected(target, true);
    for (bool byButton : {true, false}) {
        QPointer<TFfdetail> dialog = new TFfdetail(f.list, f.prompts, target, -1, {});
        dialog->show();
        dialog->LABEDT_author->setText(QStringLiteral("作者"));
        if (byButton)
            dialog->Button2Click();
        else
            dialog->close();
        deletePending();
        EXPECT_TRUE(dialog.isNull());
        EXPECT_EQ(f.list.at(target).author, QStringLiteral("未知"));
        EXPECT_FALSE(QFileInfo::exists(f.path(QStringLiteral("m.fci"))));
    }
}

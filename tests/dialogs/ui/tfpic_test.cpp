// The continuous-snapshot window offscreen: the fields from [contpic], the folder state, the key rule,
// a run of three ticks with its strip view and summary, refused closes, and the settings written back.
#include "dialogs/ui/tfpic.h"

#include "core/settings.h"
#include "platform/inifile.h"
#include "support/scriptedprompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kivamo {
namespace {

using test::ScriptedPrompts;

class TfpicTest : public testing::Test {
protected:
    ~TfpicTest() override { delete m_dialog.data(); }

    void writeSettings(const QString& path, bool autocreat, const QString& type, int times)
    {
        const QString file = settingsFilePath(m_program.path());
        IniFile ini = IniFile::load(file);
        ini.writeString(QStringLiteral("contpic"), QStringLiteral("path"), path);
        ini.writeBool(QStringLiteral("contpic"), QStringLiteral("autocreat"), autocreat);
        ini.writeString(QStringLiteral("contpic"), QStringLiteral("imagetype"), type);
        ini.writeInteger(QStringLiteral("contpic"), QStringLiteral("times"), times);
        ASSERT_TRUE(ini.save(file).ok());
    }

    Tfpic& open(bool movieLoaded = true)
    {
        SnapshotServices services;
        services.prompts = &m_prompts;
        services.showStatus = [this](const QString& text) { m_status = text; };
        services.onOpticalMedia = [this](const QString& folder) { return folder.startsWith(m_optical); };
        ContinuousSource source;
        source.controlExists = [] { return true; };
        source.movieLoaded = [movieLoaded] { return movieLoaded; };
        source.moviePath = [] { return QStringLiteral("/films/b.swf"); };
        source.capture = [this] {
            ++m_captures;
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(qRgb(10, 200, 30));
            return picture;
        };
        m_dialog = new Tfpic(services, source, m_program.path());
        return *m_dialog;
    }

    QString folder(const QString& name) const { return m_work.filePath(name); }

    QTemporaryDir m_program;
    QTemporaryDir m_work;
    ScriptedPrompts m_prompts;
    QString m_status;
    QString m_optical = QStringLiteral("/media/cdrom");
    int m_captures = 0;
    QPointer<Tfpic> m_dialog;
};

void type(QLineEdit* edit, QChar key)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
    QCoreApplication::sendEvent(edit, &press);
}

TEST_F(TfpicTest, FieldsComeFromContpicAndSliderClamps)
{
    writeSettings(m_work.path(), false, QStringLiteral("jpg"), 5000);
    Tfpic& dialog = open();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连续快照"));
    EXPECT_EQ(dialog.size(), QSize(376, 228));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog.edt_path->text(), m_work.path());
    EXPECT_FALSE(dialog.chk_autocreat->isChecked());
    EXPECT_TRUE(dialog.rb_jpg->isChecked());
    EXPECT_EQ(dialog.TRB_times->value(), 2000);
    EXPECT_EQ(dialog.LAB_times->text(), QStringLiteral("2000毫秒"));
    EXPECT_FALSE(dialog.chk_save->isChecked());
    EXPECT_FALSE(dialog.B_stop->isEnabled());
    EXPECT_TRUE(dialog.B_stop2->isHidden());
    EXPECT_EQ(dialog.LAB_count->text(), QStringLiteral("0张"));
    EXPECT_EQ(dialog.LAB_pathstate->text(), QStringLiteral("路径状态：有效"));
}

TEST_F(TfpicTest, UnknownImageTypeKeepsGifAndShortIntervalClampsUp)
{
    writeSettings(m_work.path(), true, QStringLiteral("png"), 20);
    Tfpic& dialog = open();
    EXPECT_TRUE(dialog.rb_gif->isChecked());
    EXPECT_EQ(dialog.TRB_times->value(), 100);
    EXPECT_EQ(dialog.LAB_times->text(), QStringLiteral("100毫秒"));
    dialog.TRB_times->setValue(750);
    EXPECT_EQ(dialog.LAB_times->text(), QStringLiteral("750毫秒"));
}

TEST_F(TfpicTest, PathStateFollowsTheText)
{
    Tfpic& dialog = open();
    const struct {
        QString text;
        QString state;
        QColor colour;
    } cases[] = {
        {m_work.path(), QStringLiteral("路径状态：有效"), QColor(0, 128, 0)},
        {"  " + m_work.path() + "  ", QStringLiteral("路径状态：有效"), QColor(0, 128, 0)},
        {folder("missing"), QStringLiteral("路径状态：无效(路径不存在)"), QColor(255, 0, 0)},
        {QString(), QStringLiteral("路径状态：无效(路径不存在)"), QColor(255, 0, 0)},
    };
    for (const auto& c : cases) {
        dialog.edt_path->setText(c.text);
        EXPECT_EQ(dialog.LAB_pathstate->text(), c.state) << c.text.toStdString();
        EXPECT_EQ(dialog.LAB_pathstate->palette().color(QPalette::WindowText), c.colour) << c.text.toStdString();
    }
    m_optical = m_work.path();
    dialog.edt_path->setText(m_work.path());
    EXPECT_EQ(dialog.LAB_pathstate->text(), QStringLiteral("路径状态：无效(光驱路径)"));
}

TEST_F(TfpicTest, SecondTrailingSeparatorIsNotTyped)
{
    Tfpic& dialog = open();
    dialog.edt_path->setText(QStringLiteral("/tmp/"));
    dialog.edt_path->setCursorPosition(5);
    type(dialog.edt_path, u'/');
    type(dialog.edt_path, u'\\');
    EXPECT_EQ(dialog.edt_path->text(), QStringLiteral("/tmp/"));
    type(dialog.edt_path, u'a');
    type(dialog.edt_path, u'/');
    EXPECT_EQ(dialog.edt_path->text(), QStringLiteral("/tmp/a/"));
}

TEST_F(TfpicTest, BrowseReplacesThePathAndCancelKeepsIt)
{
    Tfpic& dialog = open();
    dialog.edt_path->setText(QStringLiteral("/old"));
    m_prompts.expectFolder({}, QStringLiteral("请选择存放路径："));
    dialog.b_broswerClick();
    EXPECT_EQ(dialog.edt_path->text(), QStringLiteral("/old"));
    m_prompts.expectFolder({m_work.path()}, QStringLiteral("请选择存放路径："));
    dialog.b_broswerClick();
    EXPECT_EQ(dialog.edt_path->text(), m_work.path());
    EXPECT_TRUE(m_prompts.done());
}

TEST_F(TfpicTest, RunOfThreeTicksWritesNumberedFilesAndStopsWithSummary)
{
    writeSettings(m_work.path(), true, QStringLiteral("jpg"), 100);
    Tfpic& dialog = open();
    dialog.show();
    dialog.b_startClick();

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连续快照－－正在截图..."));
    EXPECT_TRUE(dialog.TMR_pic.isActive());
    EXPECT_EQ(dialog.TMR_pic.interval(), 100);
    EXPECT_TRUE(dialog.pnl_1->isHidden());
    EXPECT_FALSE(dialog.B_stop2->isHidden());
    EXPECT_TRUE(dialog.B_stop2->isEnabled());
    for (QWidget* idle : {static_cast<QWidget*>(dialog.b_start), static_cast<QWidget*>(dialog.B_close),
                          static_cast<QWidget*>(dialog.edt_path), static_cast<QWidget*>(dialog.TRB_times),
                          static_cast<QWidget*>(dialog.rb_gif), static_cast<QWidget*>(dialog.chk_autocreat)})
        EXPECT_FALSE(idle->isEnabled()) << idle->metaObject()->className();
    EXPECT_EQ(dialog.height(), 56);
    EXPECT_EQ(dialog.pnl_2->y(), 0);

    for (int i = 0; i < 3; ++i)
        dialog.TMR_picTimer();
    EXPECT_EQ(m_captures, 3);
    for (const char* name : {"b0.jpg", "b1.jpg", "b2.jpg"})
        EXPECT_TRUE(QFileInfo::exists(folder(name))) << name;
    EXPECT_EQ(dialog.LAB_count->text(), QStringLiteral("3张"));
    EXPECT_EQ(dialog.LAB_path->text(), m_work.path() + QStringLiteral("/b2.jpg"));
    EXPECT_EQ(m_status, QStringLiteral("已保存截图至：") + m_work.path() + QStringLiteral("/b2.jpg"));

    m_prompts.expectMessage(QStringLiteral("错误"), QStringLiteral("请先终止快照"), PromptIcon::Information);
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    m_prompts.expectMessage(QStringLiteral("错误"), QStringLiteral("请先终止快照"), PromptIcon::Information);
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());

    m_prompts.expectMessage(QStringLiteral("连续截图完毕"),
                            QStringLiteral("信息：停止截图\r\n截图类型：jpg\r\n保存路径：") + m_work.path() +
                                QStringLiteral("\r\n截图数量：3"),
                            PromptIcon::Information);
    dialog.B_stop2->click();
    EXPECT_TRUE(m_prompts.done());
    EXPECT_FALSE(dialog.TMR_pic.isActive());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连续快照"));
    EXPECT_EQ(dialog.LAB_count->text(), QStringLiteral("0张"));
    EXPECT_EQ(dialog.size(), QSize(376, 228));
    EXPECT_FALSE(dialog.pnl_1->isHidden());
    EXPECT_EQ(dialog.pnl_2->y(), 121);
    EXPECT_TRUE(dialog.b_start->isEnabled());
    EXPECT_FALSE(dialog.B_stop->isEnabled());
    EXPECT_TRUE(dialog.B_stop2->isHidden());
    EXPECT_TRUE(dialog.close());
}

TEST_F(TfpicTest, StartWithoutMovieChangesNothing)
{
    writeSettings(m_work.path(), true, QStringLiteral("gif"), 300);
    Tfpic& dialog = open(false);
    dialog.b_startClick();
    EXPECT_FALSE(dialog.TMR_pic.isActive());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连续快照"));
    EXPECT_TRUE(dialog.b_start->isEnabled());
    EXPECT_EQ(dialog.LAB_count->text(), QStringLiteral("0张"));
    EXPECT_TRUE(m_prompts.done());
}

TEST_F(TfpicTest, MissingFolderIsCreatedOnlyWhenAllowed)
{
    const QString missing = folder("new/deeper");
    writeSettings(missing, false, QStringLiteral("gif"), 300);
    Tfpic& dialog = open();
    m_prompts.expectMessage(QStringLiteral("路径不存在"), QStringLiteral("路径不存在，是否创建？"),
                            PromptIcon::Question, PromptButton::Yes | PromptButton::No, PromptButton::No);
    dialog.b_startClick();
    EXPECT_FALSE(dialog.TMR_pic.isActive());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(dialog.LAB_pathstate->text(), QStringLiteral("路径状态：无效(路径不存在)"));

    m_prompts.expectMessage(QStringLiteral("路径不存在"), QStringLiteral("路径不存在，是否创建？"),
                            PromptIcon::Question, PromptButton::Yes | PromptButton::No, PromptButton::Yes);
    dialog.b_startClick();
    EXPECT_TRUE(dialog.TMR_pic.isActive());
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(dialog.LAB_pathstate->text(), QStringLiteral("路径状态：有效"));
    EXPECT_TRUE(m_prompts.done());
    m_prompts.expectMessage(QStringLiteral("连续截图完毕"), {}, PromptIcon::Information);
    dialog.B_stopClick();
}

TEST_F(TfpicTest, CloseWritesContpicOnlyWhenAskedTo)
{
    writeSettings(m_work.path(), true, QStringLiteral("gif"), 500);
    const QString file = settingsFilePath(m_program.path());
    {
        Tfpic& dialog = open();
        dialog.edt_path->setText(QStringLiteral("/elsewhere/"));
        dialog.rb_jpg->setChecked(true);
        dialog.B_closeClick();
        const ContinuousPictureSettings kept = readContinuousPictureSettings(IniFile::load(file), m_program.path());
        EXPECT_EQ(kept.path, m_work.path());
        EXPECT_EQ(kept.imagetype, QStringLiteral("gif"));
        delete m_dialog.data();
    }
    Tfpic& dialog = open();
    dialog.edt_path->setText(QStringLiteral("/elsewhere/"));
    dialog.chk_autocreat->setChecked(false);
    dialog.rb_jpg->setChecked(true);
    dialog.TRB_times->setValue(1230);
    dialog.chk_save->setChecked(true);
    dialog.B_closeClick();
    const ContinuousPictureSettings saved = readContinuousPictureSettings(IniFile::load(file), m_program.path());
    EXPECT_EQ(saved.path, QStringLiteral("/elsewhere/"));
    EXPECT_FALSE(saved.autocreat);
    EXPECT_EQ(saved.imagetype, QStringLiteral("jpg"));
    EXPECT_EQ(saved.times, 1230);
}

TEST_F(TfpicTest, OpeningAgainShowsTheSameDialogUntilItCloses)
{
    writeSettings(m_work.path(), true, QStringLiteral("gif"), 400);
    QPointer<Tfpic> open;
    int made = 0;
    const auto create = [&] {
        ++made;
        return &this->open();
    };
    Tfpic* first = openContinuousSnapshot(open, create);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isModal());
    first->TRB_times->setValue(900);
    first->hide();
    EXPECT_EQ(openContinuousSnapshot(open, create), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->TRB_times->value(), 900);
    EXPECT_EQ(made, 1);

    // Closing without 保存设置 forgets the edit; the dialog is gone once its deletion runs.
    first->B_closeClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
    Tfpic* second = openContinuousSnapshot(open, create);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(second->TRB_times->value(), 400);
}

}  // namespace
}  // namespace kivamo

// TFcopyto and TFhaveexist offscreen, driven by the real copy: the log as stored and as shown, and
// each button of the conflict dialog answered inside its modal loop.
#include "info/ui/tfcopyto.h"

#include "dialogfixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <functional>

using namespace kivamo;
using namespace kivamo::test;

namespace {

using Answer = std::function<void(TFhaveexist&)>;

// The real conflict dialog, answered by the next scripted step once its modal loop runs.
class DrivenChooser : public ConflictChooser {
public:
    std::deque<Answer> answers;
    QStringList targetsShown;

    ConflictAnswer choose(const QString& source, const QString& target, const QString& proposedName) override
    {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected conflict for " << target.toStdString();
            return {};
        }
        Answer answer = answers.front();
        answers.pop_front();
        QMetaObject::invokeMethod(
            qApp,
            [this, answer] {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    auto* dialog = qobject_cast<TFhaveexist*>(window);
                    if (dialog && dialog->isVisible()) {
                        targetsShown << dialog->LAB_path->text();
                        answer(*dialog);
                        return;
                    }
                }
                ADD_FAILURE() << "no conflict dialog is showing";
            },
            Qt::QueuedConnection);
        return m_real.choose(source, target, proposedName);
    }

private:
    HaveExistChooser m_real{nullptr};
};

struct CopyFixture : DialogFixture {
    TFcopyto log;
    DrivenChooser chooser;
    MovieCopier copier{log, chooser};
    QString source = path(QStringLiteral("src/m.swf"));
    QString target = path(QStringLiteral("m.swf"));

    CopyFixture()
    {
        QDir(dir.path()).mkdir(QStringLiteral("src"));
        writeBytes(source, "new movie");
        log.showWindow();
        copier.setCopyContinue(true);
    }
};

const QString cr = QStringLiteral("\r");

}  // namespace

TEST(TFcopyto, HasItsDesignLayoutAndOnlyHides)
{
    ensureApplication();
    TFcopyto window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("文件复制到"));
    EXPECT_EQ(window.size(), QSize(368, 227));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(window.isModal());
    QPlainTextEdit* box = window.findChild<QPlainTextEdit*>("redt_1");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QPushButton* hide = window.findChild<QPushButton*>("Button1");
    ASSERT_NE(hide, nullptr);
    EXPECT_EQ(hide->text(), QStringLiteral("隐藏"));
    expectAccessible(window);

    window.showWindow();
    window.append(QStringLiteral("x"));
    QPointer<TFcopyto> alive(&window);
    window.Button1Click();
    deletePending();
    EXPECT_FALSE(alive.isNull());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.text(), QStringLiteral("x")) << "hiding keeps the log";
}

TEST(TFcopyto, LogsEachCopyAndShowsItsLines)
{
    CopyFixture f;
    const QString missing = f.path(QStringLiteral("src/gone.swf"));
    EXPECT_TRUE(f.copier.copyMovieFile(f.source, f.target, true));
    EXPECT_FALSE(f.copier.copyMovieFile(missing, f.path(QStringLiteral("gone.swf")), true));
    EXPECT_EQ(f.log.text(), cr + f.source + cr + QStringLiteral("到： ") + f.target + QStringLiteral("  成功！") + cr
                                + QStringLiteral("复制失败：") + cr + missing + QStringLiteral("不存在。"));
    EXPECT_EQ(f.log.redt_1->toPlainText(),
              QStringLiteral("\n") + f.source + QStringLiteral("\n到： ") + f.target + QStringLiteral("  成功！\n复制失败：\n")
                  + missing + QStringLiteral("不存在。"));
    EXPECT_EQ(fileBytes(f.target), QByteArray("new movie"));

    f.log.clear();
    EXPECT_TRUE(f.log.text().isEmpty());
    EXPECT_TRUE(f.log.redt_1->toPlainText().isEmpty());
}

TEST(TFhaveexist, ShowsTheConflict)
{
    ensureApplication();
    TFhaveexist dialog(QStringLiteral("/a/src.swf"), QStringLiteral("/b/m.swf"), QStringLiteral("m"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("复制文件"));
    EXPECT_EQ(dialog.size(), QSize(356, 120));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_1")->text(), QStringLiteral("目标文件已经存在，是否覆盖或重命名？"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_path")->text(), QStringLiteral("/b/m.swf"));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_source")->text(), QStringLiteral("/a/src.swf"));
    EXPECT_TRUE(dialog.LAB_source->isHidden());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("LABEDT_newpath")->text(), QStringLiteral("m"));
    EXPECT_EQ(dialog.LABEDT_newpathLabel->text(), QStringLiteral("重命名为："));
    EXPECT_EQ(dialog.findChild<QLabel*>("LAB_3")->text(), QStringLiteral(".swf"));
    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "重命名(&R)"}, {"Button2", "覆盖(&C)"}, {"Button3", "跳过(&ESC)"}, {"Button4", "全部跳过"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(dialog.findChild<QPushButton*>(name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.answer().choice, ConflictChoice::Closed);
    expectAccessible(dialog);
}

TEST(TFhaveexist, EachAnswerOfTheConflict)
{
    enum class Way { Rename, Overwrite, SkipButton, Escape, SkipAll, Frame };
    struct Case {
        Way way;
        const char* targetBytes;  // of the existing m.swf afterwards
        bool goesOn;              // the copy continue flag afterwards
    } cases[] = {
        {Way::Rename, "old movie", true},
        {Way::Overwrite, "new movie", true},
        {Way::SkipButton, "old movie", true},
        {Way::Escape, "old movie", true},
        {Way::SkipAll, "old movie", false},
        {Way::Frame, "old movie", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.way));
        CopyFixture f;
        ASSERT_TRUE(writeBytes(f.target, "old movie"));
        f.chooser.answers.push_back([way = c.way](TFhaveexist& dialog) {
            switch (way) {
            case Way::Rename:
                dialog.LABEDT_newpath->setText(QStringLiteral("m2"));
                dialog.Button1Click();
                break;
            case Way::Overwrite: dialog.Button2Click(); break;
            case Way::SkipButton: dialog.Button3Click(); break;
            case Way::Escape: QTest::keyClick(&dialog, Qt::Key_Escape); break;
            case Way::SkipAll: dialog.Button4Click(); break;
            case Way::Frame: dialog.close(); break;
            }
        });
        EXPECT_FALSE(f.copier.copyMovieFile(f.source, f.target, true)) << "the asking call copies nothing itself";
        EXPECT_TRUE(f.chooser.answers.empty());
        EXPECT_EQ(f.chooser.targetsShown, QStringList{f.target});
        EXPECT_EQ(fileBytes(f.target), QByteArray(c.targetBytes));
        EXPECT_EQ(f.copier.copyContinue(), c.goesOn);

        const QString renamed = f.path(QStringLiteral("m2.swf"));
        QString expectedLog;
        switch (c.way) {
        case Way::Rename:
            expectedLog = cr + f.source + cr + QStringLiteral("到： ") + renamed + QStringLiteral("  成功！");
            EXPECT_EQ(fileBytes(renamed), QByteArray("new movie"));
            break;
        case Way::Overwrite:
            expectedLog = cr + f.source + cr + QStringLiteral("到： ") + f.target + QStringLiteral("  成功！");
            break;
        case Way::SkipButton:
        case Way::Escape: expectedLog = cr + QStringLiteral("已跳过：") + f.target; break;
        case Way::SkipAll: expectedLog = QStringLiteral("\r\n\r\n==已全部跳过=="); break;
        case Way::Frame: break;  // the frame skips without a line
        }
        EXPECT_EQ(f.log.text(), expectedLog);
        if (c.way == Way::SkipAll) {
            EXPECT_EQ(f.log.redt_1->toPlainText(), QStringLiteral("\n\n==已全部跳过=="));
        }
    }
}

TEST(TFhaveexist, RenameOntoAnotherExistingFileAsksAgain)
{
    CopyFixture f;
    ASSERT_TRUE(writeBytes(f.target, "old movie"));
    const QString taken = f.path(QStringLiteral("m2.swf"));
    ASSERT_TRUE(writeBytes(taken, "second old movie"));
    f.chooser.answers.push_back([](TFhaveexist& dialog) {
        dialog.LABEDT_newpath->setText(QStringLiteral("m2"));
        dialog.Button1Click();
    });
    f.chooser.answers.push_back([](TFhaveexist& dialog) {
        EXPECT_EQ(dialog.LABEDT_newpath->text(), QStringLiteral("m2"));
        dialog.LABEDT_newpath->setText(QStringLiteral("m3"));
        dialog.Button1Click();
    });
    EXPECT_FALSE(f.copier.copyMovieFile(f.source, f.target, true));
    EXPECT_EQ(f.chooser.targetsShown, QStringList({f.target, taken}));
    EXPECT_EQ(fileBytes(f.target), QByteArray("old movie"));
    EXPECT_EQ(fileBytes(taken), QByteArray("second old movie"));
    EXPECT_EQ(fileBytes(f.path(QStringLiteral("m3.swf"))), QByteArray("new movie"));
}

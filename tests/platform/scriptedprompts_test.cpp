// The scripted Prompts itself: it must fail a test on a prompt nobody expected, on a wrong text or
// icon, and on an expected prompt that never came.
#include "support/scriptedprompts.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace kivamo;
using kivamo::test::ScriptedPrompts;

namespace {

MessagePrompt warning(const char* text)
{
    MessagePrompt p;
    p.caption = QStringLiteral("c");
    p.text = QString::fromUtf8(text);
    p.icon = PromptIcon::Warning;
    return p;
}

}  // namespace

TEST(ScriptedPrompts, GivesTheScriptedAnswersInOrder)
{
    ScriptedPrompts prompts;
    prompts.expectMessage(QStringLiteral("c"), QStringLiteral("a"), PromptIcon::Warning, PromptButton::Ok, PromptButton::Ok)
        .expectOpenFiles({QStringLiteral("/m/a.swf"), QStringLiteral("/m/b.swf")})
        .expectFolder(QString());
    EXPECT_EQ(prompts.message(warning("a")), PromptButton::Ok);
    EXPECT_EQ(prompts.openFiles(FilePrompt{}), (QStringList{QStringLiteral("/m/a.swf"), QStringLiteral("/m/b.swf")}));
    EXPECT_EQ(prompts.chooseFolder(QString(), QString()), QString());
    EXPECT_TRUE(prompts.done());
}

TEST(ScriptedPrompts, FailsOnSurprisesAndOnMissedPrompts)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.message(warning("nobody expected this"));
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.expectMessage(QStringLiteral("c"), QStringLiteral("right"), PromptIcon::Warning);
            prompts.message(warning("wrong"));
        },
        "right");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.expectMessage(QStringLiteral("c"), QStringLiteral("a"), PromptIcon::Error);
            prompts.message(warning("a"));
        },
        "icon");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.expectSaveFile(QStringLiteral("/x.kvl"));
        },
        "never came");
}

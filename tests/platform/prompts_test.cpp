// Filters in the system's form and the error report, checked through the scripted Prompts.
#include "platform/prompts.h"

#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

using namespace kivamo;

TEST(Prompts, SystemFiltersBecomeCaseInsensitiveQtFilters)
{
    EXPECT_EQ(qtFilterFromSystemFilter(QString::fromUtf8("FLASH播放列表(*.KVL)|*.KVL")),
              QString::fromUtf8("FLASH播放列表(*.KVL) (*.KVL *.kvl)"));
    EXPECT_EQ(qtFilterFromSystemFilter(QStringLiteral("Movies|*.swf;*.SWF|All|*.*")),
              QStringLiteral("Movies (*.swf *.SWF);;All (*.*)"));
    EXPECT_EQ(qtFilterFromSystemFilter(QString()), QString());
    // A description without patterns is dropped rather than read past the end.
    EXPECT_EQ(qtFilterFromSystemFilter(QStringLiteral("Movies|*.swf|Dangling")), QStringLiteral("Movies (*.swf *.SWF)"));
}

TEST(Prompts, ErrorReportIsAnErrorBoxCaptionedKivamo)
{
    test::ScriptedPrompts prompts;
    prompts.expectMessage(QStringLiteral("Kivamo"), QStringLiteral("Unable to write to /x/main.ini"), PromptIcon::Error);
    reportError(prompts, QStringLiteral("Unable to write to /x/main.ini"));
    EXPECT_TRUE(prompts.done());
}

// The toolbar overflow rule, the list handle's place and the status line's hint text.
#include "app/layoutrules.h"
#include "support/gtestqt.h"

#include <gtest/gtest.h>

using namespace kivamo;

namespace {

// The toolbar's order: 显示 | 放大 缩小 画质 全屏 背景 信息 | 快照 打印 选项... | 升级 插件 帮助.
std::vector<ToolbarSlot> toolbar()
{
    std::vector<ToolbarSlot> toolbarSlots;
    const int groups[] = {1, 6, 3, 3};
    int button = 0;
    for (int g = 0; g < 4; ++g) {
        if (g > 0)
            toolbarSlots.push_back({-1});
        for (int i = 0; i < groups[g]; ++i)
            toolbarSlots.push_back({button++});
    }
    return toolbarSlots;
}

std::vector<int> menuOf(int count)
{
    std::vector<int> menu;
    for (const ToolbarSlot& slot : overflowMenu(toolbar(), count))
        menu.push_back(slot.button);
    return menu;
}

}  // namespace

TEST(ToolbarOverflow, CountFollowsTheToolbarWidth)
{
    const struct { int width; int count; } cases[] = {
        {726, -1}, {688, 0}, {657, 0}, {656, 1}, {600, 2}, {420, 5}, {69, 12}, {20, 13}, {0, 13}, {1000, -7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toolbarOverflowCount(c.width), c.count) << c.width;
}

TEST(ToolbarOverflow, MenuListsHiddenButtonsLeftToRightWithGroupSeparators)
{
    EXPECT_EQ(menuOf(0), std::vector<int>{});
    EXPECT_EQ(menuOf(-1), std::vector<int>{});
    EXPECT_EQ(menuOf(2), (std::vector<int>{11, 12}));                   // 插件, 帮助
    EXPECT_EQ(menuOf(3), (std::vector<int>{10, 11, 12}));               // no separator above 升级 yet
    EXPECT_EQ(menuOf(5), (std::vector<int>{8, 9, -1, 10, 11, 12}));     // 打印, 选项..., line, 升级, 插件, 帮助
    EXPECT_EQ(menuOf(13).size(), 16u);                                  // every button and all three lines
    EXPECT_EQ(menuOf(13).front(), 0);
    EXPECT_EQ(menuOf(20).size(), 16u);
}

TEST(ListHandle, TopIsHalfTheSplitterPlusSixty)
{
    EXPECT_EQ(splitterHandleTop(0), 60);
    EXPECT_EQ(splitterHandleTop(301), 210);
    EXPECT_EQ(splitterHandleTop(300), 210);
}

TEST(StatusLine, HintIsShownOnOneLine)
{
    EXPECT_EQ(statusLineForHint("a\r\nb"), " a   b");
    EXPECT_EQ(statusLineForHint(""), " ");
    EXPECT_EQ(statusLineForHint("播放影片"), " 播放影片");
    EXPECT_EQ(statusLineForHint("a\r\nb\r\nc"), " a   b   c");
    EXPECT_EQ(statusLineForHint("a\nb"), " a\nb");
}

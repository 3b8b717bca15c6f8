// The play-list model: entry creation values, the playing marker, moving rows by dragging, row
// labels, colours, hints and the title texts.
#include "fixtures.h"

#include <random>

namespace kivamo::test {
namespace {

PlayList listOf(const std::vector<QString>& names, const std::vector<QString>& selected = {})
{
    PlayList list;
    for (const QString& name : names)
        list.append(movie(name, QStringLiteral("D:\\m\\") + name + QStringLiteral(".swf")));
    for (int i = 0; i < list.count(); ++i)
        list.setSelected(i, std::find(selected.begin(), selected.end(), list.at(i).title) != selected.end());
    return list;
}

TEST(MovieEntry, NewEntryHasTheSevenCreationTexts)
{
    PlayList list;
    const int index = list.appendNew();
    ASSERT_EQ(index, 0);
    const MovieEntry& e = list.at(0);
    const std::vector<QString> fields{e.title, e.path, e.spare, e.playing, e.author, e.source, e.type};
    const std::vector<QString> expected{"title", "path", "0", "0", "未知", "未知", "未知"};
    EXPECT_EQ(fields, expected);
    EXPECT_FALSE(list.isSelected(0));
}

TEST(PlayListState, StartsAsAnUnmodifiedNewListWithoutFile)
{
    PlayList list;
    EXPECT_EQ(list.listName(), QStringLiteral("新建"));
    EXPECT_TRUE(list.currentListFile().isEmpty());
    EXPECT_FALSE(list.isModified());
}

TEST(PlayListMarker, MarkAndFindCurrentEntry)
{
    PlayList list = listOf({"a", "b", "c", "d"});
    EXPECT_EQ(list.findCurrentEntry(), -1);
    list.markCurrentEntry(2);
    EXPECT_EQ(list.findCurrentEntry(), 2);
    int marked = 0;
    for (const MovieEntry& e : list.entries())
        marked += e.isPlaying();
    EXPECT_EQ(marked, 1);
    list.markCurrentEntry(-1);
    EXPECT_EQ(list.findCurrentEntry(), -1);
    list.markCurrentEntry(99);  // out of range: nothing carries the marker
    EXPECT_EQ(list.findCurrentEntry(), -1);
}

TEST(PlayListMarker, FindTakesTheLastMarkedEntryOfAHandEditedList)
{
    PlayList list = listOf({"a", "b", "c"});
    MovieEntry a = list.at(0);
    a.playing = "1";
    list.setEntry(0, a);
    MovieEntry c = list.at(2);
    c.playing = "1";
    list.setEntry(2, c);
    EXPECT_EQ(list.findCurrentEntry(), 2);
}

struct DropCase {
    const char* name;
    std::vector<QString> rows;
    std::vector<QString> selected;
    int target;
    std::vector<std::string> expectedRows;
    std::vector<std::string> expectedSelected;
};

TEST(PlayListDrag, DropsGatherSelectedRowsAroundTheTarget)
{
    const std::vector<DropCase> cases{
        {"above, with a row between", {"A", "B", "C", "T"}, {"A", "B"}, 3, {"C", "B", "A", "T"}, {"B", "A"}},
        {"below, with a row between", {"T", "X", "Y", "Z"}, {"X", "Z"}, 0, {"T", "Z", "X", "Y"}, {"Z", "X"}},
        {"above, adjacent: only A stays selected", {"A", "B", "T"}, {"A", "B"}, 2, {"B", "A", "T"}, {"A"}},
        {"below, adjacent: only Y stays selected", {"T", "X", "Y"}, {"X", "Y"}, 0, {"T", "Y", "X"}, {"Y"}},
        {"the target itself selected stays put", {"A", "T", "B"}, {"T"}, 1, {"A", "T", "B"}, {"T"}},
        {"both sides", {"A", "B", "T", "C", "D"}, {"A", "D"}, 2, {"B", "A", "T", "D", "C"}, {"A", "D"}},
        {"nothing selected", {"A", "B", "C"}, {}, 1, {"A", "B", "C"}, {}},
        {"drop over empty space", {"A", "B", "C"}, {"A"}, -1, {"A", "B", "C"}, {"A"}},
        {"target past the end", {"A", "B", "C"}, {"A"}, 3, {"A", "B", "C"}, {"A"}},
    };
    for (const DropCase& c : cases) {
        PlayList list = listOf(c.rows, c.selected);
        list.dropSelectedOnto(c.target);
        EXPECT_EQ(titles(list), c.expectedRows) << c.name;
        EXPECT_EQ(selectedTitles(list), c.expectedSelected) << c.name;
    }
}

TEST(PlayListDrag, MarkerTravelsWithItsEntry)
{
    PlayList list = listOf({"A", "B", "C", "T"}, {"A", "B"});
    list.markCurrentEntry(1);  // B plays
    list.dropSelectedOnto(3);
    EXPECT_EQ(list.findCurrentEntry(), 1);
    EXPECT_EQ(list.at(1).title, "B");
}

TEST(PlayListDrag, MoveEntryClampsAndIgnoresRowsThatDoNotExist)
{
    struct Case {
        int from, to;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases{
        {0, 2, {"b", "a", "c"}},
        {2, 0, {"a", "c", "b"}},   // lands below the target: insert at to + 1
        {0, 99, {"b", "c", "a"}},  // to clamped to the number of rows
        {-5, 2, {"b", "a", "c"}},  // from clamped to 0
        {1, 1, {"a", "b", "c"}},
        {3, 0, {"a", "b", "c"}},   // one past the last row names nothing
        {7, 0, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        PlayList list = listOf({"a", "b", "c"});
        list.moveEntry(c.from, c.to);
        EXPECT_EQ(titles(list), c.expected) << c.from << " -> " << c.to;
        EXPECT_EQ(list.count(), 3);
    }
}

// The drag as the list view does it, one insert, copy and delete per selected row; the play list's
// one-pass drop must give the same rows and selection.
void referenceDrop(std::vector<std::pair<int, bool>>& rows, int t)
{
    auto move = [&rows](int from, int to) {
        const int n = int(rows.size());
        from = std::max(0, from);
        to = std::max(0, to);
        if (from >= n || from == to)
            return;
        to = std::min(to, n);
        if (from < to) {
            rows.insert(rows.begin() + to, {rows[from].first, false});
            rows.erase(rows.begin() + from);
            rows[from].second = false;
            rows[to - 1].second = true;
        } else {
            rows.insert(rows.begin() + to + 1, {rows[from].first, false});
            rows.erase(rows.begin() + from + 1);
            rows[from].second = false;
            rows[to + 1].second = true;
        }
    };
    for (int i = t - 1; i >= 0; --i) {
        if (rows[i].second)
            move(i, t);
    }
    const int n = int(rows.size());
    for (int i = t; i < n; ++i) {
        if (rows[i].second)
            move(i, t);
    }
}

TEST(PlayListDrag, OnePassDropMatchesRowByRowMovesOnRandomSelections)
{
    std::mt19937 random(1234);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 1 + int(random() % 12);
        PlayList list;
        std::vector<std::pair<int, bool>> reference;
        for (int i = 0; i < n; ++i) {
            list.append(movie(QString::number(i), QString()));
            const bool selected = random() % 3 == 0;
            list.setSelected(i, selected);
            reference.push_back({i, selected});
        }
        const int target = int(random() % unsigned(n));
        list.dropSelectedOnto(target);
        referenceDrop(reference, target);
        ASSERT_EQ(list.count(), n);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(list.at(i).title.toInt(), reference[i].first) << "trial " << trial << " row " << i;
            ASSERT_EQ(list.isSelected(i), reference[i].second) << "trial " << trial << " row " << i;
        }
    }
}

TEST(PlayListRows, LabelsPadToFourCharacters)
{
    struct Case {
        int index;
        bool playing;
        QString label;
    };
    const std::vector<Case> cases{
        {0, false, "   1."}, {1, true, ">>>2."}, {6, false, "   7."}, {11, true, ">>12."},
        {98, false, "  99."}, {99, true, ">100."}, {998, false, " 999."}, {1233, true, "1234."},
        {99999, false, "100000."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowLabel(c.index, c.playing), c.label) << c.index;
}

TEST(PlayListRows, ColoursFollowMarkerLoadingAndMissingFiles)
{
    QTemporaryDir temp;
    const QString present = temp.path() + "/here.swf";
    writeBytes(present, "FWS");
    struct Case {
        QString path;
        bool playing, loaded;
        QColor text;
        std::optional<QColor> background;
    };
    const QColor grey(0x55, 0x55, 0x55), blue(0x4A, 0x68, 0xB5);
    const std::vector<Case> cases{
        {present, false, false, Qt::black, std::nullopt},
        {temp.path() + "/gone.swf", false, false, grey, std::nullopt},
        {"D:\\m\\gone.swf", false, true, grey, std::nullopt},
        {"http://example.com/a.swf", false, false, Qt::black, std::nullopt},
        {"\\\\server\\share\\a.swf", false, false, Qt::black, std::nullopt},
        {present, true, true, Qt::white, blue},
        {present, true, false, Qt::black, std::nullopt},
        {"D:\\m\\gone.swf", true, true, Qt::white, blue},
    };
    for (const Case& c : cases) {
        MovieEntry entry = movie("t", c.path);
        entry.playing = c.playing ? "1" : "0";
        const RowColours colours = rowColours(entry, c.loaded, isMissingLocalFile(c.path));
        EXPECT_EQ(colours.text, c.text) << c.path.toStdString();
        EXPECT_EQ(colours.background, c.background) << c.path.toStdString();
    }
    EXPECT_EQ(listBackgroundColour, QColor(0x7C, 0x92, 0xC9));
}

TEST(PlayListRows, HintHasFourTrimmedLines)
{
    MovieEntry entry = movie("  intro ", "D:\\a.swf");
    entry.author = "张三 ";
    entry.type = "游戏";
    EXPECT_EQ(rowHint(entry), QStringLiteral("【标题】intro\r\n【作者】张三\r\n【出处】未知\r\n【类型】游戏"));
}

TEST(PlayListTitle, TitleAndStateTexts)
{
    PlayList list;
    list.setListName("abc");
    list.setModified(true);
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：abc (0) [未保存]"));
    EXPECT_EQ(list.stateText(), QStringLiteral(" 列表：abc(0) [未保存]"));
    list.append(movie("a", "D:\\a.swf"));
    list.append(movie("b", "D:\\b.swf"));
    list.setModified(false);
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：abc (2)"));
    EXPECT_EQ(list.stateText(), QStringLiteral(" 列表：abc(2)"));

    // A list named like a placeholder keeps its name.
    list.setListName("50%2 off %1");
    EXPECT_EQ(list.titleText(), QStringLiteral("播放列表：50%2 off %1 (2)"));
    EXPECT_EQ(list.stateText(), QStringLiteral(" 列表：50%2 off %1(2)"));
}

TEST(PlayListSelection, RemoveSelectedKeepsOrderOfTheRest)
{
    PlayList list = listOf({"a", "b", "c", "d", "e"}, {"b", "d"});
    EXPECT_EQ(list.firstSelected(), 1);
    EXPECT_EQ(list.removeSelected(), 2);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_FALSE(list.hasSelection());
    list.selectAll();
    EXPECT_EQ(selectedTitles(list).size(), 3u);
}

}  // namespace
}  // namespace kivamo::test

// The list view's table model: columns, roles and colours per row, and that it follows every kind
// of change of the play list (checked by Qt's model tester) up to 100,000 entries.
#include "fixtures.h"

#include "playlist/listcommands.h"
#include "playlist/playlistmodel.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QCoreApplication>
#include <QSignalSpy>

namespace kivamo::test {
namespace {

struct Model : ListFixture {
    bool loaded = false;
    PlayListModel model{list, [this] { return loaded; }};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    QVariant at(int row, int column, int role) const { return model.data(model.index(row, column), role); }
};

TEST_F(Model, TwoColumnsWithoutHeaders)
{
    list.append(movie("intro", "http://a.com/intro.swf"));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.rowCount(), 1);
    for (int section : {0, 1}) {
        EXPECT_FALSE(model.headerData(section, Qt::Horizontal, Qt::DisplayRole).isValid());
        EXPECT_FALSE(model.headerData(section, Qt::Vertical, Qt::DisplayRole).isValid());
    }
    EXPECT_EQ(at(0, 0, Qt::DisplayRole).toString(), "   1.");
    EXPECT_EQ(at(0, 1, Qt::DisplayRole).toString(), "intro");
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
}

TEST_F(Model, RolesFollowTheMarkerAndTheLoadedMovie)
{
    writeBytes(path("here.swf"), "FWS");
    list.append(movie("here", path("here.swf")));
    list.append(movie("gone", path("gone.swf")));
    list.append(movie("web", "http://a.com/w.swf"));
    list.markCurrentEntry(1);
    const QColor grey(0x55, 0x55, 0x55), blue(0x4A, 0x68, 0xB5);

    EXPECT_EQ(at(1, 0, Qt::DisplayRole).toString(), ">>>2.");
    EXPECT_EQ(at(0, 1, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
    EXPECT_EQ(at(1, 1, Qt::ForegroundRole).value<QBrush>().color(), grey);
    EXPECT_FALSE(at(1, 1, Qt::BackgroundRole).isValid());
    EXPECT_EQ(at(2, 0, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));

    loaded = true;
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.refreshRows();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(at(1, 1, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white));
    EXPECT_EQ(at(1, 0, Qt::BackgroundRole).value<QBrush>().color(), blue);
    EXPECT_FALSE(at(0, 0, Qt::BackgroundRole).isValid());
    EXPECT_EQ(at(0, 1, Qt::ToolTipRole).toString(),
              QStringLiteral("【标题】here\r\n【作者】未知\r\n【出处】未知\r\n【类型】未知"));
}

TEST_F(Model, FollowsAppendsMovesDeletesAndClears)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy title(&model, &PlayListModel::listTitleChanged);
    for (const char* t : {"A", "B", "C", "T"})
        list.append(movie(t, "D:\\x.swf"));
    EXPECT_EQ(inserted.count(), 4);
    list.setSelected(0, true);
    list.setSelected(1, true);
    dropRowsOnto(context, 3);
    EXPECT_EQ(at(0, 1, Qt::DisplayRole).toString(), "C");
    deleteSelected(context);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_GE(title.count(), 1);
    list.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(reset.count(), 3);
}

TEST_F(Model, HoldsAHundredThousandEntries)
{
    std::vector<MovieEntry> entries;
    for (int i = 0; i < 100000; ++i)
        entries.push_back(movie(QString::number(i), "http://a.com/m.swf"));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    list.append(std::move(entries));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(at(99999, 0, Qt::DisplayRole).toString(), "100000.");
    EXPECT_EQ(at(99999, 1, Qt::DisplayRole).toString(), "99999");
}

TEST(ModelLifetime, TheListForgetsADestroyedModel)
{
    PlayList list;
    {
        PlayListModel model(list, {});
        list.append(movie("a", "D:\\a.swf"));
        EXPECT_EQ(model.rowCount(), 1);
    }
    list.append(movie("b", "D:\\b.swf"));  // must not reach the destroyed model
    EXPECT_EQ(list.count(), 2);
}

}  // namespace
}  // namespace kivamo::test

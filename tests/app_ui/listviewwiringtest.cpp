// The list view as the window shows it over the real play list and player: row labels, colours and
// hints on screen, rows dragged within the list with the scroll rule, the movie menu's
// "从播放列表中选择" sub-menu and the copy of the playing movie from the movie menu.
#include "info/ui/tfcopyto.h"
#include "wired.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QToolTip>

using namespace kivamo;
using test::Wired;

namespace {

class ListView : public ::testing::Test {
protected:
    void start(std::initializer_list<const char*> movies)
    {
        test::writeMovies(dir, movies);
        wired = std::make_unique<Wired>(dir.path() + "/");
        wired->form->FormCreate({}, nullptr, nullptr);
        test::appendMovies(wired->list, dir, movies);
        view()->setFixedSize(200, 147);
    }

    Tmainform& form() { return *wired->form; }
    QTableView* view() { return form().lv_listview1; }
    QModelIndex cell(int row, int column = 0) { return view()->model()->index(row, column); }
    QStringList titles() const
    {
        QStringList names;
        for (int i = 0; i < wired->list.count(); ++i)
            names << wired->list.at(i).title;
        return names;
    }

    void playEntry(int index)
    {
        emit view()->doubleClicked(cell(index));
        ASSERT_NE(wired->controls.current(), nullptr);
        wired->controls.current()->readyState = 4;
        wired->controls.current()->raiseReadyState(4);
    }

    void selectRows(std::initializer_list<int> rows)
    {
        view()->clearSelection();
        for (int row : rows)
            view()->selectionModel()->select(cell(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // Rows dragged within the list carry the model's own data format.
    std::unique_ptr<QMimeData> rowData()
    {
        auto data = std::make_unique<QMimeData>();
        data->setData(view()->model()->mimeTypes().first(), QByteArray("rows"));
        return data;
    }

    // A drag enters the list before it moves or drops there.
    bool send(QEvent::Type type, int y, const QMimeData* data)
    {
        const QPointF at(50, y);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view()->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        if (type == QEvent::DragMove) {
            QDragMoveEvent move(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view()->viewport(), &move);
            return move.isAccepted();
        }
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view()->viewport(), &drop);
        return drop.isAccepted();
    }

    int rowY(int row) { return view()->visualRect(cell(row)).center().y(); }

    QTemporaryDir dir;
    std::unique_ptr<Wired> wired;
};

TEST_F(ListView, RowLabelsPadWithTheCurrentMarkerAndColumnsHaveNoHeaders)
{
    start({"a.swf", "b.swf", "c.swf"});
    EXPECT_EQ(view()->model()->columnCount(), 2);
    EXPECT_FALSE(view()->horizontalHeader()->isVisible());
    EXPECT_EQ(view()->columnWidth(0), 36);
    EXPECT_EQ(view()->rowHeight(0), 14);
    EXPECT_EQ(view()->editTriggers(), QAbstractItemView::NoEditTriggers);
    playEntry(1);
    const QStringList labels = {cell(0).data().toString(), cell(1).data().toString(), cell(2).data().toString()};
    EXPECT_EQ(labels, QStringList({"   1.", ">>>2.", "   3."}));
    EXPECT_EQ(cell(1, 1).data().toString(), "b.swf");
}

// What the view paints: the list's blue behind the rows, the current entry on its own blue while
// a movie is loaded, the list's blue again once it is unloaded.
TEST_F(ListView, CurrentRowIsPaintedOnItsBlueOnlyWhileLoaded)
{
    start({"a.swf", "b.swf", "c.swf"});
    form().resize(800, 600);
    form().show();
    const auto pixel = [this](int row) {
        const QImage image = view()->viewport()->grab().toImage();
        const QRect rect = view()->visualRect(cell(row, 1));
        return image.pixelColor(rect.right() - 3, rect.center().y()).name();
    };
    const auto emptySpace = [this] {
        const QImage image = view()->viewport()->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() - 3).name();
    };
    EXPECT_EQ(emptySpace(), "#7c92c9");
    EXPECT_EQ(pixel(1), "#7c92c9");
    playEntry(1);
    view()->clearSelection();
    EXPECT_EQ(pixel(1), "#4a68b5");
    EXPECT_EQ(pixel(0), "#7c92c9");
    EXPECT_EQ(cell(1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white));
    wired->operations.resetPlayer();
    EXPECT_EQ(pixel(1), "#7c92c9");
    form().hide();
}

TEST_F(ListView, MissingLocalFilesAreGreyWebAddressesAreNot)
{
    start({"a.swf"});
    MovieEntry gone;
    gone.title = "gone";
    gone.path = "C:\\movies\\gone.swf";
    wired->list.append(gone);
    MovieEntry web;
    web.title = "web";
    web.path = "http://example.com/web.swf";
    wired->list.append(web);
    const auto text = [this](int row) { return cell(row, 1).data(Qt::ForegroundRole).value<QBrush>().color().name(); };
    EXPECT_EQ(text(0), "#000000");
    EXPECT_EQ(text(1), "#555555");
    EXPECT_EQ(text(2), "#000000");
}

TEST_F(ListView, HintShowsTheFourFieldsOfTheRowUnderThePointer)
{
    start({"a.swf"});
    const QString hint = cell(0, 1).data(Qt::ToolTipRole).toString();
    EXPECT_EQ(hint, QString::fromUtf8("【标题】a.swf\r\n【作者】未知\r\n【出处】未知\r\n【类型】未知"));
    form().show();
    const auto hover = [this](int y) {
        QHelpEvent event(QEvent::ToolTip, QPoint(50, y), view()->viewport()->mapToGlobal(QPoint(50, y)));
        QCoreApplication::sendEvent(view()->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const int empty = view()->viewport()->height() - 2;
    ASSERT_EQ(view()->rowAt(empty), -1);
    EXPECT_EQ(hover(empty), QString());  // no row was under the pointer yet
    EXPECT_EQ(hover(rowY(0)), hint);
    EXPECT_EQ(hover(empty), hint);  // over empty space the hint stays as it was
    QToolTip::hideText();
    form().hide();
}

TEST_F(ListView, DraggedRowsGatherAroundTheTargetRow)
{
    start({"A", "B", "C", "T"});
    selectRows({0, 1});
    const auto data = rowData();
    EXPECT_TRUE(send(QEvent::DragMove, rowY(3), data.get()));
    EXPECT_TRUE(send(QEvent::Drop, rowY(3), data.get()));
    EXPECT_EQ(titles(), QStringList({"C", "B", "A", "T"}));
    EXPECT_TRUE(wired->list.isModified());
    // The view shows the selection the move leaves: B and A.
    EXPECT_FALSE(view()->selectionModel()->isRowSelected(0, {}));
    EXPECT_TRUE(view()->selectionModel()->isRowSelected(1, {}));
    EXPECT_TRUE(view()->selectionModel()->isRowSelected(2, {}));
    EXPECT_FALSE(view()->selectionModel()->isRowSelected(3, {}));

    wired->list.clear();
    test::appendMovies(wired->list, dir, {"T", "X", "Y", "Z"});
    selectRows({1, 3});
    EXPECT_TRUE(send(QEvent::Drop, rowY(0), data.get()));
    EXPECT_EQ(titles(), QStringList({"T", "Z", "X", "Y"}));
}

TEST_F(ListView, DropOverEmptySpaceMovesNothingAndThePlayingEntryKeepsItsMarker)
{
    start({"a.swf", "b.swf", "c.swf"});
    playEntry(2);
    selectRows({2});
    const auto data = rowData();
    ASSERT_EQ(view()->rowAt(view()->viewport()->height() - 2), -1);
    EXPECT_TRUE(send(QEvent::Drop, view()->viewport()->height() - 2, data.get()));
    EXPECT_EQ(titles(), QStringList({"a.swf", "b.swf", "c.swf"}));
    EXPECT_TRUE(send(QEvent::Drop, rowY(0), data.get()));  // a row from below goes just below the target
    EXPECT_EQ(titles(), QStringList({"a.swf", "c.swf", "b.swf"}));
    EXPECT_EQ(wired->player().currentIndex(), 1);
    EXPECT_EQ(cell(1).data().toString(), ">>>2.");
}

TEST_F(ListView, DraggingOverTheTopAndBottomRowsScrollsTenPixels)
{
    start({});
    for (int i = 0; i < 40; ++i) {
        MovieEntry entry;
        entry.title = QString::number(i);
        entry.path = "http://example.com/" + QString::number(i) + ".swf";
        wired->list.append(entry);
    }
    // 147 pixels high: the row 147 div 14 = 10 rows below the top one shows its first pixels.
    form().show();
    QCoreApplication::sendPostedEvents();  // the scroll range follows the rows
    QScrollBar* bar = view()->verticalScrollBar();
    bar->setValue(14 * 5);
    const auto data = rowData();
    const int top = view()->rowAt(0);
    ASSERT_EQ(top, 5);
    send(QEvent::DragMove, rowY(top), data.get());
    EXPECT_EQ(bar->value(), 14 * 5 - 10);
    bar->setValue(14 * 5);
    send(QEvent::DragMove, rowY(top + 3), data.get());  // rows in between do not scroll
    EXPECT_EQ(bar->value(), 14 * 5);
    const int bottomY = view()->visualRect(cell(top + 10)).top() + 1;
    ASSERT_LT(bottomY, view()->viewport()->height());
    send(QEvent::DragMove, bottomY, data.get());
    EXPECT_EQ(bar->value(), 14 * 5 + 10);
    form().hide();
}

class ListChoiceMenu : public ListView {
protected:
    QMenu* menu() { return form().PM_flashmenu->findChild<QMenu*>("MNI_list"); }
    void open() { emit menu()->aboutToShow(); }
};

TEST_F(ListChoiceMenu, ListsTheEntriesInOrderAfterTheListTitleRebuiltOnEachOpening)
{
    start({"a.swf", "b&c.swf", "d.swf"});
    ASSERT_NE(menu(), nullptr);
    open();
    open();
    const QList<QAction*> items = menu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->objectName(), "MNI_listcaption");
    EXPECT_EQ(items[0]->text(), form().LAB_listtitle->text());
    EXPECT_EQ(menu()->defaultAction(), items[0]);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "a.swf");
    EXPECT_EQ(items[3]->text(), "b&&c.swf");  // shown as it is, without an accelerator
    EXPECT_EQ(items[4]->text(), "d.swf");
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(items[i]->data().toInt(), i - 2);
        EXPECT_FALSE(items[i]->isChecked());
    }

    wired->list.setListName(QString::fromUtf8("我的列表"));
    wired->list.refreshTitle();
    wired->list.clear();
    open();
    ASSERT_EQ(menu()->actions().size(), 2);
    EXPECT_EQ(menu()->actions()[0]->text(), form().LAB_listtitle->text());
}

TEST_F(ListChoiceMenu, ChoosingAnEntryPlaysItAndTheCurrentOneIsTickedWithoutAction)
{
    start({"a.swf", "b.swf", "c.swf"});
    open();
    menu()->actions()[3]->trigger();
    EXPECT_EQ(wired->player().currentIndex(), 1);
    EXPECT_TRUE(wired->operations.movieLoaded());
    EXPECT_EQ(wired->controls.created(), 1);

    open();
    QAction* current = menu()->actions()[3];
    EXPECT_TRUE(current->isCheckable());
    EXPECT_TRUE(current->isChecked());
    current->trigger();  // no action: the movie is not loaded again
    EXPECT_EQ(wired->controls.created(), 1);
    menu()->actions()[4]->trigger();
    EXPECT_EQ(wired->player().currentIndex(), 2);
    EXPECT_EQ(wired->controls.created(), 2);
}

TEST_F(ListView, CopyOfThePlayingMovieFromTheMovieMenu)
{
    start({"a.swf", "b.swf"});
    QFile movie(dir.filePath("b.swf"));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.write("FWS\x06 playing");
    movie.close();
    QAction* copy = form().menuAction("MNI_rrcopyto");
    copy->trigger();  // nothing loaded: no folder is asked for
    EXPECT_TRUE(wired->prompts.done());

    playEntry(1);
    QTemporaryDir target;
    wired->prompts.expectFolder(target.path());
    copy->trigger();
    EXPECT_TRUE(wired->prompts.done());
    QFile copied(target.filePath("b.swf"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray("FWS\x06 playing"));
    EXPECT_FALSE(QFile::exists(target.filePath("a.swf")));
    ASSERT_NE(form().findChild<TFcopyto*>(), nullptr);
    EXPECT_TRUE(form().findChild<TFcopyto*>()->text().contains("b.swf"));
}

}  // namespace

namespace {

// While a web movie downloads, the movie menu's title item and the state line show its percentage.
TEST_F(ListView, DownloadProgressShowsInTheTitleItemAndTheStateLine)
{
    start({});
    MovieEntry web;
    web.title = "web";
    web.path = "http://example.com/web.swf";
    wired->list.append(web);
    emit view()->doubleClicked(cell(0));
    ASSERT_NE(wired->controls.current(), nullptr);
    wired->controls.current()->raiseProgress(42);
    EXPECT_EQ(form().menuAction("MNI_title")->text(), QString::fromUtf8("下载中：42％"));
    EXPECT_EQ(form().LAB_state->text(), QString::fromUtf8("下载中：42％"));
}

}  // namespace

namespace {

TEST_F(ListView, TitleItemShowsAPathWithAnAmpersandAsItIs)
{
    start({"a&b.swf"});
    playEntry(0);
    emit form().PM_flashmenu->aboutToShow();
    const QString path = dir.filePath("a&b.swf");
    QAction* title = form().menuAction("MNI_title");
    if (path.size() <= 30)
        EXPECT_EQ(title->text(), QString(path).replace("&", "&&"));
    else
        EXPECT_EQ(title->text(), QString(path.left(27) + "..\\a&b.swf").replace("&", "&&"));
    EXPECT_EQ(title->statusTip(), path);
}

TEST_F(ListView, EnterPlaysWithShiftButNotWithCtrl)
{
    start({"a.swf", "b.swf"});
    selectRows({1});
    const auto press = [this](Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, modifiers);
        QCoreApplication::sendEvent(view(), &event);
    };
    press(Qt::ControlModifier);
    EXPECT_EQ(wired->controls.created(), 0);
    press(Qt::ShiftModifier);
    EXPECT_EQ(wired->controls.created(), 1);
    EXPECT_EQ(wired->player().currentIndex(), 1);
    press(Qt::ControlModifier | Qt::ShiftModifier);  // not exactly Ctrl: plays
    EXPECT_EQ(wired->controls.created(), 2);
}

}  // namespace

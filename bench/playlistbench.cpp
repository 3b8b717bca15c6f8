// Speed of the play list at 100,000 entries: reading and writing list files (with the sidecar
// look-ups), appending to the list view's model, a drop of 1,000 dragged rows, and the walk of a
// tree of 50,000 files of which 10,000 are movies.
#include "core/playlist.h"
#include "core/settings.h"
#include "platform/prompts.h"
#include "playlist/addmovies.h"
#include "playlist/listcommands.h"
#include "playlist/listfile.h"
#include "playlist/playlistmodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace kivamo {
namespace {

constexpr int listSize = 100000;

// Answers every question with Yes and every dialog with nothing.
class QuietPrompts : public Prompts {
public:
    PromptButton message(const MessagePrompt&) override { return PromptButton::Yes; }
    QStringList openFiles(const FilePrompt&) override { return {}; }
    QString saveFile(const FilePrompt&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
    bool choosePrinter(QPrinter&) override { return false; }
};

class NoPlayback : public ListPlayback {
public:
    bool movieLoaded() const override { return true; }
    int currentIndex() const override { return index; }
    void setCurrentIndex(int value) override { index = value; }
    void playCurrentEntry() override {}
    void resetPlayer() override { index = -1; }
    int index = -1;
};

class NoProgress : public WalkProgressView {
public:
    void showWindow() override {}
    void showStatus(const WalkStatus&) override { ++shown; }
    void processEvents() override {}
    void closeWindow() override {}
    int shown = 0;
};

struct Services {
    PlayList list;
    Settings settings;
    QuietPrompts prompts;
    NoPlayback playback;
    ListContext context{list, settings, prompts, playback};
};

void touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

// 100,000 local movies in one folder; one in a hundred has a sidecar file.
struct ListFolder {
    QTemporaryDir temp;
    QString movie(int i) const { return temp.path() + QStringLiteral("/movies/动画%1.swf").arg(i); }

    ListFolder()
    {
        QDir().mkpath(temp.path() + "/movies");
        for (int i = 0; i < listSize; i += 100)
            touch(temp.path() + QStringLiteral("/movies/动画%1.fci").arg(i));
    }

    void fill(PlayList& list) const
    {
        std::vector<MovieEntry> entries(static_cast<size_t>(listSize));
        for (int i = 0; i < listSize; ++i) {
            entries[size_t(i)].title = QStringLiteral("动画%1").arg(i);
            entries[size_t(i)].path = movie(i);
        }
        list.append(std::move(entries));
    }
};

const ListFolder& listFolder()
{
    static const ListFolder folder;
    return folder;
}

void BM_WriteListFile100k(benchmark::State& state)
{
    Services s;
    listFolder().fill(s.list);
    const QString file = listFolder().temp.path() + "/write.kvl";
    for (auto _ : state)
        benchmark::DoNotOptimize(writeListFile(s.context, file));
    state.counters["bytes"] = double(QFile(file).size());
}
BENCHMARK(BM_WriteListFile100k)->Unit(benchmark::kMillisecond);

void BM_ReadListFile100k(benchmark::State& state)
{
    Services s;
    listFolder().fill(s.list);
    const QString file = listFolder().temp.path() + "/read.kvl";
    writeListFile(s.context, file);
    for (auto _ : state) {
        s.list.clear();
        benchmark::DoNotOptimize(readListFile(s.context, file));
    }
    state.counters["entries"] = s.list.count();
}
BENCHMARK(BM_ReadListFile100k)->Unit(benchmark::kMillisecond);

// Appends one entry at a time, as adding movies does, then asks the model for what the visible
// rows (40) paint: label, title, colours.
void BM_AppendToModel100k(benchmark::State& state)
{
    for (auto _ : state) {
        Services s;
        PlayListModel model(s.list, [] { return true; });
        for (int i = 0; i < listSize; ++i) {
            MovieEntry entry;
            entry.title = QStringLiteral("m%1").arg(i);
            entry.path = QStringLiteral("http://a.com/m.swf");
            s.list.append(std::move(entry));
        }
        const int top = model.rowCount() - 40;
        for (int row = top; row < model.rowCount(); ++row) {
            for (int column : {0, 1}) {
                const QModelIndex index = model.index(row, column);
                benchmark::DoNotOptimize(model.data(index, Qt::DisplayRole));
                benchmark::DoNotOptimize(model.data(index, Qt::ForegroundRole));
                benchmark::DoNotOptimize(model.data(index, Qt::BackgroundRole));
            }
        }
    }
}
BENCHMARK(BM_AppendToModel100k)->Unit(benchmark::kMillisecond);

// 1,000 rows spread over a 100,000-entry list dropped onto its middle row.
void BM_DragMove1000(benchmark::State& state)
{
    Services s;
    listFolder().fill(s.list);
    PlayListModel model(s.list, [] { return true; });
    for (auto _ : state) {
        state.PauseTiming();
        s.list.clearSelection();
        for (int i = 37; i < listSize; i += listSize / 1000)
            s.list.setSelected(i, true);
        state.ResumeTiming();
        dropRowsOnto(s.context, listSize / 2);
    }
}
BENCHMARK(BM_DragMove1000)->Unit(benchmark::kMillisecond);

// 100 folders under 10 groups, each with 100 movies and 400 other files.
struct WalkTree {
    QTemporaryDir temp;
    WalkTree()
    {
        for (int group = 0; group < 10; ++group) {
            for (int folder = 0; folder < 10; ++folder) {
                const QString dir = temp.path() + QStringLiteral("/g%1/f%2/").arg(group).arg(folder);
                QDir().mkpath(dir);
                for (int i = 0; i < 500; ++i)
                    touch(dir + QStringLiteral("file%1").arg(i) + (i % 5 == 0 ? ".swf" : ".txt"));
            }
        }
    }
};

void BM_Walk50kFiles(benchmark::State& state)
{
    static const WalkTree tree;
    qint64 clock = 0;
    for (auto _ : state) {
        Services s;
        NoProgress progress;
        DirectoryAdder adder(s.context, progress, [&clock] { return ++clock; });
        adder.addDirectory(tree.temp.path() + '/');
        state.counters["movies"] = adder.addedCount();
        state.counters["repaints"] = progress.shown;
    }
}
BENCHMARK(BM_Walk50kFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kivamo

BENCHMARK_MAIN();

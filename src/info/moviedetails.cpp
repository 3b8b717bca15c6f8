#include "info/moviedetails.h"

#include "core/playlist.h"
#include "info/swfheader.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace kivamo {

namespace {

const QString unknownText = QStringLiteral(" <未知>");

// The first character in a format pattern that is no letter and no quote: the separator.
QChar separatorIn(const QString& format, QChar fallback)
{
    for (QChar c : format) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    }
    return fallback;
}

DetailLabels unknownLabels()
{
    DetailLabels labels;
    labels.fileSize = QStringLiteral("文件大小：") + unknownText;
    labels.created = QStringLiteral("创建日期：") + unknownText;
    labels.modified = QStringLiteral("修改日期：") + unknownText;
    labels.accessed = QStringLiteral("访问日期：") + unknownText;
    labels.compressed = QStringLiteral("压缩与否：") + unknownText;
    labels.version = QStringLiteral("编译器版本：") + unknownText;
    labels.frameCount = QStringLiteral("影片帧数：") + unknownText;
    labels.frameRate = QStringLiteral("影片帧率：") + unknownText;
    labels.width = QStringLiteral("影片宽度：") + unknownText;
    labels.height = QStringLiteral("影片高度：") + unknownText;
    return labels;
}

bool validIndex(const PlayList& list, int index)
{
    return index >= 0 && index < list.count();
}

}  // namespace

std::optional<int> detailsTargetIndex(DetailsSource source, const PlayList& list, bool movieLoaded,
                                      int currentIndex)
{
    if (list.isEmpty())
        return std::nullopt;
    if (source == DetailsSource::SelectedEntry) {
        const int selected = list.firstSelected();
        return selected >= 0 ? std::optional<int>(selected) : std::nullopt;
    }
    if (!movieLoaded || !validIndex(list, currentIndex))
        return std::nullopt;
    return currentIndex;
}

bool detailsFilled(const PlayList& list, int targetIndex, int currentIndex)
{
    return validIndex(list, targetIndex) && (list.hasSelection() || targetIndex == currentIndex);
}

QString detailDateText(const QDateTime& time, const QLocale& locale)
{
    const QChar date = separatorIn(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QChar clock = separatorIn(locale.timeFormat(QLocale::ShortFormat), u':');
    return time.toString(QStringLiteral("MM%1dd%1yyyy HH%2mm").arg(date).arg(clock));
}

Result<DetailLabels> detailLabels(const QString& entryPath, const QLocale& locale)
{
    const QString path = trimmed32(entryPath);
    DetailLabels labels = unknownLabels();
    labels.path = QFileInfo::exists(entryPath) ? entryPath : QStringLiteral("文件不存在或者非FLASH影片");
    if (!QFileInfo::exists(path))
        return labels;
    Result<flashinfos> header = readHeader(path);
    if (!header)
        return header.error();
    const flashinfos& info = header.value();
    if (!info.isFlash)
        return labels;

    FileFacts facts;
    readFileFacts(path, facts);
    // The whole 64-bit size: a movie of 2 GB or more must not show a negative or wrapped size.
    const qint64 size = QFileInfo(path).size();
    labels.fileSize = QStringLiteral("文件大小： %1 KB ( %2 Bytes )").arg(size / 1024).arg(size);
    labels.created = QStringLiteral("创建日期： ") + detailDateText(fileTimeToLocalDateTime(facts.created), locale);
    labels.modified = QStringLiteral("修改日期： ") + detailDateText(fileTimeToLocalDateTime(facts.modified), locale);
    labels.accessed = QStringLiteral("访问日期： ") + detailDateText(fileTimeToLocalDateTime(facts.accessed), locale);
    labels.version = QStringLiteral("编译器版本： %1").arg(info.version);
    if (info.signature == QLatin1String("FWS")) {
        labels.compressed = QStringLiteral("压缩与否： 否");
        labels.frameCount = QStringLiteral("影片帧数： %1 帧").arg(info.frameCount);
        labels.frameRate = QStringLiteral("影片帧率： %1 FPS").arg(info.frameRate);
        labels.width = QStringLiteral("影片宽度： %1").arg(info.width());
        labels.height = QStringLiteral("影片高度： %1").arg(info.height());
    } else {
        labels.compressed = QStringLiteral("压缩与否： 是");
    }
    return labels;
}

NowPlayingGroup nowPlayingGroup(const NowPlayingInputs& inputs)
{
    NowPlayingGroup group;
    if (!inputs.controlExists || !inputs.targetIsCurrent || !inputs.movieLoaded)
        return group;
    static const char* const states[] = {"正在载入", "未初始化", "已载入", "正在交互", "完成"};
    group.enabled = true;
    if (inputs.readyState >= 0 && inputs.readyState <= 4)
        group.state = QStringLiteral("播放状态： ") + QString::fromUtf8(states[inputs.readyState]);
    group.quality = QStringLiteral("播放品质： ") + inputs.quality2;
    group.list = QStringLiteral("当前列表： ") + inputs.listName;
    return group;
}

RrightInfo entryNotes(const PlayList& list, int targetIndex)
{
    RrightInfo notes;
    if (!validIndex(list, targetIndex))
        return notes;
    const MovieEntry& entry = list.at(targetIndex);
    notes.author = entry.author;
    notes.source = entry.source;
    notes.type = entry.type;
    return notes;
}

DetailsView detailsView(const PlayList& list, int targetIndex, int currentIndex, const NowPlayingInputs& player,
                        const QLocale& locale)
{
    DetailsView view;
    if (!detailsFilled(list, targetIndex, currentIndex))
        return view;
    view.filled = true;
    NowPlayingInputs inputs = player;
    inputs.targetIsCurrent = targetIndex == currentIndex;
    view.now = nowPlayingGroup(inputs);
    view.notes = entryNotes(list, targetIndex);
    Result<DetailLabels> labels = detailLabels(list.at(targetIndex).path, locale);
    if (labels)
        view.labels = labels.value();
    else
        view.error = labels.error();
    return view;
}

Result<void> confirmDetails(PlayList& list, int targetIndex, const RrightInfo& notes)
{
    if (!validIndex(list, targetIndex))
        return {};
    if (list.hasSelection()) {
        MovieEntry entry = list.at(targetIndex);
        entry.author = notes.author;
        entry.source = notes.source;
        entry.type = notes.type;
        list.setEntry(targetIndex, std::move(entry));
    }
    const QString moviePath = list.at(targetIndex).path;
    if (!QFileInfo::exists(moviePath))
        return {};
    return writeNotes(moviePath, notes);
}

}  // namespace kivamo

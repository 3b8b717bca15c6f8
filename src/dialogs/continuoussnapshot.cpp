#include "dialogs/continuoussnapshot.h"

#include "core/settings.h"
#include "platform/directories.h"
#include "platform/inifile.h"

#include <QDir>

namespace kivamo {

namespace {

constexpr int kMinimumInterval = 100;
constexpr int kMaximumInterval = 2000;

bool isFolder(const QString& text)
{
    const QString trimmed = text.trimmed();
    return !trimmed.isEmpty() && QFileInfo(trimmed).isDir();
}

QString folderOf(const QString& text)
{
    return withTrailingSeparator(text.trimmed());
}

// Passes prompts on, holding the run's timer while a box is open so that ticks cannot pile up
// behind a message that nobody has answered yet.
class TimerHoldingPrompts : public Prompts {
public:
    TimerHoldingPrompts(Prompts& inner, SnapshotTimer& timer, int interval, const bool& running)
        : m_inner(inner), m_timer(timer), m_interval(interval), m_running(running) {}

    PromptButton message(const MessagePrompt& prompt) override
    {
        m_timer.stop();
        PromptButton answer = m_inner.message(prompt);
        if (m_running)
            m_timer.start(m_interval);
        return answer;
    }
    QStringList openFiles(const FilePrompt& prompt) override { return m_inner.openFiles(prompt); }
    QString saveFile(const FilePrompt& prompt) override { return m_inner.saveFile(prompt); }
    QString chooseFolder(const QString& caption, const QString& start) override
    {
        return m_inner.chooseFolder(caption, start);
    }
    std::optional<QColor> chooseColour(const QColor& initial) override { return m_inner.chooseColour(initial); }
    bool choosePrinter(QPrinter& printer) override { return m_inner.choosePrinter(printer); }

private:
    Prompts& m_inner;
    SnapshotTimer& m_timer;
    int m_interval;
    const bool& m_running;
};

MessagePrompt onTopMessage(const QString& caption, const QString& text, PromptIcon icon,
                           PromptButtons buttons = PromptButton::Ok)
{
    MessagePrompt prompt;
    prompt.caption = caption;
    prompt.text = text;
    prompt.icon = icon;
    prompt.buttons = buttons;
    prompt.stayOnTop = true;
    return prompt;
}

}  // namespace

void QtSnapshotTimer::start(int intervalMs)
{
    m_timer.start(intervalMs);
}

void QtSnapshotTimer::stop()
{
    m_timer.stop();
}

PathState snapshotPathState(const QString& pathText, const std::function<bool(const QString&)>& onOpticalMedia)
{
    const QColor red(255, 0, 0);
    const QString trimmed = pathText.trimmed();
    if (!trimmed.isEmpty() && QFileInfo::exists(trimmed) && onOpticalMedia(trimmed))
        return {QStringLiteral("路径状态：无效(光驱路径)"), red};
    if (!isFolder(pathText))
        return {QStringLiteral("路径状态：无效(路径不存在)"), red};
    return {QStringLiteral("路径状态：有效"), QColor(0, 128, 0)};
}

ContinuousSnapshot::ContinuousSnapshot(SnapshotServices services, ContinuousSource source, SnapshotTimer& timer,
                                       QString programDirectory)
    : m_services(std::move(services)), m_source(std::move(source)), m_timer(timer),
      m_programDirectory(std::move(programDirectory))
{
}

void ContinuousSnapshot::load()
{
    const ContinuousPictureSettings settings =
        readContinuousPictureSettings(IniFile::load(settingsFilePath(m_programDirectory)), m_programDirectory);
    path = settings.path;
    autocreat = settings.autocreat;
    // Any type other than "jpg" keeps the design's selection, `rb_gif`.
    gifSelected = settings.imagetype != QLatin1String("jpg");
    setTimes(settings.times);
}

void ContinuousSnapshot::setTimes(int milliseconds)
{
    times = qBound(kMinimumInterval, milliseconds, kMaximumInterval);
}

QString ContinuousSnapshot::timesLabel() const
{
    return QString::number(times) + QStringLiteral("毫秒");
}

bool ContinuousSnapshot::onOptical(const QString& folder) const
{
    return m_services.onOpticalMedia ? m_services.onOpticalMedia(folder) : isOpticalOrReadOnly(folder);
}

PathState ContinuousSnapshot::pathState() const
{
    return snapshotPathState(path, [this](const QString& folder) { return onOptical(folder); });
}

bool ContinuousSnapshot::acceptKey(QChar key) const
{
    const bool separator = key == u'\\' || key == u'/';
    return !(separator && (path.endsWith(u'\\') || path.endsWith(u'/')));
}

bool ContinuousSnapshot::ensureFolder()
{
    if (isFolder(path))
        return true;
    Prompts& prompts = *m_services.prompts;
    if (!autocreat) {
        const PromptButton answer = prompts.message(onTopMessage(
            QStringLiteral("路径不存在"), QStringLiteral("路径不存在，是否创建？"), PromptIcon::Question,
            PromptButton::Yes | PromptButton::No));
        if (answer != PromptButton::Yes)
            return false;
    }
    if (!ensureDirectory(path.trimmed())) {
        prompts.message(onTopMessage(QStringLiteral("文件夹创建失败"), QStringLiteral("文件夹创建失败，请检查路径"),
                                     PromptIcon::Error));
        return false;
    }
    return true;
}

bool ContinuousSnapshot::start()
{
    m_count = 0;
    if (!m_source.movieLoaded() || !ensureFolder())
        return false;
    m_running = true;
    m_lastFile.clear();
    m_runImageType = gifSelected ? QStringLiteral("gif") : QStringLiteral("jpg");
    m_timer.start(times);
    return true;
}

void ContinuousSnapshot::tick()
{
    // A tick that arrives while an earlier one still waits on a message box is dropped.
    if (!m_running || m_inTick || !m_source.controlExists() || !isFolder(path))
        return;
    m_inTick = true;
    const QImage picture = m_source.capture();
    const QString fileName = automaticSnapshotName(folderOf(path), m_source.moviePath(), m_runImageType);
    TimerHoldingPrompts holding(*m_services.prompts, m_timer, times, m_running);
    SnapshotServices services = m_services;
    services.prompts = &holding;
    if (saveSnapshot(services, m_source.movieLoaded(), picture, fileName)) {
        ++m_count;
        m_lastFile = fileName;
    }
    m_inTick = false;
}

void ContinuousSnapshot::stop()
{
    m_timer.stop();
    m_running = false;
    m_services.prompts->message(
        onTopMessage(QStringLiteral("连续截图完毕"), summaryText(), PromptIcon::Information));
}

QString ContinuousSnapshot::summaryText() const
{
    const QString lineBreak = QStringLiteral("\r\n");
    return QStringLiteral("信息：停止截图") + lineBreak + QStringLiteral("截图类型：") + m_runImageType + lineBreak
           + QStringLiteral("保存路径：") + path + lineBreak + QStringLiteral("截图数量：") + QString::number(m_count);
}

QString ContinuousSnapshot::countLabel() const
{
    return QString::number(m_running ? m_count : 0) + QStringLiteral("张");
}

Result<void> ContinuousSnapshot::closeButton()
{
    if (!saveSettings)
        return {};
    const QString file = settingsFilePath(m_programDirectory);
    IniFile ini = IniFile::load(file);
    ini.writeString(QStringLiteral("contpic"), QStringLiteral("path"), path);
    ini.writeBool(QStringLiteral("contpic"), QStringLiteral("autocreat"), autocreat);
    ini.writeString(QStringLiteral("contpic"), QStringLiteral("imagetype"),
                    gifSelected ? QStringLiteral("gif") : QStringLiteral("jpg"));
    ini.writeInteger(QStringLiteral("contpic"), QStringLiteral("times"), times);
    return ini.save(file);
}

bool ContinuousSnapshot::canClose()
{
    if (!m_running)
        return true;
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("错误");
    prompt.text = QStringLiteral("请先终止快照");
    prompt.icon = PromptIcon::Information;
    prompt.buttons = PromptButton::Ok;
    m_services.prompts->message(prompt);
    return false;
}

}  // namespace kivamo

// Shared pieces of the play-list tests: a recording player, a context in a temporary folder and
// file helpers.
#pragma once

#include "core/playlist.h"
#include "core/settings.h"
#include "platform/textfile.h"
#include "playlist/listcontext.h"
#include "support/scriptedprompts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kivamo::test {

// Records what the commands ask of the player; "play 3" means play current entry at index 3.
class FakePlayback : public ListPlayback {
public:
    bool loaded = false;
    int index = -1;
    std::vector<std::string> calls;

    bool movieLoaded() const override { return loaded; }
    int currentIndex() const override { return index; }
    void setCurrentIndex(int value) override { index = value; }
    void playCurrentEntry() override
    {
        calls.push_back("play " + std::to_string(index));
        loaded = true;
    }
    void resetPlayer() override
    {
        calls.push_back("reset");
        loaded = false;
        index = -1;
    }
};

// A play list with its services over a temporary folder.
struct ListFixture : ::testing::Test {
    QTemporaryDir temp;
    PlayList list;
    Settings settings;
    ScriptedPrompts prompts;
    FakePlayback playback;
    ListContext context{list, settings, prompts, playback};

    QString dir() const { return temp.path() + u'/'; }
    QString path(const QString& name) const { return dir() + name; }
};

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// Makes a file that no one may replace, also when the tests run as root (where permission bits do
// not stop writes): read-only bits, and the immutable attribute for root. Undone on destruction.
class UnwritableFile {
public:
    explicit UnwritableFile(const QString& path) : m_path(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
        if (::geteuid() == 0)
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~UnwritableFile()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }
    bool ok() const { return ::geteuid() != 0 || m_immutable; }

private:
    QString m_path;
    bool m_immutable = false;
};

inline QByteArray gb(const QString& text)
{
    return encodeGb18030(text);
}

inline MovieEntry movie(const QString& title, const QString& path)
{
    MovieEntry entry;
    entry.title = title;
    entry.path = path;
    return entry;
}

inline std::vector<std::string> titles(const PlayList& list)
{
    std::vector<std::string> result;
    for (const MovieEntry& entry : list.entries())
        result.push_back(entry.title.toStdString());
    return result;
}

inline std::vector<std::string> selectedTitles(const PlayList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i))
            result.push_back(list.at(i).title.toStdString());
    }
    return result;
}

}  // namespace kivamo::test

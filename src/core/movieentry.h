// MovieEntry: one row of the play list, a movie file or web address with its seven text fields.
#pragma once

#include <QString>

namespace kivamo {

struct MovieEntry {
    // The seven fields in their stored order; a new entry starts with exactly these texts and the
    // operation creating it then overwrites what it knows.
    QString title = QStringLiteral("title");
    QString path = QStringLiteral("path");
    QString spare = QStringLiteral("0");    // kept in list files; nothing else reads it
    QString playing = QStringLiteral("0");  // "1" on the entry whose movie is loaded
    QString author = QStringLiteral("未知");
    QString source = QStringLiteral("未知");
    QString type = QStringLiteral("未知");

    static constexpr int fieldCount = 7;

    bool isPlaying() const { return playing == QLatin1String("1"); }

    friend bool operator==(const MovieEntry& a, const MovieEntry& b)
    {
        return a.title == b.title && a.path == b.path && a.spare == b.spare && a.playing == b.playing
            && a.author == b.author && a.source == b.source && a.type == b.type;
    }
};

}  // namespace kivamo

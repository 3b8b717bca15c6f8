#include "app/ui/artwork.h"

#include <QFont>
#include <QStringList>

static void initialiseArtworkResource()
{
    Q_INIT_RESOURCE(kivamo);
}

namespace kivamo {

namespace {

const QStringList kToolbarNames = {
    QStringLiteral("00-list"), QStringLiteral("01-details"), QStringLiteral("02-zoomin"),
    QStringLiteral("03-zoomout"), QStringLiteral("04-fullscreen"), QStringLiteral("05-background"),
    QStringLiteral("06-snapshot"), QStringLiteral("07-print"), QStringLiteral("08-options"),
    QStringLiteral("09-plugin"), QStringLiteral("10-update"), QStringLiteral("11-help"),
    QStringLiteral("12-quality-low"), QStringLiteral("13-quality-high"),
    QStringLiteral("14-quality-speed"), QStringLiteral("15-quality-best"),
};

const QStringList kCompactNames = {
    QStringLiteral("00-play"), QStringLiteral("01-stop"), QStringLiteral("02-previous"),
    QStringLiteral("03-fastback"), QStringLiteral("04-previousframe"), QStringLiteral("05-rewind"),
    QStringLiteral("06-addfile"), QStringLiteral("07-goto"), QStringLiteral("08-nextframe"),
    QStringLiteral("09-fastforward"), QStringLiteral("10-next"), QStringLiteral("11-pause"),
};

}  // namespace

void loadArtwork()
{
    initialiseArtworkResource();
}

QStringList fontSubstitutes()
{
    return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Droid Sans Fallback")};
}

void installFontSubstitutes()
{
    for (const QString& windowsName : {QStringLiteral("宋体"), QStringLiteral("楷体_GB2312"),
                                       QStringLiteral("Microsoft Sans Serif")})
        QFont::insertSubstitutions(windowsName, fontSubstitutes());
}

QIcon toolbarPicture(int index)
{
    if (index < 0 || index >= kToolbarNames.size())
        return {};
    return namedPicture(QStringLiteral("toolbar-") + kToolbarNames.at(index));
}

QIcon compactPicture(int index)
{
    if (index < 0 || index >= kCompactNames.size())
        return {};
    return namedPicture(QStringLiteral("control-") + kCompactNames.at(index));
}

QIcon namedPicture(const QString& name)
{
    return QIcon(QStringLiteral(":/pictures/") + name + QStringLiteral(".svg"));
}

}  // namespace kivamo

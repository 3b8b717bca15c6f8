#include "shell/associationicons.h"

namespace kivamo {

namespace {

// A page with a folded corner, coloured per file type, carrying a symbol of its own.
QString pageIcon(const QString& colour, const QString& symbol)
{
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n"
               "  <path d=\"M12 4h28l12 12v44H12z\" fill=\"#ffffff\" stroke=\"%1\" stroke-width=\"3\"/>\n"
               "  <path d=\"M40 4v12h12\" fill=\"none\" stroke=\"%1\" stroke-width=\"3\"/>\n"
               "  %2\n"
               "</svg>\n")
        .arg(colour, symbol);
}

}  // namespace

QString movieFileIconSvg()
{
    return pageIcon(QStringLiteral("#c0392b"),
                    QStringLiteral("<path d=\"M24 26v24l20-12z\" fill=\"#c0392b\"/>"));
}

QString listFileIconSvg()
{
    return pageIcon(QStringLiteral("#2471a3"),
                    QStringLiteral("<path d=\"M20 28h24M20 36h24M20 44h24\" stroke=\"#2471a3\" stroke-width=\"4\"/>"));
}

}  // namespace kivamo

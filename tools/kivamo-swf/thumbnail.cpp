// kivamo-swf thumbnail: a small picture of a movie for file managers, taken from its first frame that
// draws anything (movies often open on empty frames while they load).
#include "commands.h"

#include "swf/player.h"
#include "swf/qt/painterbackend.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace kivamo_swf {

namespace {

// How many leading frames are searched for content: enough for a preloader's blank lead-in, few
// enough that a thumbnail of any movie stays quick.
constexpr std::size_t kMaxThumbnailFrames = 300;
constexpr int kMaxThumbnailSide = 4096;

// Notes whether a frame would draw anything, without drawing it.
class ContentProbe : public swf::RenderBackend {
public:
    void drawFrame(const swf::RenderFrame& frame) override
    {
        hasContent = frame.commands && !frame.commands->commands.empty();
    }
    bool hasContent = false;
};

bool parseSide(const std::string& text, int& side)
{
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    side = std::stoi(text);
    return side >= 1 && side <= kMaxThumbnailSide;
}

// Runs the movie until a frame draws something, at most kMaxThumbnailFrames frames and never past its
// last frame; a movie with no content that early is shown as its first frame would be: background.
void seekContent(swf::Player& player)
{
    std::size_t frames = std::min(player.totalFrames(), kMaxThumbnailFrames);
    swf::View probeView;
    probeView.width = probeView.height = 1;
    for (std::size_t i = 0; i < frames; ++i) {
        ContentProbe probe;
        player.render(probe, probeView);
        if (probe.hasContent || i + 1 == frames)
            return;
        player.advance();
    }
}

}  // namespace

int runThumbnail(const Arguments& args)
{
    const char* usage = "usage: kivamo-swf thumbnail MOVIE.swf OUT.png SIZE";
    int side = 0;
    if (args.size() != 3)
        return fail(kExitUsage, std::string("thumbnail needs a movie, an output file and a size\n") + usage);
    if (!parseSide(args[2], side))
        return fail(kExitUsage, "SIZE must be a number of pixels from 1 to " + std::to_string(kMaxThumbnailSide) + "\n" + usage);
    QFile file(QString::fromStdString(args[0]));
    if (!file.open(QIODevice::ReadOnly))
        return fail(kExitUnreadable, args[0] + ": cannot read");
    QByteArray bytes = file.readAll();
    auto loaded = swf::Player::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    if (!loaded || !loaded.value()->ready())
        return fail(kExitUnreadable, args[0] + ": " + (loaded ? std::string("no frame to show") : loaded.error()));
    auto player = std::move(loaded).value();

    // QImage needs a GUI application for fonts; it runs off screen unless a platform was chosen.
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kivamo-swf";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    seekContent(*player);
    const swf::Rect& stage = player->header().frameSize;
    double w = std::max(1, stage.xMax - stage.xMin), h = std::max(1, stage.yMax - stage.yMin);
    double scale = side / std::max(w, h);
    swf::View view;
    view.width = std::max(1, int(std::lround(w * scale)));
    view.height = std::max(1, int(std::lround(h * scale)));
    QImage image = swf::renderImage(*player, view);
    if (!image.save(QString::fromStdString(args[1]), "PNG"))
        return fail(kExitUnreadable, args[1] + ": cannot write the image");
    return kExitOk;
}

}  // namespace kivamo_swf

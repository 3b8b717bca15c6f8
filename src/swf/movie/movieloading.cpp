#include "swf/movie/movieloading.h"

#include "swf/format/bitmapcodecs.h"
#include "swf/format/header.h"
#include "swf/limits.h"

#include <algorithm>
#include <limits>
#include <map>

namespace swf {

namespace {

// The libraries one movie's imports reached, by address: each is read and built once however often it is named,
// and one that imports itself, directly or around a ring, finds nothing the second time.
using Libraries = std::map<std::string, std::shared_ptr<const Movie>>;

std::shared_ptr<const Movie> resolve(std::shared_ptr<const Movie> movie, const MovieFetcher& fetch, int nesting,
                                     Libraries& seen);

std::shared_ptr<const Movie> library(const std::string& url, const MovieFetcher& fetch, int nesting, Libraries& seen)
{
    auto found = seen.find(url);
    if (found != seen.end())
        return found->second;
    seen[url] = nullptr;
    std::vector<std::uint8_t> bytes;
    std::shared_ptr<const Movie> built;
    if (nesting < limits::kMaxImportNesting && fetch(url, bytes)) {
        auto file = parseSwf(bytes.data(), bytes.size());
        if (file)
            built = resolve(buildMovie(file.value()), fetch, nesting + 1, seen);
    }
    seen[url] = built;
    return built;
}

std::shared_ptr<const Movie> resolve(std::shared_ptr<const Movie> movie, const MovieFetcher& fetch, int nesting,
                                     Libraries& seen)
{
    if (!movie || movie->imports.empty() || !fetch)
        return movie;
    auto importing = std::make_shared<Movie>(*movie);
    for (const AssetImport& import : movie->imports) {
        std::shared_ptr<const Movie> from = library(import.url, fetch, nesting, seen);
        if (!from) {
            importing->problems.push_back("the movie imports from " + import.url + ", which could not be read");
            continue;
        }
        for (const auto& [name, id] : import.symbols) {
            const Character* exported = from->character(from->exported(name));
            if (!exported)
                continue;
            Character imported = *exported;
            // A character the library itself imported keeps the movie it came from.
            if (!imported.library)
                imported.library = from;
            importing->characters[id] = std::move(imported);
            importing->exports.emplace(name, id);
        }
    }
    return importing;
}

Result<Bitmap> decodeImage(const std::uint8_t* data, std::size_t size)
{
    using namespace bitmapcodecs;
    switch (sniffImage(data, size)) {
    case ImageKind::Jpeg:
        return decodeJpeg(nullptr, 0, data, size);
    case ImageKind::Png:
        return decodePng(data, size);
    case ImageKind::Gif:
        return decodeGif(data, size);
    case ImageKind::Unknown:
        break;
    }
    return Result<Bitmap>::failure("not a picture");
}

// The picture's only frame places it, as character 1, at depth 1 with no transform.
std::shared_ptr<const Timeline> pictureTimeline()
{
    ControlTag place;
    place.kind = ControlTag::Kind::Place;
    place.place.version = 2;
    place.place.depth = 1;
    place.place.characterId = 1;
    auto timeline = std::make_shared<Timeline>();
    timeline->frames.emplace_back();
    timeline->frames.back().tags.push_back(std::move(place));
    timeline->ended = true;
    return timeline;
}

}  // namespace

bool isImageFile(const std::uint8_t* data, std::size_t size)
{
    return data && bitmapcodecs::sniffImage(data, size) != bitmapcodecs::ImageKind::Unknown;
}

std::shared_ptr<const Movie> imageMovie(const std::uint8_t* data, std::size_t size, std::uint8_t version)
{
    if (!isImageFile(data, size))
        return nullptr;
    Result<Bitmap> decoded = decodeImage(data, size);
    if (!decoded)
        return nullptr;
    auto movie = std::make_shared<Movie>();
    Character picture;
    picture.kind = CharacterKind::Bitmap;
    picture.bitmap = std::make_shared<const Bitmap>(std::move(decoded).value());
    movie->header.version = version;
    movie->header.fileLength = std::uint32_t(std::min<std::size_t>(size, std::numeric_limits<std::uint32_t>::max()));
    movie->header.frameSize.xMax = std::int32_t(picture.bitmap->width * 20);
    movie->header.frameSize.yMax = std::int32_t(picture.bitmap->height * 20);
    movie->header.frameCount = 1;
    movie->characters[1] = std::move(picture);
    movie->root = pictureTimeline();
    movie->framesLoaded = 1;
    movie->complete = true;
    return movie;
}

std::shared_ptr<const Movie> loadMovieFromBytes(const std::uint8_t* data, std::size_t size, const MovieFetcher& fetch,
                                                int nesting)
{
    auto file = parseSwf(data, size);
    if (!file)
        return nullptr;
    Libraries seen;
    return resolve(buildMovie(file.value()), fetch, nesting, seen);
}

std::shared_ptr<const Movie> resolveImports(std::shared_ptr<const Movie> movie, const MovieFetcher& fetch, int nesting)
{
    Libraries seen;
    return resolve(std::move(movie), fetch, nesting, seen);
}

}  // namespace swf

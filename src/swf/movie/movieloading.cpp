#include "swf/movie/movieloading.h"

#include "swf/format/header.h"
#include "swf/limits.h"

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

}  // namespace

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

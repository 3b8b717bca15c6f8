// Movies a movie brings in from other files: the library movies of its ImportAssets tags and the movies
// scripts load into clips and levels. The bytes come through a fetcher the player's owner supplies.
#pragma once

#include "swf/movie/movie.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace swf {

// Reads the bytes of another movie by the address a movie gave; false when they cannot be had.
using MovieFetcher = std::function<bool(const std::string& url, std::vector<std::uint8_t>& bytes)>;

// Builds a movie from its bytes and brings in what it imports; null when the bytes are no movie.
std::shared_ptr<const Movie> loadMovieFromBytes(const std::uint8_t* data, std::size_t size, const MovieFetcher& fetch,
                                                int nesting = 0);

// Whether the bytes are a picture a movie may load in place of a movie: JPEG, PNG or GIF, told by their first
// bytes whatever the address's extension says.
bool isImageFile(const std::uint8_t* data, std::size_t size);

// A movie of one frame that shows the picture at (0,0) at its size in pixels, as Flash shows a picture loaded
// into a clip; its header gives the file's size and the version of the movie that loads it. Null when the
// picture cannot be decoded.
std::shared_ptr<const Movie> imageMovie(const std::uint8_t* data, std::size_t size, std::uint8_t version);

// Brings the symbols a movie imports into a copy of it: each becomes a character of the importing movie
// that keeps its own movie as library. Symbols that cannot be had stay undefined. Returns the movie itself
// when it imports nothing.
std::shared_ptr<const Movie> resolveImports(std::shared_ptr<const Movie> movie, const MovieFetcher& fetch,
                                            int nesting = 0);

}  // namespace swf

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

// Brings the symbols a movie imports into a copy of it: each becomes a character of the importing movie
// that keeps its own movie as library. Symbols that cannot be had stay undefined. Returns the movie itself
// when it imports nothing.
std::shared_ptr<const Movie> resolveImports(std::shared_ptr<const Movie> movie, const MovieFetcher& fetch,
                                            int nesting = 0);

}  // namespace swf

// The player's side of movies that come from other files: levels, and the movies a movie loads or imports.
#include "swf/player.h"

#include "swf/audio/soundplayer.h"
#include "swf/movie/movieloading.h"
#include "swf/scripthost.h"

namespace swf {

Clip* Player::level(int n)
{
    if (n == 0)
        return m_root.get();
    auto it = m_levels.find(n);
    return it == m_levels.end() ? nullptr : it->second.get();
}

std::vector<Clip*> Player::levelRoots() const
{
    std::vector<Clip*> roots;
    for (const auto& [n, root] : m_levels)
        roots.push_back(root.get());
    return roots;
}

int Player::levelOf(const Clip* clip) const
{
    if (clip && clip == m_root.get())
        return 0;
    for (const auto& [n, root] : m_levels)
        if (root.get() == clip)
            return n;
    return -1;
}

void Player::setLevel(int n, std::shared_ptr<const Movie> movie)
{
    if (n < 0 || (n == 0 && !m_root))
        return;
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get(), &m_clips};
    if (n == 0) {
        // The movie of level 0 gives way; the stage keeps its size, rate and colour.
        m_root->replaceMovie(std::move(movie), context);
        return;
    }
    if (!movie) {
        m_levels.erase(n);
        return;
    }
    auto root = std::make_unique<Clip>(nullptr, nullptr, nullptr);
    Clip* raw = root.get();
    m_levels[n] = std::move(root);
    m_clips.add(*raw);
    raw->replaceMovie(std::move(movie), context);
}

Player::Fetched Player::fetchMovie(const std::string& url)
{
    MovieFetcher fetch = [this](const std::string& address, std::vector<std::uint8_t>& bytes) {
        return listener().loadMovie(address, bytes);
    };
    Fetched fetched;
    std::vector<std::uint8_t> bytes;
    if (url.empty() || !fetch(url, bytes))
        return fetched;
    fetched.arrived = true;
    // A picture is told by its first bytes, whatever the address's extension says.
    if (isImageFile(bytes.data(), bytes.size()))
        fetched.movie = imageMovie(bytes.data(), bytes.size(), m_movie ? m_movie->header.version : 0);
    else
        fetched.movie = loadMovieFromBytes(bytes.data(), bytes.size(), fetch);
    return fetched;
}

}  // namespace swf

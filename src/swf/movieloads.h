// Movies scripts load into clips and levels (loadMovie, loadMovieNum, unloadMovie, MovieClipLoader). A request
// waits until the scripts of the frame are done; then the movie replaces what its clip or level played, and the
// MovieClipLoader that asked hears how it went.
#pragma once

#include "swf/avm1/object.h"

#include <string>
#include <vector>

namespace swf {

class ScriptHost;

class MovieLoads {
public:
    explicit MovieLoads(ScriptHost& host) : m_host(host) {}

    // Loads into the clip of a script object (level < 0) or into a level; an empty address unloads. A loader
    // object (a MovieClipLoader) gets its onLoadStart … onLoadInit or onLoadError messages.
    void request(avm1::Object* clip, int level, const std::string& url, avm1::Object* loader = nullptr);
    // Carries out the waiting requests; the player calls it between frames.
    void run();
    bool pending() const { return !m_requests.empty(); }

private:
    struct Request {
        avm1::Object* clip = nullptr;
        int level = -1;
        std::string url;
        avm1::Object* loader = nullptr;
    };
    void carryOut(const Request& request);
    void tell(avm1::Object* loader, const char* message, const std::vector<avm1::Value>& args);

    ScriptHost& m_host;
    std::vector<Request> m_requests;
};

// The MovieClipLoader class: loadClip, unloadClip, getProgress and listeners for the load messages.
void installMovieClipLoader(avm1::Vm& vm, ScriptHost& host);

}  // namespace swf

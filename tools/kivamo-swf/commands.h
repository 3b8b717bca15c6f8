// The sub-commands of kivamo-swf; each takes its own arguments and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace kivamo_swf {

using Arguments = std::vector<std::string>;

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;
inline constexpr int kExitUsage = 2;

int runInfo(const Arguments& args);
int runTags(const Arguments& args);
int runRender(const Arguments& args);
int runBench(const Arguments& args);
int runThumbnail(const Arguments& args);
int runAudio(const Arguments& args);
int runTrace(const Arguments& args);

// Prints "kivamo-swf: <message>" on stderr and returns status.
int fail(int status, const std::string& message);

}  // namespace kivamo_swf

// SharedObject: data kept per name, written to the host's folder on flush and read back by a later movie; nothing
// written anywhere when the host gives no folder.
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace swf::avm1;
namespace fs = std::filesystem;

class FolderHost : public HeadlessHost {
public:
    explicit FolderHost(std::string folder) : HeadlessHost(1), m_folder(std::move(folder)) {}
    std::string sharedObjectFolder() override { return m_folder; }

private:
    std::string m_folder;
};

struct Movie {
    explicit Movie(const std::string& folder) : host(folder), vm(host, 8) { host.attach(vm); }
    Value getLocal(const std::string& name)
    {
        const Value ctor = vm.get(Value(vm.global()), "SharedObject");
        return vm.call(vm.get(ctor, "getLocal"), ctor, {Value(name)});
    }
    Value call(const Value& self, const std::string& name) { return vm.call(vm.get(self, name), self, {}); }
    FolderHost host;
    Vm vm;
};

struct TempFolder {
    TempFolder() : path(fs::temp_directory_path() / ("kivamo-so-" + std::to_string(::getpid())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

TEST(Avm1SharedObject, DataSurvivesIntoTheNextMovieThroughTheFolder)
{
    TempFolder folder;
    {
        Movie first(folder.path.string());
        const Value so = first.getLocal("scores");
        ASSERT_TRUE(so.isObject());
        EXPECT_EQ(first.getLocal("scores").asObject(), so.asObject());  // one object per name
        const Value data = first.vm.get(so, "data");
        first.vm.set(data, "name", Value("a\tb.c%\n"));
        first.vm.set(data, "best", Value(0.1 + 0.2));
        first.vm.set(data, "done", Value(true));
        Object* nested = first.vm.newObject();
        nested->put("level", Value(3));
        nested->put("self", Value(nested));  // a cycle is cut, not followed forever
        first.vm.set(data, "inner", Value(nested));
        first.vm.set(data, "list", Value(static_cast<Object*>(first.vm.newArray({Value(1), Value("two")}))));
        EXPECT_TRUE(first.call(so, "flush").asBool());
    }
    Movie second(folder.path.string());
    const Value data = second.vm.get(second.getLocal("scores"), "data");
    EXPECT_EQ(second.vm.toString(second.vm.get(data, "name")), "a\tb.c%\n");
    EXPECT_EQ(second.vm.toNumber(second.vm.get(data, "best")), 0.1 + 0.2);
    EXPECT_TRUE(second.vm.get(data, "done").asBool());
    EXPECT_EQ(second.vm.toString(second.vm.get(second.vm.get(data, "inner"), "level")), "3");
    EXPECT_EQ(second.vm.toString(second.vm.get(data, "list")), "1,two");
    second.call(second.getLocal("scores"), "clear");
    EXPECT_FALSE(fs::exists(folder.path / "scores.sol"));
}

TEST(Avm1SharedObject, WithoutAFolderNothingIsWrittenAndBadNamesAreRefused)
{
    Movie movie("");
    const Value so = movie.getLocal("settings");
    movie.vm.set(movie.vm.get(so, "data"), "volume", Value(7));
    EXPECT_FALSE(movie.call(so, "flush").asBool());
    EXPECT_EQ(movie.vm.toString(movie.vm.get(movie.vm.get(so, "data"), "volume")), "7");
    EXPECT_GT(movie.vm.toNumber(movie.call(so, "getSize")), 0);
    for (const char* bad : {"", "../escape", "a/b", "semi;colon", "with space"}) {
        EXPECT_TRUE(movie.getLocal(bad).isNull()) << bad;
    }
}

TEST(Avm1SharedObject, ADamagedFileGivesWhatCanBeRead)
{
    TempFolder folder;
    std::ofstream(folder.path / "broken.sol") << "good\tn\t5\nno tabs here\nmissing.parent\ts\tx\n\tn\t1\n";
    Movie movie(folder.path.string());
    const Value data = movie.vm.get(movie.getLocal("broken"), "data");
    EXPECT_EQ(movie.vm.toString(movie.vm.get(data, "good")), "5");
    EXPECT_TRUE(movie.vm.get(data, "missing").isUndefined());
}

}  // namespace

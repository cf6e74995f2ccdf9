#include "tests/engine/EngineTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "engine/store/FileSystem.h"

namespace kerv::engine::testing {

std::string examplesDir() {
    return KERV_EXAMPLES_DIR;
}

void EngineTest::SetUp() {
    char pattern[] = "/tmp/kerv-engine-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", path("data").c_str(), 1);
    ::unsetenv("KERV_CPPCHECK");
    shutdownApp();
}

void EngineTest::TearDown() {
    shutdownApp();
    std::string command = "rm -rf '" + folder_ + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

void EngineTest::writeFile(const std::string& relative, const std::string& content) const {
    std::ofstream out(path(relative), std::ios::binary);
    out << content;
    ASSERT_TRUE(out.good()) << relative;
}

void EngineTest::writeFileKeepingItsStamp(const std::string& relative, const std::string& content,
                                          const engine::FileStamp& stamp) const {
    {
        std::ofstream out(path(relative), std::ios::binary);
        out << content;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {stamp.modifiedNanoseconds / 1000000000, stamp.modifiedNanoseconds % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path(relative).c_str(), times, 0), 0) << relative;
}

std::vector<std::string> EngineTest::copyExampleSources() const {
    makeDirectory(path("src"));
    std::vector<std::string> copied;
    for (const char* name : {"main.c", "records.c", "records.h", "shapes.cpp"}) {
        auto content = readWholeFile(examplesDir() + "/src/" + name);
        EXPECT_TRUE(content.has_value()) << name;
        writeFile(std::string("src/") + name, content.value_or(""));
        copied.push_back(path(std::string("src/") + name));
    }
    return copied;
}

int EngineTest::addSource(const std::string& file, int language) {
    return addFile(static_cast<VQSourceLanguage_C>(language), file.c_str(), 0, nullptr, 0, nullptr);
}

std::vector<char*> textPointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    return pointers;
}

}  // namespace kerv::engine::testing

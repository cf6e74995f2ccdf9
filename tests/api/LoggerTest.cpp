#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/api/LogCapture.h"
#include "utils/logger/Logger.h"

using Utils::Logger::Log;
using Utils::Logger::SetLogFile;
using Utils::Logger::SetLogLevel;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs `write` with standard output captured and returns what it printed.
template <typename Write>
std::string Stdout(Write write) {
    testing::internal::CaptureStdout();
    write();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// Changes into a directory for the life of the object, so short relative
// log paths land in a temporary directory.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& directory) : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(directory);
    }
    ~WorkingDirectory() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

}  // namespace

TEST(Logger, StartsSilentAndFiltersByLevel) {
    EXPECT_EQ(Stdout([] {
                  Log(1, "failure\n");
                  Log(2, "trace\n");
              }),
              "");

    LogCapture log(1);
    Log(1, "failure %d\n", 1);
    Log(2, "trace %d\n", 2);
    EXPECT_EQ(log.Take(), "failure 1\n");

    SetLogLevel(2);
    Log(1, "failure\n");
    Log(2, "trace\n");
    Log(3, "deeper\n");
    EXPECT_EQ(log.Take(), "failure\ntrace\n");

    SetLogLevel(-1);
    Log(0, "zero\n");
    Log(-1, "negative\n");
    EXPECT_EQ(log.Take(), "negative\n");
}

TEST(Logger, PathsOfTwoCharactersOrFewerLogToStandardOutput) {
    LogCapture scratch(2);
    WorkingDirectory inScratch(scratch.Directory());
    {
        std::ofstream stale("ab");
        stale << "old";
    }

    SetLogFile("ab");
    EXPECT_TRUE(std::filesystem::exists("ab"));
    EXPECT_EQ(ReadFile("ab"), "") << "the two-character file is still created or emptied";
    EXPECT_EQ(Stdout([] { Log(2, "to stdout %d\n", 2); }), "to stdout 2\n");
    EXPECT_EQ(ReadFile("ab"), "");

    SetLogFile("");
    EXPECT_EQ(Stdout([] { Log(1, "empty path\n"); }), "empty path\n");

    SetLogFile("abc");
    EXPECT_EQ(Stdout([] { Log(2, "to file\n"); }), "");
    EXPECT_EQ(ReadFile("abc"), "to file\n");

    SetLogFile("abc");
    EXPECT_EQ(ReadFile("abc"), "") << "setting the file again empties it";
}

TEST(Logger, MessageLongerThanTheFormatBufferReachesTheFileWhole) {
    LogCapture log(2);
    const std::string longText(5000, 'x');
    Log(2, "<%s>", longText.c_str());
    Log(2, "%s", std::string(2047, 'y').c_str());
    Log(2, "%s", std::string(2048, 'z').c_str());
    EXPECT_EQ(log.Take(), "<" + longText + ">" + std::string(2047, 'y') + std::string(2048, 'z'));
}

TEST(Logger, FileThatCannotBeOpenedFallsBackToStandardOutput) {
    SetLogLevel(2);
    SetLogFile("/nonexistent-kerv-directory/api.log");
    EXPECT_EQ(Stdout([] { Log(1, "kept %s\n", "anyway"); }), "kept anyway\n");
    SetLogFile(nullptr);
    EXPECT_TRUE(Utils::Logger::g_szLogFile.empty());
    SetLogLevel(0);
}

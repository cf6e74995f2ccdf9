// The logger under concurrent Log, SetLogLevel and SetLogFile. Built on its
// own with the logger's sources, so that CI can run it under ThreadSanitizer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "utils/logger/Logger.h"

namespace {

// Message `sequence` of `writer`: some longer than the logger's stack buffer.
std::string Payload(int writer, int sequence) {
    const std::size_t length = sequence % 7 == 0 ? 3000 : 40 + static_cast<std::size_t>(sequence % 50);
    return std::string(length, static_cast<char>('a' + (writer + sequence) % 26));
}

// Every line must be one whole message "writer:sequence:payload"; returns
// the messages found, and fails the test on any torn or mixed line.
std::set<std::string> WholeMessages(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::set<std::string> found;
    std::string line;
    while (std::getline(file, line)) {
        int writer = -1, sequence = -1;
        const bool parsed = std::sscanf(line.c_str(), "%d:%d:", &writer, &sequence) == 2;
        EXPECT_TRUE(parsed &&
                    line == std::to_string(writer) + ":" + std::to_string(sequence) + ":" + Payload(writer, sequence))
            << "torn line of " << line.size() << " bytes: " << line.substr(0, 60);
        EXPECT_TRUE(found.insert(line.substr(0, line.find(':', line.find(':') + 1))).second) << "written twice";
    }
    return found;
}

}  // namespace

TEST(LoggerThreads, MessagesStayWholeWhileLevelAndFileChange) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kerv-log-XXXXXX").string();
    const std::string directory = mkdtemp(pattern.data());
    const std::string paths[] = {directory + "/first.log", directory + "/second.log"};
    Utils::Logger::SetLogLevel(2);
    Utils::Logger::SetLogFile(paths[0].c_str());

    constexpr int kWriters = 4, kMessages = 400;
    std::atomic<bool> writing{true};
    std::thread switcher([&] {
        for (int round = 0; writing.load(); ++round) {
            Utils::Logger::SetLogFile(paths[round % 2].c_str());
            Utils::Logger::SetLogLevel(round % 3 == 0 ? 1 : 2);
            std::this_thread::yield();
        }
        Utils::Logger::SetLogLevel(2);
        Utils::Logger::SetLogFile(paths[1].c_str());
    });
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([writer] {
            for (int sequence = 0; sequence < kMessages; ++sequence) {
                Utils::Logger::Log(2, "%d:%d:%s\n", writer, sequence, Payload(writer, sequence).c_str());
                Utils::Logger::Log(3, "filtered %d\n", writer);
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    writing = false;
    switcher.join();

    // Once the switching ends, every message is in the file when Log returns.
    for (int writer = 0; writer < kWriters; ++writer) {
        Utils::Logger::Log(1, "%d:%d:%s\n", writer, kMessages, Payload(writer, kMessages).c_str());
    }
    WholeMessages(paths[0]);
    const std::set<std::string> last = WholeMessages(paths[1]);
    for (int writer = 0; writer < kWriters; ++writer) {
        EXPECT_EQ(last.count(std::to_string(writer) + ":" + std::to_string(kMessages)), 1u) << writer;
    }
    Utils::Logger::SetLogLevel(0);
    Utils::Logger::SetLogFile("");
    std::filesystem::remove_all(directory);
}

// Shared fixture of the engine tests: a fresh temporary folder used as the
// user's XDG folders and as the project location, and a reset engine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"

namespace kerv::engine::testing {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& relative) const { return folder_ + "/" + relative; }
    void writeFile(const std::string& relative, const std::string& content) const;
    // Writes the file and sets its modification time back to `stamp`'s.
    void writeFileKeepingItsStamp(const std::string& relative, const std::string& content,
                                  const engine::FileStamp& stamp) const;
    // Copies examples/src into <folder>/src and returns the copied paths.
    std::vector<std::string> copyExampleSources() const;
    int addSource(const std::string& file, int language = 0);

    std::string folder_;
};

std::string examplesDir();

// A counted array of texts built on the stack for argument passing.
std::vector<char*> textPointers(std::vector<std::string>& texts);

}  // namespace kerv::engine::testing

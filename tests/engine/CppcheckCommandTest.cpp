#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/analysis/CppcheckCommand.h"

namespace kerv::engine {
namespace {

std::vector<std::string> withOptions(const std::string& language, const std::vector<std::string>& rest) {
    std::vector<std::string> all = {"cppcheck",
                                    "--xml",
                                    "--xml-version=2",
                                    "--quiet",
                                    "--enable=warning,style,performance,portability",
                                    "--language=" + language};
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

// A file's command line is the part that the files of its build compiler
// share and its own definitions and folders: one definition per macro, a
// later one in the place of the first of its name; the build compiler's
// configuration is no include folder; the hash is that of the whole line.
// Files that redefine the same shared macros share one variant; without
// shared definitions a file's own are passed as they are.
TEST(CppcheckCommand, FilesShareTheCommonPartAndRedefineItsMacrosInPlace) {
    const AnalysisConfig analysis;
    const CompilerSettings active{{"B=3", "D"}, {"/active/inc"}, ""};
    const BuildCompiler build{"/p/cc.cct", {{"A=1", "B=2", "F(x)=x", "C"}, {"/build/inc"}, "c99"}};
    auto shared = std::make_shared<SharedArguments>("cppcheck", "2.10", 0, analysis, active, &build);
    const ProjectFile plain{"/src/plain.c", 0, {"E", "E=5", "G"}, {"/src/inc", build.path}};
    const ProjectFile redefining{"/src/redefining.c", 0, {"F(y)=y", "A=9", "H", "A=8"}, {build.path}};
    const ProjectFile alike{"/src/alike.c", 0, {"A=8", "H", "F(y)=y"}, {build.path}};
    const FileCommand p(shared, plain), r(shared, redefining), a(shared, alike);

    EXPECT_EQ(p.arguments(plain.path),
              withOptions("c", {"--std=c99", "-DA=1", "-DB=3", "-DF(x)=x", "-DC", "-DD", "-DE=5", "-DG", "-I/src/inc",
                                "-I/build/inc", "-I/active/inc", "/src/plain.c"}));
    EXPECT_EQ(r.arguments(redefining.path),
              withOptions("c", {"--std=c99", "-DA=8", "-DB=3", "-DF(y)=y", "-DC", "-DD", "-DH", "-I/build/inc",
                                "-I/active/inc", "/src/redefining.c"}));
    for (const auto& [command, file] : {std::pair{&p, &plain}, {&r, &redefining}, {&a, &alike}})
        EXPECT_EQ(command->hash(file->path), configurationHash(command->arguments(file->path), "2.10")) << file->path;
    EXPECT_NE(p.hash(plain.path), FileCommand(shared, plain).hash(alike.path)) << "the file is part of the hash";

    EXPECT_EQ(p.shared, shared) << "no copy for a file that redefines nothing shared";
    EXPECT_NE(r.shared, shared);
    EXPECT_EQ(a.shared, r.shared) << "one variant for the same redefinitions in any order";
    EXPECT_EQ(shared->head()[7], "-DA=1") << "the variant leaves the shared part as it was";
    EXPECT_TRUE(a.sameOptions(r));
    EXPECT_FALSE(a.sameOptions(p));
    auto twin = std::make_shared<SharedArguments>("cppcheck", "2.10", 0, analysis, active, &build);
    EXPECT_TRUE(FileCommand(twin, plain).sameOptions(p)) << "separate shared parts of equal values";
    EXPECT_NE(std::make_shared<SharedArguments>("cppcheck", "2.11", 0, analysis, active, &build)->headHash(),
              shared->headHash())
        << "the analyser's version is hashed";

    auto bare = std::make_shared<SharedArguments>("cppcheck", "2.10", 1, analysis, CompilerSettings{}, nullptr);
    const ProjectFile twice{"/src/t.cpp", 1, {"X=1", "", "X=2"}, {"", "/p/cc.cct"}};
    EXPECT_EQ(FileCommand(bare, twice).arguments(twice.path),
              withOptions("c++", {"--std=c++17", "-DX=1", "-DX=2", "-I/p/cc.cct", "/src/t.cpp"}))
        << "no build compiler: the configuration is a folder like any other";
}

}  // namespace
}  // namespace kerv::engine

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <pugixml.hpp>

#include "engine/analysis/HeaderGraph.h"
#include "engine/analysis/ProcessPool.h"
#include "tests/engine/EngineTestSupport.h"

namespace kerv::engine {
namespace {

class HeaderGraphTest : public testing::EngineTest {
protected:
    // The files cppcheck's preprocessor loads for `source`, from its dump.
    std::vector<std::string> loadedByCppcheck(const std::string& source, const std::vector<std::string>& folders) {
        std::vector<std::string> command = {engineSettings(session()).cppcheckPath, "--dump", "--quiet"};
        for (const auto& folder : folders) command.push_back("-I" + folder);
        command.push_back(source);
        std::string output;
        EXPECT_TRUE(captureOutput(command, output, true)) << output;
        pugi::xml_document dump;
        EXPECT_TRUE(dump.load_file((source + ".dump").c_str()));
        ::unlink((source + ".dump").c_str());
        std::vector<std::string> files;
        for (pugi::xml_node file : dump.child("dumps").child("rawtokens").children("file"))
            if (file.attribute("name").as_string() != source) files.emplace_back(file.attribute("name").as_string());
        std::sort(files.begin(), files.end());
        return files;
    }

    static std::vector<std::string> paths(const std::vector<HeaderStamp>& headers) {
        std::vector<std::string> paths;
        paths.reserve(headers.size());
        for (const auto& header : headers) paths.push_back(header.path);
        return paths;
    }
};

// The headers found are those cppcheck loads: every #include whatever the
// conditions, none in comments or literals, "name" beside the includer
// first, <name> in the folders only, the folders in order, computed and
// absolute includes; and a new pass sees a header changed or appearing
// earlier in the search order.
TEST_F(HeaderGraphTest, FindsTheHeadersCppcheckLoadsAndSeesThemChange) {
    for (const char* folder : {"src", "inc1", "inc1/sub", "inc2", "abs"}) ASSERT_TRUE(makeDirectory(path(folder)));
    writeFile("src/a.c",
              "#include \"beside.h\"\n"
              "#include <angle.h>\n"
              "  #  include   \"sub/nested.h\" // with a comment\n"
              "/* #include \"commented.h\" */\n"
              "const char* text = \"#include \\\"quoted.h\\\"\";\n"
              "#ifdef NEVER\n#include \"conditional.h\"\n#endif\n"
              "#define HEADER \"computed.h\"\n#include HEADER\n"
              "#include \"" +
                  path("abs/absolute.h") +
                  "\"\n"
                  "#include \"../inc1/up.h\"\n"
                  "#include \"missing.h\"\n#include <stdio.h>\n"
                  "#include \\\n\"spliced.h\"\nchar hash = '#'; /* a\n#include \"in-comment.h\" */\n"
                  "int a;\n");
    writeFile("src/beside.h", "int beside;\n");
    writeFile("inc1/beside.h", "int shadowed;\n");
    writeFile("src/angle.h", "int not_searched_beside;\n");
    writeFile("inc2/angle.h", "int second_folder;\n");
    writeFile("inc1/sub/nested.h", "#include \"deep.h\"\n#include <angle.h>\n");
    writeFile("inc1/sub/deep.h", "int deep;\n");
    writeFile("src/commented.h", "int c;\n");
    writeFile("src/quoted.h", "int q;\n");
    writeFile("inc2/conditional.h", "int cond;\n");
    writeFile("src/computed.h", "int computed;\n");
    writeFile("abs/absolute.h", "int absolute;\n");
    writeFile("inc1/up.h", "int up;\n");
    writeFile("src/spliced.h", "int spliced;\n");
    writeFile("src/in-comment.h", "int c2;\n");
    const std::string source = path("src/a.c");
    const std::vector<std::string> folders = {path("inc1"), path("inc2") + "/"};
    const std::vector<const std::string*> searched = {&folders[0], &folders[1]};
    const std::string text = readWholeFile(source).value_or("");

    HeaderCache cache;
    std::vector<HeaderStamp> headers = HeaderGraph(cache).headersOf(source, text, searched, {});
    std::vector<std::string> expected = loadedByCppcheck(source, folders);
    expected.push_back(path("src/computed.h"));  // cppcheck loads it while preprocessing, after the dump's list
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths(headers), expected);
    EXPECT_EQ(paths(headers),
              (std::vector<std::string>{path("abs/absolute.h"), path("inc1/sub/deep.h"), path("inc1/sub/nested.h"),
                                        path("inc1/up.h"), path("inc2/angle.h"), path("inc2/conditional.h"),
                                        path("src/beside.h"), path("src/computed.h"), path("src/spliced.h")}));

    writeFile("inc1/sub/angle.h", "int not_beside_either;\n");  // <> never searched beside
    writeFile("inc1/angle.h", "int first_folder_now;\n");       // appears earlier in the search order
    writeFile("inc1/sub/deep.h", "int deeper;\n");
    std::vector<HeaderStamp> again = HeaderGraph(cache).headersOf(source, text, searched, {});
    expected[4] = path("inc1/angle.h");  // in place of inc2/angle.h
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths(again), expected);
    EXPECT_NE(again[2].hash, headers[1].hash) << "deep.h changed";
    EXPECT_EQ(again[0], headers[0]) << "absolute.h did not";
}

}  // namespace
}  // namespace kerv::engine

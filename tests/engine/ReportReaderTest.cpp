#include <gtest/gtest.h>

#include "engine/analysis/ReportReader.h"

namespace kerv::engine {
namespace {

const char* const kReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<results version="2">
    <cppcheck version="2.10"/>
    <errors>
        <error id="nullPointer" severity="error" msg="Null pointer dereference: p" verbose="Long &apos;p&apos;" cwe="476" file0="a.c">
            <location file="b.h" line="8" column="12" info="Null pointer dereference"/>
            <location file="b.h" line="7" column="35" info="Assignment &apos;p=NULL&apos;"/>
            <symbol>p</symbol>
        </error>
        <error id="missingIncludeSystem" severity="information" msg="No includes" verbose="No includes"/>
        <error id="checkLater" severity="style" msg="m" verbose="m" inconclusive="true">
            <location file="a.c" line="1" column="1"/>
        </error>
    </errors>
</results>)";

TEST(ReportReader, ReadsEveryFieldOfAVersionTwoReport) {
    std::vector<Finding> findings;
    ASSERT_TRUE(readReport(kReport, findings));
    ASSERT_EQ(findings.size(), 3u);
    const Finding& nullPointer = findings[0];
    EXPECT_EQ(nullPointer.id, "nullPointer");
    EXPECT_EQ(nullPointer.severity, "error");
    EXPECT_EQ(nullPointer.verbose, "Long 'p'");
    EXPECT_EQ(nullPointer.cwe, 476);
    EXPECT_FALSE(nullPointer.inconclusive);
    ASSERT_EQ(nullPointer.locations.size(), 2u);
    EXPECT_EQ(nullPointer.locations[0].file, "b.h");
    EXPECT_EQ(nullPointer.locations[1].file, "b.h");
    EXPECT_EQ(nullPointer.locations[1].line, 7);
    EXPECT_EQ(nullPointer.locations[1].column, 35);
    EXPECT_EQ(nullPointer.locations[1].info, "Assignment 'p=NULL'");
    EXPECT_EQ(nullPointer.symbols, std::vector<std::string>{"p"});
    EXPECT_TRUE(findings[1].locations.empty());
    EXPECT_EQ(findings[1].cwe, 0);
    EXPECT_TRUE(findings[2].inconclusive);

    std::vector<SourcedFinding> sourced;
    ASSERT_TRUE(readReport(kReport, sourced));
    ASSERT_EQ(sourced.size(), 3u);
    EXPECT_EQ(sourced[0].source, "a.c") << "file0 names the analysed file";
    EXPECT_EQ(sourced[1].source, "") << "no file0 and no location";
    EXPECT_EQ(sourced[2].source, "a.c") << "without file0, the primary location";
}

TEST(ReportReader, RejectsWhatIsNotAVersionTwoReport) {
    std::vector<Finding> findings;
    EXPECT_FALSE(readReport("", findings));
    EXPECT_FALSE(readReport("<results version=\"1\"><errors/></results>", findings));
    EXPECT_FALSE(readReport("<results version=\"2\"><errors>", findings));
    std::vector<RuleInfo> rules;
    EXPECT_FALSE(readErrorList("not xml", rules));
    ASSERT_TRUE(readErrorList(kReport, rules));
    EXPECT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules[0].cwe, 476);
}

}  // namespace
}  // namespace kerv::engine

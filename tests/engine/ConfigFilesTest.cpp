#include <gtest/gtest.h>

#include "engine/Session.h"
#include "engine/config/ConfigFiles.h"
#include "engine/config/EngineSettings.h"
#include "engine/entry/EntryPoints.h"
#include "engine/store/FileSystem.h"
#include "tests/engine/EngineTestSupport.h"

namespace kerv::engine {
namespace {

TEST(ConfigFiles, ExampleFilesParseToTheirSettings) {
    const std::string dir = testing::examplesDir() + "/config/";
    AnalysisConfig analysis;
    ASSERT_EQ(parseAnalysisConfig(dir + "analysis.acf", analysis).status, kOk);
    EXPECT_EQ(analysis.checks, (std::vector<std::string>{"warning", "style", "performance", "portability"}));
    EXPECT_EQ(analysis.cStandard, "c11");
    EXPECT_EQ(analysis.cppStandard, "c++17");
    EXPECT_FALSE(analysis.inconclusive);
    EXPECT_EQ(analysis.extraOptions, std::vector<std::string>{"--max-configs=12"});
    EXPECT_TRUE(analysis.inlineSuppressions);

    RuleConfig rules;
    ASSERT_EQ(parseRuleConfig(dir + "rules.rcf", rules).status, kOk);
    EXPECT_EQ(rules.switchedOff, std::set<std::string>{"unreadVariable"});

    CompilerConfig compiler;
    ASSERT_EQ(parseCompilerConfig(dir + "compiler.cct", compiler).status, kOk);
    EXPECT_EQ(compiler.perLanguage[0].defines, (std::vector<std::string>{"__linux__=1", "__STDC_VERSION__=201112L"}));
    EXPECT_EQ(compiler.perLanguage[1].defines, (std::vector<std::string>{"__linux__=1", "__cplusplus=201703L"}));
}

TEST(ConfigFiles, EmptyPathMeansDefaultsAndMissingFileIsUnreadable) {
    AnalysisConfig analysis;
    analysis.checks.clear();
    EXPECT_EQ(parseAnalysisConfig("", analysis).status, kOk);
    EXPECT_TRUE(analysis.checks.empty()) << "an empty path leaves the defaults given by the caller";
    RuleConfig rules;
    ConfigError error = parseRuleConfig("/nonexistent/rules.rcf", rules);
    EXPECT_EQ(error.status, kConfigUnreadable);
    EXPECT_EQ(error.file, "/nonexistent/rules.rcf");
}

struct BadLine {
    std::string text;
    int line;
    std::string messagePart;
};

TEST(ConfigFiles, AnalysisErrorsNameTheLineAndKeepTheOldSettings) {
    const std::vector<BadLine> cases = {
        {"# ok\nchecks = warning\nflavour = sweet\n", 3, "unknown key 'flavour'"},
        {"checks = warning, spelling\n", 1, "unknown check family 'spelling'"},
        {"\n\nc-standard = c23\n", 3, "unknown C standard"},
        {"inconclusive = maybe\n", 1, "yes or no"},
        {"inline-suppressions = off\n", 1, "yes or no"},
        {"option = --output-file=/tmp/x\n", 1, "not allowed"},
        {"option = --xml\n", 1, "not allowed"},
        {"option = --max-configs=\n", 1, "not allowed"},
        {"just words\n", 1, "expected 'key = value'"},
    };
    for (const auto& bad : cases) {
        AnalysisConfig config;
        config.cStandard = "c99";
        ConfigError error = parseAnalysisConfigText("a.acf", bad.text, config);
        EXPECT_EQ(error.status, kConfigSyntax) << bad.text;
        EXPECT_EQ(error.line, bad.line) << bad.text;
        EXPECT_NE(error.message.find(bad.messagePart), std::string::npos) << error.message;
        EXPECT_EQ(config.cStandard, "c99") << "a failed parse must not change the output";
    }
    AnalysisConfig allowed;
    ASSERT_EQ(parseAnalysisConfigText("a.acf", "option = --max-configs=3\noption = --force\n", allowed).status, kOk);
    EXPECT_EQ(allowed.extraOptions, (std::vector<std::string>{"--max-configs=3", "--force"}));
    AnalysisConfig suppressions;
    ASSERT_EQ(parseAnalysisConfigText("a.acf", "inline-suppressions = no\n", suppressions).status, kOk);
    EXPECT_FALSE(suppressions.inlineSuppressions);
    ASSERT_EQ(
        parseAnalysisConfigText("a.acf", "inline-suppressions = no\noption = --inline-suppr\n", suppressions).status,
        kOk);
    EXPECT_TRUE(suppressions.inlineSuppressions);
    EXPECT_TRUE(suppressions.extraOptions.empty()) << "cppcheck would drop the findings that are to be marked";
}

TEST(ConfigFiles, RuleAndCompilerErrors) {
    RuleConfig rules;
    EXPECT_EQ(parseRuleConfigText("r.rcf", "off nullPointer\noff\n", rules).line, 2);
    EXPECT_EQ(parseRuleConfigText("r.rcf", "on nullPointer\n", rules).status, kConfigSyntax);
    EXPECT_EQ(parseRuleConfigText("r.rcf", "off null-pointer\n", rules).status, kConfigSyntax);
    EXPECT_EQ(parseRuleConfigText("r.rcf", "  off\tnullPointer  \n# c\n", rules).status, kOk);
    EXPECT_EQ(rules.switchedOff, std::set<std::string>{"nullPointer"});

    CompilerConfig compiler;
    EXPECT_EQ(parseCompilerConfigText("c.cct", "[C#]\n", compiler).line, 1);
    EXPECT_EQ(parseCompilerConfigText("c.cct", "define = 1X\n", compiler).status, kConfigSyntax);
    EXPECT_EQ(parseCompilerConfigText("c.cct", "include =\n", compiler).status, kConfigSyntax);
    EXPECT_EQ(parseCompilerConfigText("c.cct", "warn = all\n", compiler).status, kConfigSyntax);
    ASSERT_EQ(
        parseCompilerConfigText("c.cct", "include = /both\n[C++]\ninclude = /cpp\n[C]\ndefine = ONLY_C\n", compiler)
            .status,
        kOk);
    EXPECT_EQ(compiler.perLanguage[0].includes, std::vector<std::string>{"/both"});
    EXPECT_EQ(compiler.perLanguage[0].defines, std::vector<std::string>{"ONLY_C"});
    EXPECT_EQ(compiler.perLanguage[1].includes, (std::vector<std::string>{"/both", "/cpp"}));
    EXPECT_TRUE(compiler.perLanguage[1].defines.empty());
}

// engine.conf names a launcher (found on PATH) and its step; the environment
// wins; only with a launcher may jobs exceed 64.
class EngineSettingsTest : public testing::EngineTest {};

TEST_F(EngineSettingsTest, LauncherWordsStepAndJobsBeyondTheLocalLimit) {
    makeDirectory(path("config"));
    makeDirectory(path("config/kerv"));
    writeFile("config/kerv/engine.conf", "launcher =  sh  --quiet\tx\nlauncher_step = 0.25\njobs = 500\n");
    EngineSettings settings = loadEngineSettings();
    ASSERT_EQ(settings.launcher.size(), 3u);
    EXPECT_EQ(settings.launcher[0], findOnPath("sh"));
    EXPECT_EQ(settings.launcher[0][0], '/');
    EXPECT_EQ(settings.launcher[2], "x");
    EXPECT_DOUBLE_EQ(settings.launcherStepSeconds, 0.25);
    EXPECT_EQ(settings.jobs, 500u);
    ::setenv("KERV_LAUNCHER", "/opt/run-there", 1);
    ::setenv("KERV_LAUNCHER_STEP", "-1", 1);
    settings = loadEngineSettings();
    EXPECT_EQ(settings.launcher, std::vector<std::string>{"/opt/run-there"});
    EXPECT_EQ(settings.launcherStepSeconds, 0) << "a step that is no time is measured instead";
    ::setenv("KERV_LAUNCHER", " ", 1);
    EXPECT_TRUE(loadEngineSettings().launcher.empty()) << "blank: runs start here";
    writeFile("config/kerv/engine.conf", "jobs = 500\n");
    EXPECT_LE(loadEngineSettings().jobs, 64u) << "500 local jobs is refused, the default taken";
    ::unsetenv("KERV_LAUNCHER");
    ::unsetenv("KERV_LAUNCHER_STEP");
}

// The session keeps the settings until engine.conf changes (its modification
// time or size), an environment variable they read changes, or
// clearCachedObjects drops them.
TEST_F(EngineSettingsTest, SessionReadsThemAgainOnlyAfterAChange) {
    makeDirectory(path("config"));
    makeDirectory(path("config/kerv"));
    writeFile("config/kerv/engine.conf", "jobs = 3\n");
    Session& s = session();
    clearCachedObjects();
    ASSERT_EQ(engineSettings(s).jobs, 3u);
    const FileStamp stamp = fileStamp(path("config/kerv/engine.conf"));
    writeFileKeepingItsStamp("config/kerv/engine.conf", "jobs = 5\n", stamp);
    EXPECT_EQ(engineSettings(s).jobs, 3u) << "the same time and size: not read again";
    ::setenv("KERV_JOBS", "4", 1);
    EXPECT_EQ(engineSettings(s).jobs, 4u);
    ::unsetenv("KERV_JOBS");
    EXPECT_EQ(engineSettings(s).jobs, 5u);
    writeFileKeepingItsStamp("config/kerv/engine.conf", "jobs = 6\n", stamp);
    clearCachedObjects();
    EXPECT_EQ(engineSettings(s).jobs, 6u);
    writeFile("config/kerv/engine.conf", "jobs = 7 \n");
    EXPECT_EQ(engineSettings(s).jobs, 7u) << "another size";
}

}  // namespace
}  // namespace kerv::engine

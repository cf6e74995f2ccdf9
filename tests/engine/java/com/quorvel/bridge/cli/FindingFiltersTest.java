package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** What counts, through the command line: suppression comments in the source, --exclude and --fail-on. */
class FindingFiltersTest {
    private static final String NULL_DEREFERENCE = "int %s(void) {\n    int *p = 0;\n    return *p;\n}\n";

    @TempDir Path temp;

    /** Runs the command line on the project folder {@code project}, its output in {@code <name>.txt}. */
    private String cli(String project, String name, int exit, String... args) throws Exception {
        List<String> all = new ArrayList<>(List.of("--project-dir", temp.resolve(project).toString()));
        all.addAll(List.of(args));
        Path output = temp.resolve(name + ".txt");
        return EngineFixture.finish(EngineFixture.startCli(output, all.toArray(String[]::new)), output, exit);
    }

    private static Path write(Path file, String text) throws Exception {
        Files.createDirectories(file.getParent());
        return Files.writeString(file, text);
    }

    @Test
    void aFindingSuppressedInTheSourceIsKeptApartAndCountsOnlyWhenTheSettingIsOff() throws Exception {
        Path src = temp.resolve("src");
        write(src.resolve("guarded.c"), "int guarded(void) {\n    int *p = 0;\n"
                + "    // cppcheck-suppress nullPointer ; the caller checks it\n    return *p;\n}\n");
        Path sarif = temp.resolve("suppressed.sarif");
        String run = cli("honoured", "suppressed", 0, "--sarif", sarif.toString(), "--html",
                temp.resolve("html").toString(), src.toString());
        assertTrue(run.contains("\n0 diagnostics\n1 more suppressed in the source, not shown\n"), run);
        assertFalse(run.contains("[nullPointer]"), run);
        String log = Files.readString(sarif);
        assertTrue(log.contains("\"ruleId\" : \"nullPointer\""), log);
        assertTrue(log.contains("\"kind\" : \"inSource\""), log);
        ReportsTest.validateForGitHub(sarif, temp);
        String index = Files.readString(temp.resolve("html/index.html"));
        assertTrue(index.contains("0 findings in 1 analysed files; 1 more suppressed in the source, not shown"), index);

        Path off = Files.writeString(temp.resolve("off.acf"), "inline-suppressions = no\n");
        String counted = cli("counting", "counted", 1, "--acf", off.toString(), src.toString());
        assertTrue(counted.contains("guarded.c:4:") && counted.contains("[nullPointer]\n1 diagnostic\n"), counted);
    }

    @Test
    void excludedPathsAreLeftOutAndFailOnSetsTheLowestSeverityThatFails() throws Exception {
        Path tree = temp.resolve("tree");
        write(tree.resolve("app/main.c"), "#include \"../third_party/lib/inline.h\"\n"
                + "int main(void) {\n    int unused = 4;\n    return inlined();\n}\n");
        write(tree.resolve("third_party/lib/inline.h"), String.format(NULL_DEREFERENCE, "static int inlined"));
        write(tree.resolve("third_party/lib/vendored.c"), String.format(NULL_DEREFERENCE, "vendored"));
        write(tree.resolve("app/parser/lexer_gen.c"), String.format(NULL_DEREFERENCE, "lexer"));
        String[] excluding = {"--exclude", "third_party/", "--exclude", "**/*_gen.c", tree.toString()};

        String all = cli("tree", "all", 1, tree.toString());
        for (String file : List.of("third_party/lib/inline.h:3:", "third_party/lib/vendored.c:3:",
                "app/parser/lexer_gen.c:3:", "app/main.c:3:")) {
            assertTrue(all.contains(file), all);
        }
        String excluded = cli("tree", "excluded", 1, excluding);
        assertTrue(excluded.contains("app/main.c:3:") && excluded.contains("[unreadVariable]\n1 diagnostic\n"),
                excluded);
        assertFalse(excluded.contains("third_party") || excluded.contains("lexer_gen"), excluded);

        String errors = run("errors", 0, excluding, "--fail-on", "error");
        assertTrue(errors.contains("\nkerv: 0 findings at error or above (--fail-on)\n"), errors);
        String sameLevel = run("performance", 1, excluding, "--fail-on", "performance");
        assertTrue(sameLevel.contains("\nkerv: 1 finding at performance or above (--fail-on)\n"), sameLevel);
        String vendored = cli("tree", "vendored", 1, "--exclude", "app", "--fail-on", "error", tree.toString());
        assertTrue(vendored.contains("third_party/lib/vendored.c:3:") && vendored.contains("\n1 diagnostic\n")
                && vendored.contains("\nkerv: 1 finding at error or above (--fail-on)\n"), vendored);
    }

    private String run(String name, int exit, String[] excluding, String... more) throws Exception {
        List<String> args = new ArrayList<>(List.of(more));
        args.addAll(List.of(excluding));
        return cli("tree", name, exit, args.toArray(String[]::new));
    }
}

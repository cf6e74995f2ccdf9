package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.CompileCommandsImport;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.SourceFile;
import com.quorvel.bridge.client.SourceLanguage;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Compilation databases: one that CMake wrote, analysed by the command line, and re-imports through the client. */
class CompileCommandsTest {
    static final Path SAMPLE = Path.of(System.getProperty("kerv.test.compiledb"));
    static final String CMAKE = System.getProperty("kerv.test.cmake");

    @TempDir Path temp;

    /** Copies the sample C project and has CMake write its compilation database; returns the database. */
    static Path configureSample(Path target) throws Exception {
        EngineFixture.copyTree(SAMPLE, target);
        String log = ReportsTest.run(target.resolveSibling("cmake.log"), CMAKE, "-S", target.toString(), "-B",
                target.resolve("build").toString(), "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON");
        assertTrue(Files.isRegularFile(target.resolve("build/compile_commands.json")), log);
        return target.resolve("build/compile_commands.json");
    }

    @Test
    void theBuildsDefinesAndIncludeFoldersBringOutFindingsAFolderRunMisses() throws Exception {
        Path sample = temp.resolve("sample");
        Path database = configureSample(sample);
        String plain = EngineFixture.finish(EngineFixture.startCli(temp.resolve("plain.txt"), "--project-dir",
                temp.resolve("p1").toString(), sample.resolve("src").toString()), temp.resolve("plain.txt"), 1);
        assertFalse(plain.contains("[nullPointer]") || plain.contains("[arrayIndexOutOfBounds]"), plain);
        String built = EngineFixture.finish(EngineFixture.startCli(temp.resolve("built.txt"), "--project-dir",
                temp.resolve("p2").toString(), "--compile-commands", database.toString(), "--sarif",
                temp.resolve("built.sarif").toString()), temp.resolve("built.txt"), 1);
        assertTrue(built.contains("kerv: 2 files from " + database + " (2 added, 0 updated, 0 removed)"), built);
        assertTrue(built.contains("main.c:7:34: error: Null pointer dereference: checked [nullPointer]"), built);
        assertTrue(built.contains("table.c:7:10: error: Array 'table[4]' accessed at index 4"), built);
        ReportsTest.validateForGitHub(temp.resolve("built.sarif"), temp);

        String excluded = EngineFixture.finish(EngineFixture.startCli(temp.resolve("excluded.txt"), "--project-dir",
                temp.resolve("p2").toString(), "--compile-commands", database.toString(), "--exclude", "tab*.c"),
                temp.resolve("excluded.txt"), 1);
        assertTrue(excluded.contains("kerv: 1 files from " + database + " (0 added, 0 updated, 1 removed)\n"
                + "kerv: 1 more files are excluded (--exclude)\n"), excluded);
        assertTrue(excluded.contains("main.c:7:34:") && !excluded.contains("table.c:"), excluded);
    }

    /** The compiler configuration that an import names last in a file's include list. */
    private static String compilerOf(SourceFile file) {
        return file.includeFolders().get(file.includeFolders().size() - 1);
    }

    @Test
    void aSecondImportBringsTheProjectInLine() throws Exception {
        Path src = Files.createDirectories(temp.resolve("src"));
        for (String name : List.of("a.c", "b.cpp", "c.c", "d.c")) {
            Files.writeString(src.resolve(name), "int f(void) { return 0; }\n");
        }
        Path database = temp.resolve("compile_commands.json");
        Files.writeString(database, """
                [ {"directory": "src", "file": "a.c",
                   "arguments": ["gcc", "-DA=1", "-D", "B", "-UA", "-U__GNUC_MINOR__", "-Iinc", "-isystem", "/sys", "-iquote", "q", "a.c"]},
                  {"directory": "src", "file": "b.cpp",
                   "command": "cc -DMSG=\\\\\\"a\\\\ b\\\\\\" '-DPATH=x y' -I inc b.cpp", "output": "b.o"},
                  {"directory": "src", "file": "a.c", "command": "gcc -DOTHER a.c"},
                  {"directory": "src", "file": "c.c", "command": "clang++ -x c c.c"},
                  {"directory": "src", "file": "start.S", "command": "cc -c start.S"} ]""");
        Files.writeString(temp.resolve("second.json"), """
                [ {"directory": "src", "file": "a.c", "command": "gcc -DA=2 a.c"},
                  {"directory": "src", "file": "b.cpp", "command": "g++-12 -DMSG b.cpp"},
                  {"directory": "src", "file": "c.c", "command": "clang++ -x c c.c"},
                  {"directory": "src", "file": "d.c", "command": "g++ d.c"} ]""");
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            Project project = kerv.openProject(temp.resolve("project"), "imports");
            CompileCommandsImport first = project.importCompileCommands(database);
            assertEquals(List.of(3, 0, 0, 1, 1), List.of(first.added(), first.updated(), first.removed(),
                    first.conflicting(), first.notSource()));
            SourceFile a = project.file(src.resolve("a.c")).orElseThrow();
            assertEquals(new SourceFile(SourceLanguage.C, List.of("B"),
                    List.of(src.resolve("inc").toString(), "/sys", src.resolve("q").toString(), compilerOf(a))), a);
            SourceFile b = project.file(src.resolve("b.cpp")).orElseThrow();
            assertEquals(new SourceFile(SourceLanguage.CPP, List.of("MSG=\"a b\"", "PATH=x y"),
                    List.of(src.resolve("inc").toString(), compilerOf(b))), b);
            assertTrue(compilerOf(a).startsWith(project.location().resolve("imports/compilers/").toString()),
                    compilerOf(a));
            String aCompiler = Files.readString(Path.of(compilerOf(a)));
            assertTrue(aCompiler.contains("[C]\ndefine = ") && aCompiler.contains("define = __GNUC__="), aCompiler);
            assertFalse(aCompiler.contains("define = __GNUC_MINOR__="), "-U__GNUC_MINOR__ of the entry");
            String bCompiler = Files.readString(Path.of(compilerOf(b)));
            assertTrue(bCompiler.contains("[C++]\n") && bCompiler.contains("define = __cplusplus="), bCompiler);
            assertEquals(SourceLanguage.C, project.file(src.resolve("c.c")).orElseThrow().language());
            project.analyse();
            assertTrue(project.hasUpToDateResults(src.resolve("c.c")));

            Project again = kerv.openProject(temp.resolve("project"), "imports");
            CompileCommandsImport second = again.importCompileCommands(temp.resolve("second.json"));
            assertEquals(List.of(1, 2, 0, 0), List.of(second.added(), second.updated(), second.removed(),
                    second.conflicting()));
            assertEquals(List.of("c.c"), again.files().stream().filter(again::hasUpToDateResults)
                    .map(f -> f.getFileName().toString()).toList());
            assertEquals(SourceLanguage.CPP, again.file(src.resolve("d.c")).orElseThrow().language());
            Files.writeString(temp.resolve("third.json"), "[{\"directory\": \"src\", \"file\": \"c.c\","
                    + " \"command\": \"clang++ -x c c.c\"}]");
            assertEquals(3, again.importCompileCommands(temp.resolve("third.json")).removed());
            assertEquals(List.of(src.resolve("c.c")), again.files());
            assertTrue(again.hasUpToDateResults(src.resolve("c.c")));

            Files.writeString(temp.resolve("bad.json"), "[{\"directory\": \"src\", \"file\": \"c.c\"}]");
            IllegalArgumentException bad = assertThrows(IllegalArgumentException.class,
                    () -> again.importCompileCommands(temp.resolve("bad.json")));
            assertTrue(bad.getMessage().contains("\"arguments\" or \"command\""), bad.getMessage());
            Files.writeString(temp.resolve("quote.json"), "[{\"directory\": \"src\", \"file\": \"c.c\","
                    + " \"command\": \"cc -D'open c.c\"}]");
            assertThrows(IllegalArgumentException.class, () -> again.importCompileCommands(temp.resolve("quote.json")));
            assertFalse(again.files().isEmpty());
        }
    }
}

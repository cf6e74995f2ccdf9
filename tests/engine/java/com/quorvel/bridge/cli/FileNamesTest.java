package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.TreeNode;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Source file names with markup characters work everywhere; names the library cannot keep are refused clearly. */
class FileNamesTest {
    private static final String NULL_DEREFERENCE = "int f(void) {\n    int *p = 0;\n    return *p;\n}\n";

    @TempDir Path temp;

    private Path projects() throws Exception {
        return Files.createDirectories(temp.resolve("projects")).toRealPath();
    }

    private static boolean nameIn(TreeNode node, String name) {
        return node.name().contains(name) || node.children().stream().anyMatch(child -> nameIn(child, name));
    }

    @Test
    void markupInFolderAndFileNamesGivesTheFindings() throws Exception {
        Path source = Files.createDirectories(temp.resolve("src/R&D")).toRealPath().getParent();
        Path file = Files.writeString(source.resolve("R&D/x<y>&z.c"), NULL_DEREFERENCE);
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            Project project = kerv.openProject(projects(), "markup");
            project.addFile(file);
            assertEquals(List.of(file), project.analyse().analysed());
            for (Project seen : List.of(project, kerv.openProject(projects(), "markup"))) {
                List<Diagnostic> found = seen.diagnostics(file);
                assertTrue(found.stream().anyMatch(d -> d.messageId().equals("nullPointer")
                        && d.locations().get(0).equals(new Location(file.toString(), 3, 13))), found.toString());
                assertTrue(nameIn(seen.trees().orElseThrow().files(), "x<y>&z.c"));
            }
        }
        Path output = temp.resolve("child.txt");
        String text = EngineFixture.finish(EngineFixture.startCli(output, "--project-dir", projects().toString(),
                source.toString()), output, AnalysisRun.DIAGNOSTICS_FOUND);
        assertTrue(text.contains("R&D/x<y>&z.c:3:13: error: Null pointer dereference: p [nullPointer]"), text);
    }

    @Test
    void aUtf8NameUnderTheCLocaleIsAnalysedElseNamedByItsBytes() throws Exception {
        Path source = Files.createDirectories(temp.resolve("src")).toRealPath();
        Files.writeString(source.resolve("good.c"), NULL_DEREFERENCE);
        // Named by the shell: this JVM may itself run under the C locale, where it cannot make the name.
        Process copy = new ProcessBuilder("sh", "-c", "cp good.c \"$(printf 'caf\\303\\251.c')\"")
                .directory(source.toFile()).start();
        assertEquals(0, copy.waitFor());
        Map<String, String> cLocale = Map.of("LC_ALL", "C", "LANG", "C");
        Path output = temp.resolve("started-again.txt");
        String text = EngineFixture.finish(EngineFixture.startCli(cLocale, output, "--project-dir",
                projects().toString(), source.toString()), output, AnalysisRun.DIAGNOSTICS_FOUND);
        assertTrue(text.contains("\ncafé.c:3:13: error: Null pointer dereference: p [nullPointer]\n"), text);
        assertTrue(text.contains("\ngood.c:3:13: error: "), text);

        // A JVM that cannot start again under a UTF-8 locale names the file by its bytes and goes on.
        Path kept = temp.resolve("not-started-again.txt");
        List<String> startedAlready = List.of("-D" + PathEncoding.STARTED_AGAIN + "=true");
        text = EngineFixture.finish(EngineFixture.startCli(cLocale, startedAlready, kept, "--project-dir",
                projects().toString(), "--name", "ascii", source.toString()), kept, AnalysisRun.CANNOT_RUN);
        assertTrue(text.contains("kerv: not added: caf\\xc3\\xa9.c (its name cannot be read in this JVM's path "
                + "encoding ANSI_X3.4-1968: run with LC_ALL=C.UTF-8 or another UTF-8 locale)\n"), text);
        assertTrue(text.contains("\ngood.c:3:13: error: "), text);
        assertTrue(text.endsWith("kerv: 1 of 2 files could not be analysed\n"), text);
    }

    static List<Arguments> refusedNames() {
        return List.of(Arguments.of("semi;colon.c", "';' (U+003B)"),
                Arguments.of("tab\t.c", "the control character U+0009"),
                Arguments.of("line\n.c", "the control character U+000A"),
                Arguments.of("sep\u0019.c", "the control character U+0019"),
                Arguments.of("quote\".c", "'\"' (U+0022)"),
                Arguments.of("back\\slash.c", "'\\' (U+005C)"));
    }

    @ParameterizedTest
    @MethodSource("refusedNames")
    void namesTheLibraryCannotKeepAreRefusedByName(String name, String character) throws Exception {
        Path source = Files.createDirectories(temp.resolve("src")).toRealPath();
        Files.writeString(source.resolve("good.c"), NULL_DEREFERENCE);
        Path bad = Files.writeString(source.resolve(name), NULL_DEREFERENCE);
        try (KervSession kerv = Kerv.open(Path.of(EngineFixture.ENGINE))) {
            Project project = kerv.openProject(projects(), "names");
            KervException e = assertThrows(KervException.class, () -> project.addFile(bad));
            assertEquals(KervStatus.BAD_ARGUMENT, e.reason());
            assertEquals("addFile failed with status -3 (BAD_ARGUMENT): " + bad + " holds " + character
                    + ", which the analysis library cannot keep in a file name", e.getMessage());
            assertTrue(project.files().isEmpty());
        }
        Path output = temp.resolve("child.txt");
        String text = EngineFixture.finish(EngineFixture.startCli(output, "--project-dir", projects().toString(),
                source.toString()), output, AnalysisRun.CANNOT_RUN);
        assertTrue(text.contains("good.c:3:13: error: "), text);
        assertTrue(text.contains("kerv: not added: " + name + " (addFile failed with status -3 (BAD_ARGUMENT): "),
                text);
        assertTrue(text.endsWith("kerv: 1 of 2 files could not be analysed\n"), text);
        assertFalse(text.contains("kerv: not analysed"), text);
    }
}

package com.quorvel.bridge.lsp;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * Headless Neovim drives the server with its own language client (tests/lsp/neovim/editor-session.lua) on a CMake
 * project whose faults show only with its compilation database's definition and include folder.
 */
class NeovimTest {
    private static final Path SAMPLE = Path.of(System.getProperty("kerv.test.compiledb"));
    private static final Path SCRIPT = Path.of(System.getProperty("kerv.test.neovimScript"));

    @TempDir Path temp;

    @Test
    void findingsFollowOpeningEditingAndSavingBesideACommandLineRun() throws Exception {
        Path root = copy(SAMPLE, temp.resolve("project"));
        Process cmake = new ProcessBuilder(System.getProperty("kerv.test.cmake"), "-S", root.toString(), "-B",
                root.resolve("build").toString(), "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON").redirectErrorStream(true)
                .redirectOutput(temp.resolve("cmake.txt").toFile()).start();
        assertTrue(cmake.waitFor(120, TimeUnit.SECONDS) && cmake.exitValue() == 0, Files.readString(
                temp.resolve("cmake.txt")));
        Path home = temp.resolve("home");
        Path serverErrors = temp.resolve("server-stderr.txt");
        Path result = temp.resolve("result.json");
        String java = quoted(Path.of(System.getProperty("java.home"), "bin", "java"));
        String jar = java + " -Xcheck:jni -jar " + quoted(LspClient.JAR);

        ProcessBuilder nvim = new ProcessBuilder("nvim", "--headless", "--clean", "-S", SCRIPT.toString())
                .redirectErrorStream(true).redirectOutput(temp.resolve("nvim.txt").toFile()).directory(root.toFile());
        LspClient.environment(nvim, home);
        Map<String, String> environment = nvim.environment();
        environment.put("KERV_NVIM_SERVER", "exec " + jar + " lsp 2>>" + quoted(serverErrors));
        environment.put("KERV_NVIM_CLI", "exec " + jar + " --compile-commands "
                + quoted(root.resolve("build/compile_commands.json")) + " " + quoted(root) + " 2>&1");
        environment.put("KERV_NVIM_ROOT", root.toString());
        environment.put("KERV_NVIM_RESULT", result.toString());
        Process editor = nvim.start();
        assertTrue(editor.waitFor(300, TimeUnit.SECONDS), "Neovim ended");
        String log = Files.readString(temp.resolve("nvim.txt"));
        assertTrue(Files.exists(result), "Neovim wrote no result: " + log);
        Map<String, Object> session = Json.object(Json.parse(Files.readAllBytes(result)));
        System.out.println("the Neovim session: " + new String(Json.write(session), StandardCharsets.UTF_8));
        assertEquals(true, session.get("ok"), session + "\n" + log);
        assertEquals(0, editor.exitValue(), log);

        // On open: the fault behind the database's definitions, and the one behind its include folder.
        assertTrue(has(session.get("main_opened"), "nullPointer", 6, 33, 40, 1), session.toString());
        assertTrue(has(session.get("table_opened"), "arrayIndexOutOfBounds", 6, 9, 10, 1), session.toString());
        // Unsaved text is analysed with the same settings: a line added above moves the finding down; the fix
        // then clears it and leaves the file alone. The command line beside the editor still reads the stored
        // results of the file on disk, and succeeds.
        assertTrue(has(session.get("main_shifted"), "nullPointer", 7, 33, 40, 1), session.toString());
        assertFalse(has(session.get("main_edited"), "nullPointer", 7, 33, 40, 1), session.toString());
        assertEquals(true, session.get("file_untouched_by_edit"));
        String cli = Json.text(session, "cli_output");
        assertEquals(1L, session.get("cli_status"), cli);
        assertTrue(cli.contains("src/main.c:7:34: error: ") && cli.contains("[nullPointer]")
                && !cli.contains("WARNING"), cli);
        // The save publishes the saved file's results; the server ends cleanly.
        assertEquals(true, session.get("file_saved"));
        assertFalse(has(session.get("main_saved"), "nullPointer", 7, 33, 40, 1), session.toString());
        assertTrue(has(session.get("main_saved"), "unreadVariable", 4, 17, 18, 3), session.toString());
        assertEquals(0L, session.get("server_status"));
        String errors = Files.readString(serverErrors, StandardCharsets.UTF_8);
        assertFalse(errors.contains("WARNING"), errors);
    }

    /** Whether the findings hold one with this code, 0-based line, columns (end excluded) and severity. */
    private static boolean has(Object findings, String code, int line, int column, int endColumn, int severity) {
        for (Object item : Json.array(findings)) {
            Map<String, Object> finding = Json.object(item);
            List<Object> place = List.of(finding.get("line"), finding.get("col"), finding.get("end_col"),
                    finding.get("severity"));
            if (code.equals(finding.get("code")) && "kerv".equals(finding.get("source"))
                    && List.of((long) line, (long) column, (long) endColumn, (long) severity).equals(place)) {
                return true;
            }
        }
        return false;
    }

    private static String quoted(Path path) {
        return "'" + path.toString().replace("'", "'\\''") + "'";
    }

    private static Path copy(Path from, Path to) throws Exception {
        try (Stream<Path> walk = Files.walk(from)) {
            for (Path source : walk.toList()) {
                Path target = to.resolve(from.relativize(source).toString());
                if (Files.isDirectory(source)) {
                    Files.createDirectories(target);
                } else {
                    Files.copy(source, target);
                }
            }
        }
        return to.toRealPath();
    }
}

package com.quorvel.bridge.lsp;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** The server over pipes, as a client meets it: protocol faults, documents it cannot analyse, escaped URIs, ending. */
class ProtocolTest {
    private static final String FAULTY = "int f(void) {\n    int *p = 0;\n    return *p;\n}\n";

    @TempDir Path temp;

    @Test
    void faultsAreAnsweredAndTheServerCarriesOn() throws Exception {
        Path root = Files.createDirectories(temp.resolve("work a&b %41 é")).toRealPath();
        Path file = Files.writeString(root.resolve("fault & 50% é.c"), FAULTY);
        Path outside = Files.writeString(temp.resolve("outside.c"), FAULTY);
        try (LspClient server = new LspClient(temp.resolve("home"))) {
            assertEquals(RpcError.SERVER_NOT_INITIALIZED, server.errorCode(server.request("shutdown", null)));
            int mark = server.mark();
            server.sendRaw("{\"jsonrpc\": \"2.0\", \"id\": 7, \"method\": ".getBytes(StandardCharsets.UTF_8));
            Map<String, Object> notJson = server.await(mark, "parse error", m -> m.containsKey("error"));
            assertEquals(RpcError.PARSE_ERROR, Json.integer(notJson, 0, "error", "code"));
            assertTrue(notJson.containsKey("id") && notJson.get("id") == null, notJson.toString());
            mark = server.mark();
            server.sendRaw("[1, 2]".getBytes(StandardCharsets.UTF_8));
            Map<String, Object> invalid = server.await(mark, "invalid request", m -> m.containsKey("error"));
            assertEquals(RpcError.INVALID_REQUEST, Json.integer(invalid, 0, "error", "code"));

            Map<String, Object> capabilities = server.initialize(root);
            assertEquals(2L, Json.at(capabilities, "capabilities", "textDocumentSync", "change"));
            assertEquals(RpcError.INVALID_REQUEST, server.errorCode(server.request("initialize", Map.of())));
            assertEquals(RpcError.METHOD_NOT_FOUND, server.errorCode(server.request("kerv/unknown", Map.of())));
            server.notify("kerv/unknownNotification", Map.of());

            // The URI escapes every byte but letters and digits in the file's name; the folder's '&' stays as it is.
            String uri = "file://" + escaped(root.toString(), "&") + "/" + escaped(file.getFileName().toString(), "");
            server.open(uri, FAULTY);
            List<Object> found = server.diagnostics(0, uri, list -> !list.isEmpty());
            Map<String, Object> nullPointer = Json.object(found.get(0));
            assertEquals(json(Json.fields("code", "nullPointer", "severity", 1, "source", "kerv", "range",
                    TextLines.range(2, 12, 2, 13))), Json.fields("code", nullPointer.get("code"),
                    "severity", nullPointer.get("severity"), "source", nullPointer.get("source"),
                    "range", nullPointer.get("range")));

            int action = server.request("textDocument/codeAction", Json.fields("textDocument", Json.fields("uri", uri),
                    "range", nullPointer.get("range"), "context", Json.fields("diagnostics", List.of(nullPointer))));
            Object edit = Json.array(Json.at(Json.array(server.response(action).get("result")).get(0), "edit",
                    "changes", uri)).get(0);
            assertEquals(json(Json.fields("range", TextLines.range(2, 0, 2, 0), "newText",
                    "    // cppcheck-suppress nullPointer\n")), edit);

            for (String ignored : List.of(outside.toUri().toString(), root.resolve("missing.c").toUri().toString(),
                    "untitled:Untitled-1")) {
                server.open(ignored, FAULTY);
                assertEquals(List.of(), server.diagnostics(0, ignored, list -> true));
            }
            assertEquals(FAULTY, Files.readString(file));

            server.notify("$/cancelRequest", Json.fields("id", 999));
            server.shutDown();
        }
    }

    @Test
    void theServerEndsOnExitWithoutShutdownAndWhenItsInputCloses() throws Exception {
        try (LspClient server = new LspClient(temp.resolve("quick"))) {
            server.initialize(Files.createDirectories(temp.resolve("empty")));
            server.notify("exit", null);
            assertEquals(1, server.exitStatus(30));
        }
        // Closing the input while the analyser runs ends the server and every process it started. The analyser
        // here takes a minute over each run before it starts.
        Path busy = Files.createDirectories(temp.resolve("busy"));
        Files.writeString(busy.resolve("slow.c"), FAULTY);
        Path slowAnalyser = Files.writeString(temp.resolve("slow-analyser"), "#!/bin/sh\n"
                + "case \" $* \" in *\" --xml \"*) sleep 60 ;; esac\nexec cppcheck \"$@\"\n");
        assertTrue(slowAnalyser.toFile().setExecutable(true));
        try (LspClient server = new LspClient(temp.resolve("home"), Map.of("KERV_CPPCHECK", slowAnalyser.toString()),
                true)) {
            server.initialize(busy);
            List<String> analysers = List.of();
            for (long end = System.nanoTime() + TimeUnit.SECONDS.toNanos(60); analysers.isEmpty()
                    && System.nanoTime() < end; Thread.sleep(20)) {
                analysers = commandLinesNaming(busy.toString());
            }
            assertFalse(analysers.isEmpty(), "the analysis started the analyser");
            long closed = System.nanoTime();
            server.process.getOutputStream().close();
            assertEquals(1, server.exitStatus(10));
            assertTrue(System.nanoTime() - closed < TimeUnit.SECONDS.toNanos(8), "ended within a few seconds");
            assertEquals(List.of(), commandLinesNaming(busy.toString()), "no analyser outlives the server");
        }
    }

    @Test
    void twoServersOnOneFolderTakeTurnsWithItsProject() throws Exception {
        Path root = Files.createDirectories(temp.resolve("shared")).toRealPath();
        String uri = Files.writeString(root.resolve("shared.c"), FAULTY).toUri().toString();
        Path home = temp.resolve("home");  // one user: one workspace folder of projects
        try (LspClient first = new LspClient(home); LspClient second = new LspClient(home)) {
            for (LspClient server : List.of(first, second)) {
                server.initialize(root);
                server.open(uri, FAULTY);
            }
            for (LspClient server : List.of(first, second)) {
                Object found = server.diagnostics(0, uri, list -> !list.isEmpty()).get(0);
                assertEquals("nullPointer", Json.text(found, "code"));
            }
            String fixed = "int f(void) {\n    return 0;\n}\n";
            Files.writeString(root.resolve("shared.c"), fixed);
            int mark = second.mark();
            second.notify("textDocument/didChange", Json.fields("textDocument", Json.fields("uri", uri, "version", 2),
                    "contentChanges", List.of(Json.fields("text", fixed))));
            second.notify("textDocument/didSave", Json.fields("textDocument", Json.fields("uri", uri)));
            assertEquals(List.of(), second.diagnostics(mark, uri, list -> true));
            first.shutDown();
            second.shutDown();
        }
    }

    /**
     * The command lines of the running processes that name {@code text}, from {@code /proc} (the JDK's process
     * information makes JNI warnings of its own for long command lines).
     */
    private static List<String> commandLinesNaming(String text) throws IOException {
        List<String> found = new ArrayList<>();
        try (DirectoryStream<Path> processes = Files.newDirectoryStream(Path.of("/proc"), "[0-9]*")) {
            for (Path process : processes) {
                try {
                    String line = new String(Files.readAllBytes(process.resolve("cmdline")), StandardCharsets.UTF_8);
                    if (line.contains(text)) {
                        found.add(line.replace('\0', ' '));
                    }
                } catch (IOException e) {
                    // ended meanwhile
                }
            }
        }
        return found;
    }

    /** The value as the protocol carries it (every integer a {@code Long}). */
    static Object json(Object value) throws Exception {
        return Json.parse(Json.write(value));
    }

    /** Escapes every byte of a text's UTF-8 form but letters, digits, '/', '.', '-', '_' and those in {@code kept}. */
    private static String escaped(String text, String kept) {
        StringBuilder out = new StringBuilder();
        for (byte b : text.getBytes(StandardCharsets.UTF_8)) {
            char c = (char) (b & 0xff);
            boolean plain = c < 0x80 && (Character.isLetterOrDigit(c) || "/.-_".indexOf(c) >= 0
                    || kept.indexOf(c) >= 0);
            out.append(plain ? String.valueOf(c) : String.format("%%%02X", b & 0xff));
        }
        return out.toString();
    }
}

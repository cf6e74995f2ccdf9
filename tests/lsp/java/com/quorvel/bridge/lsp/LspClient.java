package com.quorvel.bridge.lsp;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import java.util.function.Predicate;

/**
 * A language client for the tests and the benchmark: runs {@code java -Xcheck:jni -jar kerv.jar lsp} (the benchmark
 * without {@code -Xcheck:jni}) with folders of its own for the user's configuration, data and cache, keeps every
 * message the server sends, and answers the server's requests with an empty result.
 */
final class LspClient implements AutoCloseable {
    static final Path JAR = Path.of(System.getProperty("kerv.test.jar"));
    /** How long a wait for a message lasts at most (the benchmark's first analysis of 20,000 files needs more). */
    static final Duration WAIT = Duration.ofSeconds(Long.getLong("kerv.test.waitSeconds", 120));

    final Process process;
    final Path stderr;
    private final OutputStream in;
    private final List<Map<String, Object>> received = new ArrayList<>();
    /** Set when the server's output ended and every message was taken. */
    private boolean ended;
    private int nextId = 1;

    /** Starts a server; {@code home} holds its configuration, data and cache folders and its standard error. */
    LspClient(Path home) throws IOException {
        this(home, Map.of(), true);
    }

    /** The same, with more environment variables for the server, and {@code -Xcheck:jni} or not. */
    LspClient(Path home, Map<String, String> environment, boolean checkJni) throws IOException {
        Files.createDirectories(home);
        stderr = home.resolve("server-stderr.txt");
        String java = Path.of(System.getProperty("java.home"), "bin", "java").toString();
        List<String> command = checkJni ? List.of(java, "-Xcheck:jni", "-jar", JAR.toString(), "lsp")
                : List.of(java, "-jar", JAR.toString(), "lsp");
        ProcessBuilder builder = new ProcessBuilder(command).redirectError(stderr.toFile());
        environment(builder, home);
        builder.environment().putAll(environment);
        process = builder.start();
        in = process.getOutputStream();
        Thread reader = new Thread(() -> read(process.getInputStream()), "lsp-client-reader");
        reader.setDaemon(true);
        reader.start();
    }

    /** Points a process at the user folders below {@code home}, so that it shares its projects with no one else. */
    static void environment(ProcessBuilder builder, Path home) {
        Map<String, String> environment = builder.environment();
        environment.put("XDG_CONFIG_HOME", home.resolve("config").toString());
        environment.put("XDG_DATA_HOME", home.resolve("data").toString());
        environment.put("XDG_CACHE_HOME", home.resolve("cache").toString());
        environment.remove("KERV_LIBRARY");
    }

    private void read(InputStream out) {
        try {
            for (byte[] body = Framing.read(out); body != null; body = Framing.read(out)) {
                Map<String, Object> message = Json.object(Json.parse(body));
                if (message.containsKey("id") && message.containsKey("method")) {
                    send(Json.fields("jsonrpc", "2.0", "id", message.get("id"), "result", Map.of()));
                }
                synchronized (received) {
                    received.add(message);
                    received.notifyAll();
                }
            }
        } catch (IOException e) {
            // the server ended
        } finally {
            synchronized (received) {
                ended = true;
                received.notifyAll();
            }
        }
    }

    /** Initialises the server on a workspace folder, with work-done progress; returns the result. */
    Map<String, Object> initialize(Path root) {
        int id = request("initialize", Json.fields("processId", ProcessHandle.current().pid(),
                "rootUri", root.toUri().toString(),
                "capabilities", Json.fields("window", Json.fields("workDoneProgress", true))));
        Map<String, Object> result = Json.object(response(id).get("result"));
        notify("initialized", Map.of());
        return result;
    }

    int request(String method, Object params) {
        int id = nextId++;
        send(Json.fields("jsonrpc", "2.0", "id", id, "method", method, "params", params));
        return id;
    }

    void notify(String method, Object params) {
        send(Json.fields("jsonrpc", "2.0", "method", method, "params", params));
    }

    void open(String uri, String text) {
        notify("textDocument/didOpen", Json.fields("textDocument", Json.fields("uri", uri, "languageId", "c",
                "version", 1, "text", text)));
    }

    void send(Map<String, Object> message) {
        sendRaw(Json.write(message));
    }

    /** Sends a body as it is, framed. */
    synchronized void sendRaw(byte[] body) {
        try {
            Framing.write(in, body);
        } catch (IOException e) {
            throw new IllegalStateException("the server's input is closed", e);
        }
    }

    /** The count of messages received so far: {@link #await} from it sees only later ones. */
    int mark() {
        synchronized (received) {
            return received.size();
        }
    }

    /** The first message from {@code from} on that matches; fails after {@link #WAIT}. */
    Map<String, Object> await(int from, String what, Predicate<Map<String, Object>> wanted) {
        long end = System.nanoTime() + WAIT.toNanos();
        synchronized (received) {
            for (int i = from; ; i++) {
                while (i >= received.size()) {
                    long left = end - System.nanoTime();
                    assertTrue(left > 0 && !ended, "no " + what + (ended ? " before the server ended" : ""));
                    try {
                        received.wait(Math.max(1, TimeUnit.NANOSECONDS.toMillis(Math.min(left, 200_000_000))));
                    } catch (InterruptedException e) {
                        throw new IllegalStateException(e);
                    }
                }
                if (wanted.test(received.get(i))) {
                    return received.get(i);
                }
            }
        }
    }

    Map<String, Object> response(int id) {
        return await(0, "response to request " + id,
                m -> !m.containsKey("method") && Long.valueOf(id).equals(m.get("id")));
    }

    /** The code of an error response. */
    int errorCode(int id) {
        Map<String, Object> response = response(id);
        assertTrue(response.containsKey("error"), "an error answers request " + id + ": " + response);
        return Json.integer(response, 0, "error", "code");
    }

    /** The next diagnostics published for {@code uri} from {@code from} on that match. */
    List<Object> diagnostics(int from, String uri, Predicate<List<Object>> wanted) {
        return Json.array(Json.at(await(from, "diagnostics for " + uri, m -> "textDocument/publishDiagnostics".equals(
                m.get("method")) && uri.equals(Json.text(m, "params", "uri"))
                && wanted.test(Json.array(Json.at(m, "params", "diagnostics")))), "params", "diagnostics"));
    }

    /** Waits for the server to end; returns its exit status and checks that the JVM reported no JNI fault. */
    int exitStatus(long seconds) throws Exception {
        assertTrue(process.waitFor(seconds, TimeUnit.SECONDS), "the server ended within " + seconds + " s");
        String errors = Files.readString(stderr, StandardCharsets.UTF_8);
        assertFalse(errors.contains("WARNING"), errors);
        return process.exitValue();
    }

    /** Ends the server the regular way: shutdown, exit, status 0. */
    void shutDown() throws Exception {
        assertEquals(null, response(request("shutdown", null)).get("result"));
        notify("exit", null);
        assertEquals(0, exitStatus(30));
    }

    @Override
    public void close() {
        process.destroyForcibly();
    }
}

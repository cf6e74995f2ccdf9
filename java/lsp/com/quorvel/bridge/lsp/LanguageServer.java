package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.BuildInfo;
import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.EOFException;
import java.io.FileDescriptor;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;
import java.util.function.Consumer;

/**
 * The language server: findings of the analysis as diagnostics in any editor that speaks the Language Server
 * Protocol, over standard input and output. This class reads the client's messages on the calling thread, keeps the
 * open documents and answers the protocol; {@link Workspace} does the analysis on a thread of its own.
 */
public final class LanguageServer {
    /** Time that the analysis gets to stop before the server ends anyway. */
    private static final long CLOSE_MILLIS = 3000;

    private enum State { NEW, RUNNING, SHUT_DOWN }

    private final Connection connection;
    private final ServerLog log;
    private final Path library;
    private final Map<String, TextDocument> documents = new ConcurrentHashMap<>();
    private State state = State.NEW;
    private Workspace workspace;
    private Object clientCapabilities;
    private Integer exitCode;

    private LanguageServer(OutputStream out, ServerLog log, Path library) {
        this.connection = new Connection(out);
        this.log = log;
        this.library = library;
    }

    /**
     * Runs the server on standard input and output ({@code kerv lsp}). Standard output carries only the protocol's
     * messages: anything else printed goes to standard error.
     *
     * @param args {@code --library <file>}: another analysis library than the bundled one (default: the environment
     *     variable {@code KERV_LIBRARY}, as for the command line)
     * @return the exit status: 0 after {@code shutdown} and {@code exit}, 1 when the input ended or {@code exit} came
     *     without {@code shutdown}, 2 for bad arguments
     */
    public static int run(String[] args) {
        String library = System.getenv("KERV_LIBRARY");
        for (int i = 0; i < args.length; i++) {
            if (args[i].equals("--library") && i + 1 < args.length) {
                library = args[++i];
            } else {
                System.err.println("usage: kerv lsp [--library <file>]");
                return 2;
            }
        }
        OutputStream protocol = new BufferedOutputStream(new FileOutputStream(FileDescriptor.out));
        System.setOut(System.err);
        InputStream in = new BufferedInputStream(new FileInputStream(FileDescriptor.in));
        Path analysisLibrary = library == null || library.isEmpty() ? null : Path.of(library);
        return new LanguageServer(protocol, new ServerLog(System.err), analysisLibrary).serve(in);
    }

    /**
     * Runs the server ({@code java -jar kerv.jar lsp}) and ends the process with its exit status.
     *
     * @param args as for {@link #run(String[])}
     */
    public static void main(String[] args) {
        System.exit(run(args));
    }

    private int serve(InputStream in) {
        try {
            while (exitCode == null && !connection.isBroken()) {
                byte[] body;
                try {
                    body = Framing.read(in);
                } catch (Framing.BadHeader e) {
                    connection.fail(null, new RpcError(RpcError.PARSE_ERROR, e.getMessage()));
                    continue;
                }
                if (body == null) {
                    break;
                }
                Object message;
                try {
                    message = Json.parse(body);
                } catch (IOException e) {
                    connection.fail(null, new RpcError(RpcError.PARSE_ERROR, "the message is not JSON: "
                            + e.getMessage()));
                    continue;
                }
                receive(message);
            }
        } catch (EOFException e) {
            log.log(ServerLog.WARNING, e.getMessage());
        } catch (IOException e) {
            log.log(ServerLog.ERROR, "the input cannot be read: " + e.getMessage());
        }
        stop();
        return exitCode != null ? exitCode : state == State.SHUT_DOWN ? 0 : 1;
    }

    private void receive(Object message) {
        if (!(message instanceof Map<?, ?>)) {
            connection.fail(null, new RpcError(RpcError.INVALID_REQUEST, "a message must be a JSON object"));
            return;
        }
        Map<String, Object> fields = Json.object(message);
        Object id = fields.get("id");
        String method = Json.text(fields, "method");
        if (method == null) {
            if (!(fields.containsKey("result") || fields.containsKey("error")) || !connection.answered(id, fields)) {
                connection.fail(id instanceof String || id instanceof Number ? id : null,
                        new RpcError(RpcError.INVALID_REQUEST, "a message without a method that answers no request"));
            }
            return;
        }
        if (!fields.containsKey("id")) {
            notification(method, fields.get("params"));
            return;
        }
        if (!(id instanceof String || id instanceof Number)) {
            connection.fail(null, new RpcError(RpcError.INVALID_REQUEST, "a request id must be a number or a text"));
            return;
        }
        connection.received(id);
        try {
            connection.respond(id, request(method, fields.get("params")));
        } catch (RpcError e) {
            connection.fail(id, e);
        } catch (RuntimeException e) {
            log.log(ServerLog.ERROR, method + " failed: " + e);
            connection.fail(id, new RpcError(RpcError.INTERNAL_ERROR, method + " failed: " + e.getMessage()));
        }
    }

    private Object request(String method, Object params) throws RpcError {
        if (state == State.NEW && !method.equals("initialize")) {
            throw new RpcError(RpcError.SERVER_NOT_INITIALIZED, "the server is not initialized: "
                    + "initialize comes first");
        }
        if (state == State.SHUT_DOWN) {
            throw new RpcError(RpcError.INVALID_REQUEST, "the server is shut down: only exit is accepted");
        }
        switch (method) {
            case "initialize":
                if (state != State.NEW) {
                    throw new RpcError(RpcError.INVALID_REQUEST, "initialize was sent already");
                }
                return initialize(params);
            case "shutdown":
                state = State.SHUT_DOWN;
                stopWorkspace();
                return null;
            case "textDocument/codeAction":
                return SuppressionAction.actions(documents.get(Json.text(params, "textDocument", "uri")), params);
            default:
                throw new RpcError(RpcError.METHOD_NOT_FOUND, "unknown method " + method);
        }
    }

    private void notification(String method, Object params) {
        if (method.equals("exit")) {
            exitCode = state == State.SHUT_DOWN ? 0 : 1;
            return;
        }
        if (state != State.RUNNING) {
            return;  // notifications before initialize, and after shutdown, are dropped
        }
        switch (method) {
            case "initialized" -> initialized();
            case "textDocument/didOpen" -> didOpen(Json.object(Json.at(params, "textDocument")));
            case "textDocument/didChange" -> didChange(params);
            case "textDocument/didSave" -> withDocument(params, document -> workspace.saved(document));
            case "textDocument/didClose" -> didClose(Json.text(params, "textDocument", "uri"));
            case "workspace/didChangeWatchedFiles" -> didChangeWatchedFiles(params);
            case "$/cancelRequest" -> {
                Object id = Json.at(params, "id");
                if (id != null) {
                    connection.cancel(id);
                }
            }
            default -> { }  // unknown notifications are ignored
        }
    }

    private Object initialize(Object params) {
        clientCapabilities = Json.at(params, "capabilities");
        if (Json.at(params, "processId") instanceof Long client) {
            ProcessHandle.of(client).ifPresent(process -> process.onExit().thenRun(this::clientEnded));
        }
        Path root = workspaceFolder(params);
        log.connect(connection);
        state = State.RUNNING;
        if (root != null) {
            workspace = new Workspace(connection, log, root,
                    Json.text(params, "initializationOptions", "compileCommands"), library,
                    Json.isTrue(clientCapabilities, "window", "workDoneProgress"), documents);
        }
        return Json.fields(
                "capabilities", Json.fields(
                        "textDocumentSync", Json.fields("openClose", true, "change", 2,
                                "save", Json.fields("includeText", false)),
                        "codeActionProvider", Json.fields("codeActionKinds", List.of("quickfix"))),
                "serverInfo", Json.fields("name", "kerv", "version", BuildInfo.VERSION));
    }

    /** The first workspace folder, else the root URI, else the root path; a real path, null without one. */
    private Path workspaceFolder(Object params) {
        List<Object> folders = Json.array(Json.at(params, "workspaceFolders"));
        String uri = !folders.isEmpty() ? Json.text(folders.get(0), "uri") : Json.text(params, "rootUri");
        Path folder = uri != null ? FileUris.toPath(uri) : null;
        if (folder == null && Json.text(params, "rootPath") != null) {
            folder = Path.of(Json.text(params, "rootPath")).toAbsolutePath().normalize();
        }
        if (folders.size() > 1) {
            log.log(ServerLog.WARNING, "only the first workspace folder is analysed: " + folder);
        }
        try {
            return folder != null && Files.isDirectory(folder) ? folder.toRealPath() : null;
        } catch (IOException e) {
            return null;
        }
    }

    private void initialized() {
        if (workspace == null) {
            log.show(ServerLog.WARNING, "no workspace folder: open a folder to have its files analysed");
            return;
        }
        if (Json.isTrue(clientCapabilities, "workspace", "didChangeWatchedFiles", "dynamicRegistration")) {
            List<Object> watchers = List.of(
                    Json.fields("globPattern", "**/" + ProjectSync.DATABASE_NAME),
                    Json.fields("globPattern", "**/*.{c,cpp,cc,cxx,c++,h,hh,hpp,hxx}"));
            connection.request("client/registerCapability", Json.fields("registrations", List.of(Json.fields(
                    "id", "kerv-watched-files", "method", "workspace/didChangeWatchedFiles",
                    "registerOptions", Json.fields("watchers", watchers)))));
        }
        workspace.start();
    }

    private void didOpen(Map<String, Object> item) {
        String uri = Json.text(item, "uri");
        String text = Json.text(item, "text");
        if (uri == null || text == null) {
            return;
        }
        TextDocument document = new TextDocument(uri, realPath(FileUris.toPath(uri)), Json.integer(item, 0,
                "version"), text);
        documents.put(uri, document);
        if (workspace != null) {
            workspace.opened(document);
        } else {
            connection.notify("textDocument/publishDiagnostics", Json.fields("uri", uri, "diagnostics", List.of()));
        }
    }

    private void didChange(Object params) {
        String uri = Json.text(params, "textDocument", "uri");
        TextDocument document = uri == null ? null : documents.get(uri);
        if (document == null) {
            return;
        }
        TextDocument changed = document.changed(Json.integer(params, document.version() + 1, "textDocument",
                "version"), Json.array(Json.at(params, "contentChanges")));
        documents.put(uri, changed);
        if (workspace != null) {
            workspace.changed(changed);
        }
    }

    private void didClose(String uri) {
        if (uri != null && documents.remove(uri) != null && workspace != null) {
            workspace.closed(uri);
        }
    }

    private void didChangeWatchedFiles(Object params) {
        if (workspace == null) {
            return;
        }
        List<Path> changed = new ArrayList<>();
        boolean createdOrDeleted = false;
        for (Object change : Json.array(Json.at(params, "changes"))) {
            Path file = FileUris.toPath(Json.text(change, "uri"));
            if (file != null) {
                changed.add(realPath(file));
                createdOrDeleted |= Json.integer(change, 2, "type") != 2;
            }
        }
        workspace.filesChanged(changed, createdOrDeleted);
    }

    private void withDocument(Object params, Consumer<TextDocument> action) {
        TextDocument document = documents.get(String.valueOf(Json.text(params, "textDocument", "uri")));
        if (document != null && workspace != null) {
            action.accept(document);
        }
    }

    /** The file's real path when it exists (the analysis library keeps real paths), else the path as it is. */
    private static Path realPath(Path file) {
        if (file == null) {
            return null;
        }
        try {
            return file.toRealPath();
        } catch (IOException e) {
            return file;
        }
    }

    /** The client's process ended without closing the server's input: the server ends too. */
    private void clientEnded() {
        log.log(ServerLog.WARNING, "the client's process ended");
        stop();
        System.exit(1);
    }

    private void stopWorkspace() {
        if (workspace != null && !workspace.close(CLOSE_MILLIS)) {
            log.log(ServerLog.WARNING, "the analysis did not stop in time");
        }
    }

    /**
     * Ends the analysis: the workspace is closed when it stops in time; the analyser's processes that are still
     * running are stopped, so that none outlives the server.
     */
    private void stop() {
        stopWorkspace();
        long deadline = System.nanoTime() + CLOSE_MILLIS * 1_000_000;
        while (ProcessHandle.current().descendants().findAny().isPresent() && System.nanoTime() < deadline) {
            ProcessHandle.current().descendants().forEach(ProcessHandle::destroy);
            try {
                Thread.sleep(20);
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
                break;
            }
        }
        ProcessHandle.current().descendants().forEach(ProcessHandle::destroyForcibly);
    }
}

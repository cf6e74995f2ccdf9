package com.quorvel.bridge.lsp;

import java.io.PrintStream;

/**
 * The server's log: each line goes to standard error and, once the client is initialised, to the client as
 * {@code window/logMessage}; {@link #show} also shows it to the user with {@code window/showMessage}. Standard output
 * carries only the protocol's messages.
 */
final class ServerLog {
    static final int ERROR = 1;
    static final int WARNING = 2;
    static final int INFO = 3;
    static final int LOG = 4;

    private final PrintStream err;
    private volatile Connection connection;

    ServerLog(PrintStream err) {
        this.err = err;
    }

    /** Sends the lines to the client from now on as well. */
    void connect(Connection client) {
        connection = client;
    }

    void log(int type, String message) {
        err.println("kerv lsp: " + message);
        Connection client = connection;
        if (client != null) {
            client.notify("window/logMessage", Json.fields("type", type, "message", message));
        }
    }

    void show(int type, String message) {
        log(type, message);
        Connection client = connection;
        if (client != null) {
            client.notify("window/showMessage", Json.fields("type", type, "message", "kerv: " + message));
        }
    }
}

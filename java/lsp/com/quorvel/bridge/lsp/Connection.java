package com.quorvel.bridge.lsp;

import java.io.IOException;
import java.io.OutputStream;
import java.util.Map;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicLong;

/**
 * The server's side of the JSON-RPC connection: writes notifications, requests and responses from any thread, one
 * whole message at a time, and matches the client's responses to the server's requests. Each request of the client
 * is answered once: a request that {@code $/cancelRequest} cancelled is answered then, and its later answer dropped.
 */
final class Connection {
    private final OutputStream out;
    private final AtomicLong nextId = new AtomicLong(1);
    private final Map<Object, CompletableFuture<Object>> sent = new ConcurrentHashMap<>();
    /** The client's requests not answered yet. */
    private final Map<Object, Boolean> open = new ConcurrentHashMap<>();
    private volatile boolean broken;

    Connection(OutputStream out) {
        this.out = out;
    }

    void notify(String method, Object params) {
        send(Json.fields("jsonrpc", "2.0", "method", method, "params", params));
    }

    /** Sends a request; the future completes with the result, or exceptionally with an {@link RpcError}. */
    CompletableFuture<Object> request(String method, Object params) {
        long id = nextId.getAndIncrement();
        CompletableFuture<Object> answer = new CompletableFuture<>();
        sent.put(id, answer);
        send(Json.fields("jsonrpc", "2.0", "id", id, "method", method, "params", params));
        return answer;
    }

    /** Takes a response of the client; false when it answers no request of the server. */
    boolean answered(Object id, Map<String, Object> response) {
        CompletableFuture<Object> answer = id instanceof Number number ? sent.remove(number.longValue()) : null;
        if (answer == null) {
            return false;
        }
        if (response.containsKey("error")) {
            answer.completeExceptionally(new RpcError(Json.integer(response, RpcError.INTERNAL_ERROR, "error", "code"),
                    String.valueOf(Json.text(response, "error", "message"))));
        } else {
            answer.complete(response.get("result"));
        }
        return true;
    }

    /** Records a request of the client, to be answered with {@link #respond} or {@link #fail}. */
    void received(Object id) {
        open.put(key(id), Boolean.TRUE);
    }

    /** Answers a cancelled request at once, unless it was answered already. */
    void cancel(Object id) {
        fail(id, new RpcError(RpcError.REQUEST_CANCELLED, "the request was cancelled"));
    }

    void respond(Object id, Object result) {
        if (id == null || open.remove(key(id)) != null) {
            Map<String, Object> response = Json.fields("jsonrpc", "2.0", "id", id);
            response.put("result", result);  // a null result is written as null
            if (id == null) {
                response.put("id", null);
            }
            send(response);
        }
    }

    /** Answers with an error; a null id stands for a message whose id could not be read. */
    void fail(Object id, RpcError error) {
        if (id == null || open.remove(key(id)) != null) {
            Map<String, Object> response = Json.fields("jsonrpc", "2.0");
            response.put("id", id);
            response.put("error", Json.fields("code", error.code(), "message", error.getMessage()));
            send(response);
        }
    }

    /** Whether writing failed: the client is gone. */
    boolean isBroken() {
        return broken;
    }

    private static Object key(Object id) {
        return id instanceof Number number ? (Object) number.longValue() : id;
    }

    private void send(Map<String, Object> message) {
        byte[] body = Json.write(message);
        synchronized (out) {
            if (broken) {
                return;
            }
            try {
                Framing.write(out, body);
            } catch (IOException e) {
                broken = true;
            }
        }
    }
}

package com.quorvel.bridge.lsp;

/** A failed request: the JSON-RPC error code and message that its response carries. */
final class RpcError extends Exception {
    static final int PARSE_ERROR = -32700;
    static final int INVALID_REQUEST = -32600;
    static final int METHOD_NOT_FOUND = -32601;
    static final int INVALID_PARAMS = -32602;
    static final int INTERNAL_ERROR = -32603;
    static final int SERVER_NOT_INITIALIZED = -32002;
    static final int REQUEST_CANCELLED = -32800;

    private static final long serialVersionUID = 1L;

    private final int code;

    RpcError(int code, String message) {
        super(message);
        this.code = code;
    }

    int code() {
        return code;
    }
}

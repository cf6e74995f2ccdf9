package com.quorvel.bridge.caller;

import java.util.function.IntConsumer;

/**
 * Live progress of the analysis library's aggregation, and the version of the bridge library.
 *
 * <p>The bridge library is loaded when this class is initialised, by the same {@link BridgeLibrary} as for
 * {@link KERVBridge}: both classes therefore use the same library.
 *
 * <p>Unlike the methods of {@link KERVBridge}, the methods of this class may be called from any thread at any time,
 * also before {@link KERVBridge#initJniBridge(String)}.
 */
public final class KERVProgress {
    static {
        BridgeLibrary.loadForNatives();
    }

    private KERVProgress() {}

    /**
     * Sets the listener that receives every progress value the analysis library reports during
     * {@link KERVBridge#aggregate()}, in the order reported.
     *
     * <p>The listener is called on whatever thread the analysis library reports from: the thread that called
     * {@code aggregate}, or a thread of the library's own, which the bridge attaches to the JVM for the call. An
     * exception thrown by the listener is caught and written to the bridge's log at level 1; the aggregation goes on.
     * Each value is also written to the bridge's log at level 2, with or without a listener.
     *
     * @param listener the new listener, replacing any previous one; {@code null} removes it
     */
    public static native void setListener(IntConsumer listener);

    /**
     * Returns the version the bridge library was built as.
     *
     * @return the version, such as {@code "1.0.0"}
     */
    public static native String bridgeVersion();
}

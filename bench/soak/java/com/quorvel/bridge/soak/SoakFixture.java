package com.quorvel.bridge.soak;

/**
 * Scripts the stand-in analysis library for the soak run: a native helper
 * builds realistic records once (100 diagnostics, rule groups, a message-rule
 * map, trees, file settings, languages, string lists) and has the stand-in
 * hand them out on every call.
 */
final class SoakFixture {
    static {
        System.load(System.getProperty("kerv.soak.fixture"));
    }

    private SoakFixture() {}

    /**
     * Scripts the stand-in that the bridge has loaded from {@code fakePath} and sends the process's standard
     * output (the bridge's result lines, the JVM's JNI warnings) to {@code outputPath}.
     *
     * @param diagnosticCount number of top-level diagnostics that getDiagnostics hands out
     */
    static native void script(String fakePath, int diagnosticCount, String outputPath);

    /** Clears the stand-in's call journal, which grows with every call, and scripts it again. */
    static native void rescript();
}

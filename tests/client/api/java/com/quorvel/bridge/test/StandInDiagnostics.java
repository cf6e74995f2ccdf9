package com.quorvel.bridge.test;

/**
 * Has the stand-in analysis library hand out long diagnostic lists from {@code getDiagnostics}, through the test
 * library named by the system property {@code kerv.test.records}.
 */
public final class StandInDiagnostics {
    static {
        System.load(System.getProperty("kerv.test.records"));
    }

    private StandInDiagnostics() {}

    /**
     * Scripts {@code count} diagnostics for every later {@code getDiagnostics} call of the stand-in loaded from
     * {@code fakePath}. Diagnostic i has the message id "rule" + i % 64, level 1 + i % 3, number i, the given text,
     * help "help/rule.html", producer "stand-in", the parameter as its one reference and its one parameter,
     * multi-homed when i is odd, suppression state i % 3, one location (file, line i + 1, column i % 80 + 1) and one
     * sub-diagnostic: message "note", level 3, number "0", text "declared here", empty help, producer "stand-in", and
     * no references, parameters, locations or sub-diagnostics. The texts are raw bytes.
     */
    public static native void script(String fakePath, int count, byte[] text, byte[] parameter, byte[] file);
}

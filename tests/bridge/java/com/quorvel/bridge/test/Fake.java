package com.quorvel.bridge.test;

import java.nio.charset.StandardCharsets;

/**
 * Scripts the stand-in analysis library that the bridge loaded and reads its call journal, through the test shim
 * library (system property {@code kerv.test.shim}). Record builders return the record's address, which the journal
 * shows when the bridge hands the record back to the matching free function.
 */
final class Fake {
    static {
        System.load(System.getProperty("kerv.test.shim"));
    }

    private Fake() {}

    /** Attaches to the stand-in loaded from {@code path}; throws IllegalStateException when it is not loaded. */
    static native void attach(String path);

    /** Back to the stand-in's defaults; releases the records built since the last reset. */
    static native void reset();

    static native void setResult(String entryPoint, int value);

    /** The raw bytes an entry point returns as its text; null makes it return a null pointer. */
    static native void setText(String entryPoint, byte[] text);

    static native void setProgress(int[] values);

    /** True: aggregate reports progress from a new thread the JVM does not know; false: from the caller's. */
    static native void setProgressOnOwnThread(boolean onOwnThread);

    static native String journal();

    static native int callCount(String entryPoint);

    /** A string list for every call (callIndex -1) or for one call of the entry point. */
    static native long setStrings(String entryPoint, int callIndex, String[] texts);

    /** One diagnostic (one location, one parameter, one reference) with one sub-diagnostic. */
    static native long setDiagnostics(String messageId, byte[] messageText, String file, int line, int column);

    /** A file tree (a root and one file), a rule tree and a message tree. */
    static native long setTrees(byte[] fileName, int total, int active);

    static native long setRuleGroups(String groupName, String ruleId, byte[] ruleText);

    static native long setMessageRuleMap(String messageId, String[] ruleIds);

    static native long setVQFile(int sourceLanguage, String[] defines, String[] includes);

    static native long setLanguages(int[] languages);

    /** Puts a recorder in place of the bridge's aggregate callback in the binding. */
    static native void replaceAggregateCallback();

    /** Puts the bridge's own aggregate callback back in place. */
    static native void restoreAggregateCallback();

    /** The progress values the recorder received since it was put in place. */
    static native int[] recordedProgress();

    static native void redirectStdout(String path);

    static native void restoreStdout();

    static void setText(String entryPoint, String text) {
        setText(entryPoint, utf8(text));
    }

    static byte[] utf8(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }

    /** The journal's form of a freed record pointer. */
    static String freed(String freeFunction, long address) {
        return freeFunction + "(*pp=0x" + Long.toHexString(address) + ")\n";
    }
}

package com.quorvel.bridge.soak;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * Soak run of the bridge: a million calls from Java against the stand-in
 * analysis library, mixing the getters with a 100-diagnostic getDiagnostics.
 * Prints the process's resident memory at the start, after the warm-up (the
 * first tenth of the calls) and at the end, and its open descriptors; fails
 * (exit status 1) when the memory grew by 5 MB or more after the warm-up, a
 * descriptor was left open, or the JVM (run with -Xcheck:jni) reported a
 * JNI problem.
 *
 * <p>Usage: {@code BridgeSoak <stand-in library> [calls]} (default: the
 * environment variable SOAK_CALLS, else 1,000,000), with the system properties
 * that name the bridge and the fixture library.
 */
public final class BridgeSoak {
    private static final int DIAGNOSTICS = 100;
    /** Diagnostics plus the sub-diagnostic of every tenth one. */
    private static final int MESSAGES_PER_DIAGNOSTICS_CALL = DIAGNOSTICS + DIAGNOSTICS / 10;
    private static final long ALLOWED_GROWTH_KB = 5 * 1024;
    private static final int RESCRIPT_EVERY = 10_000;
    private static final String TREE_ITEMS = KERVBridge.joinItems("src/main.c", "src/util.c");
    private static final String DEFINES = KERVBridge.joinItems("NDEBUG", "VERSION=3");

    private BridgeSoak() {}

    public static void main(String[] args) throws IOException {
        if (args.length < 1) {
            System.err.println("usage: BridgeSoak <stand-in library> [calls]");
            System.exit(2);
        }
        final String fake = args[0];
        final String callsSetting = args.length > 1 ? args[1] : System.getenv("SOAK_CALLS");
        final long calls = callsSetting != null && !callsSetting.isEmpty() ? Long.parseLong(callsSetting) : 1_000_000L;
        final long warmUp = calls / 10;

        KERVBridge.setDebugLevel(0);
        final String loaded = KERVBridge.initJniBridge(fake);
        if (!KERVBridge.INIT_OK.equals(loaded)) {
            throw new IllegalStateException("the stand-in did not load: " + loaded);
        }
        final File output = File.createTempFile("kerv-soak-stdout", ".txt");
        output.deleteOnExit();
        SoakFixture.script(fake, DIAGNOSTICS, output.getPath());
        checkDiagnosticsText();

        final long startRss = residentKb();
        final int startFds = openDescriptors();
        report("start", 0, startRss, startFds);

        long warmRss = startRss;
        long sink = 0;
        final long began = System.nanoTime();
        for (long i = 0; i < calls; ++i) {
            if (i % RESCRIPT_EVERY == 0) {
                SoakFixture.rescript();
            }
            sink += call((int) (i % 10));
            if (i + 1 == warmUp) {
                warmRss = residentKb();
                report("after warm-up", i + 1, warmRss, openDescriptors());
            } else if ((i + 1) % (calls / 10 == 0 ? 1 : calls / 10) == 0) {
                report("progress", i + 1, residentKb(), openDescriptors());
            }
        }
        final double seconds = (System.nanoTime() - began) / 1e9;

        final long endRss = residentKb();
        final int endFds = openDescriptors();
        report("end", calls, endRss, endFds);
        final long growth = endRss - warmRss;
        System.err.printf("calls: %d in %.1f s (%.0f calls/s); result bytes: %d%n", calls, seconds,
                calls / seconds, sink);
        System.err.printf("resident memory: start %d kB, after warm-up %d kB, end %d kB, growth after warm-up %d kB"
                + " (limit %d kB)%n", startRss, warmRss, endRss, growth, ALLOWED_GROWTH_KB);
        System.err.printf("open descriptors: start %d, end %d%n", startFds, endFds);
        final long jniWarnings = jniWarnings(output);
        System.err.printf("JNI warnings: %d%n", jniWarnings);
        final boolean ok = growth < ALLOWED_GROWTH_KB && endFds <= startFds && jniWarnings == 0;
        System.err.println(ok ? "soak passed" : "soak FAILED");
        System.exit(ok ? 0 : 1);
    }

    /** One bridge call; returns the size of its result so that no call can be optimised away. */
    private static long call(int kind) {
        switch (kind) {
            case 0:
                return KERVBridge.getDiagnostics("src/main.c", null, null, 0).length;
            case 1:
                return KERVBridge.getVersionNumber().length();
            case 2:
                return KERVBridge.getRuleGroups().length;
            case 3:
                return KERVBridge.getMessageRuleMap().length;
            case 4:
                return KERVBridge.getTrees(true, 2, TREE_ITEMS).length;
            case 5:
                return KERVBridge.getVQFile("src/main.c").length();
            case 6:
                return KERVBridge.getAvailableLanguages().length();
            case 7:
                return KERVBridge.getFiles().length();
            case 8:
                return KERVBridge.addFile(KERVBridge.SOURCE_LANGUAGE_C, "src/main.c", DEFINES, 2, "include", 1);
            default:
                return KERVBridge.hasResults("src/main.c") ? 1 : 0;
        }
    }

    /** The soak must really serialize the 100 diagnostics and their sub-diagnostics. */
    private static void checkDiagnosticsText() {
        final String text = new String(KERVBridge.getDiagnostics("src/main.c", null, null, 0), StandardCharsets.UTF_8);
        final int messages = text.split("<VQM>", -1).length - 1;
        if (messages != MESSAGES_PER_DIAGNOSTICS_CALL) {
            throw new IllegalStateException("getDiagnostics wrote " + messages + " messages, expected "
                    + MESSAGES_PER_DIAGNOSTICS_CALL + ": " + text.substring(0, Math.min(200, text.length())));
        }
        System.err.printf("getDiagnostics: %d messages, %d bytes per call%n", messages, text.length());
    }

    /** Lines of the JVM's -Xcheck:jni reports in the captured standard output. */
    private static long jniWarnings(File output) throws IOException {
        System.out.flush();
        try (java.util.stream.Stream<String> lines = Files.lines(output.toPath(), StandardCharsets.ISO_8859_1)) {
            return lines.filter(line -> line.contains("in native method") || line.startsWith("WARNING: JNI"))
                    .count();
        }
    }

    private static long residentKb() throws IOException {
        for (String line : Files.readAllLines(Paths.get("/proc/self/status"), StandardCharsets.US_ASCII)) {
            if (line.startsWith("VmRSS:")) {
                return Long.parseLong(line.replaceAll("[^0-9]", ""));
            }
        }
        throw new IOException("no VmRSS in /proc/self/status");
    }

    private static int openDescriptors() {
        final String[] entries = new File("/proc/self/fd").list();
        // Listing the folder opens one descriptor of its own while it runs.
        return entries == null ? -1 : entries.length - 1;
    }

    private static void report(String stage, long done, long rssKb, int fds) {
        System.err.printf("%-14s calls %8d  rss %7d kB  open fds %d%n", stage, done, rssKb, fds);
    }
}

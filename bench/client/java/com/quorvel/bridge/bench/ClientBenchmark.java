package com.quorvel.bridge.bench;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.test.StandInDiagnostics;
import java.lang.management.ManagementFactory;
import java.lang.management.ThreadMXBean;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;
import java.util.function.LongSupplier;
import java.util.function.Supplier;

/**
 * Measures the client on a 100,000-diagnostic result that the stand-in analysis library hands out: decoding the
 * result into records (MB/s), and {@code Project.diagnostics} end to end against the raw
 * {@code KERVBridge.getDiagnostics} call on the same result. Each figure is the median of the measured rounds, after
 * warm-up rounds. Decoding is also given per second of the decoding thread's CPU time, which other processes on a
 * busy machine do not inflate.
 */
public final class ClientBenchmark {
    private static final int DIAGNOSTICS = 100_000;
    private static final int WARM_UP = 5;
    private static final int ROUNDS = 9;
    private static final String FILE = "/home/developer/projects/network-stack/src/protocol/handshake_state.c";
    private static final String TEXT = "Possible null pointer dereference: the result of 'lookup(table, key)' may be"
            + " null when 'count < limit' and is used here";
    private static final String PARAMETER = "lookup(table, key) -> entry";

    private ClientBenchmark() {}

    public static void main(String[] args) throws Exception {
        String fake = System.getProperty("kerv.test.fake");
        if (!KERVBridge.INIT_OK.equals(KERVBridge.initJniBridge(fake))) {
            throw new IllegalStateException("the stand-in cannot be loaded: " + fake);
        }
        StandInDiagnostics.script(fake, DIAGNOSTICS, utf8(TEXT), utf8(PARAMETER), utf8(FILE));

        byte[][] raw = new byte[1][];
        double rawSeconds = median(() -> raw[0] = KERVBridge.getDiagnostics(FILE, null, null, 0));
        double megabytes = raw[0].length / 1e6;
        double decodeSeconds = median(() -> check(ResultDecoder.diagnostics(raw[0])));
        double decodeCpuSeconds = medianCpu(() -> check(ResultDecoder.diagnostics(raw[0])));

        double clientSeconds;
        Path folder = Files.createTempDirectory("kerv-bench");
        try (KervSession kerv = Kerv.open(Path.of(fake))) {
            Project project = kerv.openProject(folder, "bench");
            clientSeconds = median(() -> check(project.diagnostics(Path.of(FILE))));
        }

        System.out.printf(Locale.ROOT, "result: %d diagnostics, %.1f MB%n", DIAGNOSTICS, megabytes);
        System.out.printf(Locale.ROOT, "decoding into records:            %8.1f ms  %7.1f MB/s"
                + "  (%.1f ms CPU, %.1f MB per CPU second)%n", decodeSeconds * 1e3, megabytes / decodeSeconds,
                decodeCpuSeconds * 1e3, megabytes / decodeCpuSeconds);
        System.out.printf(Locale.ROOT, "raw KERVBridge.getDiagnostics:    %8.1f ms%n", rawSeconds * 1e3);
        System.out.printf(Locale.ROOT, "project.diagnostics (end to end): %8.1f ms  %.2fx the raw call%n",
                clientSeconds * 1e3, clientSeconds / rawSeconds);
    }

    private static Object check(List<Diagnostic> diagnostics) {
        if (diagnostics.size() != DIAGNOSTICS) {
            throw new IllegalStateException("decoded " + diagnostics.size() + " diagnostics");
        }
        return diagnostics;
    }

    /** Median wall seconds of the measured rounds, after the warm-up rounds. */
    private static double median(Supplier<Object> round) {
        return median(round, System::nanoTime);
    }

    /** Median CPU seconds of the calling thread over the measured rounds, after the warm-up rounds. */
    private static double medianCpu(Supplier<Object> round) {
        ThreadMXBean threads = ManagementFactory.getThreadMXBean();
        return median(round, threads::getCurrentThreadCpuTime);
    }

    private static double median(Supplier<Object> round, LongSupplier nanoseconds) {
        for (int i = 0; i < WARM_UP; i++) {
            round.get();
        }
        double[] seconds = new double[ROUNDS];
        for (int i = 0; i < ROUNDS; i++) {
            long start = nanoseconds.getAsLong();
            round.get();
            seconds[i] = (nanoseconds.getAsLong() - start) / 1e9;
        }
        Arrays.sort(seconds);
        return seconds[ROUNDS / 2];
    }

    private static byte[] utf8(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }
}

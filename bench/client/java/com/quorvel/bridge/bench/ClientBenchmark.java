package com.quorvel.bridge.bench;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.Severity;
import com.quorvel.bridge.client.StaxResultDecoder;
import com.quorvel.bridge.client.Trees;
import com.quorvel.bridge.test.StandInDiagnostics;
import java.lang.management.ManagementFactory;
import java.lang.management.MemoryPoolMXBean;
import java.lang.management.MemoryType;
import java.lang.ref.Reference;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;
import java.util.Optional;
import java.util.function.Function;
import java.util.function.Supplier;

/**
 * Measures the client on results that the stand-in analysis library hands out: 100, 10,000 and 100,000 diagnostics
 * and trees of 100,000 nodes. For each, the raw {@code KERVBridge} call, decoding its bytes into records with the
 * client's reader and with the StAX reference decoder (MB of result text per second, also per second of the decoding
 * thread's CPU time, which other processes on a busy machine inflate less), and the client's call end to end
 * ({@code Project.diagnostics}, {@code Project.trees}) against the raw call; then the Java heap that decoding 100,000
 * diagnostics takes with each reader. Every figure is the median of 9 samples after a second of warm-up (and a
 * warm-up of every decoding on every result before the first); a sample repeats the call until it has run for 50 ms.
 * The raw calls and the calls end to end are measured in three turns of 3 samples each.
 */
public final class ClientBenchmark {
    private static final int[] DIAGNOSTIC_COUNTS = {100, 10_000, 100_000};
    private static final int TREE_NODES = 100_000;
    private static final int RULES = 64;
    private static final int SAMPLES = 9;
    private static final int TURNS = 3;
    private static final long WARM_UP_NANOS = 1_000_000_000L;
    private static final long SAMPLE_NANOS = 50_000_000L;
    private static final String FILE = "/home/developer/projects/network-stack/src/protocol/handshake_state.c";
    private static final String TEXT = "Possible null pointer dereference: the result of 'lookup(table, key)' may be"
            + " null when 'count < limit' and is used here";
    private static final String PARAMETER = "lookup(table, key) -> entry";

    private static volatile Object sink;

    private ClientBenchmark() {}

    /** One result to measure: how to script the stand-in for it, and its calls. */
    private record Case(String name, int count, Runnable script, Supplier<byte[]> raw,
            Function<byte[], Object> decode, Function<byte[], Object> referenceDecode,
            Function<Project, Object> endToEnd, Function<Project, Object> referenceEndToEnd) {}

    /** Median seconds per call, of the wall clock and of the calling thread's CPU. */
    private record Timing(double wall, double cpu) {}

    /** The figures of one case: medians, and the samples of the calls measured in turns. */
    private static final class Figures {
        double megabytes;
        Timing decode;
        Timing referenceDecode;
        final List<Double> raw = new ArrayList<>();
        final List<Double> endToEnd = new ArrayList<>();
        final List<Double> referenceEndToEnd = new ArrayList<>();
    }

    public static void main(String[] args) throws Exception {
        String fake = System.getProperty("kerv.test.fake");
        initBridge(fake);
        StandInResults.scriptRules(fake, RULES);
        RuleCatalog catalog = new RuleCatalog(ResultDecoder.ruleGroups(KERVBridge.getRuleGroups()),
                ResultDecoder.messageRuleMap(KERVBridge.getMessageRuleMap()));
        List<Case> cases = cases(fake, catalog);
        List<Figures> figures = new ArrayList<>();
        warmUpAll(cases);

        byte[] largest = null;
        for (Case c : cases) {
            c.script().run();
            Figures f = new Figures();
            byte[] text = c.raw().get();
            f.megabytes = text.length / 1e6;
            f.decode = time(() -> c.decode().apply(text));
            f.referenceDecode = time(() -> c.referenceDecode().apply(text));
            figures.add(f);
            if (c.name().equals("diagnostics") && c.count() == 100_000) {
                largest = text;
            }
        }
        byte[] heapText = largest;
        HeapUse reader = heapUse(() -> ResultDecoder.diagnostics(heapText, catalog));
        HeapUse reference = heapUse(() -> StaxResultDecoder.diagnostics(heapText, catalog));

        // The raw calls run on this thread, the session's on a thread of its own, which takes the bridge over: the
        // two are measured in turns, so that a load that comes and goes meets both alike.
        Path folder = Files.createTempDirectory("kerv-bench");
        for (int turn = 0; turn < TURNS; turn++) {
            long warmUp = turn == 0 ? WARM_UP_NANOS : WARM_UP_NANOS / 4;
            initBridge(fake);
            for (int i = 0; i < cases.size(); i++) {
                Case c = cases.get(i);
                c.script().run();
                figures.get(i).raw.addAll(samples(() -> c.raw().get(), SAMPLES / TURNS, warmUp));
            }
            try (KervSession kerv = Kerv.open(Path.of(fake))) {
                Project project = kerv.openProject(folder, "bench");
                for (int i = 0; i < cases.size(); i++) {
                    Case c = cases.get(i);
                    Figures f = figures.get(i);
                    c.script().run();
                    f.endToEnd.addAll(samples(() -> c.endToEnd().apply(project), SAMPLES / TURNS, warmUp));
                    f.referenceEndToEnd.addAll(
                            samples(() -> c.referenceEndToEnd().apply(project), SAMPLES / TURNS, warmUp));
                }
            }
        }

        print(cases, figures, reader, reference, largest.length / 1e6);
    }

    private static List<Case> cases(String fake, RuleCatalog catalog) {
        List<Case> cases = new ArrayList<>();
        for (int count : DIAGNOSTIC_COUNTS) {
            cases.add(new Case("diagnostics", count,
                    () -> StandInDiagnostics.script(fake, count, utf8(TEXT), utf8(PARAMETER), utf8(FILE)),
                    () -> KERVBridge.getDiagnostics(FILE, null, null, 0),
                    text -> checked(ResultDecoder.diagnostics(text, catalog), count),
                    text -> checked(StaxResultDecoder.diagnostics(text, catalog), count),
                    project -> checked(project.diagnostics(Path.of(FILE)), count),
                    project -> checked(StaxResultDecoder.diagnostics(project.diagnosticsXml(Path.of(FILE)),
                            project.ruleCatalog()), count)));
        }
        String noItems = KERVBridge.joinItems();
        cases.add(new Case("tree nodes", TREE_NODES, () -> StandInResults.scriptTrees(fake, TREE_NODES),
                () -> KERVBridge.getTrees(false, 0, noItems),
                text -> checked(ResultDecoder.trees(text)),
                text -> checked(StaxResultDecoder.trees(text)),
                project -> checked(project.trees()),
                project -> checked(StaxResultDecoder.trees(project.treesXml(false, List.of())))));
        return cases;
    }

    private static void initBridge(String fake) {
        if (!KERVBridge.INIT_OK.equals(KERVBridge.initJniBridge(fake))) {
            throw new IllegalStateException("the stand-in cannot be loaded: " + fake);
        }
    }

    /** The diagnostics, which must be as many as scripted, each with the severity of its rule. */
    private static Object checked(List<Diagnostic> diagnostics, int count) {
        if (diagnostics.size() != count || diagnostics.get(count - 1).severity() != Severity.WARNING) {
            throw new IllegalStateException("decoded " + diagnostics.size() + " diagnostics, not " + count
                    + " with their rules' severity");
        }
        return diagnostics;
    }

    private static Object checked(Optional<Trees> trees) {
        if (trees.isEmpty() || trees.get().files().children().isEmpty()) {
            throw new IllegalStateException("no trees decoded");
        }
        return trees;
    }

    /**
     * Runs every decoding on every result before anything is measured, so that the compiled code a figure runs is
     * the one that the mix of all results makes, whichever result is measured first.
     */
    private static void warmUpAll(List<Case> cases) {
        for (Case c : cases) {
            c.script().run();
            byte[] text = c.raw().get();
            warmUp(() -> c.decode().apply(text), WARM_UP_NANOS);
            warmUp(() -> c.referenceDecode().apply(text), WARM_UP_NANOS);
        }
    }

    /** Warms the call up, then times it: median seconds per call. */
    private static Timing time(Supplier<Object> call) {
        int repeats = warmUp(call, WARM_UP_NANOS);
        double[] wall = new double[SAMPLES];
        double[] cpu = new double[SAMPLES];
        var threads = ManagementFactory.getThreadMXBean();
        for (int s = 0; s < SAMPLES; s++) {
            long start = System.nanoTime();
            long cpuStart = threads.getCurrentThreadCpuTime();
            for (int r = 0; r < repeats; r++) {
                sink = call.get();
            }
            cpu[s] = (threads.getCurrentThreadCpuTime() - cpuStart) / 1e9 / repeats;
            wall[s] = (System.nanoTime() - start) / 1e9 / repeats;
        }
        return new Timing(median(wall), median(cpu));
    }

    /** The seconds per call of each sample, after warm-up. */
    private static List<Double> samples(Supplier<Object> call, int count, long warmUpNanos) {
        int repeats = warmUp(call, warmUpNanos);
        List<Double> samples = new ArrayList<>();
        for (int s = 0; s < count; s++) {
            long start = System.nanoTime();
            for (int r = 0; r < repeats; r++) {
                sink = call.get();
            }
            samples.add((System.nanoTime() - start) / 1e9 / repeats);
        }
        return samples;
    }

    /** Runs the call for the warm-up time (at least three times); returns the calls that make a sample. */
    private static int warmUp(Supplier<Object> call, long warmUpNanos) {
        long start = System.nanoTime();
        int calls = 0;
        while (calls < 3 || System.nanoTime() - start < warmUpNanos) {
            sink = call.get();
            calls++;
        }
        double perCall = (double) (System.nanoTime() - start) / calls;
        return (int) Math.max(1, Math.ceil(SAMPLE_NANOS / perCall));
    }

    private static double median(double[] values) {
        double[] sorted = values.clone();
        Arrays.sort(sorted);
        return sorted[sorted.length / 2];
    }

    private static double median(List<Double> values) {
        return median(values.stream().mapToDouble(Double::doubleValue).toArray());
    }

    /**
     * The heap that one decoding takes: the peak above what was in use before it (the sum of the heap pools' peaks,
     * which garbage counts in until a collection), the bytes it allocated, and what its records hold once garbage is
     * collected.
     */
    private record HeapUse(long peak, long allocated, long retained) {}

    private static HeapUse heapUse(Supplier<Object> decode) {
        sink = decode.get();  // loaded and compiled before it is measured
        sink = null;
        var threads = (com.sun.management.ThreadMXBean) ManagementFactory.getThreadMXBean();
        List<MemoryPoolMXBean> pools = ManagementFactory.getMemoryPoolMXBeans().stream()
                .filter(pool -> pool.getType() == MemoryType.HEAP).toList();
        collectGarbage();
        long before = pools.stream().mapToLong(pool -> pool.getUsage().getUsed()).sum();
        pools.forEach(MemoryPoolMXBean::resetPeakUsage);
        long allocatedBefore = threads.getCurrentThreadAllocatedBytes();
        Object records = decode.get();
        long allocated = threads.getCurrentThreadAllocatedBytes() - allocatedBefore;
        long peak = pools.stream().mapToLong(pool -> pool.getPeakUsage().getUsed()).sum() - before;
        collectGarbage();
        long retained = pools.stream().mapToLong(pool -> pool.getUsage().getUsed()).sum() - before;
        Reference.reachabilityFence(records);
        return new HeapUse(peak, allocated, retained);
    }

    private static void collectGarbage() {
        for (int i = 0; i < 3; i++) {
            System.gc();
        }
    }

    private static void print(List<Case> cases, List<Figures> figures, HeapUse reader, HeapUse reference,
            double heapMegabytes) {
        var system = ManagementFactory.getOperatingSystemMXBean();
        System.out.printf(Locale.ROOT, "JVM %s, %d processors, max heap %d MB, load average %.2f%n",
                System.getProperty("java.vm.version"), Runtime.getRuntime().availableProcessors(),
                Runtime.getRuntime().maxMemory() >> 20, system.getSystemLoadAverage());
        System.out.println();
        System.out.printf(Locale.ROOT, "%-24s %9s %10s | %-27s %-27s | %-20s %-20s%n", "result", "text", "raw call",
                "decoding: reader", "decoding: StAX", "end to end: reader", "end to end: StAX");
        System.out.printf(Locale.ROOT, "%-24s %9s %10s | %-27s %-27s | %-20s %-20s%n", "", "MB", "ms",
                "ms  MB/s  (MB/CPU s)", "ms  MB/s  (MB/CPU s)", "ms  x raw", "ms  x raw");
        for (int i = 0; i < cases.size(); i++) {
            Case c = cases.get(i);
            Figures f = figures.get(i);
            double raw = median(f.raw);
            System.out.printf(Locale.ROOT, "%-24s %9.3f %10.3f | %-27s %-27s | %-20s %-20s%n",
                    String.format(Locale.ROOT, "%,d %s", c.count(), c.name()), f.megabytes, raw * 1e3,
                    decoding(f.decode, f.megabytes), decoding(f.referenceDecode, f.megabytes),
                    endToEnd(median(f.endToEnd), raw), endToEnd(median(f.referenceEndToEnd), raw));
        }
        System.out.println();
        System.out.printf(Locale.ROOT, "Java heap while decoding 100,000 diagnostics (%.1f MB of text):%n",
                heapMegabytes);
        System.out.printf(Locale.ROOT, "  %-8s peak %7.1f MB above the heap before, %7.1f MB allocated, "
                + "%6.1f MB held by the records%n", "reader", reader.peak() / 1e6, reader.allocated() / 1e6,
                reader.retained() / 1e6);
        System.out.printf(Locale.ROOT, "  %-8s peak %7.1f MB above the heap before, %7.1f MB allocated, "
                + "%6.1f MB held by the records%n", "StAX", reference.peak() / 1e6, reference.allocated() / 1e6,
                reference.retained() / 1e6);
    }

    private static String decoding(Timing timing, double megabytes) {
        return String.format(Locale.ROOT, "%8.3f %6.0f (%4.0f)", timing.wall() * 1e3, megabytes / timing.wall(),
                megabytes / timing.cpu());
    }

    private static String endToEnd(double seconds, double raw) {
        return String.format(Locale.ROOT, "%9.3f %5.2fx", seconds * 1e3, seconds / raw);
    }

    private static byte[] utf8(String text) {
        return text.getBytes(StandardCharsets.UTF_8);
    }
}

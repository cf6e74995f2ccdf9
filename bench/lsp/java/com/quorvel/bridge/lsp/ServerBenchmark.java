package com.quorvel.bridge.lsp;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Measures the language server as an editor meets it, on a generated project of N files with a compilation database
 * (arguments: the folder to work in, then the file counts, such as 2000 20000):
 *
 * <ul>
 *   <li>the first analysis of the workspace (from {@code initialized} to the first publication);
 *   <li>opening a file whose results are up to date, until its diagnostics are published: right after other work
 *       (the project still open) and after the server was idle (the project released, so it is opened again);
 *   <li>saving a changed file until its new diagnostics are published, after the server was idle, with the time the
 *       analyser's own run took, the analysis library's and the server's shown apart (the server logs how long it
 *       took to open the project again, to analyse and to publish);
 *   <li>the server's resident memory and its peak.
 * </ul>
 *
 * <p>Each timed figure is the median of five rounds after two warm-up rounds. The analyser is cppcheck behind a
 * wrapper that logs the start and end of each analysing run, so that its share can be told apart.
 */
public final class ServerBenchmark {
    private static final int WARM_UP = 2;
    private static final int ROUNDS = 5;
    /** Longer than the time the server holds the project after work. */
    private static final long IDLE_MILLIS = Workspace.GRACE_MILLIS + 500;
    private static final String FAULTY = "    return *p;\n";
    private static final String FIXED = "    return p == 0;\n";

    private ServerBenchmark() {}

    public static void main(String[] args) throws Exception {
        Path work = Path.of(args[0]).toAbsolutePath();
        for (int i = 1; i < args.length; i++) {
            run(work, Integer.parseInt(args[i]));
        }
    }

    private static void run(Path work, int count) throws Exception {
        Path root = generate(work.resolve("project-" + count), count);
        Path analyserLog = work.resolve("analyser-" + count + ".log");
        Files.deleteIfExists(analyserLog);
        Path home = work.resolve("home-" + count);
        deleteTree(home);
        Path wrapper = Files.writeString(work.resolve("timed-analyser"), "#!/bin/sh\n"
                + "case \" $* \" in *\" --xml \"*)\n"
                + "  start=$(date +%s%N); cppcheck \"$@\"; status=$?\n"
                + "  echo \"$start $(date +%s%N)\" >> \"$KERV_BENCH_ANALYSER_LOG\"; exit $status ;;\n"
                + "esac\nexec cppcheck \"$@\"\n");
        wrapper.toFile().setExecutable(true);
        System.out.printf(Locale.ROOT, "== %,d files (%s)%n", count, load());
        try (LspClient server = new LspClient(home, Map.of("KERV_CPPCHECK", wrapper.toString(),
                "KERV_BENCH_ANALYSER_LOG", analyserLog.toString()), false)) {
            long start = System.nanoTime();
            server.initialize(root);
            String first = uri(root, 0);
            server.open(first, text(root, 0));
            server.diagnostics(0, first, list -> !list.isEmpty());
            System.out.printf(Locale.ROOT, "first analysis of the workspace: %.1f s (%s)%n",
                    (System.nanoTime() - start) / 1e9, load());

            int next = 1;
            double[][] heldOpen = new double[ROUNDS][];
            double[][] idleOpen = new double[ROUNDS][];
            for (int round = -WARM_UP; round < ROUNDS; round++) {
                double[] held = open(server, root, next++);
                Thread.sleep(IDLE_MILLIS);
                double[] idle = open(server, root, next++);
                if (round >= 0) {
                    heldOpen[round] = held;
                    idleOpen[round] = idle;
                }
            }
            System.out.printf(Locale.ROOT, "open, results up to date, with the project open: %s%n",
                    phases(heldOpen, -1));
            System.out.printf(Locale.ROOT, "open, results up to date, after idle:            %s (%s)%n",
                    phases(idleOpen, -1), load());

            int saved = count / 2;
            String uri = uri(root, saved);
            server.open(uri, text(root, saved));
            server.diagnostics(0, uri, list -> !list.isEmpty());
            double[][] saves = new double[ROUNDS][];
            for (int round = -WARM_UP; round < ROUNDS; round++) {
                Thread.sleep(IDLE_MILLIS);
                double[] times = save(server, root, saved, uri, round + WARM_UP + 2, analyserLog);
                if (round >= 0) {
                    saves[round] = times;
                }
            }
            System.out.printf(Locale.ROOT, "save -> publish, after idle: %s (%s)%n", phases(saves, 5), load());
            System.out.printf(Locale.ROOT, "server memory: %s (%s)%n", memory(server.process.pid()), load());
            server.shutDown();
        }
    }

    /**
     * Opens file {@code index}; returns the milliseconds until its diagnostics are published, then the server's own
     * account of its work on the project ({@link #serverPhases}).
     */
    private static double[] open(LspClient server, Path root, int index) throws IOException {
        String uri = uri(root, index);
        String text = text(root, index);
        int mark = server.mark();
        long start = System.nanoTime();
        server.open(uri, text);
        server.diagnostics(mark, uri, list -> !list.isEmpty());
        double millis = (System.nanoTime() - start) / 1e6;
        server.notify("textDocument/didClose", Json.fields("textDocument", Json.fields("uri", uri)));
        return withPhases(millis, serverPhases(server, mark), Double.NaN);
    }

    /**
     * The server's log line on its work on the workspace project from {@code mark} on: the milliseconds it took to
     * open the project, sync it, analyse and publish.
     */
    private static double[] serverPhases(LspClient server, int mark) {
        String line = Json.text(server.await(mark, "the server's account of its work", m -> "window/logMessage".equals(
                m.get("method")) && String.valueOf(Json.text(m, "params", "message")).startsWith("workspace project:")),
                "params", "message");
        double[] phases = new double[4];
        Matcher numbers = Pattern.compile("([0-9]+) ms").matcher(line);
        for (int i = 0; i < phases.length && numbers.find(); i++) {
            phases[i] = Double.parseDouble(numbers.group(1));
        }
        return phases;
    }

    private static double[] withPhases(double total, double[] phases, double analyser) {
        return new double[] {total, phases[0], phases[1], phases[2], phases[3], analyser};
    }

    /**
     * The medians of each column: the total, then the server's opening of the project, its analysis (with the
     * analyser's share when {@code analyserColumn} is not negative) and its publication.
     */
    private static String phases(double[][] rounds, int analyserColumn) {
        double[] total = column(rounds, 0);
        String text = String.format(Locale.ROOT, "%.0f ms median of %d (rounds %s ms); the server: opening the"
                + " project %.0f ms, analysis %.0f ms", median(total), ROUNDS, Arrays.toString(rounded(total)),
                median(column(rounds, 1)), median(column(rounds, 3)));
        if (analyserColumn >= 0) {
            double analyser = median(column(rounds, analyserColumn));
            text += String.format(Locale.ROOT, " (the analyser %.0f ms, the analysis library's own %.0f ms)",
                    analyser, median(column(rounds, 3)) - analyser);
        }
        return text + String.format(Locale.ROOT, ", publication %.0f ms", median(column(rounds, 4)));
    }

    private static double[] column(double[][] rounds, int index) {
        return Arrays.stream(rounds).mapToDouble(round -> round[index]).toArray();
    }

    /**
     * Changes the file on disk (its fault removed or put back), tells the server of the change and the save, and
     * returns the milliseconds until the diagnostics of that version are published, the server's account of its
     * work ({@link #serverPhases}) and the time of the analyser's runs.
     */
    private static double[] save(LspClient server, Path root, int index, String uri, int version, Path analyserLog)
            throws IOException {
        Path file = root.resolve(name(index));
        String text = text(root, index);
        String changed = text.contains(FAULTY) ? text.replace(FAULTY, FIXED) : text.replace(FIXED, FAULTY);
        boolean faulty = changed.contains(FAULTY);
        Files.writeString(file, changed);
        int mark = server.mark();
        long runsBefore = Files.exists(analyserLog) ? Files.readAllLines(analyserLog).size() : 0;
        long start = System.nanoTime();
        server.notify("textDocument/didChange", Json.fields("textDocument", Json.fields("uri", uri, "version",
                version), "contentChanges", List.of(Json.fields("text", changed))));
        server.notify("textDocument/didSave", Json.fields("textDocument", Json.fields("uri", uri)));
        server.await(mark, "diagnostics of the save", m -> uri.equals(Json.text(m, "params", "uri"))
                && Json.integer(m, -1, "params", "version") == version
                && Json.array(Json.at(m, "params", "diagnostics")).stream().anyMatch(
                        d -> "nullPointer".equals(Json.text(d, "code"))) == faulty);
        double millis = (System.nanoTime() - start) / 1e6;
        double analyser = 0;
        List<String> runs = Files.readAllLines(analyserLog);
        for (String run : runs.subList((int) runsBefore, runs.size())) {
            String[] times = run.split(" ");
            analyser += (Long.parseLong(times[1]) - Long.parseLong(times[0])) / 1e6;
        }
        return withPhases(millis, serverPhases(server, mark), analyser);
    }

    /** A project of {@code count} small C files, each with one fault, and its compilation database. */
    private static Path generate(Path root, int count) throws IOException {
        Path database = root.resolve("compile_commands.json");
        if (Files.exists(database) && Files.exists(root.resolve(name(count - 1)))
                && !Files.exists(root.resolve(name(count)))) {
            return root.toRealPath();  // made by an earlier run
        }
        deleteTree(root);
        Files.createDirectories(root.resolve("src"));
        Files.createDirectories(root.resolve("include"));
        Files.writeString(root.resolve("include/bench.h"), "#define BENCH_LIMIT 4\n");
        List<Object> entries = new ArrayList<>();
        for (int i = 0; i < count; i++) {
            Files.writeString(root.resolve(name(i)), "#include \"bench.h\"\n\nint f" + i + "(int n) {\n"
                    + "    int a[BENCH_LIMIT] = {0};\n    int *p = 0;\n    if (n > BENCH_LIMIT) return a[0];\n"
                    + FAULTY + "}\n");
            entries.add(Json.fields("directory", root.toString(), "file", name(i), "arguments",
                    List.of("cc", "-DBENCH=1", "-Iinclude", "-c", name(i))));
        }
        Files.write(database, Json.write(entries));
        return root.toRealPath();
    }

    private static String name(int index) {
        return String.format("src/file%05d.c", index);
    }

    private static String uri(Path root, int index) {
        return root.resolve(name(index)).toUri().toString();
    }

    private static String text(Path root, int index) throws IOException {
        return Files.readString(root.resolve(name(index)), StandardCharsets.UTF_8);
    }

    private static double median(double[] values) {
        double[] sorted = values.clone();
        Arrays.sort(sorted);
        return sorted[sorted.length / 2];
    }

    private static long[] rounded(double[] values) {
        return Arrays.stream(values).mapToLong(Math::round).toArray();
    }

    private static String memory(long pid) throws IOException {
        StringBuilder found = new StringBuilder();
        for (String line : Files.readAllLines(Path.of("/proc", Long.toString(pid), "status"))) {
            if (line.startsWith("VmRSS:") || line.startsWith("VmHWM:")) {
                found.append(found.length() > 0 ? ", " : "").append(line.replaceAll("\\s+", " "));
            }
        }
        return found.toString();
    }

    private static String load() throws IOException {
        String[] fields = Files.readString(Path.of("/proc/loadavg")).split(" ");
        return "load " + fields[0] + " " + fields[1] + " " + fields[2];
    }

    private static void deleteTree(Path folder) throws IOException {
        if (!Files.exists(folder)) {
            return;
        }
        try (var walk = Files.walk(folder)) {
            for (Path path : walk.sorted((a, b) -> b.compareTo(a)).toList()) {
                Files.delete(path);
            }
        }
    }
}

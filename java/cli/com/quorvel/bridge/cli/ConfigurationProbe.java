package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.LogLevel;
import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Stream;

/**
 * Finds out what is wrong with configuration files that the analysis library refused. The library names the file,
 * the line and the problem only in its failure log, on its process's standard error, which this process cannot read
 * of itself; so a new JVM makes a project with the same files in a scratch folder, with that log on, and the lines
 * of the form {@code file:line: problem} are taken from its standard error.
 */
final class ConfigurationProbe {
    private static final Pattern PROBLEM = Pattern.compile("^libKERV: (.+:\\d+: .+)$");
    private static final long WAIT_SECONDS = 60;

    private ConfigurationProbe() {}

    /**
     * Runs the probe on the configuration files (null for none) with the analysis library ({@code null} for the
     * bundled one); returns the problems it names (a list that may be added to), none when it names none or cannot run.
     */
    static List<String> problems(String library, Path acf, Path rcf, Path cct) {
        List<String> args = new ArrayList<>();
        for (Object arg : new Object[] {library, acf, rcf, cct}) {
            args.add(arg == null ? "" : arg.toString());
        }
        List<String> found = new ArrayList<>();
        try {
            Process probe = new ProcessBuilder(ChildJvm.command(ConfigurationProbe.class, args))
                    .redirectOutput(ProcessBuilder.Redirect.DISCARD).start();
            try (BufferedReader log = new BufferedReader(
                    new InputStreamReader(probe.getErrorStream(), StandardCharsets.UTF_8))) {
                for (String line = log.readLine(); line != null; line = log.readLine()) {
                    Matcher problem = PROBLEM.matcher(line);
                    if (problem.matches()) {
                        found.add(problem.group(1));
                    }
                }
            }
            if (!probe.waitFor(WAIT_SECONDS, TimeUnit.SECONDS)) {
                probe.destroyForcibly();
            }
        } catch (IOException e) {
            // no probe, no problems named: the caller's message stands alone
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        return found;
    }

    /** Arguments: the analysis library, the acf, rcf and cct files, each empty for none. */
    public static void main(String[] args) throws IOException {
        Path scratch = Files.createTempDirectory("kerv-configuration-");
        try (KervSession kerv = args[0].isEmpty() ? Kerv.open() : Kerv.open(Path.of(args[0]))) {
            kerv.library().setLogLevel(LogLevel.FAILURES);
            kerv.openProject(scratch, "check", file(args[1]), file(args[2]), file(args[3]));
        } catch (RuntimeException e) {
            // the library's log has said why; that is all the caller reads
        } finally {
            deleteTree(scratch);
        }
    }

    private static Path file(String path) {
        return path.isEmpty() ? null : Path.of(path);
    }

    /** Removes a folder and everything in it, as far as it can. */
    static void deleteTree(Path folder) {
        try (Stream<Path> walk = Files.walk(folder)) {
            walk.sorted(Comparator.reverseOrder()).forEach(path -> path.toFile().delete());
        } catch (IOException | UncheckedIOException e) {
            // a scratch folder left behind in the temporary folder does no harm
        }
    }
}

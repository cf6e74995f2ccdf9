package com.quorvel.bridge.cli;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/** One run of the command line: open the project, bring its files and results up to date, report. */
final class AnalysisRun {
    static final int NO_DIAGNOSTICS = 0;
    static final int DIAGNOSTICS_FOUND = 1;
    static final int BAD_USAGE = 2;
    static final int CANNOT_RUN = 3;

    /** Trace level of the bridge's log: the level at which it writes its progress lines. */
    private static final long TRACE_LEVEL = 2;

    private final CliOptions options;
    private final PrintStream out;
    private final PrintStream err;
    private int unanalysed;

    AnalysisRun(CliOptions options, PrintStream out, PrintStream err) {
        this.options = options;
        this.out = out;
        this.err = err;
    }

    /** Thrown when the analysis cannot go on; the message is for the user. */
    static final class CannotRun extends Exception {
        private static final long serialVersionUID = 1L;

        CannotRun(String message) {
            super(message);
        }
    }

    int run() {
        Path log = null;
        try {
            Path source = existingFolder(options.sourceFolder);
            if (!Files.isRegularFile(Path.of(options.library))) {
                throw new CannotRun("analysis library " + options.library + " not found");
            }
            log = options.logFile != null ? options.logFile : Files.createTempFile("kerv-", ".log");
            startBridge(log);
            String[] project = openProject(source);
            List<Path> files = synchroniseFiles(source);
            check(KERVBridge.initResults("", project[0], project[1]), "cannot open the results");
            aggregateWithProgress(log);
            int active = report(source, files, project);
            KERVBridge.shutdownApi();
            if (unanalysed > 0) {
                err.printf("kerv: %d of %d files could not be analysed (the analysis library's messages above tell why)%n",
                        unanalysed, files.size());
                return CANNOT_RUN;
            }
            return active > 0 ? DIAGNOSTICS_FOUND : NO_DIAGNOSTICS;
        } catch (CannotRun e) {
            err.println("kerv: " + e.getMessage());
            return CANNOT_RUN;
        } catch (IOException e) {
            err.println("kerv: " + e.getMessage());
            return CANNOT_RUN;
        } catch (LinkageError e) {
            err.println("kerv: the bridge library cannot be loaded: " + e.getMessage());
            return CANNOT_RUN;
        } finally {
            if (log != null && options.logFile == null) {
                log.toFile().delete();
            }
        }
    }

    private static Path existingFolder(Path folder) throws CannotRun, IOException {
        if (!Files.isDirectory(folder)) {
            throw new CannotRun("source folder " + folder + " does not exist");
        }
        return folder.toRealPath();
    }

    private void startBridge(Path log) throws CannotRun {
        KERVBridge.setNativeLogFile(log.toString());
        KERVBridge.setDebugLevel(TRACE_LEVEL);
        String loaded = KERVBridge.initJniBridge(Path.of(options.library).toAbsolutePath().toString());
        if (!KERVBridge.INIT_OK.equals(loaded)) {
            throw new CannotRun(loaded);
        }
        check(KERVBridge.initDeploymentInfo(), "the analysis library cannot be started");
        check(KERVBridge.initApi(""), "the analysis library cannot be started");
    }

    /** Returns the project's location and name. */
    private String[] openProject(Path source) throws CannotRun, IOException {
        Path location = options.projectDir != null ? options.projectDir : Path.of(KERVBridge.getWorkspace());
        Files.createDirectories(location);
        String where = location.toRealPath().toString();
        String name = options.name != null ? options.name : defaultName(source);
        if (KERVBridge.isVQFProject(where, name)) {
            check(KERVBridge.initProjectMngr("", where, name), "cannot open project " + name + " in " + where);
        } else {
            check(KERVBridge.createProject(where, name, options.acf, options.rcf, options.cct),
                    "cannot create project " + name + " in " + where);
        }
        return new String[] {where, name};
    }

    static String defaultName(Path source) {
        String folder = source.getFileName() == null ? "root" : source.getFileName().toString();
        return folder + "-" + String.format(Locale.ROOT, "%08x", source.toString().hashCode());
    }

    /** Adds the source files found, removes the project's files under the folder that are gone. */
    private List<Path> synchroniseFiles(Path source) throws CannotRun, IOException {
        List<String> extensions = Arrays.asList(KERVBridge.getFileExtensions().split(";"));
        List<Path> found;
        try (Stream<Path> walk = Files.walk(source)) {
            found = walk.filter(p -> !isHidden(source, p) && Files.isRegularFile(p))
                    .filter(p -> extensions.contains(extensionOf(p))).sorted().collect(Collectors.toList());
        }
        Set<String> known = new HashSet<>(Arrays.asList(KERVBridge.getFiles().split(";")));
        Set<String> wanted = new HashSet<>();
        for (Path file : found) {
            String path = file.toString();
            wanted.add(path);
            if (!known.contains(path)) {
                long language = ".c".equals(extensionOf(file)) ? KERVBridge.SOURCE_LANGUAGE_C
                                                               : KERVBridge.SOURCE_LANGUAGE_CPP;
                check(KERVBridge.addFile(language, path, null, 0, null, 0), "cannot add " + path);
            }
        }
        for (String path : known) {
            if (!path.isEmpty() && Path.of(path).startsWith(source) && !wanted.contains(path)) {
                KERVBridge.removeFile(path);
            }
        }
        return found;
    }

    private static boolean isHidden(Path root, Path path) {
        for (Path part : root.relativize(path)) {
            if (part.toString().startsWith(".")) {
                return true;
            }
        }
        return false;
    }

    static String extensionOf(Path file) {
        String name = file.getFileName().toString();
        int dot = name.lastIndexOf('.');
        return dot < 0 ? "" : name.substring(dot);
    }

    private void aggregateWithProgress(Path log) {
        PrintStream display = System.console() != null ? err : null;
        ProgressFollower follower = new ProgressFollower(log, display);
        try {
            KERVBridge.aggregate();
        } finally {
            follower.close();
        }
    }

    private int report(Path source, List<Path> files, String[] project) throws IOException {
        Map<String, ResultXml.Rule> rules = ResultXml.rules(KERVBridge.getRuleGroups());
        Map<Path, List<ResultXml.Diagnostic>> byFile = new LinkedHashMap<>();
        List<Path> missing = new ArrayList<>();
        for (Path file : files) {
            byte[] xml = KERVBridge.getDiagnostics(file.toString(), null, null, 0);
            if (!KERVBridge.hasResults(file.toString())) {
                missing.add(file);
                continue;
            }
            byFile.put(file, ResultXml.diagnostics(xml));
            if (options.xml) {
                out.println(Summary.shown(source, file.toString()) + ":");
                out.println(new String(xml, StandardCharsets.UTF_8));
            }
        }
        out.printf("kerv: analysed %d files of %s (%s; project %s in %s)%n", byFile.size(), source,
                KERVBridge.getComponents(), project[1], project[0]);
        for (Path file : missing) {
            out.println("kerv: no results for " + Summary.shown(source, file.toString()));
        }
        unanalysed = missing.size();
        if (options.rules) {
            out.println("rules:");
            rules.values().forEach(r -> out.printf("  %-12s %-36s %s  %s%n", r.group, r.id, r.active ? "on " : "off",
                    r.text));
        }
        if (options.trees) {
            out.println(new String(KERVBridge.getTrees(false, 0, null), StandardCharsets.UTF_8));
        }
        return Summary.print(out, source, byFile, rules);
    }

    private static void check(long status, String what) throws CannotRun {
        if (status != 0) {
            throw new CannotRun(what + " (status " + status + ")");
        }
    }
}

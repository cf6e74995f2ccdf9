package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.AnalysisOutcome;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.FolderImport;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervLoadException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.KervStatus;
import com.quorvel.bridge.client.LogLevel;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.SourceFolder;
import com.quorvel.bridge.client.report.Baseline;
import com.quorvel.bridge.client.report.FileWithoutResults;
import java.io.IOException;
import java.io.PrintStream;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

/** One run of the command line: open the project, bring its files and results up to date, report. */
final class AnalysisRun {
    static final int NO_DIAGNOSTICS = 0;
    static final int DIAGNOSTICS_FOUND = 1;
    static final int BAD_USAGE = 2;
    static final int CANNOT_RUN = 3;

    private final CliOptions options;
    private final PrintStream out;
    private final PrintStream err;
    /** Files that the analysis library refused to add, with why, for the closing lines. */
    private final Map<Path, String> refused = new LinkedHashMap<>();
    private final Map<Path, List<Diagnostic>> byFile = new LinkedHashMap<>();
    private final ExcludeGlobs excludes;

    AnalysisRun(CliOptions options, PrintStream out, PrintStream err) {
        this.options = options;
        this.out = out;
        this.err = err;
        this.excludes = new ExcludeGlobs(options.exclude);
    }

    /** Thrown when the analysis cannot go on; the message is for the user. */
    static final class CannotRun extends Exception {
        private static final long serialVersionUID = 1L;

        CannotRun(String message) {
            super(message);
        }
    }

    int run() {
        try {
            Path source = options.sourceFolder != null ? existingFolder(options.sourceFolder) : null;
            Path library = options.library == null ? null : Path.of(options.library);
            if (library != null && !Files.isRegularFile(library)) {
                throw new CannotRun("analysis library " + options.library + " not found");
            }
            OutputPaths.check(options);
            Baseline baseline = options.baseline == null ? null : Baseline.read(options.baseline);
            try (KervSession kerv = start(library)) {
                kerv.waitForLockedProjects(Duration.ofSeconds(options.waitSeconds),
                        refusal -> err.println("kerv: " + refusal + "; waiting up to " + options.waitSeconds
                                + " s for it to close the project"));
                if (options.logFile != null) {
                    kerv.library().setLogFile(options.logFile);
                    kerv.library().setLogLevel(LogLevel.TRACE);
                }
                List<Path> found = options.compileCommands == null ? sourceFiles(kerv, source) : List.of();
                Project project = openProject(kerv, source != null ? source
                        : options.compileCommands.toAbsolutePath().normalize().getParent());
                List<Path> files;
                if (options.compileCommands != null) {
                    DatabaseSource.Imported imported = DatabaseSource.importInto(project, options.compileCommands,
                            source, excludes, out);
                    files = imported.files();
                    if (files.isEmpty()) {
                        throw new CannotRun("no C or C++ file to analyse in " + options.compileCommands);
                    }
                    source = imported.root();
                } else {
                    files = synchroniseFiles(project, source, found);
                }
                AnalysisOutcome outcome;
                try (ProgressDisplay progress = ProgressDisplay.on(err)) {
                    outcome = project.analyse(progress);
                }
                report(kerv, project, source, files, outcome);
                ReportOutputs.Run run = new ReportOutputs.Run(kerv.library().version(), source, byFile,
                        withoutResults(outcome), project.ruleCatalog());
                int failing = ReportOutputs.write(options, baseline, run, options.failOn.count(byFile), out);
                if (!options.failOn.equals(FailOn.ANY)) {
                    out.println(options.failOn.describe(failing, options.baseline != null));
                }
                if (!outcome.complete() || !refused.isEmpty()) {
                    for (Map.Entry<Path, String> file : refused.entrySet()) {
                        err.printf("kerv: not added: %s (%s)%n", shownName(source, file.getKey()), file.getValue());
                    }
                    for (AnalysisOutcome.UnanalysedFile file : outcome.notAnalysed()) {
                        err.printf("kerv: not analysed: %s (%s)%n", Summary.shown(source, file.file().toString()),
                                file.reason().text());
                    }
                    err.printf("kerv: %d of %d files could not be analysed%n",
                            refused.size() + outcome.notAnalysed().size(), files.size() + refused.size());
                    return CANNOT_RUN;
                }
                return failing > 0 ? DIAGNOSTICS_FOUND : NO_DIAGNOSTICS;
            }
        } catch (CannotRun | IllegalArgumentException | KervException e) {
            err.println("kerv: " + e.getMessage());
            return CANNOT_RUN;
        } catch (IOException e) {
            err.println("kerv: " + SystemReason.describe(e));
            return CANNOT_RUN;
        } catch (UncheckedIOException e) {
            err.println("kerv: " + SystemReason.describe(e));
            return CANNOT_RUN;
        } catch (KervLoadException | LinkageError e) {
            err.println("kerv: the bridge library cannot be loaded: " + e.getMessage());
            return CANNOT_RUN;
        }
    }

    private static Path existingFolder(Path folder) throws CannotRun, IOException {
        if (!Files.isDirectory(folder)) {
            throw new CannotRun("source folder " + folder + " does not exist");
        }
        return folder.toRealPath();
    }

    /** Opens a session on {@code library}, or on the bundled analysis library when it is null. */
    private static KervSession start(Path library) throws CannotRun {
        try {
            return library == null ? Kerv.open() : Kerv.open(library);
        } catch (KervException e) {
            throw new CannotRun(e.getMessage());
        }
    }

    /**
     * Opens the project, creating it with the configuration files given; for a project that exists, applies them
     * (see {@link ProjectConfiguration}) after reading the analysis and rule configurations with the analysis
     * library's own reader in a scratch project. A configuration file the library refuses is named with its line and
     * problem.
     */
    private Project openProject(KervSession kerv, Path source) throws CannotRun, IOException {
        Path location = options.projectDir != null ? options.projectDir : kerv.library().workspace();
        String name = options.name != null ? options.name : defaultName(source);
        Path acf = configuration(options.acf);
        Path rcf = configuration(options.rcf);
        Path cct = configuration(options.cct);
        Path scratch = null;
        try {
            boolean exists = kerv.isProject(location, name);
            if (exists && (acf != null || rcf != null)) {
                ProjectConfiguration.checkUnchanged(location.resolve(name), options);
                scratch = Files.createTempDirectory("kerv-configuration-");
                try {
                    kerv.openProject(scratch, "check", acf, rcf, null);
                } catch (KervException e) {
                    throw refusedConfiguration(e, "the configuration files given cannot be used (status "
                            + e.status() + " (" + e.reason() + "))");
                }
            }
            Project project = kerv.openProject(location, name, acf, rcf, cct);
            if (exists && cct != null) {
                ProjectConfiguration.applyCompiler(project, cct);
            }
            return project;
        } catch (KervException e) {
            throw refusedConfiguration(e, e.getMessage());
        } finally {
            if (scratch != null) {
                ConfigurationProbe.deleteTree(scratch);
            }
        }
    }

    /**
     * The error for a call that failed; when it failed on a configuration file, the lines before the message name
     * the file, line and problem as the analysis library's own reader found them.
     */
    private CannotRun refusedConfiguration(KervException e, String message) {
        if (e.reason() != KervStatus.CONFIG_SYNTAX && e.reason() != KervStatus.CONFIG_UNREADABLE) {
            return new CannotRun(message);
        }
        List<String> lines = ConfigurationProbe.problems(options.library, configuration(options.acf),
                configuration(options.rcf), configuration(options.cct));
        lines.add(message);
        return new CannotRun(String.join(System.lineSeparator() + "kerv: ", lines));
    }

    private static Path configuration(String file) {
        return file.isEmpty() ? null : Path.of(file);
    }

    /** The C and C++ files under the source folder, hidden folders left out; none is an error. */
    private List<Path> sourceFiles(KervSession kerv, Path source) throws IOException, CannotRun {
        List<String> extensions = kerv.library().fileExtensions();
        List<Path> found = SourceFolder.scan(source, extensions, file -> excludes.excludes(source, file));
        if (found.isEmpty()) {
            throw new CannotRun("no C or C++ file to analyse in " + source + " (none with the extensions "
                    + String.join(" ", extensions) + ")");
        }
        return found;
    }

    /** A file's path below the source folder as the messages show it: its bytes when its name cannot be read. */
    private static String shownName(Path source, Path file) {
        return PathEncoding.unreadable(file) != null ? PathEncoding.bytesOf(source, file)
                : Summary.shown(source, file.toString());
    }

    static String defaultName(Path source) {
        return Project.defaultName(source);
    }

    /**
     * Brings the project in line with the source files found below the folder; returns the files of the project
     * under the folder. A file the analysis library refuses, or whose name it cannot be given, is kept in
     * {@link #refused}.
     */
    private List<Path> synchroniseFiles(Project project, Path source, List<Path> found) {
        List<Path> readable = new ArrayList<>();
        for (Path file : found) {
            String unreadable = PathEncoding.unreadable(file);
            if (unreadable != null) {
                refused.put(file, unreadable);
            } else {
                readable.add(file);
            }
        }
        FolderImport imported = project.importFiles(source, readable);
        refused.putAll(imported.refused());
        return new ArrayList<>(imported.files());
    }

    private void report(KervSession kerv, Project project, Path source, List<Path> files, AnalysisOutcome outcome) {
        RuleCatalog rules = project.ruleCatalog();
        Set<Path> notAnalysed = new HashSet<>();
        outcome.notAnalysed().forEach(file -> notAnalysed.add(file.file()));
        for (Path file : files) {
            if (notAnalysed.contains(file)) {
                continue;
            }
            byte[] xml = project.diagnosticsXml(file);
            byFile.put(file, ResultDecoder.diagnostics(xml, project.ruleCatalog()).stream()
                    .filter(d -> !excludes.excludes(source, Path.of(Summary.primary(d).file()))).toList());
            if (options.xml) {
                out.println(Summary.shown(source, file.toString()) + ":");
                out.println(new String(xml, StandardCharsets.UTF_8));
            }
        }
        Set<Path> analysedNow = new HashSet<>(outcome.analysed());
        long analysed = byFile.keySet().stream().filter(analysedNow::contains).count();
        out.printf("kerv: analysed %d file%s of %s, %d already up to date (%s; project %s in %s)%n", analysed,
                analysed == 1 ? "" : "s", source, byFile.size() - analysed, kerv.library().components(),
                project.name(), project.location());
        if (options.rules) {
            out.println("rules:");
            rules.rules().forEach(r -> out.printf("  %-12s %-36s %s  %s%n", r.severity().text(), r.rule().id(),
                    r.rule().active() ? "on " : "off", r.rule().summary()));
        }
        if (options.trees) {
            out.println(new String(project.treesXml(false, List.of()), StandardCharsets.UTF_8));
        }
        Summary.print(out, source, byFile, rules);
    }

    /** The files refused or left without up-to-date results, each with why, for the reports. */
    private List<FileWithoutResults> withoutResults(AnalysisOutcome outcome) {
        List<FileWithoutResults> files = new ArrayList<>();
        refused.forEach((file, why) -> files.add(new FileWithoutResults(file, "not added: " + why)));
        outcome.notAnalysed().forEach(file -> files.add(new FileWithoutResults(file.file(), file.reason().text())));
        return files;
    }
}

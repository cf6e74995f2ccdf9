package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.AnalysisOutcome;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.FileWithoutResults;
import com.quorvel.bridge.client.FolderImport;
import com.quorvel.bridge.client.Kerv;
import com.quorvel.bridge.client.KervException;
import com.quorvel.bridge.client.KervLoadException;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.LogLevel;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.ResultDecoder;
import com.quorvel.bridge.client.Rule;
import com.quorvel.bridge.client.RuleGroup;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.io.PrintStream;
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
        try {
            Path source = options.sourceFolder != null ? existingFolder(options.sourceFolder) : null;
            Path library = options.library == null ? null : Path.of(options.library);
            if (library != null && !Files.isRegularFile(library)) {
                throw new CannotRun("analysis library " + options.library + " not found");
            }
            try (KervSession kerv = start(library)) {
                kerv.waitForLockedProjects(Duration.ofSeconds(options.waitSeconds),
                        refusal -> err.println("kerv: " + refusal + "; waiting up to " + options.waitSeconds
                                + " s for it to close the project"));
                if (options.logFile != null) {
                    kerv.setLogFile(options.logFile);
                    kerv.setLogLevel(LogLevel.TRACE);
                }
                Project project = openProject(kerv, source != null ? source
                        : options.compileCommands.toAbsolutePath().normalize().getParent());
                List<Path> files;
                if (options.compileCommands != null) {
                    files = DatabaseSource.importInto(project, options.compileCommands, out);
                    source = source != null ? source : DatabaseSource.commonFolder(files);
                } else {
                    files = synchroniseFiles(project, source);
                }
                AnalysisOutcome outcome;
                try (ProgressBar bar = new ProgressBar(System.console() != null ? err : null)) {
                    outcome = project.analyse(bar);
                }
                int active = report(kerv, project, source, files, outcome);
                active = ReportOutputs.write(options, kerv.version(), source, byFile, withoutResults(outcome), active,
                        out, project.ruleCatalog());
                if (!outcome.complete() || !refused.isEmpty()) {
                    for (Map.Entry<Path, String> file : refused.entrySet()) {
                        err.printf("kerv: not added: %s (%s)%n", Summary.shown(source, file.getKey().toString()),
                                file.getValue());
                    }
                    for (AnalysisOutcome.UnanalysedFile file : outcome.notAnalysed()) {
                        err.printf("kerv: not analysed: %s (%s)%n", Summary.shown(source, file.file().toString()),
                                file.reason().text());
                    }
                    err.printf("kerv: %d of %d files could not be analysed%n",
                            refused.size() + outcome.notAnalysed().size(), files.size() + refused.size());
                    return CANNOT_RUN;
                }
                return active > 0 ? DIAGNOSTICS_FOUND : NO_DIAGNOSTICS;
            }
        } catch (CannotRun | IOException | UncheckedIOException | IllegalArgumentException | KervException e) {
            err.println("kerv: " + e.getMessage());
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

    private Project openProject(KervSession kerv, Path source) throws CannotRun {
        Path location = options.projectDir != null ? options.projectDir : kerv.workspace();
        String name = options.name != null ? options.name : defaultName(source);
        try {
            return kerv.openProject(location, name, configuration(options.acf), configuration(options.rcf),
                    configuration(options.cct));
        } catch (KervException e) {
            throw new CannotRun(e.getMessage());
        }
    }

    private static Path configuration(String file) {
        return file.isEmpty() ? null : Path.of(file);
    }

    static String defaultName(Path source) {
        return Project.defaultName(source);
    }

    /**
     * Brings the project in line with the folder's source files; returns the files of the project under the folder.
     * A file the analysis library refuses is kept in {@link #refused}.
     */
    private List<Path> synchroniseFiles(Project project, Path source) {
        FolderImport imported = project.importFolder(source);
        refused.putAll(imported.refused());
        return new ArrayList<>(imported.files());
    }

    private int report(KervSession kerv, Project project, Path source, List<Path> files, AnalysisOutcome outcome) {
        Map<String, Summary.RuleInfo> rules = rulesById(project.ruleGroups());
        Set<Path> notAnalysed = new HashSet<>();
        outcome.notAnalysed().forEach(file -> notAnalysed.add(file.file()));
        for (Path file : files) {
            if (notAnalysed.contains(file)) {
                continue;
            }
            byte[] xml = project.diagnosticsXml(file);
            byFile.put(file, ResultDecoder.diagnostics(xml, project.ruleCatalog()));
            if (options.xml) {
                out.println(Summary.shown(source, file.toString()) + ":");
                out.println(new String(xml, StandardCharsets.UTF_8));
            }
        }
        out.printf("kerv: analysed %d files of %s (%s; project %s in %s)%n", byFile.size(), source,
                kerv.components(), project.name(), project.location());
        if (options.rules) {
            out.println("rules:");
            rules.values().forEach(r -> out.printf("  %-12s %-36s %s  %s%n", r.group(), r.id(), r.active() ? "on " : "off",
                    r.text()));
        }
        if (options.trees) {
            out.println(new String(project.treesXml(false, List.of()), StandardCharsets.UTF_8));
        }
        return Summary.print(out, source, byFile, rules);
    }

    /** The files refused or left without up-to-date results, each with why, for the reports. */
    private List<FileWithoutResults> withoutResults(AnalysisOutcome outcome) {
        List<FileWithoutResults> files = new ArrayList<>();
        refused.forEach((file, why) -> files.add(new FileWithoutResults(file, "not added: " + why)));
        outcome.notAnalysed().forEach(file -> files.add(new FileWithoutResults(file.file(), file.reason().text())));
        return files;
    }

    /** Every rule of every group, by id, in the library's order, with its group's name as its severity. */
    static Map<String, Summary.RuleInfo> rulesById(List<RuleGroup> groups) {
        Map<String, Summary.RuleInfo> rules = new LinkedHashMap<>();
        for (RuleGroup group : groups) {
            for (Rule rule : group.rules()) {
                rules.put(rule.id(), new Summary.RuleInfo(rule.id(), group.name(), rule.active(), rule.text()));
            }
        }
        return rules;
    }
}

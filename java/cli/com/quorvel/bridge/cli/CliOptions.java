package com.quorvel.bridge.cli;

import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;

/** The parsed command line of {@link Main}. */
final class CliOptions {
    /** What an option does with its value (null for an option without one). */
    @FunctionalInterface
    interface Handling {
        void apply(CliOptions options, String value) throws UsageException;
    }

    /**
     * One option of the command line.
     *
     * @param name the option, such as "--library"
     * @param argument what its value is, such as "<file>"; empty for an option without a value
     * @param usage its lines in the usage text
     * @param handling what it does
     */
    record Option(String name, String argument, String usage, Handling handling) {}

    /** Every option, in the order the usage text lists them. */
    static final List<Option> OPTIONS = List.of(
            new Option("--library", "<file>", """
                    another analysis library than the bundled one (default: $KERV_LIBRARY, else the
                    reference library inside the jar)""", (o, value) -> o.library = value),
            new Option("--project-dir", "<dir>", "folder that holds the project (default: the analysis library's"
                    + " workspace)", (o, value) -> o.projectDir = Paths.get(value)),
            new Option("--name", "<name>", "project name (default: the source folder's name and a hash of its path)",
                    (o, value) -> o.name = value),
            new Option("--acf", "<file>", "analysis configuration (a project keeps the one it was made with)",
                    (o, value) -> o.acf = value),
            new Option("--rcf", "<file>", "rule configuration (a project keeps the one it was made with)",
                    (o, value) -> o.rcf = value),
            new Option("--cct", "<file>", """
                    compiler configuration, also for an existing project (its files whose settings
                    change are analysed again)""", (o, value) -> o.cct = value),
            new Option("--log", "<file>", "keep the native log in this file",
                    (o, value) -> o.logFile = Paths.get(value)),
            new Option("--wait", "<seconds>", """
                    how long to wait for a project that another process (an editor) has open
                    (default: 600; 0 fails at once)""", (o, value) -> o.waitSeconds = seconds(value, "--wait")),
            new Option("--xml", "", "also print each file's diagnostics as result XML", (o, value) -> o.xml = true),
            new Option("--rules", "", "also print the rule list", (o, value) -> o.rules = true),
            new Option("--trees", "", "also print the result trees as XML", (o, value) -> o.trees = true),
            new Option("--compile-commands", "<file>", """
                    analyse the files of a compile_commands.json with their defines
                    and include folders""", (o, value) -> o.compileCommands = Paths.get(value)),
            new Option("--sarif", "<file>", "write the findings as a SARIF 2.1.0 report",
                    (o, value) -> o.sarif = Paths.get(value)),
            new Option("--html", "<dir>", "write an HTML report (index.html and one page per file)",
                    (o, value) -> o.html = Paths.get(value)),
            new Option("--baseline", "<file>", """
                    compare with an earlier SARIF report: only new findings count; each new one is
                    named""", (o, value) -> o.baseline = Paths.get(value)),
            new Option("--verbose", "", "with --baseline, also name each finding of the baseline that is gone",
                    (o, value) -> o.verbose = true),
            new Option("--exclude", "<glob>", """
                    leave out the files that match (repeatable); the glob is matched against the
                    path relative to the source folder (one starting with / against the
                    absolute path): * and ? match within a name, [a-z] one character of a set,
                    ** any number of folders (e.g. '**/test/**', 'src/gen_*.c'); a matched
                    folder leaves out all below it; findings in left-out files (headers) are
                    not reported""", (o, value) -> o.exclude.add(value)),
            new Option("--fail-on", "<severity>", """
                    lowest severity that makes the exit code 1 (default: any finding); from the
                    highest: error, warning, then style, performance and portability as one level,
                    then information""", (o, value) -> o.failOn = FailOn.parse(value)),
            new Option("--help", "", "print this text", (o, value) -> o.help = true));

    /** Another name of {@code --help}. */
    private static final String HELP_SHORT = "-h";

    /** Where an option's usage starts in its line; a longer option and argument are followed by two spaces. */
    private static final int USAGE_COLUMN = 25;

    static final String USAGE = String.join(System.lineSeparator(),
            "usage: kerv [options] <source-folder>",
            "       kerv [options] --compile-commands <file> [<source-folder>]",
            "       kerv lsp                 (the language server for editors, on standard input and output)",
            "",
            "Analyses the C and C++ files of <source-folder> through the KERV bridge and prints a summary.",
            "With --compile-commands the files and their settings come from a compilation database instead;",
            "the source folder (default: the folder that holds all its files) is where paths are shown from.",
            "The project is created on the first run and reopened afterwards; only changed files are analysed again.",
            "",
            "options:",
            optionLines(),
            "",
            "Findings that a 'cppcheck-suppress' comment in the source covers are kept apart and do not count;",
            "'inline-suppressions = no' in the analysis configuration (--acf) makes them count.",
            "",
            "exit codes: 0 no active diagnostics (with --baseline: no new ones; with --fail-on: none at that severity",
            "            or above), 1 active diagnostics found,",
            "            2 bad command line,",
            "            3 the analysis could not run or left files without results",
            "            (missing folder or library, no C or C++ file, a report that cannot be written,",
            "            a bad configuration file, project error, analyser missing or failing)",
            "",
            "With standard error not a terminal (a CI log), the progress is a line at each tenth of the files and at",
            "least every 5 s. Under the C or POSIX locale the command starts itself again under C.UTF-8 so that",
            "UTF-8 file names can be read.");

    /** The options' part of the usage text, from {@link #OPTIONS}. */
    private static String optionLines() {
        List<String> lines = new ArrayList<>();
        String indent = " ".repeat(USAGE_COLUMN);
        for (Option option : OPTIONS) {
            String label = "  " + option.name() + (option.argument().isEmpty() ? "" : " " + option.argument());
            String[] usage = option.usage().split("\\n");
            lines.add(label + " ".repeat(Math.max(2, USAGE_COLUMN - label.length())) + usage[0]);
            for (int i = 1; i < usage.length; i++) {
                lines.add(indent + usage[i]);
            }
        }
        return String.join(System.lineSeparator(), lines);
    }

    Path sourceFolder;
    /** The analysis library's file; null for the one bundled with the client. */
    String library = System.getenv("KERV_LIBRARY");
    Path projectDir;
    String name;
    String acf = "";
    String rcf = "";
    String cct = "";
    Path logFile;
    /** Seconds to wait for a project that another process has open. */
    long waitSeconds = 600;
    boolean xml;
    boolean rules;
    boolean trees;
    boolean help;
    Path compileCommands;
    Path sarif;
    Path html;
    Path baseline;
    boolean verbose;
    /** Globs of --exclude, in their order. */
    final List<String> exclude = new ArrayList<>();
    FailOn failOn = FailOn.ANY;

    /** Thrown for a command line that cannot be understood. */
    static final class UsageException extends Exception {
        private static final long serialVersionUID = 1L;

        UsageException(String message) {
            super(message);
        }
    }

    static CliOptions parse(String[] args) throws UsageException {
        CliOptions options = new CliOptions();
        List<String> positional = new ArrayList<>();
        for (int i = 0; i < args.length; i++) {
            String arg = args[i];
            Option option = HELP_SHORT.equals(arg) ? find("--help") : find(arg);
            if (option != null) {
                option.handling().apply(options, option.argument().isEmpty() ? null : value(args, ++i, arg));
                if (options.help) {
                    return options;
                }
            } else if (arg.startsWith("--")) {
                throw new UsageException("unknown option " + arg);
            } else {
                positional.add(arg);
            }
        }
        if (positional.size() > 1 || positional.isEmpty() && options.compileCommands == null) {
            throw new UsageException("expected exactly one source folder");
        }
        options.sourceFolder = positional.isEmpty() ? null : Paths.get(positional.get(0));
        if (options.library != null && options.library.isEmpty()) options.library = null;
        return options;
    }

    private static Option find(String name) {
        return OPTIONS.stream().filter(option -> option.name().equals(name)).findFirst().orElse(null);
    }

    private static long seconds(String value, String option) throws UsageException {
        try {
            long seconds = Long.parseLong(value);
            if (seconds >= 0) {
                return seconds;
            }
        } catch (NumberFormatException e) {
            // reported below
        }
        throw new UsageException(option + " needs a number of seconds, not " + value);
    }

    private static String value(String[] args, int index, String option) throws UsageException {
        if (index >= args.length) {
            throw new UsageException(option + " needs a value");
        }
        return args[index];
    }
}

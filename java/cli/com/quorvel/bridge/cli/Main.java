package com.quorvel.bridge.cli;

/** Command-line front end: analyses a C and C++ source folder through the KERV bridge. */
public final class Main {
    private Main() {}

    public static void main(String[] args) {
        System.exit(run(args));
    }

    static int run(String[] args) {
        CliOptions options;
        try {
            options = CliOptions.parse(args);
        } catch (CliOptions.UsageException e) {
            System.err.println("kerv: " + e.getMessage());
            System.err.println(CliOptions.USAGE);
            return AnalysisRun.BAD_USAGE;
        }
        if (options.help) {
            System.out.println(CliOptions.USAGE);
            return AnalysisRun.NO_DIAGNOSTICS;
        }
        return new AnalysisRun(options, System.out, System.err).run();
    }
}

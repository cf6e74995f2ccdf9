package com.quorvel.bridge.cli;

import com.quorvel.bridge.lsp.LanguageServer;
import java.io.IOException;
import java.nio.file.InvalidPathException;
import java.util.Arrays;

/** Command-line front end: analyses a C and C++ source folder through the KERV bridge, or runs the language server. */
public final class Main {
    private Main() {}

    public static void main(String[] args) throws InterruptedException {
        if (PathEncoding.shouldStartAgain(args, System.getenv())) {
            try {
                System.exit(PathEncoding.startAgain(args));
            } catch (IOException e) {
                // runs here instead, where names that cannot be read are reported with their bytes
            }
        }
        PathEncoding.endWithTheFirstJvm();
        System.exit(run(args));
    }

    static int run(String[] args) {
        if (args.length > 0 && args[0].equals("lsp")) {
            return LanguageServer.run(Arrays.copyOfRange(args, 1, args.length));
        }
        CliOptions options;
        try {
            options = CliOptions.parse(args);
        } catch (CliOptions.UsageException e) {
            System.err.println("kerv: " + e.getMessage());
            System.err.println(CliOptions.USAGE);
            return AnalysisRun.BAD_USAGE;
        } catch (InvalidPathException e) {
            System.err.println("kerv: " + e.getInput() + " cannot be read as a path in this JVM's path encoding "
                    + PathEncoding.encoding() + ": " + PathEncoding.FIX);
            return AnalysisRun.BAD_USAGE;
        }
        if (options.help) {
            System.out.println(CliOptions.USAGE);
            return AnalysisRun.NO_DIAGNOSTICS;
        }
        return new AnalysisRun(options, System.out, System.err).run();
    }
}

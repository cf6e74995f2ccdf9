package com.quorvel.bridge.cli;

import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;

/** Checks, before the analysis, that the reports can be written where the options say. */
final class OutputPaths {
    private OutputPaths() {}

    /** Throws with the system's reason when the SARIF file or the HTML folder cannot be written. */
    static void check(CliOptions options) throws AnalysisRun.CannotRun {
        if (options.sarif != null) {
            writableFile(options.sarif);
        }
        if (options.html != null) {
            writableFolder(options.html);
        }
    }

    /** Opens the file for writing without emptying it; a file made for the check is removed again. */
    private static void writableFile(Path file) throws AnalysisRun.CannotRun {
        boolean existed = Files.exists(file);
        try {
            FileChannel.open(file, StandardOpenOption.CREATE, StandardOpenOption.WRITE).close();
            if (!existed) {
                Files.deleteIfExists(file);
            }
        } catch (IOException e) {
            throw new AnalysisRun.CannotRun("cannot write " + file + ": " + SystemReason.of(e));
        }
    }

    private static void writableFolder(Path folder) throws AnalysisRun.CannotRun {
        try {
            Files.delete(Files.createTempFile(Files.createDirectories(folder), ".kerv-", ".check"));
        } catch (IOException e) {
            throw new AnalysisRun.CannotRun("cannot write in " + folder + ": " + SystemReason.of(e));
        }
    }
}

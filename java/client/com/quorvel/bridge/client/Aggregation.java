package com.quorvel.bridge.client;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import com.quorvel.bridge.client.AnalysisOutcome.Reason;
import com.quorvel.bridge.client.AnalysisOutcome.UnanalysedFile;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/**
 * One analysis of the open project and what it did to each file, told from what the bridge returns.
 *
 * <p>{@code aggregate} returns nothing, so the files are asked before and after it: a file without up-to-date results
 * before that has them after was analysed. A file still without them is one the reference library could not read
 * (checked here on the file itself), one that the preprocessor stopped at an {@code #error} (it has results, never up
 * to date, holding that {@code #error}), one whose results it keeps only in memory because they could not be saved
 * (it has results, none up to date), or one the analyser failed on (the library drops such a file's results). Runs on
 * the bridge thread with the project open.
 */
final class Aggregation {
    /** The analyser's message when an {@code #error} stopped the preprocessor. */
    private static final String PREPROCESSOR_STOP = "preprocessorErrorDirective";

    private Aggregation() {}

    static AnalysisOutcome run(Project project, ProgressRelay relay) {
        List<String> stale = new ArrayList<>();
        for (String file : FileDecoder.list(KERVBridge.getFiles())) {
            if (!KERVBridge.hasUpToDateResults(file)) {
                stale.add(file);
            }
        }
        if (relay != null) {
            relay.filesToAnalyse(stale.size());
        }
        KERVProgress.setListener(relay);
        try {
            KERVBridge.aggregate();
        } finally {
            KERVProgress.setListener(null);
        }
        List<Path> analysed = new ArrayList<>();
        List<UnanalysedFile> notAnalysed = new ArrayList<>();
        for (String file : stale) {
            if (KERVBridge.hasUpToDateResults(file)) {
                analysed.add(Path.of(file));
            } else {
                notAnalysed.add(new UnanalysedFile(Path.of(file), reasonFor(file)));
            }
        }
        AnalysisOutcome outcome = new AnalysisOutcome(analysed, notAnalysed);
        if (analysed.isEmpty() && !notAnalysed.isEmpty()) {
            throwWhenNothingCouldRun(project, outcome);
        }
        return outcome;
    }

    private static Reason reasonFor(String file) {
        Path path = Path.of(file);
        if (!Files.isRegularFile(path) || !Files.isReadable(path)) {
            return Reason.SOURCE_MISSING;
        }
        if (!KERVBridge.hasResults(file)) {
            return Reason.ANALYSER_FAILED;
        }
        byte[] xml = KERVBridge.getDiagnostics(file, null, null, 0);
        boolean stopped = xml != null && ResultDecoder.diagnostics(xml).stream()
                .anyMatch(d -> PREPROCESSOR_STOP.equals(d.messageId()));
        return stopped ? Reason.PREPROCESSOR_STOPPED : Reason.RESULTS_NOT_SAVED;
    }

    /**
     * No file was analysed: the analyser cannot be run, it failed on every file it was given, or no result could be
     * saved. Files that are only missing or stopped by their preprocessor are an outcome, not a failure of the
     * analysis.
     */
    private static void throwWhenNothingCouldRun(Project project, AnalysisOutcome outcome) {
        List<UnanalysedFile> given = outcome.notAnalysed().stream()
                .filter(f -> f.reason() != Reason.SOURCE_MISSING && f.reason() != Reason.PREPROCESSOR_STOPPED).toList();
        if (given.isEmpty()) {
            return;
        }
        String count = given.size() == 1 ? "the one file" : "all " + given.size() + " files";
        if (FileDecoder.list(KERVBridge.getReportTools()).isEmpty()) {
            throw KervException.of("aggregate", KervStatus.ANALYZER_MISSING.code(), "the analyser cannot be run ("
                    + KERVBridge.getComponents() + "), so " + count + " to analyse were not, the first "
                    + given.get(0).file());
        }
        Reason reason = given.get(0).reason();
        if (!given.stream().allMatch(f -> f.reason() == reason)) {
            return;
        }
        if (reason == Reason.RESULTS_NOT_SAVED) {
            throw KervException.of("aggregate", KervStatus.WRITE_FAILED.code(), "the results of " + count
                    + " could not be saved in project folder " + project.location().resolve(project.name()));
        }
        throw KervException.of("aggregate", KervStatus.ANALYSIS_FAILED.code(),
                "the analyser failed on " + count + ", the first " + given.get(0).file());
    }
}

package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.report.AnalysisReport;
import com.quorvel.bridge.client.report.Baseline;
import com.quorvel.bridge.client.report.FileWithoutResults;
import com.quorvel.bridge.client.report.HtmlReport;
import com.quorvel.bridge.client.report.SarifReport;
import java.io.PrintStream;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/** The reports a run writes besides its summary (--sarif, --html) and its comparison with a baseline. */
final class ReportOutputs {
    private ReportOutputs() {}

    /**
     * What a run found, as the reports take it.
     *
     * @param version the analysis library's version
     * @param source the folder that paths are shown relative to
     * @param byFile the diagnostics of each analysed file
     * @param withoutResults the files left without results, each with why
     * @param catalog the project's rules
     */
    record Run(String version, Path source, Map<Path, List<Diagnostic>> byFile,
            List<FileWithoutResults> withoutResults, RuleCatalog catalog) {
        AnalysisReport report() {
            return new AnalysisReport(version, source, byFile, withoutResults, catalog);
        }
    }

    /**
     * Writes the reports the options ask for and compares with the baseline (read before the analysis, null for
     * none); returns the count of findings that decides the exit code: with a baseline the new ones at the --fail-on
     * severity or above, else {@code failing}.
     */
    static int write(CliOptions options, Baseline baseline, Run run, int failing, PrintStream out) {
        if (options.sarif == null && options.html == null && baseline == null) {
            return failing;
        }
        AnalysisReport report = run.report();
        int counted = failing;
        if (baseline != null) {
            Baseline.Comparison comparison = baseline.compare(report);
            out.printf("baseline %s: %d new, %d unchanged, %d gone%n", options.baseline, comparison.added(),
                    comparison.unchanged(), comparison.gone());
            counted = (int) baseline.newFindings(report).stream()
                    .filter(f -> options.failOn.counts(f.diagnostic().severity())).count();
            nameChanges(baseline, report, options.verbose, out);
        }
        if (options.sarif != null) {
            SarifReport.write(report, options.sarif, baseline);
            out.println("kerv: SARIF report in " + options.sarif);
        }
        if (options.html != null) {
            HtmlReport.write(report, options.html);
            out.println("kerv: HTML report in " + options.html.resolve("index.html"));
        }
        return counted;
    }

    /** Names each new finding and, when {@code gone} too is asked for, each finding of the baseline that is gone. */
    private static void nameChanges(Baseline baseline, AnalysisReport report, boolean gone, PrintStream out) {
        Path source = report.sourceRoot();
        baseline.newFindings(report).stream().map(f -> ListingLine.of(source, f.diagnostic()))
                .sorted(ListingLine.ORDER).forEach(line -> out.println("new: " + line));
        if (gone) {
            baseline.goneResults(report).stream().map(r -> new ListingLine(Summary.shown(source, r.location().file()),
                    r.location().line(), r.location().column(), report.catalog().severityOf(r.ruleId()).text(),
                    r.text(), r.ruleId())).sorted(ListingLine.ORDER).forEach(line -> out.println("gone: " + line));
        }
    }

}

package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.AnalysisReport;
import com.quorvel.bridge.client.Baseline;
import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.FileWithoutResults;
import com.quorvel.bridge.client.HtmlReport;
import com.quorvel.bridge.client.RuleCatalog;
import com.quorvel.bridge.client.SarifReport;
import java.io.PrintStream;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/** The reports a run writes besides its summary (--sarif, --html) and its comparison with a baseline. */
final class ReportOutputs {
    private ReportOutputs() {}

    /**
     * Writes the reports the options ask for; returns the count of findings that decides the exit code: with a
     * baseline the new ones at the --fail-on severity or above, else {@code failing}.
     */
    static int write(CliOptions options, String version, Path source, Map<Path, List<Diagnostic>> byFile,
            List<FileWithoutResults> withoutResults, int failing, PrintStream out, RuleCatalog catalog) {
        if (options.sarif == null && options.html == null && options.baseline == null) {
            return failing;
        }
        AnalysisReport report = new AnalysisReport(version, source, byFile, withoutResults, catalog);
        Baseline baseline = options.baseline == null ? null : Baseline.read(options.baseline);
        int counted = failing;
        if (baseline != null) {
            Baseline.Comparison comparison = baseline.compare(report);
            out.printf("baseline %s: %d new, %d unchanged, %d gone%n", options.baseline, comparison.added(),
                    comparison.unchanged(), comparison.gone());
            counted = (int) report.findings().values().stream().flatMap(List::stream)
                    .filter(f -> baseline.isNew(f) && options.failOn.counts(f.diagnostic().severity())).count();
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

}

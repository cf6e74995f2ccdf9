package com.quorvel.bridge.client.report;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.RuleCatalog;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.Collections;
import java.util.Comparator;
import java.util.HashMap;
import java.util.HexFormat;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Objects;

/**
 * The results of one run as the reports ({@link SarifReport}, {@link HtmlReport}) show them: the findings of each
 * analysed file in line order with their fingerprints, the files left without results, and the rules.
 */
public final class AnalysisReport {
    private static final Location NOWHERE = new Location("", 0, 0);

    private final String toolVersion;
    private final Path sourceRoot;
    private final RuleCatalog catalog;
    private final Map<Path, List<Finding>> findings = new LinkedHashMap<>();
    private final List<FileWithoutResults> withoutResults;

    /**
     * Collects a run's results; each analysed file's source is read once, for the fingerprints.
     *
     * @param toolVersion the version the reports give for the analyser
     * @param sourceRoot the folder that file paths are shown relative to
     * @param diagnostics the diagnostics of each analysed file, as {@link Project#diagnostics(Path)} gives them
     * @param withoutResults the files of the run left without results, possibly none
     * @param catalog the project's rules, as {@link Project#ruleCatalog()} gives them
     */
    public AnalysisReport(String toolVersion, Path sourceRoot, Map<Path, List<Diagnostic>> diagnostics,
            List<FileWithoutResults> withoutResults, RuleCatalog catalog) {
        this.toolVersion = Objects.requireNonNull(toolVersion, "toolVersion");
        this.sourceRoot = sourceRoot.toAbsolutePath().normalize();
        this.catalog = Objects.requireNonNull(catalog, "catalog");
        this.withoutResults = List.copyOf(withoutResults);
        Map<String, List<String>> sources = new HashMap<>();
        MessageDigest sha256 = sha256();
        diagnostics.forEach((file, list) -> {
            List<Diagnostic> inLineOrder = new ArrayList<>(list);
            inLineOrder.sort(Comparator.comparing((Diagnostic d) -> primaryOf(d).file())
                    .thenComparingInt(d -> primaryOf(d).line()).thenComparingInt(d -> primaryOf(d).column()));
            Map<String, Integer> occurrences = new HashMap<>();
            List<Finding> fileFindings = new ArrayList<>();
            for (Diagnostic d : inLineOrder) {
                Location at = primaryOf(d);
                String line = sourceLine(sources, at).strip().replaceAll("\\s+", " ");
                String key = d.ruleId() + '\0' + shownPath(at.file()) + '\0' + line;
                int occurrence = occurrences.merge(key, 1, Integer::sum);
                byte[] hash = sha256.digest(key.getBytes(StandardCharsets.UTF_8));
                fileFindings.add(new Finding(d, at, HexFormat.of().formatHex(hash, 0, 16) + ":" + occurrence));
            }
            findings.put(file.toAbsolutePath().normalize(), List.copyOf(fileFindings));
        });
    }

    private static MessageDigest sha256() {
        try {
            return MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException("every Java platform has SHA-256", e);
        }
    }

    /** The text of a location's line; empty when the file cannot be read or is shorter. */
    private static String sourceLine(Map<String, List<String>> sources, Location at) {
        List<String> lines = sources.computeIfAbsent(at.file(), AnalysisReport::readLines);
        return at.line() >= 1 && at.line() <= lines.size() ? lines.get(at.line() - 1) : "";
    }

    /**
     * Reads a source file's lines; bytes that are not UTF-8 are replaced, a file that cannot be read has none.
     *
     * @param file the file's path
     * @return its lines
     */
    static List<String> readLines(String file) {
        try {
            return new String(Files.readAllBytes(Path.of(file)), StandardCharsets.UTF_8).lines().toList();
        } catch (IOException | RuntimeException e) {
            return List.of();
        }
    }

    /**
     * Returns a diagnostic's first location.
     *
     * @param diagnostic the diagnostic
     * @return its first location; line 0 of no file when it has none
     */
    public static Location primaryOf(Diagnostic diagnostic) {
        return diagnostic.locations().isEmpty() ? NOWHERE : diagnostic.locations().get(0);
    }

    /**
     * Shows a path relative to the source root when it is below it.
     *
     * @param file a path as the analysis library gives it
     * @return the path relative to the root with "/" between names, or the path as it is
     */
    public String shownPath(String file) {
        if (file.isEmpty()) {
            return file;
        }
        Path path = Path.of(file);
        return path.startsWith(sourceRoot) ? sourceRoot.relativize(path).toString().replace('\\', '/') : file;
    }

    /**
     * Returns the version the reports give for the analyser.
     *
     * @return the version
     */
    public String toolVersion() {
        return toolVersion;
    }

    /**
     * Returns the folder that file paths are shown relative to.
     *
     * @return the folder, absolute and normalised
     */
    public Path sourceRoot() {
        return sourceRoot;
    }

    /**
     * Returns the project's rules.
     *
     * @return the catalog
     */
    public RuleCatalog catalog() {
        return catalog;
    }

    /**
     * Returns the findings of each analysed file, in line order.
     *
     * @return the findings by file, in the order the files were given
     */
    public Map<Path, List<Finding>> findings() {
        return Collections.unmodifiableMap(findings);
    }

    /**
     * Returns the files left without results.
     *
     * @return the files and reasons
     */
    public List<FileWithoutResults> withoutResults() {
        return withoutResults;
    }
}

package com.quorvel.bridge.client.report;

import com.fasterxml.jackson.core.JsonFactory;
import com.fasterxml.jackson.core.JsonParser;
import com.fasterxml.jackson.core.JsonProcessingException;
import com.fasterxml.jackson.core.JsonToken;
import com.quorvel.bridge.client.Location;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.net.URI;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.Set;

/**
 * The findings of an earlier SARIF report written by {@link SarifReport}, recognised by their fingerprints, so that a
 * run can tell its new findings from those already there.
 */
public final class Baseline {
    private static final JsonFactory JSON = new JsonFactory();

    /** The active results by fingerprint. */
    private final Map<String, Result> active;
    /** The fingerprints of every result, switched off or not. */
    private final Set<String> everyFingerprint;

    private Baseline(Map<String, Result> active, Set<String> everyFingerprint) {
        this.active = Map.copyOf(active);
        this.everyFingerprint = Set.copyOf(everyFingerprint);
    }

    /**
     * An active result of the baseline as its report gave it.
     *
     * @param ruleId the rule; empty when the result names none
     * @param text the message
     * @param location the first location: the path as the report shows it (relative to the report's source folder,
     *     else absolute; empty when unknown), line and column (0 when not given)
     */
    public record Result(String ruleId, String text, Location location) {
        /**
         * Makes the result.
         *
         * @param ruleId the rule
         * @param text the message
         * @param location the first location
         */
        public Result {
            Objects.requireNonNull(ruleId, "ruleId");
            Objects.requireNonNull(text, "text");
            Objects.requireNonNull(location, "location");
        }
    }

    /**
     * How a run compares with the baseline; only active findings count.
     *
     * @param added findings the baseline does not hold
     * @param unchanged findings the baseline holds
     * @param gone findings of the baseline that the run no longer has
     */
    public record Comparison(int added, int unchanged, int gone) {}

    /**
     * Reads the fingerprints of the results of every run of a SARIF log; those without suppressions are active.
     *
     * @param sarif the log
     * @return the baseline
     * @throws IllegalArgumentException when the file is not JSON
     * @throws UncheckedIOException when it cannot be read
     */
    public static Baseline read(Path sarif) {
        Map<String, Result> active = new HashMap<>();
        Set<String> everyFingerprint = new HashSet<>();
        try (JsonParser in = JSON.createParser(sarif.toFile())) {
            for (JsonToken token = in.nextToken(); token != null; token = in.nextToken()) {
                if (token == JsonToken.FIELD_NAME && "results".equals(in.currentName())
                        && in.nextToken() == JsonToken.START_ARRAY) {
                    while (in.nextToken() == JsonToken.START_OBJECT) {
                        result(in, active, everyFingerprint);
                    }
                }
            }
        } catch (JsonProcessingException e) {
            throw new IllegalArgumentException(sarif + " is not valid JSON: " + e.getOriginalMessage(), e);
        } catch (IOException e) {
            throw new UncheckedIOException("cannot read " + sarif, e);
        }
        return new Baseline(active, everyFingerprint);
    }

    private static void result(JsonParser in, Map<String, Result> active, Set<String> everyFingerprint)
            throws IOException {
        Map<String, String> fields = new HashMap<>();
        flatten(in, "", fields);
        String fingerprint = fields.get("partialFingerprints." + SarifReport.FINGERPRINT_KEY);
        if (fingerprint != null) {
            everyFingerprint.add(fingerprint);
            if (!fields.containsKey("suppressions.0")) {
                active.put(fingerprint, resultOf(fields));
            }
        }
    }

    /**
     * Reads the object or array the parser is at into {@code out}, each value under its dotted path (array elements
     * by index: "locations.0.physicalLocation"); an object or array is kept as an empty value.
     */
    private static void flatten(JsonParser in, String prefix, Map<String, String> out) throws IOException {
        boolean array = in.currentToken() == JsonToken.START_ARRAY;
        int index = 0;
        for (JsonToken token = in.nextToken(); token != JsonToken.END_OBJECT && token != JsonToken.END_ARRAY;
                token = in.nextToken()) {
            String key = prefix + (array ? String.valueOf(index++) : in.currentName());
            if (!array) {
                token = in.nextToken();
            }
            if (token == JsonToken.START_OBJECT || token == JsonToken.START_ARRAY) {
                out.put(key, "");
                flatten(in, key + ".", out);
            } else {
                out.put(key, in.getValueAsString(""));
            }
        }
    }

    private static Result resultOf(Map<String, String> fields) {
        String at = "locations.0.physicalLocation.";
        String uri = fields.getOrDefault(at + "artifactLocation.uri", "");
        String file = uri;
        try {
            if (fields.containsKey(at + "artifactLocation.uriBaseId")) {
                file = URI.create(uri).getPath();
            } else if (uri.startsWith("file:")) {
                file = Path.of(URI.create(uri)).toString();
            }
        } catch (IllegalArgumentException e) {
            file = uri;  // shown as the report wrote it
        }
        return new Result(fields.getOrDefault("ruleId", ""), fields.getOrDefault("message.text", ""),
                new Location(file, number(fields.get(at + "region.startLine")),
                        number(fields.get(at + "region.startColumn"))));
    }

    private static int number(String value) {
        try {
            return value == null ? 0 : Integer.parseInt(value);
        } catch (NumberFormatException e) {
            return 0;
        }
    }

    /**
     * Tells whether the baseline holds a finding.
     *
     * @param finding a finding of the current run
     * @return whether a result of the baseline has its fingerprint
     */
    public boolean contains(Finding finding) {
        return everyFingerprint.contains(finding.fingerprint());
    }

    /**
     * Tells whether a finding of the current run is new: it is active and no active result of the baseline has its
     * fingerprint.
     *
     * @param finding a finding of the current run
     * @return whether it is new
     */
    public boolean isNew(Finding finding) {
        return finding.active() && !active.containsKey(finding.fingerprint());
    }

    /**
     * Compares a run's active findings with the baseline.
     *
     * @param report the run
     * @return the counts of new, unchanged and gone findings
     */
    public Comparison compare(AnalysisReport report) {
        Set<String> seen = new HashSet<>();
        int added = 0;
        for (List<Finding> findings : report.findings().values()) {
            for (Finding finding : findings) {
                if (finding.active()) {
                    seen.add(finding.fingerprint());
                    added += active.containsKey(finding.fingerprint()) ? 0 : 1;
                }
            }
        }
        int unchanged = (int) active.keySet().stream().filter(seen::contains).count();
        return new Comparison(added, unchanged, active.size() - unchanged);
    }

    /**
     * Returns a run's active findings that the baseline does not hold.
     *
     * @param report the run
     * @return the new findings, in the report's order
     */
    public List<Finding> newFindings(AnalysisReport report) {
        List<Finding> added = new ArrayList<>();
        report.findings().values().forEach(findings -> findings.stream().filter(this::isNew).forEach(added::add));
        return added;
    }

    /**
     * Returns the baseline's active results that a run no longer has.
     *
     * @param report the run
     * @return the gone results, in no particular order
     */
    public List<Result> goneResults(AnalysisReport report) {
        Map<String, Result> gone = new HashMap<>(active);
        report.findings().values().forEach(findings -> findings.stream().filter(Finding::active)
                .forEach(f -> gone.remove(f.fingerprint())));
        return new ArrayList<>(gone.values());
    }
}

package com.quorvel.bridge.client;

import com.fasterxml.jackson.core.JsonFactory;
import com.fasterxml.jackson.core.JsonParser;
import com.fasterxml.jackson.core.JsonProcessingException;
import com.fasterxml.jackson.core.JsonToken;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Path;
import java.util.HashSet;
import java.util.List;
import java.util.Set;

/**
 * The findings of an earlier SARIF report written by {@link SarifReport}, recognised by their fingerprints, so that a
 * run can tell its new findings from those already there.
 */
public final class Baseline {
    private static final JsonFactory JSON = new JsonFactory();

    /** The fingerprints of the active results. */
    private final Set<String> fingerprints;
    /** The fingerprints of every result, switched off or not. */
    private final Set<String> everyFingerprint;

    private Baseline(Set<String> fingerprints, Set<String> everyFingerprint) {
        this.fingerprints = Set.copyOf(fingerprints);
        this.everyFingerprint = Set.copyOf(everyFingerprint);
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
        Set<String> fingerprints = new HashSet<>();
        Set<String> everyFingerprint = new HashSet<>();
        try (JsonParser in = JSON.createParser(sarif.toFile())) {
            for (JsonToken token = in.nextToken(); token != null; token = in.nextToken()) {
                if (token == JsonToken.FIELD_NAME && "results".equals(in.currentName())
                        && in.nextToken() == JsonToken.START_ARRAY) {
                    while (in.nextToken() == JsonToken.START_OBJECT) {
                        result(in, fingerprints, everyFingerprint);
                    }
                }
            }
        } catch (JsonProcessingException e) {
            throw new IllegalArgumentException(sarif + " is not valid JSON: " + e.getOriginalMessage(), e);
        } catch (IOException e) {
            throw new UncheckedIOException("cannot read " + sarif, e);
        }
        return new Baseline(fingerprints, everyFingerprint);
    }

    private static void result(JsonParser in, Set<String> fingerprints, Set<String> everyFingerprint)
            throws IOException {
        String fingerprint = null;
        boolean suppressed = false;
        while (in.nextToken() == JsonToken.FIELD_NAME) {
            String field = in.currentName();
            JsonToken value = in.nextToken();
            if ("partialFingerprints".equals(field) && value == JsonToken.START_OBJECT) {
                while (in.nextToken() == JsonToken.FIELD_NAME) {
                    in.nextToken();
                    if (SarifReport.FINGERPRINT_KEY.equals(in.currentName())) {
                        fingerprint = in.getValueAsString();
                    }
                    in.skipChildren();
                }
            } else if ("suppressions".equals(field) && value == JsonToken.START_ARRAY) {
                while (in.nextToken() != JsonToken.END_ARRAY) {
                    suppressed = true;
                    in.skipChildren();
                }
            } else {
                in.skipChildren();
            }
        }
        if (fingerprint != null) {
            everyFingerprint.add(fingerprint);
            if (!suppressed) {
                fingerprints.add(fingerprint);
            }
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
        return finding.active() && !fingerprints.contains(finding.fingerprint());
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
                    added += fingerprints.contains(finding.fingerprint()) ? 0 : 1;
                }
            }
        }
        int unchanged = (int) fingerprints.stream().filter(seen::contains).count();
        return new Comparison(added, unchanged, fingerprints.size() - unchanged);
    }
}

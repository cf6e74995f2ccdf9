package com.quorvel.bridge.client.report;

import java.nio.file.Path;
import java.util.Objects;

/**
 * A file of a run that was left without results, and why.
 *
 * @param file the file
 * @param reason why, for people to read
 */
public record FileWithoutResults(Path file, String reason) {
    /**
     * Creates the record.
     *
     * @param file the file
     * @param reason why it has no results
     */
    public FileWithoutResults {
        Objects.requireNonNull(file, "file");
        Objects.requireNonNull(reason, "reason");
    }
}

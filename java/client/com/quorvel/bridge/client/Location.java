package com.quorvel.bridge.client;

import java.util.Objects;

/**
 * A place in a source file.
 *
 * @param file the file's path, as the analysis library gives it
 * @param line the line, from 1
 * @param column the column, from 1
 */
public record Location(String file, int line, int column) {
    /**
     * Creates a location.
     *
     * @param file the file's path, as the analysis library gives it
     * @param line the line, from 1
     * @param column the column, from 1
     */
    public Location {
        Objects.requireNonNull(file, "file");
    }
}

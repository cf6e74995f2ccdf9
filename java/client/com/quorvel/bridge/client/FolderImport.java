package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * What {@link Project#importFolder(Path)} changed.
 *
 * @param files the folder's source files that the project holds afterwards, in path order
 * @param refused files that the analysis library refused to add, each with its reason, in path order
 * @param added files added
 * @param removed files below the folder that the project held and the folder no longer has
 */
public record FolderImport(List<Path> files, Map<Path, String> refused, int added, int removed) {
    /**
     * Creates an import summary; the list and the map are copied.
     *
     * @param files the files the project holds
     * @param refused the files refused, with their reasons
     * @param added files added
     * @param removed files removed
     */
    public FolderImport {
        files = List.copyOf(files);
        refused = Collections.unmodifiableMap(new LinkedHashMap<>(refused));
    }
}

package com.quorvel.bridge.client;

import java.util.List;

/**
 * The settings of one file of a project.
 *
 * @param language the file's language, {@code null} when the analysis library names none
 * @param defines the file's preprocessor definitions, possibly none
 * @param includeFolders the file's include folders, possibly none
 */
public record SourceFile(SourceLanguage language, List<String> defines, List<String> includeFolders) {
    /**
     * Creates a file's settings; the lists are copied and must not hold null.
     *
     * @param language the file's language, {@code null} when the analysis library names none
     * @param defines the file's preprocessor definitions, possibly none
     * @param includeFolders the file's include folders, possibly none
     */
    public SourceFile {
        defines = List.copyOf(defines);
        includeFolders = List.copyOf(includeFolders);
    }
}

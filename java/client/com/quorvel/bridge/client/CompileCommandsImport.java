package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.List;

/**
 * What {@link Project#importCompileCommands(Path)} changed.
 *
 * @param files the database's files, in its order; the project holds exactly these afterwards
 * @param added files the project did not hold
 * @param updated files whose language, definitions or include folders changed (their results are made again)
 * @param removed files of the project that the database no longer names
 * @param conflicting entries left out because an earlier entry for the same file has other settings
 * @param notSource files left out because the analysis library does not take their kind (their extension)
 * @param excluded files left out because the caller excluded them
 * @param warnings one per compiler that could not be asked for its predefined macros, naming it and saying why and
 *     how many files are analysed without them
 */
public record CompileCommandsImport(List<Path> files, int added, int updated, int removed, int conflicting,
        int notSource, int excluded, List<String> warnings) {
    /**
     * Creates an import summary; the lists are copied.
     *
     * @param files the database's files
     * @param added files added
     * @param updated files updated
     * @param removed files removed
     * @param conflicting entries left out
     * @param notSource files left out for their kind
     * @param excluded files left out by the caller
     * @param warnings the compilers that could not be asked for their macros
     */
    public CompileCommandsImport {
        files = List.copyOf(files);
        warnings = List.copyOf(warnings);
    }
}

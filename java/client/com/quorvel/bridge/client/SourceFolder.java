package com.quorvel.bridge.client;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.function.Predicate;
import java.util.stream.Stream;

/** The C and C++ source files of a folder, as a project takes them from it. */
public final class SourceFolder {
    private SourceFolder() {}

    /**
     * Lists the regular files below a folder whose extension is one of {@code extensions}, that are in no hidden
     * folder (one whose name starts with '.') and that {@code excluded} does not accept.
     *
     * @param folder the folder
     * @param extensions the extensions taken, with their dot ({@link LibraryInfo#fileExtensions()})
     * @param excluded the files to leave out
     * @return the files, in path order
     * @throws IOException when the folder cannot be read
     */
    public static List<Path> scan(Path folder, List<String> extensions, Predicate<Path> excluded) throws IOException {
        try (Stream<Path> walk = Files.walk(folder)) {
            return walk.filter(file -> !isHidden(folder, file) && !excluded.test(file) && Files.isRegularFile(file))
                    .filter(file -> extensions.contains(SourceLanguage.extensionOf(file))).sorted().toList();
        }
    }

    private static boolean isHidden(Path root, Path path) {
        for (Path part : root.relativize(path)) {
            if (part.toString().startsWith(".")) {
                return true;
            }
        }
        return false;
    }
}

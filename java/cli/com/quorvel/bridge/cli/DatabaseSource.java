package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.CompileCommand;
import com.quorvel.bridge.client.CompileCommandsImport;
import com.quorvel.bridge.client.CompileDatabase;
import com.quorvel.bridge.client.Project;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;

/** The files of a run taken from a compilation database instead of a folder. */
final class DatabaseSource {
    private DatabaseSource() {}

    /**
     * The database's files that the project now holds, and the folder that paths are shown from and excluded from.
     *
     * @param files the files
     * @param root the source folder given, else the deepest folder that holds every file of the database
     */
    record Imported(List<Path> files, Path root) {}

    /**
     * Brings the project in line with the database, leaving out the files that the globs exclude, and says what
     * changed.
     */
    static Imported importInto(Project project, Path database, Path source, ExcludeGlobs excludes, PrintStream out) {
        if (!Files.isRegularFile(database) || !Files.isReadable(database)) {
            throw new IllegalArgumentException("database is not a readable regular file: " + database.toAbsolutePath());
        }
        CompileDatabase read = CompileDatabase.read(database);
        Path root = source != null ? source : commonFolder(read.commands().stream().map(CompileCommand::file).toList());
        CompileCommandsImport imported = project.importCompileCommands(database, read,
                file -> excludes.excludes(root, file));
        out.printf("kerv: %d files from %s (%d added, %d updated, %d removed)%n", imported.files().size(), database,
                imported.added(), imported.updated(), imported.removed());
        if (imported.excluded() > 0) {
            out.printf("kerv: %d more files are excluded (--exclude)%n", imported.excluded());
        }
        if (imported.conflicting() > 0) {
            out.printf("kerv: %d more entries name a file again with other settings; the first entry of each file"
                    + " counts%n", imported.conflicting());
        }
        for (String warning : imported.warnings()) {
            out.println("kerv: warning: " + warning);
        }
        if (imported.notSource() > 0) {
            out.printf("kerv: %d more files are not C or C++ sources and are left out%n", imported.notSource());
        }
        return new Imported(imported.files(), root);
    }

    /** The deepest folder that holds every file; the file system's root when they share nothing. */
    static Path commonFolder(List<Path> files) {
        Path common = null;
        for (Path file : files) {
            Path folder = file.getParent();
            if (common == null) {
                common = folder;
            }
            while (!folder.startsWith(common)) {
                common = common.getParent();
            }
        }
        return common != null ? common : Path.of("/");
    }
}

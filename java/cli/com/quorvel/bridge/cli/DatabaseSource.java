package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.CompileCommandsImport;
import com.quorvel.bridge.client.Project;
import java.io.PrintStream;
import java.nio.file.Path;
import java.util.List;

/** The files of a run taken from a compilation database instead of a folder. */
final class DatabaseSource {
    private DatabaseSource() {}

    /** Brings the project in line with the database, says what changed, returns the database's files. */
    static List<Path> importInto(Project project, Path database, PrintStream out) {
        CompileCommandsImport imported = project.importCompileCommands(database);
        out.printf("kerv: %d files from %s (%d added, %d updated, %d removed)%n", imported.files().size(), database,
                imported.added(), imported.updated(), imported.removed());
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
        return imported.files();
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

package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.CompileCommandsImport;
import com.quorvel.bridge.client.FolderImport;
import com.quorvel.bridge.client.Project;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.FileTime;
import java.util.Map;

/**
 * Keeps the workspace project's files in line with the workspace, as the command line does: from the compilation
 * database when there is one (the one named in the initialisation options, else {@code compile_commands.json} in the
 * folder or in its {@code build/}), else from the folder's C and C++ files. The database is imported again when it
 * changed (another path or modification time). Used on the analysis thread only.
 */
final class ProjectSync {
    static final String DATABASE_NAME = "compile_commands.json";

    private final Path root;
    private final Path configured;
    private final ServerLog log;
    private Path imported;
    private FileTime importedTime;
    private boolean synced;

    /**
     * @param root the workspace folder
     * @param configured the database the client named (a file or a folder holding one, relative to the workspace
     *     folder or absolute); null for none
     */
    ProjectSync(Path root, String configured, ServerLog log) {
        this.root = root;
        this.configured = configured == null || configured.isBlank() ? null : root.resolve(configured).normalize();
        this.log = log;
    }

    /** The database in use now; null when the folder's files are taken instead. */
    Path database() {
        Path candidate = configured;
        if (candidate != null) {
            return Files.isDirectory(candidate) ? candidate.resolve(DATABASE_NAME) : candidate;
        }
        for (Path found : new Path[] {root.resolve(DATABASE_NAME), root.resolve("build").resolve(DATABASE_NAME)}) {
            if (Files.isRegularFile(found)) {
                return found;
            }
        }
        return null;
    }

    /** Whether the project needs a sync: none yet, or the database is another or changed since it was imported. */
    boolean isStale() {
        if (!synced) {
            return true;
        }
        Path database = database();
        return database == null ? imported != null : !database.equals(imported) || !modified(database).equals(
                importedTime);
    }

    /** Whether a file is the database, or one that would become it. */
    boolean isDatabase(Path file) {
        return file != null && file.getFileName() != null && file.getFileName().toString().equals(DATABASE_NAME);
    }

    /** Whether the project takes the folder's files (there is no database). */
    boolean takesFolder() {
        return synced && imported == null;
    }

    /**
     * Brings the project in line. A database that cannot be read as one is shown to the user and the project left as
     * it is.
     */
    void sync(Project project) {
        Path database = database();
        synced = true;
        if (database == null) {
            FolderImport folder = project.importFolder(root);
            imported = null;
            importedTime = null;
            log.log(ServerLog.INFO, String.format("%d files of %s (%d added, %d removed)", folder.files().size(),
                    root, folder.added(), folder.removed()));
            for (Map.Entry<Path, String> refused : folder.refused().entrySet()) {
                log.log(ServerLog.WARNING, "not added: " + refused.getKey() + " (" + refused.getValue() + ")");
            }
            return;
        }
        FileTime time = modified(database);
        try {
            CompileCommandsImport commands = project.importCompileCommands(database);
            log.log(ServerLog.INFO, String.format("%d files from %s (%d added, %d updated, %d removed)",
                    commands.files().size(), database, commands.added(), commands.updated(), commands.removed()));
        } catch (IllegalArgumentException | UncheckedIOException e) {
            log.show(ServerLog.ERROR, "the compilation database cannot be used: " + e.getMessage());
        }
        imported = database;
        importedTime = time;
    }

    private static FileTime modified(Path file) {
        try {
            return Files.getLastModifiedTime(file);
        } catch (IOException e) {
            return FileTime.fromMillis(0);
        }
    }
}

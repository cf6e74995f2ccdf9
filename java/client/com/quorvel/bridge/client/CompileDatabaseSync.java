package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Optional;
import java.util.Set;
import java.util.function.Predicate;

/**
 * Brings a project in line with a compilation database, as {@link Project#importCompileCommands(Path)} describes:
 * adds, updates and removes its files, and keeps a compiler configuration per compiler and options.
 */
final class CompileDatabaseSync {
    private final Project project;
    /** The file extensions that the analysis library maps to a language. */
    private final List<String> extensions;

    CompileDatabaseSync(Project project, List<String> extensions) {
        this.project = project;
        this.extensions = extensions;
    }

    CompileCommandsImport run(Path database, CompileDatabase read, Predicate<Path> excluded) {
        List<CompileCommand> commands = new ArrayList<>();
        int left = 0;
        for (CompileCommand command : read.commands()) {
            if (excluded.test(command.file())) {
                left++;
                continue;
            }
            if (extensions.contains(SourceLanguage.extensionOf(command.file()))) {
                Arguments.readableFile(command.file(), "a file of " + database);
                commands.add(command);
            }
        }
        CompilerProfiles profiles = new CompilerProfiles(project.location().resolve(project.name()));
        Set<Path> registered = new HashSet<>();
        Set<Path> wanted = new HashSet<>();
        Set<Path> before = new HashSet<>(project.files());
        int added = 0;
        int updated = 0;
        for (CompileCommand command : commands) {
            wanted.add(command.file());
            Path profile = profiles.profileOf(command);
            if (registered.add(profile)) {
                project.addCCT(profile);
            }
            List<Path> includes = new ArrayList<>(command.includeFolders());
            includes.add(profile);
            Optional<SourceFile> held =
                    before.contains(command.file()) ? project.file(command.file()) : Optional.empty();
            if (held.isPresent() && held.get().equals(settingsOf(command, includes))) {
                continue;
            }
            if (held.isPresent()) {
                project.removeFile(command.file());
                updated++;
            } else {
                added++;
            }
            project.addFile(command.file(), command.language(), command.defines(), includes);
        }
        int removed = 0;
        for (Path file : before) {
            if (!wanted.contains(file)) {
                project.removeFile(file);
                removed++;
            }
        }
        profiles.removeUnused();
        List<Path> files = commands.stream().map(CompileCommand::file).toList();
        return new CompileCommandsImport(files, added, updated, removed, read.conflicting(),
                read.commands().size() - commands.size() - left, left, profiles.warnings());
    }

    private static SourceFile settingsOf(CompileCommand command, List<Path> includes) {
        return new SourceFile(command.language(), command.defines(),
                includes.stream().map(folder -> Arguments.path(folder, "includeFolders")).toList());
    }
}

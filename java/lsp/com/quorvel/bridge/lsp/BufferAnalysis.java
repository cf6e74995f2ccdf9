package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.KervSession;
import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.SourceFile;
import com.quorvel.bridge.client.SourceLanguage;
import com.quorvel.bridge.client.SuppressionState;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.Set;
import java.util.stream.Stream;

/**
 * Analyses the unsaved text of open documents as their files: each text is written to a private copy, in a folder of
 * its own under the server's private folder, that a project of the server's own holds with the file's language,
 * definitions and include folders (the file's own folder first, so that its quoted includes are found as from the
 * file). The user's file and the workspace project's results are never touched. Used on the analysis thread only.
 */
final class BufferAnalysis implements AutoCloseable {
    private static final String PROJECT_NAME = "unsaved";

    private final KervSession session;
    private final Path folder;
    private Project project;
    /** By document URI: the copy that stands for it. */
    private final Map<String, Path> copies = new HashMap<>();

    BufferAnalysis(KervSession session) throws IOException {
        this.session = session;
        this.folder = Files.createTempDirectory("kerv-lsp-").toRealPath();
    }

    /**
     * Analyses {@code document}'s text with {@code settings} (those of its file in the workspace project; null for a
     * file the project does not hold) and returns the findings, their locations in the copy given as the document's
     * file. Findings of rules that {@code switchedOff} names are left out.
     *
     * @throws IOException when the copy cannot be written
     */
    List<Diagnostic> analyse(TextDocument document, SourceFile settings, Set<String> switchedOff) throws IOException {
        Path copy = copies.get(document.uri());
        if (copy == null) {
            Path own = Files.createDirectories(folder.resolve("buffers").resolve(Integer.toString(copies.size())));
            copy = own.resolve(document.path().getFileName().toString());
            copies.put(document.uri(), copy);
        }
        Files.writeString(copy, document.text(), StandardCharsets.UTF_8);
        SourceLanguage language = settings != null && settings.language() != null ? settings.language()
                : SourceLanguage.ofFile(document.path());
        List<String> defines = settings == null ? List.of() : settings.defines();
        List<Path> includes = new ArrayList<>();
        includes.add(document.path().getParent());
        if (settings != null) {
            settings.includeFolders().forEach(include -> includes.add(Path.of(include)));
        }
        Project buffers = project();
        SourceFile wanted = new SourceFile(language, defines, includes.stream().map(Path::toString).toList());
        Optional<SourceFile> held = buffers.file(copy);
        if (held.isEmpty() || !held.get().equals(wanted)) {
            if (held.isPresent()) {
                buffers.removeFile(copy);
            }
            buffers.addFile(copy, language, defines, includes);
        }
        buffers.refresh(null);
        String copyName = copy.toString();
        String original = document.path().toString();
        List<Diagnostic> found = new ArrayList<>();
        for (Diagnostic diagnostic : buffers.diagnostics(copy)) {
            boolean active = diagnostic.suppressionState() == SuppressionState.ACTIVE;
            if (active && !switchedOff.contains(diagnostic.ruleId())) {
                found.add(FindingConverter.withFiles(diagnostic, file -> file.equals(copyName) ? original : file));
            }
        }
        return found;
    }

    /** Drops a closed document's copy from the project. */
    void forget(String uri) {
        Path copy = copies.get(uri);
        if (copy != null && project != null && project.file(copy).isPresent()) {
            project.removeFile(copy);
        }
    }

    private Project project() {
        if (project == null) {
            project = session.openProject(folder.resolve("project"), PROJECT_NAME);
        }
        return project;
    }

    /** Deletes the private folder; the session must be closed first or no longer use the project. */
    @Override
    public void close() {
        try (Stream<Path> walk = Files.walk(folder)) {
            for (Path path : walk.sorted(Comparator.reverseOrder()).toList()) {
                Files.deleteIfExists(path);
            }
        } catch (IOException e) {
            // a leftover in the temporary folder harms nothing
        }
    }
}

package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.LinkedHashMap;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.Set;
import java.util.function.Supplier;

/**
 * What the server last published for each open document, and the findings it is made of: each analysed source
 * document contributes its findings, grouped by the file of their primary location, so that a header that is open
 * shows the findings that the analysis of the open files that include it placed there. A document is published
 * again only when its diagnostics change. Used on the analysis thread only.
 */
final class Publisher {
    private final Connection connection;
    private final Supplier<Map<String, TextDocument>> openDocuments;
    /** By source document URI: its latest findings by file. */
    private final Map<String, Map<Path, List<Diagnostic>>> contributions = new HashMap<>();
    /** By document URI: the diagnostics last published. */
    private final Map<String, List<Object>> published = new HashMap<>();

    Publisher(Connection connection, Supplier<Map<String, TextDocument>> openDocuments) {
        this.connection = connection;
        this.openDocuments = openDocuments;
    }

    /**
     * Takes the findings of an analysis of {@code source} (its file on disk, or its text at its version) and
     * publishes every open document whose diagnostics they change; {@code source} itself also when {@code always}
     * (after a save, so that the client learns that its diagnostics hold for the saved text too).
     */
    void analysed(TextDocument source, List<Diagnostic> diagnostics, boolean always) {
        Map<Path, List<Diagnostic>> byFile = new LinkedHashMap<>();
        byFile.put(source.path(), new ArrayList<>());  // so that a file whose findings are gone is published empty
        for (Diagnostic diagnostic : diagnostics) {
            Location primary = diagnostic.locations().isEmpty() ? null : diagnostic.locations().get(0);
            Path file = primary == null ? source.path() : FindingConverter.pathOf(primary);
            byFile.computeIfAbsent(file == null ? source.path() : file, f -> new ArrayList<>()).add(diagnostic);
        }
        Map<Path, List<Diagnostic>> before = contributions.put(source.uri(), byFile);
        Set<Path> touched = new LinkedHashSet<>(byFile.keySet());
        if (before != null) {
            touched.addAll(before.keySet());
        }
        publishFiles(touched, source, always);
    }

    /** Publishes {@code document} with what the contributions hold for it, when that differs from the last. */
    void publish(TextDocument document) {
        publish(document, collect(document.path()), false);
    }

    /** Publishes no diagnostics for a document (closed, outside the workspace, or without a file). */
    void clear(String uri) {
        Map<Path, List<Diagnostic>> gone = contributions.remove(uri);
        published.remove(uri);
        connection.notify("textDocument/publishDiagnostics", Json.fields("uri", uri, "diagnostics", List.of()));
        if (gone != null) {
            publishFiles(gone.keySet(), null, false);
        }
    }

    /** Publishes empty diagnostics for an open document that cannot be analysed, once. */
    void publishEmpty(TextDocument document) {
        contributions.remove(document.uri());
        publish(document, List.of(), false);
    }

    private void publishFiles(Set<Path> files, TextDocument source, boolean always) {
        for (TextDocument open : openDocuments.get().values()) {
            if (open.path() != null && files.contains(open.path())) {
                boolean isSource = source != null && open.uri().equals(source.uri());
                publish(isSource ? source : open, collect(open.path()), always && isSource);
            }
        }
    }

    private List<Diagnostic> collect(Path file) {
        Set<Diagnostic> all = new LinkedHashSet<>();
        for (Map<Path, List<Diagnostic>> byFile : contributions.values()) {
            all.addAll(byFile.getOrDefault(file, List.of()));
        }
        return new ArrayList<>(all);
    }

    private void publish(TextDocument document, List<Diagnostic> diagnostics, boolean always) {
        Map<String, TextDocument> open = openDocuments.get();
        TextDocument current = open.get(document.uri());
        if (current == null) {
            return;  // closed meanwhile: it was cleared then
        }
        Map<Path, TextLines> lines = new HashMap<>();
        lines.put(document.path(), new TextLines(document.text()));
        FindingConverter.Files files = new FindingConverter.Files() {
            @Override
            public TextLines lines(Path file) {
                return lines.computeIfAbsent(file, f -> linesOf(f, open));
            }

            @Override
            public String uri(Path file) {
                return uriOf(file, open);
            }
        };
        List<Object> converted = new ArrayList<>();
        for (Diagnostic diagnostic : diagnostics) {
            converted.add(FindingConverter.convert(diagnostic, files));
        }
        if (!always && Objects.equals(published.get(document.uri()), converted)) {
            return;
        }
        published.put(document.uri(), converted);
        connection.notify("textDocument/publishDiagnostics",
                Json.fields("uri", document.uri(), "version", document.version(), "diagnostics", converted));
    }

    private static TextLines linesOf(Path file, Map<String, TextDocument> open) {
        for (TextDocument document : open.values()) {
            if (file.equals(document.path())) {
                return new TextLines(document.text());
            }
        }
        try {
            return new TextLines(new String(Files.readAllBytes(file), StandardCharsets.UTF_8));
        } catch (IOException | RuntimeException e) {
            return new TextLines("");
        }
    }

    private static String uriOf(Path file, Map<String, TextDocument> open) {
        for (TextDocument document : open.values()) {
            if (file.equals(document.path())) {
                return document.uri();
            }
        }
        return FileUris.toUri(file);
    }
}

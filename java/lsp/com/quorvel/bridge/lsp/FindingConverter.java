package com.quorvel.bridge.lsp;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import com.quorvel.bridge.client.Severity;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.Function;

/** Turns the analysis library's diagnostics into the protocol's. */
final class FindingConverter {
    static final String SOURCE = "kerv";

    private FindingConverter() {}

    /** Where a converted diagnostic's texts and URIs come from. */
    interface Files {
        /** The lines of a file: an open document's text, else the file on disk (empty when it cannot be read). */
        TextLines lines(Path file);

        /** The URI to publish for a file: an open document's own URI, else the file's. */
        String uri(Path file);
    }

    /**
     * The protocol's diagnostic for one of the analysis library's: its range in the primary location's line, its
     * severity, the rule id as its code, {@value #SOURCE} as its source, its text, the help page as its code
     * description, and one related information per sub-diagnostic.
     */
    static Map<String, Object> convert(Diagnostic diagnostic, Files files) {
        Location primary = diagnostic.locations().isEmpty() ? null : diagnostic.locations().get(0);
        Map<String, Object> converted = Json.fields(
                "range", rangeOf(primary, files),
                "severity", severityOf(diagnostic.severity()),
                "code", diagnostic.ruleId(),
                "codeDescription", helpOf(diagnostic),
                "source", SOURCE,
                "message", diagnostic.text());
        List<Object> related = new ArrayList<>();
        for (Diagnostic sub : diagnostic.subDiagnostics()) {
            if (!sub.locations().isEmpty()) {
                Location at = sub.locations().get(0);
                related.add(Json.fields("location", Json.fields("uri", files.uri(pathOf(at)),
                        "range", rangeOf(at, files)), "message", sub.text()));
            }
        }
        if (!related.isEmpty()) {
            converted.put("relatedInformation", related);
        }
        return converted;
    }

    /** The file of a location, absolute and normalised; a location without a file is taken as no file. */
    static Path pathOf(Location location) {
        return location.file().isEmpty() ? null : Path.of(location.file()).toAbsolutePath().normalize();
    }

    private static Map<String, Object> rangeOf(Location location, Files files) {
        Path file = location == null ? null : pathOf(location);
        if (file == null) {
            return TextLines.range(0, 0, 0, 0);
        }
        return files.lines(file).findingRange(location.line(), location.column());
    }

    /** Error 1, warning 2, portability, performance and style 3 (information), information 4 (hint). */
    static int severityOf(Severity severity) {
        return switch (severity) {
            case ERROR -> 1;
            case STYLE, PERFORMANCE, PORTABILITY -> 3;
            case INFORMATION -> 4;
            case WARNING, UNKNOWN -> 2;
        };
    }

    private static Map<String, Object> helpOf(Diagnostic diagnostic) {
        String help = diagnostic.helpFileLocation();
        return help.startsWith("https://") || help.startsWith("http://") ? Json.fields("href", help) : null;
    }

    /** The same diagnostic with every location's file passed through {@code files}, sub-diagnostics included. */
    static Diagnostic withFiles(Diagnostic d, Function<String, String> files) {
        List<Location> locations = d.locations().stream()
                .map(at -> new Location(files.apply(at.file()), at.line(), at.column())).toList();
        List<Diagnostic> subs = d.subDiagnostics().stream().map(sub -> withFiles(sub, files)).toList();
        return new Diagnostic(d.messageId(), d.helpFileLocation(), d.level(), d.messageNumber(), d.text(),
                d.producer(), d.references(), d.multiHomed(), d.suppressionState(), d.hasSubDiagnostics(), subs,
                d.parameters(), locations, d.ruleId(), d.severity());
    }
}

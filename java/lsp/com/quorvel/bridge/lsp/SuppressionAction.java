package com.quorvel.bridge.lsp;

import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * The code action on a finding: a quick fix that inserts, on a line of its own above the finding's line and with that
 * line's indentation, the analyser's inline suppression comment for the finding's rule. (The analyser honours such
 * comments when the analysis configuration holds {@code option = --inline-suppr}.)
 */
final class SuppressionAction {
    static final String COMMENT = "// cppcheck-suppress ";

    private SuppressionAction() {}

    /** The actions for the diagnostics of a {@code textDocument/codeAction} request's context. */
    static List<Object> actions(TextDocument document, Object params) {
        List<Object> actions = new ArrayList<>();
        if (document == null) {
            return actions;
        }
        TextLines lines = new TextLines(document.text());
        Set<String> offered = new LinkedHashSet<>();
        for (Object item : Json.array(Json.at(params, "context", "diagnostics"))) {
            Map<String, Object> diagnostic = Json.object(item);
            String rule = Json.text(diagnostic, "code");
            int line = Json.integer(diagnostic, -1, "range", "start", "line");
            if (!FindingConverter.SOURCE.equals(Json.text(diagnostic, "source")) || rule == null || line < 0
                    || line >= lines.lineCount() || !offered.add(rule + "@" + line)) {
                continue;
            }
            String text = lines.line(line);
            String indent = text.substring(0, text.length() - text.stripLeading().length());
            Map<String, Object> edit = Json.fields("range", TextLines.range(line, 0, line, 0),
                    "newText", indent + COMMENT + rule + lineBreakOf(document.text()));
            actions.add(Json.fields(
                    "title", "Suppress " + rule + " on this line",
                    "kind", "quickfix",
                    "diagnostics", List.of(diagnostic),
                    "edit", Json.fields("changes", Json.fields(document.uri(), List.of(edit)))));
        }
        return actions;
    }

    /** The document's own line break: CR LF when its first line ends so, else LF. */
    private static String lineBreakOf(String text) {
        int end = TextLines.lineEnd(text, 0);
        return text.startsWith("\r\n", end) ? "\r\n" : end < text.length() && text.charAt(end) == '\r' ? "\r" : "\n";
    }
}

package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Diagnostic;
import com.quorvel.bridge.client.Location;
import java.nio.file.Path;
import java.util.Comparator;

/**
 * A finding as the listing prints it, {@code file:line:column: severity: text [rule]}, in the listing's order: by
 * file, line, column and rule.
 */
record ListingLine(String file, int line, int column, String severity, String text, String rule) {
    static final Comparator<ListingLine> ORDER = Comparator.comparing(ListingLine::file)
            .thenComparingInt(ListingLine::line).thenComparingInt(ListingLine::column)
            .thenComparing(ListingLine::rule).thenComparing(ListingLine::text);

    /** A diagnostic at its first location, the path shown from {@code sourceFolder}. */
    static ListingLine of(Path sourceFolder, Diagnostic diagnostic) {
        Location at = Summary.primary(diagnostic);
        return new ListingLine(Summary.shown(sourceFolder, at.file()), at.line(), at.column(),
                diagnostic.severity().text(), diagnostic.text(), diagnostic.messageId());
    }

    @Override
    public String toString() {
        return file + ":" + line + ":" + column + ": " + severity + ": " + text + " [" + rule + "]";
    }
}

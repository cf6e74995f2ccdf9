package com.quorvel.bridge.cli;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.regex.Pattern;

/**
 * The paths that {@code --exclude} leaves out of the analysis. A glob is matched against a file's path relative to the
 * source folder, with "/" between names: "*" matches any characters but "/", "?" one such character, "[abc]",
 * "[a-z]" and "[!abc]" one character of a set, and "**" as a whole name any number of folders, none included. A glob
 * that matches a folder leaves out everything below it. A glob that starts with "/" is matched against the absolute
 * path instead.
 */
final class ExcludeGlobs {
    private final List<Pattern> relative = new ArrayList<>();
    private final List<Pattern> absolute = new ArrayList<>();

    ExcludeGlobs(List<String> globs) {
        for (String glob : globs) {
            (glob.startsWith("/") ? absolute : relative).add(compile(glob));
        }
    }

    boolean isEmpty() {
        return relative.isEmpty() && absolute.isEmpty();
    }

    /** Whether a glob matches the file (an absolute path) or a folder that holds it. */
    boolean excludes(Path root, Path file) {
        file = file.normalize();
        String path = file.toString();
        if (absolute.stream().anyMatch(glob -> glob.matcher(path).matches())) {
            return true;
        }
        if (!file.startsWith(root) || file.equals(root)) {
            return false;
        }
        String shown = root.relativize(file).toString();
        return relative.stream().anyMatch(glob -> glob.matcher(shown).matches());
    }

    /** The glob as a regular expression that also matches every path below what it matches. */
    static Pattern compile(String glob) {
        String text = glob.replaceAll("/+$", "").replaceFirst("^(\\./)+", "");
        StringBuilder regex = new StringBuilder();
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            boolean wholeName = text.startsWith("**", i) && (i == 0 || text.charAt(i - 1) == '/')
                    && (i + 2 == text.length() || text.charAt(i + 2) == '/');
            if (wholeName) {
                regex.append(i + 2 == text.length() ? ".*" : "(?:.*/)?");
                i += 2;
            } else if (c == '*') {
                regex.append("[^/]*");
            } else if (c == '?') {
                regex.append("[^/]");
            } else if (c == '[' && text.indexOf(']', i + 2) > 0) {
                int close = text.indexOf(']', i + 2);
                String set = text.substring(i + 1, close);
                regex.append(set.startsWith("!") ? "[^/" + escapeSet(set.substring(1)) : "[" + escapeSet(set))
                        .append(']');
                i = close;
            } else {
                regex.append(Pattern.quote(String.valueOf(c)));
            }
        }
        return Pattern.compile(regex + "(?:/.*)?");
    }

    /** A set's characters and ranges, with what would mean more inside a regular expression's class escaped. */
    private static String escapeSet(String set) {
        return set.replaceAll("([\\\\\\[\\]&^])", "\\\\$1");
    }
}

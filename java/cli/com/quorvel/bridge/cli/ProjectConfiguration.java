package com.quorvel.bridge.cli;

import com.quorvel.bridge.client.Project;
import com.quorvel.bridge.client.SourceLanguage;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/**
 * The configuration files given for a project that exists already. A compiler configuration becomes the project's
 * own for both languages; the analysis library then analyses again the files whose settings it changes. An analysis
 * or rule configuration stays the one a project was made with (the library offers no way to change it; it reads the
 * file's content again, so edits to it count): another one given is refused with what to do. Which files a project
 * was made with is read from the reference analysis library's project file.
 */
final class ProjectConfiguration {
    private ProjectConfiguration() {}

    /** Refuses an analysis or rule configuration other than the one {@code folder}'s project was made with. */
    static void checkUnchanged(Path folder, CliOptions options) throws AnalysisRun.CannotRun {
        Map<String, String> made = madeWith(folder);
        keep(folder, made, "acf", options.acf, "analysis");
        keep(folder, made, "rcf", options.rcf, "rule");
    }

    private static void keep(Path folder, Map<String, String> made, String kind, String given, String what)
            throws AnalysisRun.CannotRun {
        if (given.isEmpty() || made != null && sameFile(made.get(kind), Path.of(given))) {
            return;
        }
        String was = made == null ? "a " + what + " configuration that cannot be told"
                : made.getOrDefault(kind, "").isEmpty() ? "the default " + what + " configuration"
                : "the " + what + " configuration " + made.get(kind);
        throw new AnalysisRun.CannotRun("project " + folder + " was made with " + was + ", which a project keeps; to"
                + " analyse with --" + kind + " " + given + ", remove " + folder
                + " (the project is made again and every file analysed again) or give another --name");
    }

    /** Makes {@code cct} the compiler configuration of both languages of an existing project. */
    static void applyCompiler(Project project, Path cct) {
        project.addCCT(cct);
        for (SourceLanguage language : List.of(SourceLanguage.C, SourceLanguage.CPP)) {
            project.setActiveCCT(language, cct);
        }
    }

    /** The "acf" and "rcf" fields of the project file in {@code folder}; null when it cannot be read as one. */
    private static Map<String, String> madeWith(Path folder) {
        List<String> lines;
        try {
            lines = Files.readAllLines(folder.resolve("project.kerv"), StandardCharsets.UTF_8);
        } catch (IOException e) {
            return null;
        }
        if (lines.isEmpty() || !lines.get(0).equals("kerv-project\t1")) {
            return null;
        }
        Map<String, String> fields = new HashMap<>();
        for (String line : lines) {
            int tab = line.indexOf('\t');
            if (tab > 0 && line.indexOf('\t', tab + 1) < 0) {
                fields.putIfAbsent(line.substring(0, tab), unescaped(line.substring(tab + 1)));
            }
        }
        return fields;
    }

    /** A field of the project file: backslash, tab, line feed and carriage return are escaped with a backslash. */
    private static String unescaped(String field) {
        StringBuilder text = new StringBuilder();
        for (int i = 0; i < field.length(); i++) {
            char c = field.charAt(i);
            if (c == '\\' && i + 1 < field.length()) {
                char code = field.charAt(++i);
                c = code == 't' ? '\t' : code == 'n' ? '\n' : code == 'r' ? '\r' : code;
            }
            text.append(c);
        }
        return text.toString();
    }

    private static boolean sameFile(String made, Path given) {
        if (made == null || made.isEmpty()) {
            return false;
        }
        try {
            return Files.isSameFile(Path.of(made), given);
        } catch (IOException e) {
            return Path.of(made).equals(given.toAbsolutePath().normalize());
        }
    }
}

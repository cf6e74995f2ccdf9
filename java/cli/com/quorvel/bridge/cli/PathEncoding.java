package com.quorvel.bridge.cli;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.nio.file.InvalidPathException;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/**
 * File names are bytes; the JVM reads them as text in its path encoding ({@code sun.jnu.encoding}), which it takes
 * from the locale as it starts and keeps. Under the C or POSIX locale, usual in CI containers, that encoding is ASCII
 * and a UTF-8 name cannot be read. The command line then starts itself again under a UTF-8 locale; where that is not
 * possible, a name that cannot be read is shown with its bytes and the setting that fixes it.
 */
final class PathEncoding {
    /** Set on the command line of a JVM that was started again, so that it does not start yet another. */
    static final String STARTED_AGAIN = "com.quorvel.bridge.cli.startedAgain";
    static final String UTF8_LOCALE = "C.UTF-8";
    static final String FIX = "run with LC_ALL=" + UTF8_LOCALE + " or another UTF-8 locale";

    private PathEncoding() {}

    static String encoding() {
        return System.getProperty("sun.jnu.encoding", "");
    }

    static boolean isUtf8() {
        try {
            return Charset.forName(encoding()).equals(StandardCharsets.UTF_8);
        } catch (IllegalArgumentException e) {
            return false;
        }
    }

    /**
     * Whether to start again under a UTF-8 locale: the path encoding is not UTF-8 because the locale is C or POSIX,
     * this JVM is not already a second start, and every argument was read whole (one that was not would reach the
     * new JVM damaged).
     */
    static boolean shouldStartAgain(String[] args, Map<String, String> environment) {
        if (isUtf8() || Boolean.getBoolean(STARTED_AGAIN) || !isPlainLocale(environment)) {
            return false;
        }
        for (String arg : args) {
            if (arg.indexOf('\uFFFD') >= 0) {
                return false;
            }
        }
        return true;
    }

    /** The locale that decides the character set (LC_ALL, else LC_CTYPE, else LANG) is unset, C or POSIX. */
    private static boolean isPlainLocale(Map<String, String> environment) {
        String locale = "";
        for (String name : List.of("LC_ALL", "LC_CTYPE", "LANG")) {
            locale = environment.getOrDefault(name, "");
            if (!locale.isEmpty()) {
                break;
            }
        }
        return locale.isEmpty() || locale.equals("C") || locale.equals("POSIX");
    }

    /**
     * Runs the command line again in a JVM like this one under a UTF-8 locale, its standard streams shared, and
     * returns its exit code.
     */
    static int startAgain(String[] args) throws IOException, InterruptedException {
        List<String> command = ChildJvm.command(Main.class, List.of(args), "-D" + STARTED_AGAIN + "=true");
        ProcessBuilder builder = new ProcessBuilder(command).inheritIO();
        Map<String, String> environment = builder.environment();
        environment.put(environment.containsKey("LC_ALL") ? "LC_ALL" : "LC_CTYPE", UTF8_LOCALE);
        environment.remove("JDK_JAVA_OPTIONS");  // the launcher has put them among the options above
        Process child = builder.start();
        Thread stopChild = new Thread(child::destroy);
        Runtime.getRuntime().addShutdownHook(stopChild);
        try {
            return child.waitFor();
        } finally {
            try {
                Runtime.getRuntime().removeShutdownHook(stopChild);
            } catch (IllegalStateException shuttingDown) {
                // the hook has run or is running: the child is being stopped
            }
        }
    }

    /**
     * In a JVM that was started again, ends the run when the JVM that started it ends, killed or not, as the run
     * would have ended with it.
     */
    static void endWithTheFirstJvm() {
        if (Boolean.getBoolean(STARTED_AGAIN)) {
            ProcessHandle.current().parent().ifPresent(first -> first.onExit().thenRun(() -> System.exit(AnalysisRun.CANNOT_RUN)));
        }
    }

    /**
     * Why the analysis library cannot be given this file's name, or null when it can: the name must come back whole
     * from its text, since the bridge hands the text on as UTF-8.
     */
    static String unreadable(Path file) {
        String text = file.toString();
        try {
            if (Path.of(text).equals(file) && (isUtf8() || text.chars().allMatch(c -> c < 0x80))) {
                return null;
            }
        } catch (InvalidPathException e) {
            // not even a path again: the encoding cannot hold the name
        }
        return isUtf8() ? "its name is not UTF-8, which the analysis library needs"
                : "its name cannot be read in this JVM's path encoding " + encoding() + ": " + FIX;
    }

    /**
     * The path of {@code file} below {@code folder} as its bytes: printable ASCII as it is, any other byte as
     * {@code \xNN}.
     */
    static String bytesOf(Path folder, Path file) {
        String raw = file.toUri().getRawPath();
        String base = folder.toUri().getRawPath();
        if (!base.endsWith("/")) {
            base += "/";
        }
        if (raw.startsWith(base)) {
            raw = raw.substring(base.length());
        }
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        for (int i = 0; i < raw.length(); i++) {
            char c = raw.charAt(i);
            if (c == '%' && i + 2 < raw.length()) {
                bytes.write(Integer.parseInt(raw.substring(i + 1, i + 3), 16));
                i += 2;
            } else {
                bytes.write(c);
            }
        }
        StringBuilder shown = new StringBuilder();
        for (byte b : bytes.toByteArray()) {
            int value = b & 0xff;
            shown.append(value >= 0x20 && value < 0x7f && value != '\\' ? Character.toString(value)
                    : String.format("\\x%02x", value));
        }
        return shown.toString();
    }
}

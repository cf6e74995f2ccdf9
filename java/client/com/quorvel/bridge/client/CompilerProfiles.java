package com.quorvel.bridge.client;

import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.AtomicMoveNotSupportedException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.HexFormat;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.Set;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.TimeUnit;

/**
 * The compiler configuration each compilation-database entry gives its file: the predefined macros that the
 * entry's compiler defines with the entry's options, less the entry's {@code -U}s, and the language standard of its
 * {@code -std=}. The compiler is asked once per distinct compiler, options, undefinitions and language
 * ({@code <compiler> <options> -dM -E -x <c|c++> /dev/null}), and the answer is kept in the project folder
 * ({@code compilers/<key>.cct}, a compiler configuration file) with the compiler file's real path, size and time, so
 * that a later import asks again only when that file changed. A compiler that cannot be run, or whose answer is not
 * a list of {@code #define} lines, gets one warning, and its files only the standard.
 */
final class CompilerProfiles {
    static final String FOLDER = "compilers";
    private static final long QUERY_SECONDS = 30;

    private final Path folder;
    private final Map<String, Path> profiles = new HashMap<>();
    /** Per compiler that could not be queried: why, and how many files that leaves without its macros. */
    private final Map<String, String> problems = new LinkedHashMap<>();
    private final Map<String, Integer> filesWithoutMacros = new HashMap<>();
    /** The keys of the profiles whose compiler gave no macros. */
    private final Set<String> failedKeys = new HashSet<>();

    CompilerProfiles(Path projectFolder) {
        this.folder = projectFolder.resolve(FOLDER);
    }

    /**
     * Returns the compiler configuration file for a command's file, writing it when it is missing or out of date.
     *
     * @param command the file's compiler call
     * @return the configuration file
     * @throws UncheckedIOException when it cannot be written
     */
    Path profileOf(CompileCommand command) {
        String key = String.join("\n", "compiler: " + command.compiler(), "options: "
                + String.join(" ", command.macroOptions()), "undefined: " + String.join(" ",
                command.undefines()), "language: " + command.language().text());
        Path profile = profiles.computeIfAbsent(key, k -> write(k, command));
        if (failedKeys.contains(key)) {
            filesWithoutMacros.merge(command.compiler(), 1, Integer::sum);
        }
        return profile;
    }

    /** One warning per compiler that could not be asked for its macros, naming it. */
    List<String> warnings() {
        List<String> warnings = new ArrayList<>();
        problems.forEach((compiler, why) -> {
            int files = filesWithoutMacros.getOrDefault(compiler, 0);
            warnings.add("compiler " + compiler + " " + why + ": " + files + (files == 1 ? " file is" : " files are")
                    + " analysed without its predefined macros");
        });
        return warnings;
    }

    /** Removes the profiles of this folder that the import did not use. */
    void removeUnused() {
        Set<Path> used = Set.copyOf(profiles.values());
        try (var files = Files.list(folder)) {
            for (Path file : (Iterable<Path>) files::iterator) {
                if (file.getFileName().toString().endsWith(".cct") && !used.contains(file)) {
                    Files.deleteIfExists(file);
                }
            }
        } catch (IOException e) {
            // Profiles left over only take room; the next import tries again.
        }
    }

    private Path write(String key, CompileCommand command) {
        Path profile = folder.resolve(digest(key) + ".cct");
        Optional<Path> executable = executableOf(command.compiler());
        String stamp = executable.map(CompilerProfiles::stampOf).orElse("none");
        String head = "# The predefined macros of a compiler for the files it compiles, as the compiler gave them.\n"
                + key.lines().map(line -> "# " + line + "\n").reduce("", String::concat) + "# stamp: " + stamp + "\n";
        try {
            if (!stamp.equals("none") && Files.isRegularFile(profile)
                    && Files.readString(profile, StandardCharsets.UTF_8).startsWith(head)) {
                return profile;
            }
        } catch (IOException e) {
            // Asked again below.
        }
        List<String> defines = new ArrayList<>();
        boolean answered = executable.isPresent() && query(executable.get(), command, defines);
        if (executable.isEmpty()) {
            problems.putIfAbsent(command.compiler(), command.compiler().indexOf('/') >= 0
                    ? "cannot be run (not an executable file)" : "cannot be run (not found on the path)");
        }
        if (!answered) {
            failedKeys.add(key);
        }
        StringBuilder text = new StringBuilder(!answered ? head.replace(
                "# stamp: " + stamp + "\n", "# stamp: none\n") : head);
        text.append(command.language() == SourceLanguage.C ? "[C]\n" : "[C++]\n");
        standardOf(command).ifPresent(standard -> text.append("standard = ").append(standard).append('\n'));
        for (String define : defines) {
            text.append("define = ").append(define).append('\n');
        }
        try {
            Files.createDirectories(folder);
            if (!Files.isRegularFile(profile) || !Files.readString(profile, StandardCharsets.UTF_8)
                    .contentEquals(text)) {
                Path temporary = Files.createTempFile(folder, "profile", ".tmp");
                Files.writeString(temporary, text, StandardCharsets.UTF_8);
                try {
                    Files.move(temporary, profile, StandardCopyOption.ATOMIC_MOVE, StandardCopyOption.REPLACE_EXISTING);
                } catch (AtomicMoveNotSupportedException e) {
                    Files.move(temporary, profile, StandardCopyOption.REPLACE_EXISTING);
                }
            }
        } catch (IOException e) {
            throw new UncheckedIOException("cannot write the compiler configuration " + profile, e);
        }
        return profile;
    }

    /** Asks the compiler for its macros; false, with the reason kept in {@link #problems}, when it gave none. */
    private boolean query(Path executable, CompileCommand command, List<String> defines) {
        List<String> call = new ArrayList<>();
        call.add(executable.toString());
        call.addAll(command.macroOptions());
        call.addAll(List.of("-dM", "-E", "-x", command.language() == SourceLanguage.C ? "c" : "c++", "/dev/null"));
        String output;
        String errors;
        int exit;
        try {
            Process process = new ProcessBuilder(call).redirectInput(ProcessBuilder.Redirect.from(
                    Path.of("/dev/null").toFile())).start();
            CompletableFuture<String> stderr = CompletableFuture.supplyAsync(() -> readAll(process.getErrorStream()));
            output = readAll(process.getInputStream());
            if (!process.waitFor(QUERY_SECONDS, TimeUnit.SECONDS)) {
                process.destroyForcibly();
                problems.putIfAbsent(command.compiler(), "did not answer within " + QUERY_SECONDS + " s");
                return false;
            }
            exit = process.exitValue();
            errors = stderr.join().strip();
        } catch (IOException e) {
            problems.putIfAbsent(command.compiler(), "cannot be run (" + e.getMessage() + ")");
            return false;
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            problems.putIfAbsent(command.compiler(), "was not asked (interrupted)");
            return false;
        }
        if (exit != 0) {
            String first = errors.lines().findFirst().orElse("no message");
            problems.putIfAbsent(command.compiler(), "failed (exit code " + exit + ": " + first + ")");
            return false;
        }
        List<String> macros = new ArrayList<>();
        for (String line : output.lines().toList()) {
            if (line.isBlank()) {
                continue;
            }
            Optional<String> define = defineOf(line);
            if (define.isEmpty()) {
                problems.putIfAbsent(command.compiler(), "is not gcc-like (its -dM -E answer holds '" + line + "')");
                return false;
            }
            macros.add(define.get());
        }
        if (macros.isEmpty()) {
            problems.putIfAbsent(command.compiler(), "is not gcc-like (no macros from -dM -E)");
            return false;
        }
        for (String macro : macros) {
            String name = macro.substring(0, nameEnd(macro));
            if (!command.undefines().contains(name)) {
                defines.add(macro);
            }
        }
        return true;
    }

    /** "#define NAME VALUE" as "NAME=VALUE", "#define F(a) VALUE" as "F(a)=VALUE". */
    static Optional<String> defineOf(String line) {
        if (!line.startsWith("#define ")) {
            return Optional.empty();
        }
        String rest = line.substring("#define ".length());
        int end = nameEnd(rest);
        if (end == 0) {
            return Optional.empty();
        }
        if (end < rest.length() && rest.charAt(end) == '(') {
            int close = rest.indexOf(')', end);
            if (close < 0) {
                return Optional.empty();
            }
            end = close + 1;
        }
        String value = end < rest.length() ? rest.substring(end).strip() : "";
        return Optional.of(rest.substring(0, end) + "=" + value);
    }

    private static int nameEnd(String text) {
        int end = 0;
        while (end < text.length() && (Character.isLetterOrDigit(text.charAt(end)) || text.charAt(end) == '_')) {
            end++;
        }
        return end;
    }

    /**
     * The analysis standard of the last {@code -std=} or {@code -ansi}: GNU dialects as their ISO standard, C17 and
     * later as C11, C++23 and later as C++20.
     */
    static Optional<String> standardOf(CompileCommand command) {
        String std = null;
        List<String> options = command.macroOptions();
        for (int i = 0; i < options.size(); i++) {
            String option = options.get(i);
            if (option.startsWith("-std=") || option.startsWith("--std=")) {
                std = option.substring(option.indexOf('=') + 1);
            } else if (option.equals("--std") && i + 1 < options.size()) {
                std = options.get(++i);
            } else if (option.equals("-ansi")) {
                std = command.language() == SourceLanguage.C ? "c89" : "c++98";
            }
        }
        if (std == null) {
            return Optional.empty();
        }
        String iso = std.replace("gnu", "c").replace("iso9899:", "c");
        return Optional.ofNullable(switch (iso) {
            case "c89", "c90", "c1990", "c199409" -> "c89";
            case "c99", "c9x", "c1999", "c199x" -> "c99";
            case "c11", "c1x", "c2011", "c17", "c18", "c2017", "c2018", "c2x", "c23", "c2y" -> "c11";
            case "c++98", "c++03" -> "c++03";
            case "c++11", "c++0x" -> "c++11";
            case "c++14", "c++1y" -> "c++14";
            case "c++17", "c++1z" -> "c++17";
            case "c++20", "c++2a", "c++23", "c++2b", "c++26", "c++2c" -> "c++20";
            default -> null;
        });
    }

    /** The compiler's file: a path as it is, a name from the path's folders; empty when there is none. */
    private static Optional<Path> executableOf(String compiler) {
        if (compiler.isEmpty()) {
            return Optional.empty();
        }
        if (compiler.indexOf('/') >= 0) {
            Path path = Path.of(compiler);
            return Files.isRegularFile(path) && Files.isExecutable(path) ? Optional.of(path) : Optional.empty();
        }
        String searched = System.getenv("PATH");
        for (String entry : (searched == null ? "" : searched).split(":")) {
            if (entry.isEmpty()) {
                continue;
            }
            Path candidate = Path.of(entry).resolve(compiler);
            if (Files.isRegularFile(candidate) && Files.isExecutable(candidate)) {
                return Optional.of(candidate.toAbsolutePath());
            }
        }
        return Optional.empty();
    }

    /** The compiler file's real path (links followed), size and modification time. */
    private static String stampOf(Path executable) {
        try {
            Path real = executable.toRealPath();
            return real + " " + Files.size(real) + " " + Files.getLastModifiedTime(real).to(TimeUnit.NANOSECONDS);
        } catch (IOException e) {
            return "none";
        }
    }

    private static String readAll(InputStream in) {
        try (in) {
            return new String(in.readAllBytes(), StandardCharsets.UTF_8);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    private static String digest(String key) {
        try {
            byte[] hash = MessageDigest.getInstance("SHA-256").digest(key.getBytes(StandardCharsets.UTF_8));
            return HexFormat.of().formatHex(hash, 0, 8);
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException("every Java platform has SHA-256", e);
        }
    }
}

package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * One file of a compilation database with the settings its compiler call gives it.
 *
 * @param file the source file, absolute and normalised
 * @param language its language: from {@code -x}, else C++ for a compiler whose name ends in "++", else from the
 *     file's extension ({@link SourceLanguage#ofFile})
 * @param defines its definitions ("NAME" or "NAME=VALUE") after every {@code -D} and {@code -U} in order
 * @param includeFolders its {@code -I}, {@code -isystem} and {@code -iquote} folders in order, absolute
 */
public record CompileCommand(Path file, SourceLanguage language, List<String> defines, List<Path> includeFolders) {
    /**
     * Creates a compile command; the lists are copied.
     *
     * @param file the source file
     * @param language its language
     * @param defines its definitions
     * @param includeFolders its include folders
     */
    public CompileCommand {
        Objects.requireNonNull(file, "file");
        Objects.requireNonNull(language, "language");
        defines = List.copyOf(defines);
        includeFolders = List.copyOf(includeFolders);
    }

    /**
     * Reads the settings of one compiler call.
     *
     * @param directory the entry's working folder, absolute
     * @param file the entry's file, relative to {@code directory} or absolute
     * @param arguments the compiler call, the compiler first
     * @return the file with its settings
     * @throws IllegalArgumentException when an option that needs a value comes last
     */
    static CompileCommand of(Path directory, String file, List<String> arguments) {
        Path source = directory.resolve(file).normalize();
        List<String> defines = new ArrayList<>();
        List<Path> includes = new ArrayList<>();
        SourceLanguage language = null;
        for (int i = 1; i < arguments.size(); i++) {
            String arg = arguments.get(i);
            String option = optionOf(arg);
            if (option == null) {
                continue;
            }
            String value = arg.length() > option.length() ? arg.substring(option.length()) : null;
            if (value == null) {
                if (++i == arguments.size()) {
                    throw new IllegalArgumentException(arg + " needs a value in the command for " + source);
                }
                value = arguments.get(i);
            }
            switch (option) {
                case "-D" -> {
                    removeDefine(defines, nameOf(value));
                    defines.add(value);
                }
                case "-U" -> removeDefine(defines, value);
                case "-x" -> language = value.startsWith("c++") ? SourceLanguage.CPP
                        : "c".equals(value) || value.startsWith("c-") ? SourceLanguage.C : language;
                default -> includes.add(directory.resolve(value).normalize());
            }
        }
        if (language == null) {
            language = compilerName(arguments).matches(".*\\+\\+(-[0-9.]+)?")
                    || SourceLanguage.ofFile(source) == SourceLanguage.CPP
                    ? SourceLanguage.CPP : SourceLanguage.C;
        }
        return new CompileCommand(source, language, defines, includes);
    }

    /** The option an argument starts with, of those that matter here; null for any other. */
    private static String optionOf(String arg) {
        for (String option : new String[] {"-isystem", "-iquote", "-D", "-U", "-I", "-x"}) {
            if (arg.startsWith(option)) {
                return option;
            }
        }
        return null;
    }

    private static String nameOf(String define) {
        int equals = define.indexOf('=');
        return equals < 0 ? define : define.substring(0, equals);
    }

    private static void removeDefine(List<String> defines, String name) {
        defines.removeIf(define -> nameOf(define).equals(name));
    }

    private static String compilerName(List<String> arguments) {
        if (arguments.isEmpty()) {
            return "";
        }
        Path compiler = Path.of(arguments.get(0)).getFileName();
        return compiler == null ? "" : compiler.toString();
    }
}

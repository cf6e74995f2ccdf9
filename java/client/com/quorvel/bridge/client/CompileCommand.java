package com.quorvel.bridge.client;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Objects;
import java.util.Set;

/**
 * One file of a compilation database with the settings its compiler call gives it.
 *
 * @param file the source file, absolute and normalised
 * @param language its language: from {@code -x}, else C++ for a compiler whose name ends in "++", else from the
 *     file's extension ({@link SourceLanguage#ofFile})
 * @param defines its definitions ("NAME" or "NAME=VALUE") after every {@code -D} and {@code -U} in order
 * @param includeFolders its {@code -I}, {@code -isystem} and {@code -iquote} folders in order, absolute
 * @param compiler the compiler the call runs, as the entry names it (a name looked up on the path, or a path made
 *     absolute); a launcher such as ccache in front of it is left out
 * @param macroOptions the call's options that change the compiler's predefined macros, in order: {@code -std=},
 *     {@code -ansi}, every {@code -m}, {@code -f} and {@code -O} option, {@code -pthread} and the target
 * @param undefines the names of its {@code -U} options that no later {@code -D} defines again, in order
 */
public record CompileCommand(Path file, SourceLanguage language, List<String> defines, List<Path> includeFolders,
        String compiler, List<String> macroOptions, List<String> undefines) {
    private static final Set<String> LAUNCHERS = Set.of("ccache", "sccache", "distcc", "icecc", "buildcache");
    /** Options whose value is the next word, and that the settings do not need. */
    private static final Set<String> SKIPPED_WITH_VALUE = Set.of("-Xclang", "-Xpreprocessor", "-Xassembler",
            "-Xlinker", "-o", "-MF", "-MT", "-MQ", "-include", "-imacros", "-idirafter", "--sysroot", "-isysroot");

    /**
     * Creates a compile command; the lists are copied.
     *
     * @param file the source file
     * @param language its language
     * @param defines its definitions
     * @param includeFolders its include folders
     * @param compiler the compiler
     * @param macroOptions the options that change its predefined macros
     * @param undefines the names it undefines
     */
    public CompileCommand {
        Objects.requireNonNull(file, "file");
        Objects.requireNonNull(language, "language");
        Objects.requireNonNull(compiler, "compiler");
        defines = List.copyOf(defines);
        includeFolders = List.copyOf(includeFolders);
        macroOptions = List.copyOf(macroOptions);
        undefines = List.copyOf(undefines);
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
    static CompileCommand of(Path directory, String file, List<String> call) {
        List<String> arguments = withoutLauncher(call);
        Path source = directory.resolve(file).normalize();
        List<String> defines = new ArrayList<>();
        List<Path> includes = new ArrayList<>();
        List<String> macroOptions = new ArrayList<>();
        Set<String> undefines = new LinkedHashSet<>();
        SourceLanguage language = null;
        for (int i = 1; i < arguments.size(); i++) {
            String arg = arguments.get(i);
            int words = macroOptionWords(arg);
            if (words > 0) {
                if (i + words > arguments.size()) {
                    throw new IllegalArgumentException(arg + " needs a value in the command for " + source);
                }
                macroOptions.addAll(arguments.subList(i, i + words));
                i += words - 1;
                continue;
            }
            if (SKIPPED_WITH_VALUE.contains(arg)) {
                i++;
                continue;
            }
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
                    undefines.remove(nameOf(value));
                    defines.add(value);
                }
                case "-U" -> {
                    removeDefine(defines, value);
                    undefines.add(value);
                }
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
        String compiler = arguments.isEmpty() ? "" : arguments.get(0);
        if (compiler.indexOf('/') >= 0) {
            compiler = directory.resolve(compiler).normalize().toString();
        }
        return new CompileCommand(source, language, defines, includes, compiler, macroOptions,
                new ArrayList<>(undefines));
    }

    /** The call without a compiler launcher (ccache and the like) in front of the compiler. */
    private static List<String> withoutLauncher(List<String> call) {
        if (call.size() > 1 && LAUNCHERS.contains(compilerName(call)) && !call.get(1).startsWith("-")) {
            return call.subList(1, call.size());
        }
        return call;
    }

    /**
     * How many words an option that changes the compiler's predefined macros takes (with its value), 0 for any
     * other argument.
     */
    private static int macroOptionWords(String arg) {
        if (arg.equals("-mllvm") || arg.equals("-target") || arg.equals("--std")) {
            return 2;
        }
        boolean macros = arg.startsWith("-std=") || arg.startsWith("--std=") || arg.equals("-ansi")
                || arg.startsWith("-m") || arg.startsWith("-f") || arg.startsWith("-O") || arg.equals("-pthread")
                || arg.startsWith("--target=");
        return macros ? 1 : 0;
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

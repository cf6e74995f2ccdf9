package com.quorvel.bridge.cli;

import java.lang.management.ManagementFactory;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/** The command that runs a main class of the command line in a new JVM like this one. */
final class ChildJvm {
    private ChildJvm() {}

    /** This JVM's java, its options (system properties, -Xcheck:jni) and class path, then the class and arguments. */
    static List<String> command(Class<?> mainClass, List<String> args, String... moreOptions) {
        List<String> command = new ArrayList<>();
        command.add(Path.of(System.getProperty("java.home"), "bin", "java").toString());
        List<String> options = ManagementFactory.getRuntimeMXBean().getInputArguments();
        command.addAll(options);
        // A jar started with -jar has its native access from its manifest, which -cp does not read.
        if (options.stream().noneMatch(option -> option.startsWith("--enable-native-access"))) {
            command.add("--enable-native-access=ALL-UNNAMED");
        }
        command.addAll(List.of(moreOptions));
        command.addAll(List.of("-cp", System.getProperty("java.class.path"), mainClass.getName()));
        command.addAll(args);
        return command;
    }
}

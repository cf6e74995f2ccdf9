package com.quorvel.bridge.cli;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;

import com.quorvel.bridge.caller.KERVBridge;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;
import java.util.stream.Stream;

/** What the JVM tests of the analysis library share: paths, example copies, child JVMs. */
final class EngineFixture {
    static final String ENGINE = System.getProperty("kerv.test.engine");
    static final Path EXAMPLES = Path.of(System.getProperty("kerv.test.examples"));
    static final String JNI_WARNING = "WARNING in native method";

    private EngineFixture() {}

    /** Loads the analysis library into this JVM once; later calls only check it is loaded. */
    static void loadEngine(Path log) {
        KERVBridge.setNativeLogFile(log.toString());
        KERVBridge.setDebugLevel(2);
        assertEquals(KERVBridge.INIT_OK, KERVBridge.initJniBridge(ENGINE));
        assertEquals(0, KERVBridge.initDeploymentInfo());
        assertEquals(0, KERVBridge.initApi(""));
    }

    static Path copyExamples(Path target) throws IOException {
        return copyTree(EXAMPLES, target);
    }

    static Path copyTree(Path source, Path target) throws IOException {
        try (Stream<Path> walk = Files.walk(source)) {
            for (Path from : (Iterable<Path>) walk::iterator) {
                Path to = target.resolve(source.relativize(from).toString());
                if (Files.isDirectory(from)) {
                    Files.createDirectories(to);
                } else {
                    Files.copy(from, to);
                }
            }
        }
        return target.toRealPath();
    }

    static Path config(String name) {
        return EXAMPLES.resolve("config").resolve(name);
    }

    /** Writes `count` small C files, each with one null dereference on line 3. */
    static List<Path> generateSources(Path folder, int count) throws IOException {
        Files.createDirectories(folder);
        List<Path> files = new ArrayList<>();
        for (int i = 0; i < count; i++) {
            Path file = folder.resolve(String.format("gen%04d.c", i));
            Files.writeString(file, "int f" + i + "(void) {\n    int *p = 0;\n    return *p;\n}\n");
            files.add(file.toRealPath());
        }
        return files;
    }

    /** Starts the command line in a child JVM with -Xcheck:jni. */
    static Process startCli(Path output, String... args) throws IOException {
        return startCli(Map.of(), output, args);
    }

    /** The same, with extra environment variables for the child. */
    static Process startCli(Map<String, String> environment, Path output, String... args) throws IOException {
        return startCli(environment, List.of(), output, args);
    }

    /** The same, with extra JVM options too. */
    static Process startCli(Map<String, String> environment, List<String> jvmOptions, Path output, String... args)
            throws IOException {
        List<String> command = new ArrayList<>(Arrays.asList(
                Path.of(System.getProperty("java.home"), "bin", "java").toString(), "-Xcheck:jni",
                "--enable-native-access=ALL-UNNAMED",
                "-D" + KERVBridge.LIBRARY_PROPERTY + "=" + System.getProperty(KERVBridge.LIBRARY_PROPERTY)));
        command.addAll(jvmOptions);
        command.addAll(List.of("-cp", System.getProperty("java.class.path"), Main.class.getName(), "--library",
                ENGINE));
        command.addAll(Arrays.asList(args));
        ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true).redirectOutput(output.toFile());
        // A UTF-8 locale unless the test asks for another: under C or POSIX the command line starts itself again,
        // and a test that kills it, or names its process, would meet the first JVM instead of the one at work.
        builder.environment().put("LC_ALL", "C.UTF-8");
        builder.environment().putAll(environment);
        return builder.start();
    }

    /** Waits for a child JVM and returns its output, failing on any JNI warning. */
    static String finish(Process process, Path output, int expectedExit) throws Exception {
        assertEquals(true, process.waitFor(120, TimeUnit.SECONDS), "child JVM did not finish");
        String text = Files.readString(output, StandardCharsets.UTF_8);
        assertEquals(expectedExit, process.exitValue(), text);
        assertFalse(text.contains(JNI_WARNING), text);
        return text;
    }

    /** Waits until the file contains `needle`, at most the given seconds. */
    static boolean waitForText(Path file, String needle, int seconds) throws Exception {
        long end = System.nanoTime() + TimeUnit.SECONDS.toNanos(seconds);
        while (System.nanoTime() < end) {
            if (Files.exists(file) && Files.readString(file, StandardCharsets.ISO_8859_1).contains(needle)) {
                return true;
            }
            Thread.sleep(20);
        }
        return false;
    }

    static List<String> files() {
        String list = KERVBridge.getFiles();
        return list.isEmpty() ? List.of() : Arrays.asList(list.split(";"));
    }
}

package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.jar.JarEntry;
import java.util.jar.JarOutputStream;
import java.util.stream.Collectors;
import java.util.stream.Stream;
import javax.tools.ToolProvider;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * The README's Java example, compiled and run by each of the README's commands (class path, module path) in a fresh
 * JVM with nothing but kerv-client.jar and the example's jar, an empty cache folder and the reference analysis library
 * from the jar.
 */
class ReadmeExampleTest {
    private static final Path CLIENT_JAR = Path.of(System.getProperty("kerv.test.clientJar"));
    private static final Path README = Path.of(System.getProperty("kerv.test.readme"));

    @TempDir Path temp;

    @Test
    void theExampleAnalysesACFileWithTheClientJarAlone() throws Exception {
        String readme = Files.readString(README, StandardCharsets.UTF_8);
        int start = readme.indexOf("```java\n", readme.indexOf("## Use from Java")) + "```java\n".length();
        Path work = Files.createDirectories(temp.resolve("work-folder"));
        Path source = Files.writeString(work.resolve("App.java"), readme.substring(start, readme.indexOf("```", start)));
        Path classes = Files.createDirectories(temp.resolve("classes"));
        assertEquals(0, ToolProvider.getSystemJavaCompiler().run(null, null, null, "-Xlint:all", "-Werror", "-cp",
                CLIENT_JAR.toString(), "-d", classes.toString(), source.toString()));
        Path appJar = temp.resolve("app.jar");
        try (JarOutputStream jar = new JarOutputStream(Files.newOutputStream(appJar))) {
            jar.putNextEntry(new JarEntry("App.class"));
            jar.write(Files.readAllBytes(classes.resolve("App.class")));
        }

        List<String> commands = readme.substring(start).lines().takeWhile(line -> !line.startsWith("## "))
                .filter(line -> line.startsWith("    java ")).toList();
        assertEquals(2, commands.size(), "the class-path and the module-path command: " + commands);
        Path cache = temp.resolve("cache");
        for (String command : commands) {
            Path folder = Files.createDirectories(temp.resolve("run-" + commands.indexOf(command)).resolve("src"));
            Files.writeString(folder.resolve("bug.c"), "int main(void) {\n    int *p = 0;\n    return *p;\n}\n");
            String output = run(command, appJar, folder.getParent(), cache);
            assertTrue(output.startsWith("0%\n") && output.contains("100%\n"), command + "\n" + output);
            assertTrue(output.lines().anyMatch(line -> line.startsWith("3 nullPointer ")), command + "\n" + output);
            assertFalse(output.contains("WARNING"), command + "\n" + output);
        }
        try (Stream<Path> extracted = Files.walk(cache.resolve("kerv"))) {
            assertTrue(extracted.anyMatch(p -> p.getFileName().toString().equals("libKERVBridge.so")),
                    "the bridge was extracted to the empty cache folder");
        }
    }

    /**
     * Runs a README command with this JVM's java and -Xcheck:jni, kerv-client.jar and "." standing for the built jar
     * and the example's jar; returns its output after checking that it exited with 0.
     */
    private String run(String command, Path appJar, Path work, Path cache) throws Exception {
        List<String> arguments = new ArrayList<>(List.of(
                Path.of(System.getProperty("java.home"), "bin", "java").toString(), "-Xcheck:jni"));
        for (String word : command.trim().split(" +")) {
            if (word.equals("java")) continue;
            arguments.add(Stream.of(word.split(":", -1))
                    .map(part -> part.equals("kerv-client.jar") ? CLIENT_JAR.toString()
                            : part.equals(".") ? appJar.toString() : part)
                    .collect(Collectors.joining(":")));
        }
        Path log = temp.resolve("output.txt");
        ProcessBuilder child = new ProcessBuilder(arguments).directory(work.toFile()).redirectErrorStream(true)
                .redirectOutput(log.toFile());
        child.environment().put("XDG_CACHE_HOME", cache.toString());
        child.environment().put("XDG_CONFIG_HOME", temp.resolve("config").toString());
        child.environment().put("XDG_DATA_HOME", temp.resolve("data").toString());
        Process process = child.start();
        boolean finished = process.waitFor(240, TimeUnit.SECONDS);
        if (!finished) {
            process.destroyForcibly();
        }
        assertTrue(finished, "the example did not finish: " + command);
        String output = Files.readString(log, StandardCharsets.UTF_8);
        System.out.print(output);
        System.out.flush();
        assertEquals(0, process.exitValue(), command + "\n" + output);
        return output;
    }
}

package com.quorvel.bridge.client.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import com.quorvel.bridge.client.BuildInfo;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * Loading from kerv-client.jar, each case in a fresh JVM under -Xcheck:jni started on the jar with no library
 * property and no java.library.path of its own.
 */
class NativeLoadingTest {
    private static final String CLIENT_JAR = System.getProperty("kerv.test.clientJar");
    private static final String PROBE_JAR = System.getProperty("kerv.test.probeJar");
    private static final String OTHER_VERSION_BRIDGE = System.getProperty("kerv.test.otherVersionBridge");
    private static final String JNI_REPORT = "WARNING in native method|WARNING: JNI|FATAL ERROR in native method";

    @TempDir
    Path temp;

    private record Run(int exit, String output) {}

    @Test
    void firstStartExtractsAndAnalysesLaterStartsReuseTheCopyAndADamagedCopyIsReplaced() throws IOException {
        Path cache = temp.resolve("cache");
        Path source = Files.writeString(temp.resolve("bug.c"), "int main(void) {\n  int *p = 0;\n  return *p;\n}\n");
        Path projects = Files.createDirectory(temp.resolve("projects"));

        Run first = probe(cache, List.of(), source.toString(), projects.toString());
        assertEquals(0, first.exit(), first.output());
        Path folder = onlyEntry(cache.resolve("kerv"));
        assertTrue(folder.getFileName().toString().startsWith(BuildInfo.VERSION + "-"), folder.toString());
        Path bridge = folder.resolve("libKERVBridge.so");
        assertTrue(first.output().contains("bridge=" + bridge + "\n"), first.output());
        assertTrue(first.output().contains("init=OK\n"), first.output());
        assertTrue(first.output().contains("nullPointer") && first.output().contains("bug.c"), first.output());
        assertTrue(first.output().matches("(?s).*progress=\\[0, [^\\n]*100\\]\n.*"), first.output());
        assertTrue(Files.isRegularFile(folder.resolve("libKERV.so")));
        assertTrue(Files.isRegularFile(folder.resolve("config/default.acf")));
        try (Stream<Path> files = Files.walk(folder)) {
            assertFalse(files.anyMatch(file -> file.toString().endsWith(".part")), "no temporary file left");
        }

        Object extracted = fileKey(bridge);
        Run second = probe(cache, List.of());
        assertEquals(0, second.exit(), second.output());
        assertEquals(extracted, fileKey(bridge), "a good cached copy is reused");

        Files.write(bridge, new byte[] {0x7f, 'E', 'L', 'F', 0});
        Run repaired = probe(cache, List.of());
        assertEquals(0, repaired.exit(), repaired.output());
        assertNotEquals(extracted, fileKey(bridge), "the damaged copy is replaced");
        assertTrue(Files.size(bridge) > 1000);
    }

    @Test
    void twoJvmsStartingTogetherOnAnEmptyCacheBothSucceed() throws Exception {
        Path cache = temp.resolve("cache");
        List<Process> processes = new ArrayList<>();
        for (int i = 0; i < 3; i++) processes.add(start(cache, List.of()));
        for (Process process : processes) {
            Run run = finish(process);
            assertEquals(0, run.exit(), run.output());
            assertTrue(run.output().contains("bridge=" + cache.resolve("kerv")), run.output());
        }
    }

    @Test
    void withoutAWritableHomeTwoJvmsShareAPrivateTemporaryFolderAndAForeignOneIsRefused() throws IOException {
        Path home = Files.writeString(temp.resolve("home-is-a-file"), "");
        Path tmp = Files.createDirectory(temp.resolve("tmp"));
        String folderName = "kerv-" + Files.getAttribute(Path.of("/proc/self"), "unix:uid");
        List<String> options = List.of("-Duser.home=" + home, "-Djava.io.tmpdir=" + tmp);
        List<Process> processes = List.of(start(null, options), start(null, options));
        for (Process process : processes) {
            Run run = finish(process);
            assertEquals(0, run.exit(), run.output());
            assertTrue(run.output().contains("bridge=" + tmp.resolve(folderName) + "/"), run.output());
        }
        assertEquals(PosixFilePermissions.fromString("rwx------"),
                Files.getPosixFilePermissions(tmp.resolve(folderName)));

        Path foreignTmp = Files.createDirectory(temp.resolve("foreign-tmp"));
        Path foreign = Files.createDirectory(foreignTmp.resolve(folderName));
        assumeTrue(System.getProperty("user.name").equals("root"), "only root can give a folder to another user");
        Files.setOwner(foreign, foreign.getFileSystem().getUserPrincipalLookupService().lookupPrincipalByName("nobody"));
        Run refused = probe(null, List.of("-Duser.home=" + home, "-Djava.io.tmpdir=" + foreignTmp));
        assertEquals(3, refused.exit(), refused.output());
        assertContainsAll(refused.output(), "cannot create the cache folder " + home.resolve(".cache/kerv"),
                "the cache folder " + foreign + " is not a folder of this user");
        try (Stream<Path> files = Files.list(foreign)) {
            assertEquals(0, files.count(), "nothing is written to the foreign folder");
        }
    }

    @Test
    void refusalsNameThePlatformWhatWasTriedAndWhatToSet() throws IOException {
        Path cache = temp.resolve("cache");
        Path missing = temp.resolve("missing/libKERVBridge.so");
        Run noFile = probe(cache, List.of("-Dcom.quorvel.bridge.library=" + missing));
        assertEquals(3, noFile.exit(), noFile.output());
        assertContainsAll(noFile.output(), "Linux/amd64", missing.toString(), "not a readable file",
                "no other place is tried", "Set the system property com.quorvel.bridge.library");
        assertFalse(Files.exists(cache), "no fallback to the copy inside the jar");

        Path notAFolder = Files.writeString(temp.resolve("file"), "");
        Run unwritable = probe(cache, List.of("-Dcom.quorvel.bridge.cache=" + notAFolder.resolve("kerv")));
        assertEquals(3, unwritable.exit(), unwritable.output());
        assertContainsAll(unwritable.output(), "Linux/amd64", "com.quorvel.bridge.library: not set",
                "java.library.path", "cannot create the cache folder " + notAFolder.resolve("kerv"),
                "com.quorvel.bridge.cache to a writable folder");

        Run otherVersion = probe(cache, List.of("-Dcom.quorvel.bridge.library=" + OTHER_VERSION_BRIDGE));
        assertEquals(3, otherVersion.exit(), otherVersion.output());
        assertContainsAll(otherVersion.output(), OTHER_VERSION_BRIDGE + " is version 0.0.0-other",
                "this client is version " + BuildInfo.VERSION);

        Path libraryPath = Files.createDirectory(temp.resolve("lib"));
        Files.copy(Path.of(OTHER_VERSION_BRIDGE), libraryPath.resolve("libKERVBridge.so"),
                StandardCopyOption.REPLACE_EXISTING);
        Run onLibraryPath = probe(cache, List.of("-Djava.library.path=" + libraryPath));
        assertEquals(3, onLibraryPath.exit(), onLibraryPath.output());
        assertContainsAll(onLibraryPath.output(), libraryPath.resolve("libKERVBridge.so") + " is version 0.0.0-other");

        // Once a bridge is loaded, loading it again does nothing and loading another one is refused: the natives
        // stay bound to the first.
        Run beside = probe(cache, List.of(), OTHER_VERSION_BRIDGE);
        assertEquals(0, beside.exit(), beside.output());
        String bridge = beside.output().lines().filter(line -> line.startsWith("bridge=")).findFirst().orElseThrow()
                .substring("bridge=".length());
        assertContainsAll(beside.output(), "again=" + bridge + "\n",
                "other=refused: the bridge library " + bridge + " is loaded already; " + OTHER_VERSION_BRIDGE
                        + " cannot be loaded beside it\n",
                "kept=" + bridge + " version=" + BuildInfo.VERSION + "\n");
    }

    @Test
    void aNoexecMountIsFoundInTheMountTable() {
        List<String> table = List.of(
                "22 1 252:1 / / rw,relatime shared:1 - ext4 /dev/vda rw",
                "30 22 0:27 / /var/cache rw,nosuid,noexec shared:5 - tmpfs tmpfs rw",
                "31 30 0:28 / /var/cache/kerv rw,nosuid shared:6 - tmpfs tmpfs rw",
                "32 22 0:29 / /home/a\\040b rw,noexec shared:7 - tmpfs tmpfs rw");
        assertTrue(MountOptions.isNoexec(Path.of("/var/cache/other/x"), table));
        assertFalse(MountOptions.isNoexec(Path.of("/var/cache/kerv/1.0.0-ab"), table), "the deepest mount decides");
        assertFalse(MountOptions.isNoexec(Path.of("/var/cachet"), table), "whole path names only");
        assertTrue(MountOptions.isNoexec(Path.of("/home/a b/.cache"), table));
    }

    private static void assertContainsAll(String text, String... parts) {
        for (String part : parts) assertTrue(text.contains(part), "missing <" + part + "> in:\n" + text);
    }

    private static Object fileKey(Path file) throws IOException {
        return Files.readAttributes(file, BasicFileAttributes.class).fileKey();
    }

    private static Path onlyEntry(Path folder) throws IOException {
        try (Stream<Path> entries = Files.list(folder)) {
            List<Path> all = entries.toList();
            assertEquals(1, all.size(), all.toString());
            return all.get(0);
        }
    }

    private Run probe(Path cache, List<String> options, String... args) {
        return finish(start(cache, options, args));
    }

    private Process start(Path cache, List<String> options, String... args) {
        List<String> command = new ArrayList<>(List.of(
                Path.of(System.getProperty("java.home"), "bin", "java").toString(), "-Xcheck:jni",
                "--enable-native-access=ALL-UNNAMED"));
        command.addAll(options);
        command.addAll(List.of("-cp", CLIENT_JAR + ":" + PROBE_JAR, LoaderProbe.class.getName()));
        command.addAll(List.of(args));
        ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
        Map<String, String> environment = builder.environment();
        if (cache == null) {
            environment.remove("XDG_CACHE_HOME");
        } else {
            environment.put("XDG_CACHE_HOME", cache.toString());
        }
        environment.put("XDG_CONFIG_HOME", temp.resolve("config").toString());
        environment.put("XDG_DATA_HOME", temp.resolve("data").toString());
        try {
            return builder.start();
        } catch (IOException e) {
            throw new AssertionError("cannot start " + command, e);
        }
    }

    private static Run finish(Process process) {
        try {
            String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
            int exit = process.waitFor();
            System.out.print(output);  // JNI reports of the child fail the test through ctest as well
            assertFalse(output.matches("(?s).*(" + JNI_REPORT + ").*"), output);
            return new Run(exit, output);
        } catch (IOException | InterruptedException e) {
            throw new AssertionError(e);
        }
    }
}

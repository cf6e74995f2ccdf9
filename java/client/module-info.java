/**
 * The Java client of the KERV bridge: sessions with an analysis library, projects, and their results as records.
 *
 * <p>Package {@code com.quorvel.bridge.client} is the core: sessions, projects, their files and results.
 * Package {@code com.quorvel.bridge.client.report} writes SARIF and HTML reports of a run and compares it with a
 * baseline.
 *
 * <p>The module loads the bridge's natives itself, so native access is granted to it by name
 * ({@code --enable-native-access=com.quorvel.bridge.client}) when it is on the module path. The raw native methods
 * (package {@code com.quorvel.bridge.caller}) and the client's internals stay inside the module.
 */
// Debian's jackson-core is an automatic module here; the upstream jar declares the same name as a real module.
@SuppressWarnings("requires-automatic")
module com.quorvel.bridge.client {
    // JSON is read and written by the reports (SARIF, baselines) and by the reading of compilation databases only:
    // a program that uses neither can leave the jar out; one that does on the module path adds it with
    // --add-modules com.fasterxml.jackson.core.
    requires static com.fasterxml.jackson.core;

    exports com.quorvel.bridge.client;
    exports com.quorvel.bridge.client.report;
}

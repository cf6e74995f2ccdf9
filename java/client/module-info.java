/**
 * The Java client of the KERV bridge: sessions with an analysis library, projects, and their results as records.
 *
 * <p>The module loads the bridge's natives itself, so native access is granted to it by name
 * ({@code --enable-native-access=com.quorvel.bridge.client}) when it is on the module path. The raw native methods
 * (package {@code com.quorvel.bridge.caller}) stay inside the module.
 */
// Debian's jackson-core is an automatic module here; the upstream jar declares the same name as a real module.
@SuppressWarnings("requires-automatic")
module com.quorvel.bridge.client {
    // Only compilation databases, SARIF reports and baselines use JSON: a program that does not can leave the jar
    // out; one that does on the module path adds it with --add-modules com.fasterxml.jackson.core.
    requires static com.fasterxml.jackson.core;

    exports com.quorvel.bridge.client;
}

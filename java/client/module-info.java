/**
 * The Java client of the KERV bridge: sessions with an analysis library, projects, and their results as records.
 *
 * <p>The module loads the bridge's natives itself, so native access is granted to it by name
 * ({@code --enable-native-access=com.quorvel.bridge.client}) when it is on the module path. The raw native methods
 * (package {@code com.quorvel.bridge.caller}) stay inside the module.
 */
module com.quorvel.bridge.client {
    requires java.xml;

    exports com.quorvel.bridge.client;
}

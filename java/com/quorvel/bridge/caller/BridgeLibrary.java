package com.quorvel.bridge.caller;

import java.io.File;

/** Loads the bridge library for the classes of this package that declare its native methods. */
final class BridgeLibrary {
    private BridgeLibrary() {}

    /**
     * Loads the file named by the system property {@value KERVBridge#LIBRARY_PROPERTY} when it is set, otherwise
     * {@code libKERVBridge.so} from {@code java.library.path}. Loading it again is a no-op, so every class that
     * declares native methods calls this when it is initialised.
     */
    static void load() {
        String path = System.getProperty(KERVBridge.LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            System.load(new File(path).getAbsolutePath());
        } else {
            System.loadLibrary("KERVBridge");
        }
    }
}

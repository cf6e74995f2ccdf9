package com.quorvel.bridge.client.internal;

import com.quorvel.bridge.caller.BridgeLibrary;
import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import com.quorvel.bridge.client.KervLoadException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.List;
import java.util.concurrent.CopyOnWriteArrayList;

/**
 * Started in a fresh JVM by {@link NativeLoadingTest}: loads the bridge as the client does and prints where from.
 * Given a C file and a project folder, it also analyses the file with the bundled analysis library and prints the
 * progress values and the diagnostics; given another bridge file alone, it loads that one beside the first. Exits
 * with 3 and the message when loading is refused.
 */
public final class LoaderProbe {
    private LoaderProbe() {}

    public static void main(String[] args) {
        try {
            NativeBundle.loadBridge();
        } catch (KervLoadException e) {
            System.out.println("refused=" + e.getMessage());
            System.exit(3);
        }
        Path bridge = BridgeLibrary.loadedFile().orElseThrow();
        System.out.println("bridge=" + bridge);
        if (args.length == 1) {
            loadBeside(bridge, Path.of(args[0]));
            return;
        }
        if (args.length < 2) return;

        List<Integer> progress = new CopyOnWriteArrayList<>();
        KERVProgress.setListener(progress::add);
        System.out.println("init=" + KERVBridge.initJniBridge(NativeBundle.bundledAnalysisLibrary().toString()));
        check(KERVBridge.initDeploymentInfo(), "initDeploymentInfo");
        check(KERVBridge.initApi(""), "initApi");
        check(KERVBridge.createProject(args[1], "probe", "", "", ""), "createProject");
        check(KERVBridge.addFile(KERVBridge.SOURCE_LANGUAGE_C, args[0], null, 0, null, 0), "addFile");
        KERVBridge.aggregate();
        System.out.println("progress=" + progress);
        byte[] diagnostics = KERVBridge.getDiagnostics(args[0], null, null, 0);
        System.out.println("diagnostics=" + new String(diagnostics, StandardCharsets.UTF_8));
        KERVBridge.shutdownApi();
    }

    /** Loads the bridge again, then {@code other}, and prints what each load did and which bridge stays loaded. */
    private static void loadBeside(Path bridge, Path other) {
        BridgeLibrary.load(bridge);
        System.out.println("again=" + BridgeLibrary.loadedFile().orElseThrow());
        try {
            BridgeLibrary.load(other);
            System.out.println("other=loaded");
        } catch (IllegalStateException e) {
            System.out.println("other=refused: " + e.getMessage());
        }
        System.out.println("kept=" + BridgeLibrary.loadedFile().orElseThrow() + " version="
                + KERVProgress.bridgeVersion());
    }

    private static void check(long status, String call) {
        if (status != 0) throw new IllegalStateException(call + " returned " + status);
    }
}

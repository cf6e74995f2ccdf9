package com.quorvel.bridge.client.internal;

import com.quorvel.bridge.caller.BridgeLibrary;
import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import com.quorvel.bridge.client.KervLoadException;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.concurrent.CopyOnWriteArrayList;

/**
 * Started in a fresh JVM by {@link NativeLoadingTest}: loads the bridge as the client does and prints where from.
 * Given a C file and a project folder, it also analyses the file with the bundled analysis library and prints the
 * progress values and the diagnostics. Exits with 3 and the message when loading is refused.
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
        System.out.println("bridge=" + BridgeLibrary.loadedFile().orElseThrow());
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

    private static void check(long status, String call) {
        if (status != 0) throw new IllegalStateException(call + " returned " + status);
    }
}

package com.quorvel.bridge.bench;

/**
 * Has the stand-in analysis library hand out large result trees and a rule catalog, through the benchmark library
 * named by the system property {@code kerv.bench.results}.
 */
final class StandInResults {
    static {
        System.load(System.getProperty("kerv.bench.results"));
    }

    private StandInResults() {}

    /**
     * Scripts trees of {@code nodes} nodes in all for every later {@code getTrees} call of the stand-in loaded from
     * {@code fakePath}: half of them in the file tree, a quarter each in the message and rule trees, each tree a root
     * with folders of up to 99 leaves.
     */
    static native void scriptTrees(String fakePath, int nodes);

    /**
     * Scripts the rule groups and message-rule map: rules "rule0" to "rule{count - 1}" in the group "warning", "note"
     * in the group "style", each message mapped to the rule of its name.
     */
    static native void scriptRules(String fakePath, int count);
}

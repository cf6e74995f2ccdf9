package com.quorvel.bridge.client;

import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;

/**
 * Decodes the three result trees ({@link Tags#TREES} holding the file, message and rule tree, each a
 * node with nested {@link Tags#SUB_ITEM} nodes).
 */
final class StaxTreeDecoder {
    private StaxTreeDecoder() {}

    /** One node while its element is open. */
    private static final class Builder {
        int type = -1;
        String name = "";
        String data = "";
        int total;
        int active;
        final List<TreeNode> children = new ArrayList<>(0);

        TreeNode build() {
            return new TreeNode(type, name, data, total, active, children);
        }
    }

    static Trees decode(StaxResultReader in) {
        TreeNode[] roots = new TreeNode[3];
        ArrayDeque<Builder> outer = new ArrayDeque<>();
        Builder current = null;
        for (int event = in.next(); event != StaxResultReader.DONE; event = in.next()) {
            String tag = in.name();
            int root = Tags.FILE_TREE.equals(tag) ? 0
                    : Tags.MESSAGE_TREE.equals(tag) ? 1
                    : Tags.RULE_TREE.equals(tag) ? 2 : -1;
            if (event == StaxResultReader.END) {
                if (root >= 0) {
                    roots[root] = current.build();
                    current = null;
                } else if (Tags.SUB_ITEM.equals(tag)) {
                    TreeNode done = current.build();
                    current = outer.pop();
                    current.children.add(done);
                }
                continue;
            }
            if (root >= 0 || Tags.SUB_ITEM.equals(tag)) {
                if ((root >= 0) == (current != null)) {
                    throw in.unexpected();  // a tree inside a node, or a node outside every tree
                }
                if (current != null) {
                    outer.push(current);
                }
                current = new Builder();
                continue;
            }
            if (Tags.TREES.equals(tag)) {
                continue;
            }
            if (current == null) {
                throw in.unexpected();
            }
            switch (tag) {
                case Tags.TYPE -> current.type = in.optionalNumber(-1);
                case Tags.NAME -> current.name = in.text();
                case Tags.DATA -> current.data = in.text();
                case Tags.TOTAL -> current.total = in.number();
                case Tags.ACTIVE -> current.active = in.number();
                default -> in.skip();
            }
        }
        if (roots[0] == null || roots[1] == null || roots[2] == null) {
            throw new KervException("getTrees", KervStatus.BRIDGE_FAILURE.code(),
                    "result of getTrees lacks one of its three trees", null);
        }
        return new Trees(roots[0], roots[1], roots[2]);
    }
}

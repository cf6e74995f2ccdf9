package com.quorvel.bridge.client;

import java.util.ArrayList;
import java.util.List;

/**
 * Decodes the three result trees ({@link Tags#TREES} holding the file, message and rule tree in that order, each a
 * node with nested {@link Tags#SUB_ITEM} nodes). Nodes nest to any depth, decoded without recursion.
 */
final class TreeDecoder {
    private static final ElementTag TREES = new ElementTag(Tags.TREES);
    private static final ElementTag FILE_TREE = new ElementTag(Tags.FILE_TREE);
    private static final ElementTag MESSAGE_TREE = new ElementTag(Tags.MESSAGE_TREE);
    private static final ElementTag RULE_TREE = new ElementTag(Tags.RULE_TREE);
    private static final ElementTag SUB_ITEM = new ElementTag(Tags.SUB_ITEM);
    private static final ElementTag TYPE = new ElementTag(Tags.TYPE);
    private static final ElementTag NAME = new ElementTag(Tags.NAME);
    private static final ElementTag DATA = new ElementTag(Tags.DATA);
    private static final ElementTag TOTAL = new ElementTag(Tags.TOTAL);
    private static final ElementTag ACTIVE = new ElementTag(Tags.ACTIVE);

    private TreeDecoder() {}

    /** One node while its element is open; a builder serves every node at its depth in turn. */
    private static final class Builder {
        int type;
        String name;
        String data;
        int total;
        int active;
        final List<TreeNode> children = new ArrayList<>();

        Builder reset() {
            type = -1;
            name = "";
            data = "";
            total = 0;
            active = 0;
            children.clear();
            return this;
        }

        TreeNode build() {
            return new TreeNode(type, name, data, total, active, Lists.frozen(children));
        }
    }

    static Trees decode(CompactReader in) {
        List<Builder> open = new ArrayList<>();
        in.open(TREES);
        TreeNode files = tree(in, FILE_TREE, open);
        TreeNode messages = tree(in, MESSAGE_TREE, open);
        TreeNode rules = tree(in, RULE_TREE, open);
        in.close(TREES);
        in.end();
        return new Trees(files, messages, rules);
    }

    private static TreeNode tree(CompactReader in, ElementTag root, List<Builder> open) {
        in.open(root);
        int depth = 0;
        Builder current = builder(open, depth++);
        readNode(in, current);
        while (true) {
            if (in.at(SUB_ITEM)) {
                current = builder(open, depth++);
                readNode(in, current);
                continue;
            }
            if (--depth == 0) {
                in.close(root);
                return current.build();
            }
            in.close(SUB_ITEM);
            TreeNode done = current.build();
            current = open.get(depth - 1);
            current.children.add(done);
        }
    }

    private static Builder builder(List<Builder> open, int depth) {
        if (depth == open.size()) {
            open.add(new Builder());
        }
        return open.get(depth).reset();
    }

    private static void readNode(CompactReader in, Builder node) {
        if (in.at(TYPE)) {
            node.type = in.optionalNumber(TYPE, -1);
        }
        if (in.at(NAME)) {
            node.name = in.value(NAME);
        }
        if (in.at(DATA)) {
            node.data = in.value(DATA);
        }
        if (in.at(TOTAL)) {
            node.total = in.number(TOTAL);
        }
        if (in.at(ACTIVE)) {
            node.active = in.number(ACTIVE);
        }
    }
}

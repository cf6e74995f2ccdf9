package com.quorvel.bridge.client;

import java.util.List;
import java.util.Objects;

/**
 * One node of a result tree, with its children.
 *
 * @param type the node's kind, 0 to 8 as the analysis library defines them, -1 when it gave none
 * @param name the node's name
 * @param data the node's data text
 * @param total the node's total count
 * @param active the node's active count
 * @param children the node's children, possibly none
 */
public record TreeNode(int type, String name, String data, int total, int active, List<TreeNode> children) {
    /**
     * Creates a node; the list is copied and must not hold null.
     *
     * @param type the node's kind, 0 to 8 as the analysis library defines them, -1 when it gave none
     * @param name the node's name
     * @param data the node's data text
     * @param total the node's total count
     * @param active the node's active count
     * @param children the node's children, possibly none
     */
    public TreeNode {
        Objects.requireNonNull(name, "name");
        Objects.requireNonNull(data, "data");
        children = List.copyOf(children);
    }
}

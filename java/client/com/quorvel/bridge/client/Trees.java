package com.quorvel.bridge.client;

import java.util.Objects;

/**
 * The three result trees of a project.
 *
 * @param files the file tree's root
 * @param messages the message tree's root
 * @param rules the rule tree's root
 */
public record Trees(TreeNode files, TreeNode messages, TreeNode rules) {
    /**
     * Creates the trees.
     *
     * @param files the file tree's root
     * @param messages the message tree's root
     * @param rules the rule tree's root
     */
    public Trees {
        Objects.requireNonNull(files, "files");
        Objects.requireNonNull(messages, "messages");
        Objects.requireNonNull(rules, "rules");
    }
}

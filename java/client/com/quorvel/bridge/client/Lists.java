package com.quorvel.bridge.client;

import java.util.List;

/** Immutable copies of the decoders' reused lists. */
final class Lists {
    private Lists() {}

    /**
     * An immutable copy of a list of non-null items. Short lists, the usual ones in results, are copied without the
     * array that {@link List#copyOf} goes through, and records that copy them again keep them as they are.
     */
    static <T> List<T> frozen(List<T> items) {
        return switch (items.size()) {
            case 0 -> List.of();
            case 1 -> List.of(items.get(0));
            case 2 -> List.of(items.get(0), items.get(1));
            default -> List.copyOf(items);
        };
    }
}

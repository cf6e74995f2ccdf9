package com.quorvel.bridge.test;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotSame;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quorvel.bridge.caller.KERVBridge;
import com.quorvel.bridge.caller.KERVProgress;
import java.util.List;
import java.util.concurrent.CopyOnWriteArrayList;
import java.util.concurrent.atomic.AtomicBoolean;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.function.IntConsumer;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.Test;

/** The aggregation's progress values reach the Java listener, from the caller's thread and from a foreign one. */
class ProgressListenerTest extends StandInTest {
    private static final int[] PROGRESS = {0, 25, 40, 40, 100};

    @AfterEach
    void removeListener() {
        KERVProgress.setListener(null);
    }

    @Test
    void everyValueArrivesInOrderOnTheReportingThreadAndAThrowingListenerStopsNothing() {
        Thread caller = Thread.currentThread();
        for (boolean ownThread : new boolean[] {false, true}) {
            BridgeFixture.freshCall();
            Fake.setProgress(PROGRESS);
            Fake.setProgressOnOwnThread(ownThread);
            List<Integer> values = new CopyOnWriteArrayList<>();
            List<Thread> threads = new CopyOnWriteArrayList<>();
            KERVProgress.setListener(value -> {
                values.add(value);
                threads.add(Thread.currentThread());
                if (value == 40) throw new IllegalStateException("listener broke at " + value);
            });
            KERVBridge.aggregate();

            String where = ownThread ? "foreign thread" : "calling thread";
            assertEquals(List.of(0, 25, 40, 40, 100), values, where);
            for (Thread thread : threads) {
                if (ownThread) {
                    assertNotSame(caller, thread, where);
                    assertTrue(thread.isDaemon(), "attached as a daemon");
                    assertFalse(thread.isAlive(), "detached after the call");
                } else {
                    assertSame(caller, thread);
                }
            }
            String log = BridgeFixture.log();
            String failure =
                    "\nProgress listener failed at 40: java.lang.IllegalStateException: listener broke at 40\n";
            assertEquals(2, log.split(failure, -1).length - 1, log);
            assertTrue(log.replace(failure, "").contains(progressLines(PROGRESS)), log);
        }

        KERVProgress.setListener(null);
        BridgeFixture.freshCall();
        Fake.setProgress(PROGRESS);
        KERVBridge.aggregate();
        assertEquals("aggregate(fn)\n", Fake.journal(), "calls keep working after a throwing listener");
        assertTrue(BridgeFixture.log().contains(progressLines(PROGRESS)));
        assertFalse(BridgeFixture.log().contains("listener"), "no listener, no delivery");
    }

    @Test
    void aListenerReplacedDuringDeliveryOnAnotherThreadIsNeverUsedAfterRelease() throws InterruptedException {
        int[] progress = new int[20_000];
        for (int i = 0; i < progress.length; i++) progress[i] = i % 101;
        Fake.setProgress(progress);
        Fake.setProgressOnOwnThread(true);
        AtomicInteger first = new AtomicInteger();
        AtomicInteger second = new AtomicInteger();
        IntConsumer one = value -> first.incrementAndGet();
        IntConsumer two = value -> second.incrementAndGet();
        KERVProgress.setListener(one);
        AtomicBoolean done = new AtomicBoolean();
        Thread swapper = new Thread(() -> {
            for (int i = 0; !done.get(); i++) KERVProgress.setListener(i % 2 == 0 ? two : one);
        });
        swapper.start();
        try {
            KERVBridge.aggregate();
        } finally {
            done.set(true);
            swapper.join();
        }
        assertEquals(progress.length, first.get() + second.get(), "each value reaches exactly one listener");
        assertTrue(first.get() > 0 && second.get() > 0, "the listener changed while values arrived");
    }

    private static String progressLines(int[] values) {
        StringBuilder lines = new StringBuilder();
        for (int value : values) lines.append("Aggregate progress is ").append(value).append('\n');
        return lines.toString();
    }
}

/* Control of the scriptable stand-in analysis library (libKERVFake.so and
 * libKERVFakePartial.so).
 *
 * The stand-in exports the 53 entry points of the analysis library. A test
 * scripts what each one returns and reads back a journal of every call. These
 * functions are exported by the stand-in itself; reach them by linking it or
 * with dlopen(path, RTLD_NOLOAD) + dlsym on the same path the bridge loaded.
 *
 * Entry points are named by their look-up name ("hasResults"). Functions that
 * take a name return 0, or -1 when the name is not an entry point of the kind
 * the function scripts.
 *
 * Defaults after load and after kervFakeReset: every int and byte result 0,
 * every text "", every record null, no progress values reported on the
 * caller's thread, an empty journal.
 *
 * Journal: one line per call, "\n"-terminated:
 *     name(arg, arg, ...)
 * with the arguments in the entry point's order, written as
 *   text        "..." with \" \\ and \xHH for bytes outside 0x20..0x7e; null
 *   number      decimal (enumerations, counts, one-byte flags as 0/1)
 *   text array  ["A","B=1"] using the count argument that goes with it; null
 *   record in   hex address (0x...) or null (getDiagnostics' messages, rules)
 *   record out  out (the address the record is stored through), or null
 *   callback    fn or null (aggregate)
 *   free        *pp=0x... the record pointer received, *pp=null, or pp=null
 * Examples:
 *     addFile(1, "a.c", 2, ["A","B=1"], 0, null)
 *     getTrees(out, 1, 1, ["x"])
 *     freeTrees(*pp=0x55d0c1e2a0)
 *     aggregate(null)
 *
 * Records set by a test stay owned by the test: getters store the pointer as
 * given, free functions only journal and set *pp to null.
 */
#ifndef KERV_FAKE_CONTROL_H
#define KERV_FAKE_CONTROL_H

#ifdef __cplusplus
extern "C" {
#endif

/* Back to the defaults; the journal and the call counters are cleared. */
void kervFakeReset(void);

/* The int result (or one-byte result: the low 8 bits, so 2 and 255 work) of
 * every call of an entry point. */
int kervFakeSetResult(const char* entryPoint, int value);

/* The result of one call only: callIndex counts the calls of that entry
 * point since the last reset, from 0. Overrides kervFakeSetResult. */
int kervFakeSetResultOfCall(const char* entryPoint, int callIndex, int value);

/* The text an entry point returns; the stand-in keeps its own copy. A null
 * text makes the entry point return a null pointer. */
int kervFakeSetText(const char* entryPoint, const char* text);

/* The record an entry point stores through its out-parameter, null included,
 * on every call, or on one call (getMappedFileExtensions: call 0 is C, call 1
 * is C++). */
int kervFakeSetRecord(const char* entryPoint, void* record);
int kervFakeSetRecordOfCall(const char* entryPoint, int callIndex, void* record);

/* Progress values that aggregate passes, in order, to the callback it
 * receives (a null callback is not called). The values are copied. */
void kervFakeSetProgress(const unsigned int* values, unsigned int count);

/* Non-zero: aggregate reports its progress values from a new thread of its
 * own, started for the call and joined before aggregate returns; zero: from
 * the calling thread. */
void kervFakeSetProgressOnOwnThread(int onOwnThread);

/* The journal since the last reset; valid until the next call into the
 * stand-in. */
const char* kervFakeJournal(void);

/* Number of calls of an entry point since the last reset, -1 for an unknown
 * name. */
int kervFakeCallCount(const char* entryPoint);

#ifdef __cplusplus
}
#endif

#endif /* KERV_FAKE_CONTROL_H */

// Preloaded into a test process, makes one of its writes to the file system
// fail as a full or broken disk would. Counted are the calls the project and
// results stores write with: open for writing, write, fsync, fdatasync,
// ftruncate, truncate, rename and mkdir. Counting runs between
// kervFaultArm() and kervFaultDisarm(); the call numbered KERV_FAULT_AT
// (from 1) fails with errno KERV_FAULT_ERRNO (default ENOSPC), and with
// KERV_FAULT_STICKY=1 every later counted call fails too.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

static atomic_int armed;
static atomic_long counted;
static atomic_long injected;
static long failAt;
static int failErrno = ENOSPC;
static int sticky;

// Read once; LD_PRELOAD goes from the environment so that the processes this
// one starts (the analyser) write normally.
__attribute__((constructor)) static void readSettings(void) {
    const char* at = getenv("KERV_FAULT_AT");
    const char* code = getenv("KERV_FAULT_ERRNO");
    const char* stick = getenv("KERV_FAULT_STICKY");
    failAt = at ? atol(at) : 0;
    if (code && atoi(code) > 0) failErrno = atoi(code);
    sticky = stick && atoi(stick) == 1;
    unsetenv("LD_PRELOAD");
}

void kervFaultArm(void) {
    atomic_store(&counted, 0);
    atomic_store(&injected, 0);
    atomic_store(&armed, 1);
}

// The number of counted calls since kervFaultArm().
long kervFaultDisarm(void) {
    atomic_store(&armed, 0);
    return atomic_load(&counted);
}

long kervFaultInjected(void) {
    return atomic_load(&injected);
}

// True when this counted call is to fail; errno is then set.
static int failsNow(void) {
    if (!atomic_load(&armed)) return 0;
    long call = atomic_fetch_add(&counted, 1) + 1;
    if (failAt <= 0 || call < failAt || (call > failAt && !sticky)) return 0;
    atomic_fetch_add(&injected, 1);
    errno = failErrno;
    return 1;
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static int writesTo(int flags) {
    return (flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT) != 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
    va_end(args);
    if (writesTo(flags) && failsNow()) return -1;
    return NEXT(open)(path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size) {
    return failsNow() ? -1 : NEXT(write)(fd, data, size);
}

int fsync(int fd) {
    return failsNow() ? -1 : NEXT(fsync)(fd);
}

int fdatasync(int fd) {
    return failsNow() ? -1 : NEXT(fdatasync)(fd);
}

int ftruncate(int fd, off_t size) {
    return failsNow() ? -1 : NEXT(ftruncate)(fd, size);
}

int truncate(const char* path, off_t size) {
    return failsNow() ? -1 : NEXT(truncate)(path, size);
}

int rename(const char* from, const char* to) {
    return failsNow() ? -1 : NEXT(rename)(from, to);
}

int mkdir(const char* path, mode_t mode) {
    return failsNow() ? -1 : NEXT(mkdir)(path, mode);
}

/* krv-refmaster: a plain C Modbus RTU master on libmodbus, the reference line
 * of bench/run. It polls one station at the tool's fixed cadence: one request
 * per tick, the ticks laid on absolute times from the first one (a transaction
 * that overruns its tick makes the next request leave at once and the ticks it
 * covered are skipped, so the cadence does not drift), unlike mbpoll, which
 * waits its interval after each transaction.
 *
 *   krv-refmaster --device PATH --rate BAUD [--seconds 60] [--station 2]
 *                 [--reads rotation|holding] [--tick-ms N] [--timeout-ms N]
 *
 * The tick and the reply time-out are the tool's: 1200 ms and 1150 ms divided
 * by the index of the line speed plus one (1200 baud = 0 .. 38400 baud = 5):
 * 300 ms and 287 ms at 9600, 200 ms and 191 ms at 38400.
 *
 * --reads rotation (the default) reads what the tool's polling reads once its
 * start burst is over, in its order, one per tick: coils 0..8 (function 1),
 * discrete inputs 0x0010..0x0023 (function 2, firmware 5.2 on), holding
 * registers 0x0000..0x0007 (function 3), coil 0x0030 (function 1): 8 bytes out
 * and 10.5 bytes back per tick on average. --reads holding reads holding
 * registers 0x0000..0x0007 on every tick (8 out, 21 back).
 *
 * After polling it prints, like krv2060-bench, lines "bench NAME VALUE":
 *   polled-s             from the first tick to the end of the last transaction
 *   cpu-s, user-s, system-s   CPU time of the process over that span
 *   requests, replies, time-outs, errors   (an exception reply is a reply)
 *   skipped-ticks        ticks left out because a transaction overran
 *   main-vcsw, main-ivcsw   voluntary and involuntary context switches of the
 *                        (only, main) thread over the span: the wake-ups
 *   peak-rss-kb          VmHWM of the process (not ru_maxrss: Linux carries
 *                        that over an exec, so it would hold the peak of the
 *                        process that started this one)
 * It ends early on SIGINT or SIGTERM, still printing them.
 */
#define _GNU_SOURCE
#include <modbus.h>

#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>

static volatile sig_atomic_t stopRequested = 0;

static void onStopSignal(int sig)
{
    (void)sig;
    stopRequested = 1;
}

static int64_t nowNs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static double seconds(struct timeval t)
{
    return (double)t.tv_sec + (double)t.tv_usec / 1e6;
}

/* VmHWM from /proc/self/status, in kB; -1 when not found. */
static long peakResidentKb(void)
{
    FILE *f = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmHWM: %ld", &kb) == 1)
            break;
    fclose(f);
    return kb;
}

static void usage(void)
{
    fputs("usage: krv-refmaster --device PATH --rate BAUD [--seconds 60] [--station 2]\n"
          "                     [--reads rotation|holding] [--tick-ms N] [--timeout-ms N]\n",
          stderr);
    exit(2);
}

/* One read of the rotation; returns the libmodbus result. */
static int readStep(modbus_t *ctx, int step, int rotation)
{
    uint8_t bits[32];
    uint16_t registers[8];
    if (!rotation)
        return modbus_read_registers(ctx, 0x0000, 8, registers);
    switch (step % 4) {
    case 0:
        return modbus_read_bits(ctx, 0x0000, 9, bits);
    case 1:
        return modbus_read_input_bits(ctx, 0x0010, 20, bits);
    case 2:
        return modbus_read_registers(ctx, 0x0000, 8, registers);
    default:
        return modbus_read_bits(ctx, 0x0030, 1, bits);
    }
}

int main(int argc, char **argv)
{
    const char *device = NULL;
    int rate = 0, secondsToPoll = 60, station = 2, rotation = 1, tickMs = 0, timeoutMs = 0;
    for (int i = 1; i < argc; ++i) {
        const char *value = i + 1 < argc ? argv[i + 1] : NULL;
        if (!value)
            usage();
        if (!strcmp(argv[i], "--device"))
            device = value;
        else if (!strcmp(argv[i], "--rate"))
            rate = atoi(value);
        else if (!strcmp(argv[i], "--seconds"))
            secondsToPoll = atoi(value);
        else if (!strcmp(argv[i], "--station"))
            station = atoi(value);
        else if (!strcmp(argv[i], "--tick-ms"))
            tickMs = atoi(value);
        else if (!strcmp(argv[i], "--timeout-ms"))
            timeoutMs = atoi(value);
        else if (!strcmp(argv[i], "--reads") && !strcmp(value, "rotation"))
            rotation = 1;
        else if (!strcmp(argv[i], "--reads") && !strcmp(value, "holding"))
            rotation = 0;
        else
            usage();
        ++i;
    }
    static const int rates[] = {1200, 2400, 4800, 9600, 19200, 38400};
    int rateIndex = -1;
    for (int k = 0; k < 6; ++k)
        if (rates[k] == rate)
            rateIndex = k;
    if (!device || rateIndex < 0 || secondsToPoll <= 0 || station < 1 || station > 247)
        usage();
    if (tickMs <= 0)
        tickMs = 1200 / (rateIndex + 1);
    if (timeoutMs <= 0)
        timeoutMs = 1150 / (rateIndex + 1);

    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = onStopSignal; /* no SA_RESTART: the tick's sleep ends at once */
    sigaction(SIGINT, &sa, NULL);
    sigaction(SIGTERM, &sa, NULL);

    modbus_t *ctx = modbus_new_rtu(device, rate, 'N', 8, 1);
    if (!ctx || modbus_set_slave(ctx, station) != 0) {
        fprintf(stderr, "krv-refmaster: %s\n", modbus_strerror(errno));
        return 1;
    }
    modbus_set_response_timeout(ctx, (uint32_t)(timeoutMs / 1000),
                                (uint32_t)(timeoutMs % 1000) * 1000);
    if (modbus_connect(ctx) != 0) {
        fprintf(stderr, "krv-refmaster: %s: %s\n", device, modbus_strerror(errno));
        modbus_free(ctx);
        return 1;
    }

    const int64_t tickNs = (int64_t)tickMs * 1000000;
    long long requests = 0, replies = 0, timeouts = 0, errors = 0, skipped = 0;
    struct rusage before, after, threadBefore, threadAfter;
    const int64_t start = nowNs();
    const int64_t end = start + (int64_t)secondsToPoll * 1000000000;
    getrusage(RUSAGE_SELF, &before);
    getrusage(RUSAGE_THREAD, &threadBefore);
    for (int64_t tick = 0; !stopRequested; ++tick) {
        const int64_t due = start + tick * tickNs;
        if (due >= end)
            break;
        const struct timespec at = {(time_t)(due / 1000000000), (long)(due % 1000000000)};
        if (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, NULL) != 0 || stopRequested)
            break;
        const int rc = readStep(ctx, (int)requests, rotation);
        ++requests;
        if (rc >= 0 || (errno > MODBUS_ENOBASE && errno < MODBUS_ENOBASE + MODBUS_EXCEPTION_MAX))
            ++replies;
        else if (errno == ETIMEDOUT)
            ++timeouts;
        else
            ++errors;
        /* A transaction that ran past the next tick: leave at once, skip the
         * ticks already gone. */
        const int64_t late = nowNs() - (start + (tick + 1) * tickNs);
        if (late > 0) {
            skipped += late / tickNs;
            tick += late / tickNs;
        }
    }
    const int64_t stopped = nowNs();
    getrusage(RUSAGE_THREAD, &threadAfter);
    getrusage(RUSAGE_SELF, &after);
    modbus_close(ctx);
    modbus_free(ctx);

    const double user = seconds(after.ru_utime) - seconds(before.ru_utime);
    const double system = seconds(after.ru_stime) - seconds(before.ru_stime);
    printf("bench polled-s %.3f\n", (double)(stopped - start) / 1e9);
    printf("bench cpu-s %.3f\nbench user-s %.3f\nbench system-s %.3f\n", user + system, user,
           system);
    printf("bench requests %lld\nbench replies %lld\nbench time-outs %lld\nbench errors %lld\n",
           requests, replies, timeouts, errors);
    printf("bench skipped-ticks %lld\n", skipped);
    printf("bench main-vcsw %ld\nbench main-ivcsw %ld\n",
           threadAfter.ru_nvcsw - threadBefore.ru_nvcsw,
           threadAfter.ru_nivcsw - threadBefore.ru_nivcsw);
    printf("bench peak-rss-kb %ld\n", peakResidentKb());
    return 0;
}

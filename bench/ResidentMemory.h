#ifndef ORVTEST_BENCH_RESIDENTMEMORY_H
#define ORVTEST_BENCH_RESIDENTMEMORY_H

// This process's resident memory now, in KiB, as the kernel counts it; 0
// where /proc cannot say.
long residentKiB();

#endif

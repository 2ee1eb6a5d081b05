#ifndef ORVTEST_BENCH_ALLOCATIONCOUNTER_H
#define ORVTEST_BENCH_ALLOCATIONCOUNTER_H

// Linking AllocationCounter.cpp replaces the global operator new with one
// that counts, while countingAllocations is set, every allocation of the process.
extern bool countingAllocations;
extern long allocationCount;

#endif

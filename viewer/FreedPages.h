#ifndef ORVTEST_VIEWER_FREEDPAGES_H
#define ORVTEST_VIEWER_FREEDPAGES_H

// Hands the pages the allocator holds free back to the system. The C
// library keeps freed memory for reuse; tens of MiB freed between blocks
// that live on (the old scene after a reload) are never reused in full, so
// the process would grow by them.
void returnFreedPages();

#endif

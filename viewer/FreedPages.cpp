#include "viewer/FreedPages.h"

// Any C library header says which library this is; <malloc.h> is glibc's own.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnFreedPages()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

#include "viewer/FreedPages.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnFreedPages()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

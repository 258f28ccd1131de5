// glibc's malloc_trim also releases free pages inside the heap, not only at its end.
#include "CMorMemory.h"

#include <malloc.h>

void CMorMemory::returnFreedPages()
{
    malloc_trim(0);
}

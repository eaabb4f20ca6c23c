#pragma once

namespace platform {

// Makes the C library's heap keep memory freed by large operations for the next ones, up
// to a bound, instead of handing it back to the kernel at once. A cut or paste of a hundred
// thousand files allocates and frees tens of megabytes; given back each time, every page of
// it is faulted in again by the next operation, which costs more than the work itself on a
// loaded or virtual machine. Blocks of 32 MiB and more still come from the kernel and go
// back to it when freed, and the heap returns its free top once it passes 64 MiB. The
// process calls this once, at start.
void keepFreedHeapForReuse();

}  // namespace platform

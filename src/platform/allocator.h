#pragma once

#include <cstddef>

namespace pw {

// Keeps the memory of freed buffers for the next ones, for the life of the program. Text is read
// through buffers of a few MiB made anew for every source and part; left to its defaults the C
// library maps each one afresh and unmaps it when freed, so that every page is faulted in and
// zeroed again, which costs more than the text work when many files are read.
void reuseFreedBuffers();

// Asks for the pages of a large buffer about to be filled to be mapped 2 MiB at a time: on a
// virtual machine each page faulted in costs more than writing it.
void adviseLargePages(void* data, size_t size);

}  // namespace pw

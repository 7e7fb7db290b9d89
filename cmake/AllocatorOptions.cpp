// Start-up work for the programs that link jemalloc.
//
// jemalloc makes its arenas on demand, one for each new thread until it has as many as
// its option asks (four per processor). A thread started when the address space is
// exhausted then makes its arena inside malloc, which crashes the thread instead of
// failing the allocation. So every arena is made here, at start-up, while memory is
// plentiful: a later thread takes one of them, and a thread that cannot get memory
// sees std::bad_alloc like any other (the check ends with "out of memory"). Keeping
// several arenas, rather than one, keeps the checking threads' findings apart: one
// shared arena cost 7 % more memory on a site of 10,000 pages.
#include <cstddef>

extern "C" int mallctl(const char* name, void* oldValue, std::size_t* oldSize, void* newValue,
                       std::size_t newSize);

namespace {

void MakeEveryArena() {
  unsigned count = 0;
  std::size_t size = sizeof count;
  if (mallctl("opt.narenas", &count, &size, nullptr, 0) != 0) {
    return;
  }
  unsigned own = 0;
  size = sizeof own;
  if (mallctl("thread.arena", &own, &size, nullptr, 0) != 0) {
    return;
  }
  // Moving this thread to an arena makes it; the thread then goes back to its own.
  for (unsigned arena = 0; arena < count; ++arena) {
    mallctl("thread.arena", nullptr, nullptr, &arena, sizeof arena);
  }
  mallctl("thread.arena", nullptr, nullptr, &own, sizeof own);
}

const bool kArenasMade = (MakeEveryArena(), true);

} // namespace

// jemalloc's options for the programs that link it (it reads this symbol at start-up).
//
// One arena, made at start-up: by default jemalloc makes an arena for each new thread
// on demand, and when the address space is exhausted that happens inside malloc, which
// then crashes the thread instead of failing the allocation. With one arena a thread
// that cannot get memory sees std::bad_alloc like any other, and the check ends with
// its message. The per-thread caches stay, so the checking threads still allocate
// without contention (measured: no slower on a site of 530 pages).
extern "C" {
// NOLINTNEXTLINE: jemalloc looks the option string up under this exact name.
const char* malloc_conf = "narenas:1";
}

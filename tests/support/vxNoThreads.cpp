// Preloaded into a program under test (LD_PRELOAD): no thread can be
// started, as when the system has none left to give. With
// KOLBRIK_TEST_THREADS=abort in the environment, the program is stopped at
// its first attempt instead, for tests of programs that must start none.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)
{
    const char* mode = std::getenv("KOLBRIK_TEST_THREADS");
    if (mode && std::strcmp(mode, "abort") == 0) {
        std::fputs("a thread was started\n", stderr);
        std::abort();
    }
    return EAGAIN;
}

// Preloaded into a program under test (LD_PRELOAD): no thread can be
// started, as when the system has none left to give.
#include <cerrno>
#include <pthread.h>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)
{
    return EAGAIN;
}

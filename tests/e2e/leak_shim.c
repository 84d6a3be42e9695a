/* A slow leak planted in the game for the soak check's own test: loaded with LD_PRELOAD, it
 * starts a thread that takes 1 kB a second, touches it and never gives it back. */
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void* leak(void* unused) {
    (void)unused;
    for (;;) {
        char* block = malloc(1024);
        if (block != NULL)
            memset(block, 1, 1024);
        sleep(1);
    }
    return NULL;
}

__attribute__((constructor)) static void start_leak(void) {
    pthread_t thread;
    if (pthread_create(&thread, NULL, leak, NULL) == 0)
        pthread_detach(thread);
}

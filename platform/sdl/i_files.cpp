// SPDX-License-Identifier: GPL-3.0-or-later
// The player's files written on a thread of the backend's own: a save asks
// and returns at once, so that a slow disk (each save waits for two syncs)
// never delays a tick. The writes are done in the order asked; a write of a
// file that is still waiting takes the older one's place, as only the last
// one counts. Everything lives in fixed slots made at start.
#include "platform/sdl/desktop.h"

#include "platform/text.h"

#include <cstring>
#include <pthread.h>

namespace {
constexpr int32_t Slots = 6;

struct FileJob {
    bool remove;
    FileTarget target;       // where a write goes
    char path[FilePathSize]; // what a removal takes away
    char key[FilePathSize];  // the file either acts on, its links followed
    int32_t size;
    uint8_t bytes[FileMaxBytes];
};

struct WriterState {
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t asked = PTHREAD_COND_INITIALIZER; // a job came
    pthread_cond_t done = PTHREAD_COND_INITIALIZER;  // a job was done
    bool started = false;
    FileJob waiting[Slots] = {}; // in the order asked, from `head`
    int32_t head = 0, count = 0;
    bool working = false; // the thread is doing a job taken off the queue
    int32_t failures = 0; // since the last wait
    FileJob current = {}; // the job being done
};
WriterState Writer;

void* WriterThread(void*) {
    pthread_mutex_lock(&Writer.lock);
    for (;;) {
        while (Writer.count == 0) pthread_cond_wait(&Writer.asked, &Writer.lock);
        Writer.current = Writer.waiting[Writer.head];
        Writer.head = (Writer.head + 1) % Slots;
        --Writer.count;
        Writer.working = true;
        pthread_mutex_unlock(&Writer.lock);
        const FileJob& job = Writer.current;
        const bool ok = job.remove ? FileRemoveSaying(job.path)
                                   : FileReplaceSaying(job.target, job.bytes, job.size);
        pthread_mutex_lock(&Writer.lock);
        Writer.working = false;
        if (!ok) ++Writer.failures;
        pthread_cond_broadcast(&Writer.done);
    }
    return nullptr;
}

// The slot for a job on the file `key`: the last job waiting for that file
// if it is of the same kind (only the newest write counts), else a new one
// at the end. Waits for room when every slot is taken. Called with the lock
// held.
FileJob* SlotFor(bool remove, const char* key) {
    for (int32_t i = Writer.count - 1; i >= 0; --i) {
        FileJob& job = Writer.waiting[(Writer.head + i) % Slots];
        if (std::strcmp(job.key, key) != 0) continue;
        if (job.remove == remove) return &job;
        break;
    }
    while (Writer.count == Slots) pthread_cond_wait(&Writer.done, &Writer.lock);
    FileJob* job = &Writer.waiting[(Writer.head + Writer.count) % Slots];
    ++Writer.count;
    CopyText(job->key, key);
    return job;
}

// Starts the thread once; without it the job is done at once.
bool Start() {
    if (Writer.started) return true;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, WriterThread, nullptr) != 0) return false;
    pthread_detach(thread);
    Writer.started = true;
    return true;
}

bool Count(bool ok) {
    if (ok) return true;
    pthread_mutex_lock(&Writer.lock);
    ++Writer.failures;
    pthread_mutex_unlock(&Writer.lock);
    return false;
}
} // namespace

bool PlatformFileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size) {
    if (size < 0 || size > FileMaxBytes) {
        FileReport(target.path, false, FILE_TOO_LARGE);
        return Count(false);
    }
    pthread_mutex_lock(&Writer.lock);
    if (!Start()) {
        pthread_mutex_unlock(&Writer.lock);
        return Count(FileReplaceSaying(target, bytes, size));
    }
    FileJob* job = SlotFor(false, target.path);
    job->remove = false;
    job->target = target;
    job->size = size;
    std::memcpy(job->bytes, bytes, static_cast<size_t>(size));
    pthread_cond_signal(&Writer.asked);
    pthread_mutex_unlock(&Writer.lock);
    return true;
}

bool PlatformFileRemove(const char* path) {
    if (path == nullptr || path[0] == 0) return true;
    // The file a removal acts on, as a write names it.
    FileTarget target;
    const char* key = FileFindTarget(path, &target) ? target.path : path;
    pthread_mutex_lock(&Writer.lock);
    if (!Start()) {
        pthread_mutex_unlock(&Writer.lock);
        return Count(FileRemoveSaying(path));
    }
    FileJob* job = SlotFor(true, key);
    job->remove = true;
    CopyText(job->path, path);
    pthread_cond_signal(&Writer.asked);
    pthread_mutex_unlock(&Writer.lock);
    return true;
}

int32_t PlatformFilesWait() {
    pthread_mutex_lock(&Writer.lock);
    while (Writer.count > 0 || Writer.working) pthread_cond_wait(&Writer.done, &Writer.lock);
    const int32_t failures = Writer.failures;
    Writer.failures = 0;
    pthread_mutex_unlock(&Writer.lock);
    return failures;
}

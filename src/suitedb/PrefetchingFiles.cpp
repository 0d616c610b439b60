#include "PrefetchingFiles.h"

#include <sqlite3.h>

#include <mutex>

namespace {
// A file of the layer: SQLite's handle, then the system's own file right behind it.
struct File {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

sqlite3_vfs* system() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

sqlite3_file* real(sqlite3_file* file) { return reinterpret_cast<File*>(file)->real(); }

int fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
    sqlite3_file* r = real(file);
    const int rc = r->pMethods->xFetch(r, offset, amount, page);
    if (rc == SQLITE_OK && *page) {
        constexpr int Line = 64;
        const char* data = static_cast<const char*>(*page);
        for (int at = 0; at < amount; at += Line) __builtin_prefetch(data + at);
    }
    return rc;
}

// Every other call goes to the system's file as it is.
#define FORWARD(method, ...) real(file)->pMethods->method(real(file), __VA_ARGS__)

sqlite3_io_methods methodsFor(const sqlite3_io_methods* system) {
    sqlite3_io_methods m{};
    m.iVersion = system->iVersion;
    m.xClose = [](sqlite3_file* file) {
        const int rc = real(file)->pMethods->xClose(real(file));
        file->pMethods = nullptr;
        return rc;
    };
    m.xRead = [](sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
        return FORWARD(xRead, buffer, amount, offset);
    };
    m.xWrite = [](sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
        return FORWARD(xWrite, buffer, amount, offset);
    };
    m.xTruncate = [](sqlite3_file* file, sqlite3_int64 size) { return FORWARD(xTruncate, size); };
    m.xSync = [](sqlite3_file* file, int flags) { return FORWARD(xSync, flags); };
    m.xFileSize = [](sqlite3_file* file, sqlite3_int64* size) { return FORWARD(xFileSize, size); };
    m.xLock = [](sqlite3_file* file, int lock) { return FORWARD(xLock, lock); };
    m.xUnlock = [](sqlite3_file* file, int lock) { return FORWARD(xUnlock, lock); };
    m.xCheckReservedLock = [](sqlite3_file* file, int* out) {
        return FORWARD(xCheckReservedLock, out);
    };
    m.xFileControl = [](sqlite3_file* file, int op, void* arg) {
        return FORWARD(xFileControl, op, arg);
    };
    m.xSectorSize = [](sqlite3_file* file) {
        return real(file)->pMethods->xSectorSize(real(file));
    };
    m.xDeviceCharacteristics = [](sqlite3_file* file) {
        return real(file)->pMethods->xDeviceCharacteristics(real(file));
    };
    if (system->iVersion >= 2) {
        m.xShmMap = [](sqlite3_file* file, int region, int size, int extend, void volatile** p) {
            return FORWARD(xShmMap, region, size, extend, p);
        };
        m.xShmLock = [](sqlite3_file* file, int offset, int n, int flags) {
            return FORWARD(xShmLock, offset, n, flags);
        };
        m.xShmBarrier = [](sqlite3_file* file) { real(file)->pMethods->xShmBarrier(real(file)); };
        m.xShmUnmap = [](sqlite3_file* file, int deleteFlag) {
            return FORWARD(xShmUnmap, deleteFlag);
        };
    }
    if (system->iVersion >= 3) {
        m.xFetch = fetch;
        m.xUnfetch = [](sqlite3_file* file, sqlite3_int64 offset, void* page) {
            return FORWARD(xUnfetch, offset, page);
        };
    }
    return m;
}
#undef FORWARD

// The methods for each kind of the system's files (the main file, the journal, the rest);
// the system gives a file the methods of its kind when it opens it.
const sqlite3_io_methods* methodsLike(const sqlite3_io_methods* system) {
    static std::mutex lock;
    static const sqlite3_io_methods* known[8] = {};
    static sqlite3_io_methods made[8];
    std::lock_guard guard(lock);
    for (int i = 0; i < 8; ++i) {
        if (known[i] == system) return &made[i];
        if (!known[i]) {
            made[i] = methodsFor(system);
            known[i] = system;
            return &made[i];
        }
    }
    return nullptr;
}

int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    File* f = reinterpret_cast<File*>(file);
    f->base.pMethods = nullptr;
    const int rc = system()->xOpen(system(), name, f->real(), flags, outFlags);
    if (f->real()->pMethods) {
        const sqlite3_io_methods* methods = methodsLike(f->real()->pMethods);
        if (!methods) {
            f->real()->pMethods->xClose(f->real());
            return SQLITE_CANTOPEN;
        }
        f->base.pMethods = methods;
    }
    return rc;
}

sqlite3_vfs make() {
    sqlite3_vfs* s = system();
    sqlite3_vfs v = *s;
    v.iVersion = 1;  // the calls of later versions reach the system's through xOpen's files
    v.szOsFile = int(sizeof(File)) + s->szOsFile;
    v.pNext = nullptr;
    v.zName = "zq-prefetch";
    v.pAppData = nullptr;
    v.xOpen = open;
    v.xDelete = [](sqlite3_vfs*, const char* name, int syncDir) {
        return system()->xDelete(system(), name, syncDir);
    };
    v.xAccess = [](sqlite3_vfs*, const char* name, int flags, int* out) {
        return system()->xAccess(system(), name, flags, out);
    };
    v.xFullPathname = [](sqlite3_vfs*, const char* name, int size, char* out) {
        return system()->xFullPathname(system(), name, size, out);
    };
    v.xDlOpen = [](sqlite3_vfs*, const char* name) { return system()->xDlOpen(system(), name); };
    v.xDlError = [](sqlite3_vfs*, int size, char* out) { system()->xDlError(system(), size, out); };
    v.xDlSym = [](sqlite3_vfs*, void* handle, const char* symbol) {
        return system()->xDlSym(system(), handle, symbol);
    };
    v.xDlClose = [](sqlite3_vfs*, void* handle) { system()->xDlClose(system(), handle); };
    v.xRandomness = [](sqlite3_vfs*, int size, char* out) {
        return system()->xRandomness(system(), size, out);
    };
    v.xSleep = [](sqlite3_vfs*, int micro) { return system()->xSleep(system(), micro); };
    v.xCurrentTime = [](sqlite3_vfs*, double* out) {
        return system()->xCurrentTime(system(), out);
    };
    v.xGetLastError = [](sqlite3_vfs*, int size, char* out) {
        return system()->xGetLastError(system(), size, out);
    };
    return v;
}
}  // namespace

namespace PrefetchingFiles {
const char* name() {
    static sqlite3_vfs vfs = make();
    static const int registered = sqlite3_vfs_register(&vfs, 0);
    (void)registered;
    return vfs.zName;
}
}  // namespace PrefetchingFiles

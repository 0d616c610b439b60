#include "PrefetchingFiles.h"

#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <atomic>
#include <new>
#include <mutex>

namespace {
std::atomic<long long> g_reads{0};

// The system's file maps a database file only up to SQLite's compile-time limit (2 GB on
// Debian). A database file's pages beyond it are served from a mapping of the layer's own of
// the whole file, so that a read beyond the limit costs no system call either. The mapping
// follows the system's rules: it is made or made anew (when the file has grown) only while no
// page of it is out, dropped when SQLite lets every mapped page go because another connection
// changed the file, and never serves more than the file holds after a truncation.
struct Beyond {
    int fd = -1;  // the system's descriptor of the file; -1: the file is not served
    char* data = nullptr;
    sqlite3_int64 size = 0;  // what the mapping may serve
    sqlite3_int64 mapped = 0;
    int out = 0;  // pages handed out and not yet let go

    void drop() {
        if (data) ::munmap(data, size_t(mapped));
        data = nullptr;
        size = mapped = 0;
    }
    // The page at offset, when the mapping holds it (mapping the file anew if it may).
    const char* page(sqlite3_int64 offset, int amount) {
        if (fd < 0) return nullptr;
        if (offset + amount > size && out == 0) {
            drop();
            struct stat st {};
            if (::fstat(fd, &st) == 0 && st.st_size > 0) {
                void* p = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
                if (p != MAP_FAILED) {
                    data = static_cast<char*>(p);
                    size = mapped = st.st_size;
                }
            }
        }
        if (!data || offset + amount > size) return nullptr;
        ++out;
        return data + offset;
    }
    bool owns(const void* p) const {
        const char* c = static_cast<const char*>(p);
        return data && c >= data && c < data + mapped;
    }
};

// A file of the layer: SQLite's handle, then the system's own file right behind it.
struct File {
    sqlite3_file base;
    Beyond beyond;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
static_assert(sizeof(File) % 8 == 0, "the system's file follows, aligned");

Beyond& beyondOf(sqlite3_file* file) { return reinterpret_cast<File*>(file)->beyond; }

// The descriptor of the system's file of that name: SQLite's unix file keeps it after its
// methods, its VFS and its inode (a layout unchanged since the memory map came); it is taken
// only when it names that very file, else the file is not served beyond the system's map.
int descriptorOf(sqlite3_file* real, const char* name) {
    struct Layout {
        const void* methods;
        const void* vfs;
        const void* inode;
        int h;
    };
    const int fd = reinterpret_cast<const Layout*>(real)->h;
    struct stat byFd {}, byName {};
    if (!name || fd < 0 || ::fstat(fd, &byFd) != 0 || ::stat(name, &byName) != 0) return -1;
    return byFd.st_dev == byName.st_dev && byFd.st_ino == byName.st_ino ? fd : -1;
}

sqlite3_vfs* system() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

sqlite3_file* real(sqlite3_file* file) { return reinterpret_cast<File*>(file)->real(); }

int fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
    sqlite3_file* r = real(file);
    const int rc = r->pMethods->xFetch(r, offset, amount, page);
    if (rc == SQLITE_OK && !*page) *page = const_cast<char*>(beyondOf(file).page(offset, amount));
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
        beyondOf(file).drop();
        const int rc = real(file)->pMethods->xClose(real(file));
        file->pMethods = nullptr;
        return rc;
    };
    m.xRead = [](sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
        if (beyondOf(file).fd >= 0) g_reads.fetch_add(1, std::memory_order_relaxed);
        return FORWARD(xRead, buffer, amount, offset);
    };
    m.xWrite = [](sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
        return FORWARD(xWrite, buffer, amount, offset);
    };
    m.xTruncate = [](sqlite3_file* file, sqlite3_int64 size) {
        Beyond& b = beyondOf(file);
        if (b.size > size) {
            if (b.out == 0)
                b.drop();
            else
                b.size = size;
        }
        return FORWARD(xTruncate, size);
    };
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
            Beyond& b = beyondOf(file);
            if (page && b.owns(page)) {
                --b.out;
                return SQLITE_OK;
            }
            // No page at all: SQLite lets the whole map go (the file changed elsewhere).
            if (!page && b.out == 0) b.drop();
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
    new (&f->beyond) Beyond;
    const int rc = system()->xOpen(system(), name, f->real(), flags, outFlags);
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB) && f->real()->pMethods &&
        f->real()->pMethods->iVersion >= 3)
        f->beyond.fd = descriptorOf(f->real(), name);
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
long long databaseReads() { return g_reads.load(std::memory_order_relaxed); }

const char* name() {
    static sqlite3_vfs vfs = make();
    static const int registered = sqlite3_vfs_register(&vfs, 0);
    (void)registered;
    return vfs.zName;
}
}  // namespace PrefetchingFiles

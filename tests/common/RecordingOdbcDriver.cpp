// An ODBC driver that refuses every connection and writes the connection string it was given
// (UTF-16) to the file named by ZQFU_ODBC_RECORDING. Handles, SQLSMALLINT, SQLINTEGER and
// SQLWCHAR as unixODBC declares them: void*, short, int, unsigned short.
#include <cstdio>
#include <cstdlib>

namespace {
int handles = 0;  // every handle is this address; nothing is kept per handle
}  // namespace

extern "C" {
short SQLAllocHandle(short, void*, void** out) {
    *out = &handles;
    return 0;
}
short SQLFreeHandle(short, void*) { return 0; }
short SQLSetEnvAttr(void*, int, void*, int) { return 0; }
short SQLSetConnectAttrW(void*, int, void*, int) { return 0; }
short SQLDisconnect(void*) { return 0; }
short SQLGetDiagRec(short, void*, short, unsigned char*, int*, unsigned char*, short, short*) {
    return 100;  // no data
}

// Records and fails; a length of -3 means zero-terminated.
short SQLDriverConnectW(void*, void*, unsigned short* in, short length, unsigned short*, short,
                        short*, unsigned short) {
    int n = length == -3 ? 0 : length;
    if (length == -3)
        while (in[n]) ++n;
    while (n > 0 && in[n - 1] == 0) --n;  // Qt counts the terminating zero in the length
    const char* path = std::getenv("ZQFU_ODBC_RECORDING");
    if (FILE* f = path && *path ? std::fopen(path, "wb") : nullptr) {
        std::fwrite(in, sizeof(unsigned short), n, f);
        std::fclose(f);
    }
    return -1;
}
}

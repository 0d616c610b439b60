// An ODBC driver that refuses every connection and writes the connection string it was given
// (UTF-16) to the file named by ZQFU_ODBC_RECORDING. ODBC types as unixODBC declares them.
#include <cstdio>
#include <cstdlib>

using SQLSMALLINT = short;
using SQLUSMALLINT = unsigned short;
using SQLINTEGER = int;
using SQLRETURN = SQLSMALLINT;
using SQLHANDLE = void*;
using SQLPOINTER = void*;
using SQLCHAR = unsigned char;
using SQLWCHAR = unsigned short;

namespace {
constexpr SQLRETURN Success = 0;
constexpr SQLRETURN Error = -1;
constexpr SQLRETURN NoData = 100;
constexpr SQLSMALLINT NullTerminated = -3;

int handles = 0;  // every handle is this address; nothing is kept per handle
}  // namespace

extern "C" {
SQLRETURN SQLAllocHandle(SQLSMALLINT, SQLHANDLE, SQLHANDLE* out) {
    *out = &handles;
    return Success;
}

SQLRETURN SQLFreeHandle(SQLSMALLINT, SQLHANDLE) { return Success; }

SQLRETURN SQLSetEnvAttr(SQLHANDLE, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return Success; }

SQLRETURN SQLSetConnectAttrW(SQLHANDLE, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return Success; }

SQLRETURN SQLDriverConnectW(SQLHANDLE, SQLHANDLE, SQLWCHAR* in, SQLSMALLINT length, SQLWCHAR*,
                            SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT) {
    int n = 0;
    if (length == NullTerminated)
        while (in[n]) ++n;
    else
        n = length;
    while (n > 0 && in[n - 1] == 0) --n;  // Qt counts the terminating zero in the length
    const char* path = std::getenv("ZQFU_ODBC_RECORDING");
    if (FILE* f = path && *path ? std::fopen(path, "wb") : nullptr) {
        std::fwrite(in, sizeof(SQLWCHAR), n, f);
        std::fclose(f);
    }
    return Error;
}

SQLRETURN SQLDisconnect(SQLHANDLE) { return Success; }

SQLRETURN SQLGetDiagRec(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLCHAR*, SQLINTEGER*, SQLCHAR*,
                        SQLSMALLINT, SQLSMALLINT*) {
    return NoData;
}
}

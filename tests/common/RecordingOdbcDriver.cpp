// An ODBC driver for the tests that connects to nothing: it writes the connection string that
// reached it through the driver manager to the file named by ZQFU_ODBC_RECORDING (UTF-8, one
// line per connection attempt) and refuses the connection. The few ODBC types are declared
// here as unixODBC has them, so that the tests need no ODBC headers.
#include <cstdio>
#include <cstdlib>
#include <string>

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

void record(const std::string& text) {
    const char* path = std::getenv("ZQFU_ODBC_RECORDING");
    if (!path || !*path) return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string fromUtf16(const SQLWCHAR* text, SQLSMALLINT length) {
    std::string out;
    if (!text) return out;
    int n = 0;
    if (length == NullTerminated)
        while (text[n]) ++n;
    else
        n = length;
    while (n > 0 && text[n - 1] == 0) --n;  // Qt counts the terminating zero in the length
    for (int i = 0; i < n; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        appendUtf8(out, c);
    }
    return out;
}
}  // namespace

extern "C" {
SQLRETURN SQLAllocHandle(SQLSMALLINT, SQLHANDLE, SQLHANDLE* out) {
    *out = &handles;
    return Success;
}

SQLRETURN SQLFreeHandle(SQLSMALLINT, SQLHANDLE) { return Success; }

SQLRETURN SQLSetEnvAttr(SQLHANDLE, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return Success; }

SQLRETURN SQLSetConnectAttr(SQLHANDLE, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return Success; }

SQLRETURN SQLSetConnectAttrW(SQLHANDLE, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return Success; }

SQLRETURN SQLDriverConnectW(SQLHANDLE, SQLHANDLE, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR*,
                            SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT) {
    record(fromUtf16(in, inLength));
    return Error;
}

SQLRETURN SQLDriverConnect(SQLHANDLE, SQLHANDLE, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR*,
                           SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT) {
    const auto* text = reinterpret_cast<const char*>(in);
    record(inLength == NullTerminated ? std::string(text) : std::string(text, inLength));
    return Error;
}

SQLRETURN SQLDisconnect(SQLHANDLE) { return Success; }

SQLRETURN SQLGetDiagRec(SQLSMALLINT, SQLHANDLE, SQLSMALLINT, SQLCHAR*, SQLINTEGER*, SQLCHAR*,
                        SQLSMALLINT, SQLSMALLINT*) {
    return NoData;
}
}

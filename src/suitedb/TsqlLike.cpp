#include "TsqlLike.h"

namespace {
bool same(QChar a, QChar b) { return a.toCaseFolded() == b.toCaseFolded(); }

// Matches one bracket class at pattern[p] ('[' ... ']') against c; sets end past the ']'.
// A '[' without a closing ']' is an ordinary character.
bool matchClass(const QString& pattern, qsizetype p, QChar c, qsizetype& end, bool& valid) {
    qsizetype i = p + 1;
    const bool negate = i < pattern.size() && pattern[i] == '^';
    if (negate) ++i;
    const qsizetype first = i;
    bool hit = false;
    for (; i < pattern.size(); ++i) {
        if (pattern[i] == ']' && i > first) break;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            const QChar lo = pattern[i].toCaseFolded(), hi = pattern[i + 2].toCaseFolded();
            const QChar x = c.toCaseFolded();
            if (x >= lo && x <= hi) hit = true;
            i += 2;
        } else if (same(pattern[i], c)) {
            hit = true;
        }
    }
    valid = i < pattern.size();
    end = i + 1;
    return hit != negate;
}

bool match(const QString& v, qsizetype i, const QString& p, qsizetype j) {
    while (j < p.size()) {
        const QChar c = p[j];
        if (c == '%') {
            while (j < p.size() && p[j] == '%') ++j;
            if (j == p.size()) return true;
            for (qsizetype k = i; k <= v.size(); ++k)
                if (match(v, k, p, j)) return true;
            return false;
        }
        if (i >= v.size()) return false;
        if (c == '_') {
            ++i;
            ++j;
            continue;
        }
        if (c == '[') {
            qsizetype end = 0;
            bool valid = false;
            const bool hit = matchClass(p, j, v[i], end, valid);
            if (valid) {
                if (!hit) return false;
                ++i;
                j = end;
                continue;
            }
        }
        if (!same(c, v[i])) return false;
        ++i;
        ++j;
    }
    return i == v.size();
}
}  // namespace

bool TsqlLike(const QString& value, const QString& pattern) { return match(value, 0, pattern, 0); }

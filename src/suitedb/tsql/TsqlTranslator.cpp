#include "TsqlTranslator.h"

#include <sqlite3.h>

#include <algorithm>

#include "DbError.h"
#include "SqlErrors.h"
#include "SqliteConnection.h"
#include "TsqlBatch.h"
#include "TsqlFunctions.h"
#include "TsqlKeyRanges.h"
#include "TsqlParser.h"

using namespace Tsql;
using Source = TsqlEmitter::Param::Source;
using TokenKind = TsqlToken::Kind;

namespace {
constexpr int CacheLimit = 500;
// Statements of one range (written one after the other without anything between) that are
// translated as one; a range of more runs statement by statement, each kept on its own, so
// that a long batch holds the syntax tree of one statement at a time.
constexpr size_t TogetherLimit = 16;
// The values one statement binds, at most: SQLite's usual limit, whatever its build allows,
// so that a text is refused or run alike everywhere.
constexpr int ParameterLimit = 32766;

QVariant numberValue(QStringView text) {
    // Mostly a short whole number: read digit by digit.
    if (!text.isEmpty() && text.size() <= 18) {
        qlonglong whole = 0;
        qsizetype i = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
            whole = whole * 10 + (text[i].unicode() - u'0');
        if (i == text.size()) return whole;
    }
    bool ok = false;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const qlonglong v = text.mid(2).toLongLong(&ok, 16);
        return ok ? QVariant(v) : QVariant(0LL);
    }
    if (!text.contains(u'.') && !text.contains(u'e') && !text.contains(u'E')) {
        const qlonglong v = text.toLongLong(&ok);
        if (ok) return v;
    }
    return text.toDouble();
}

// A number literal as the server gives it back: a decimal (or a whole number beyond bigint)
// with its digits and scale as written, without leading zeros ("012.50" is 12.50, ".5" is
// 0.5, "12." is 12); a float, a hex number or a bigint as its value.
QVariant writtenNumber(QStringView text, const QVariant& value, bool exactOnly) {
    if (value.typeId() == QMetaType::LongLong) return value;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) || text.contains(u'e') ||
        text.contains(u'E'))
        return value;
    if (exactOnly) {
        // A float holds 15 digits exactly.
        qsizetype digits = 0;
        bool leading = true;
        for (const QChar c : text) {
            if (c == u'.' || (leading && c == u'0')) continue;
            leading = false;
            ++digits;
        }
        if (digits <= 15) return value;
    }
    qsizetype begin = 0;
    while (begin + 1 < text.size() && text[begin] == u'0' && text[begin + 1] != u'.') ++begin;
    QString digits = text.mid(begin).toString();
    if (digits.startsWith(u'.')) digits.prepend(u'0');
    if (digits.endsWith(u'.')) digits.chop(1);
    return digits;
}

// The opposite of a number as writtenNumber gives it; a decimal's digits keep their scale
// ("-12.50"), and a zero has no sign ("0.00").
QVariant negated(const QVariant& written) {
    switch (written.typeId()) {
        case QMetaType::LongLong:
            return -written.toLongLong();
        case QMetaType::Double:
            return -written.toDouble();
        default: {
            const QString digits = written.toString();
            const bool zero = std::all_of(digits.begin(), digits.end(),
                                          [](QChar c) { return c == u'0' || c == u'.'; });
            return zero ? digits : u'-' + digits;
        }
    }
}

// A history key split back into its document code and line number, when comparing the
// parts orders exactly as comparing the texts: the code of plain characters (nothing that
// orders below a blank) padded with blanks to its length, then five digits of 10000 + line.
bool splitKey(const QString& key, int length, QString* code, qlonglong* line) {
    if (key.size() != length + 5) return false;
    for (qsizetype i = 0; i < length; ++i)
        if (key[i].unicode() < 0x20 || key[i].unicode() > 0x7e) return false;
    int offset = 0;
    for (qsizetype i = length; i < key.size(); ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9') return false;
        offset = offset * 10 + (c - u'0');
    }
    if (offset < 10000) return false;
    if (code) {
        qsizetype n = length;
        while (n > 0 && key[n - 1] == u' ') --n;
        *code = key.left(n);
    }
    if (line) *line = offset - 10000;
    return true;
}

// The bound's first n characters, for a column in CHAR(n) before the code, when they split
// off exactly: plain characters, nothing below a blank, and filled with at least one blank
// (a value that takes all n may have been cut, so the column's value is not known).
bool splitsItem(const QString& text, int n) {
    if (text.size() < n || (n > 0 && text[n - 1] != u' ')) return false;
    for (qsizetype i = 0; i < n; ++i)
        if (text[i].unicode() < 0x20 || text[i].unicode() > 0x7e) return false;
    return true;
}

// A value of a key's ranges (TsqlKeyRanges) made from the bound.
QString keyRangeValue(const TsqlEmitter::Param& p, const QString& whole) {
    if (p.source == Source::KeyItem) {
        QString item = whole.left(p.offset);
        while (item.endsWith(u' ')) item.chop(1);
        return item;
    }
    const QString text = whole.mid(p.offset);
    const QString bound = TsqlKeyRanges::plainBound(text).value_or(QString());
    switch (p.source) {
        case Source::KeyLeast:
            return TsqlKeyRanges::least(bound);
        case Source::KeyLow:
            return TsqlKeyRanges::low(bound, p.detail);
        case Source::KeyHigh:
            return TsqlKeyRanges::high(bound, p.detail);
        case Source::KeyRest:
            return TsqlKeyRanges::rest(bound, p.detail);
        default:
            return bound;
    }
}

bool isLiteral(TokenKind kind) { return kind == TokenKind::String || kind == TokenKind::Number; }

// How the site's rewrite goes for the value, as TsqlEmitter takes it (0: it does not hold).
int siteChoice(const Site& site, const QVariant& value) {
    const QString text = value.toString();
    switch (site.kind) {
        case Site::Kind::LikePrefix:
            return TsqlFunctions::likePrefix(text).isEmpty() ? 0 : 1;
        case Site::Kind::KeySplit:
            return splitKey(text, site.keyLength, nullptr, nullptr) ? 1 : 0;
        case Site::Kind::KeyRanges: {
            // With a column before the code: that column's part, then the ranges of the rest.
            const int n = site.keyLength;
            if (n > 0 && !splitsItem(text, n)) return 0;
            const std::optional<QString> bound = TsqlKeyRanges::plainBound(text.mid(n));
            if (!bound) return 0;
            return site.atLeast ? 1 + int(bound->size()) + (n > 0 ? 1 : 0) : 1;
        }
    }
    return 0;
}
}  // namespace

TsqlTranslator::TsqlTranslator(SqliteConnection& db)
    : m_db(db),
      m_catalogue(db),
      m_parameterLimit(
          qMin(ParameterLimit, sqlite3_limit(db.handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1))) {}

TsqlTranslator::~TsqlTranslator() = default;

QStringView TsqlTranslator::Literals::text(int slot) const {
    const TsqlPattern::Literal& span = spans[slot];
    return source.mid(span.begin, span.length);
}

// A number the server cannot read is refused before anything of the text runs, also when
// its statement is a repeated one.
void TsqlTranslator::Literals::checkNumbers() const {
    for (qsizetype slot = 0; slot < spans.size(); ++slot)
        if (spans[slot].number) SqlErrors::checkNumber(text(int(slot)));
}

const QVariant& TsqlTranslator::Literals::value(int slot) const {
    if (m_values.size() < spans.size()) m_values.resize(spans.size());
    std::optional<QVariant>& kept = m_values[slot];
    if (kept) return *kept;
    const TsqlPattern::Literal& span = spans[slot];
    const QStringView written = text(slot);
    if (span.number) return kept.emplace(numberValue(written));
    const qsizetype open = span.national ? 2 : 1;
    QString value = written.mid(open, written.size() - open - 1).toString();
    if (value.contains(u'\'')) value.replace(QLatin1String("''"), QLatin1String("'"));
    return kept.emplace(std::move(value));
}

// The statement's own literals. A literal that the SQL may keep as it stands
// (Tsql::keptInline) is part of the statement's shape, not a value of it.
TsqlTranslator::Literals TsqlTranslator::literals(const TsqlBatch& batch, qsizetype first,
                                                  qsizetype last) const {
    Literals lits;
    if (first >= last) return lits;
    const TsqlTokens& tokens = batch.tokens();
    const qsizetype begin = tokens[first].begin;
    lits.source = QStringView(batch.text()).mid(begin, tokens[last - 1].end() - begin);
    lits.slotOf.reserve(size_t(last - first));
    for (qsizetype i = first; i < last; ++i) {
        const TsqlToken& t = tokens[i];
        if (!isLiteral(t.kind)) {
            lits.slotOf.push_back(-1);
            continue;
        }
        lits.slotOf.push_back(int(lits.spans.size()));
        const bool number = t.kind == TokenKind::Number;
        lits.spans.push_back({t.begin - begin, t.length, number, t.national,
                              Tsql::keptInline(t.text),
                              number && TsqlScanner::beyondInt(t.text)});
    }
    lits.checkNumbers();
    return lits;
}

void TsqlTranslator::forget() {
    m_cache.clear();
    m_cached = 0;
}

void TsqlTranslator::refresh() {
    if (m_catalogue.refresh()) forget();
}

// The kept shape of the text, which gives it its literals: one whose pattern matches, with a
// hole for each literal that is no kept one, and the same texts where the translation took
// them into its shape.
TsqlTranslator::Shape* TsqlTranslator::cached(Literals& lits, bool condition) {
    const auto it = m_cache.find(TsqlPattern::head(lits.source));
    if (it == m_cache.end()) return nullptr;
    std::vector<std::unique_ptr<Shape>>& shapes = it->second;
    TsqlPattern::Literals found;
    const auto text = [&](int slot) {
        return lits.source.mid(found[slot].begin, found[slot].length);
    };
    const auto kept = [&](const TsqlPattern::Literal& l) {
        return !l.fixed && Tsql::keptInline(lits.source.mid(l.begin, l.length));
    };
    for (auto s = shapes.begin(); s != shapes.end(); ++s) {
        Shape& shape = **s;
        if (shape.condition != condition || !shape.pattern.match(lits.source, found) ||
            std::any_of(found.begin(), found.end(), kept))
            continue;
        bool same = true;
        for (size_t i = 0; i < shape.structural.size() && same; ++i)
            same = text(shape.structural[i]) == shape.structuralTexts[qsizetype(i)];
        if (!same) continue;
        lits.spans = found;
        shape.used = ++m_uses;
        std::rotate(shapes.begin(), s, s + 1);
        return shapes.front().get();
    }
    return nullptr;
}

void TsqlTranslator::dropOldest() {
    auto oldestKey = m_cache.end();
    size_t oldestAt = 0;
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it)
        for (size_t i = 0; i < it->second.size(); ++i)
            if (oldestKey == m_cache.end() ||
                it->second[i]->used < oldestKey->second[oldestAt]->used) {
                oldestKey = it;
                oldestAt = i;
            }
    if (oldestKey == m_cache.end()) return;
    std::vector<std::unique_ptr<Shape>>& shapes = oldestKey->second;
    shapes.erase(shapes.begin() + qsizetype(oldestAt));
    if (shapes.empty()) m_cache.erase(oldestKey);
    --m_cached;
}

TsqlTranslator::Shape* TsqlTranslator::shape(const TsqlBatch& batch, qsizetype first,
                                             qsizetype last, Literals& lits, bool condition,
                                             std::unique_ptr<Shape>& fresh, Parts* parts) {
    refresh();
    if (Shape* s = cached(lits, condition)) return s;
    TsqlParser parser(batch.text(), batch.tokens(), first, last, lits.slotOf);
    fresh = std::make_unique<Shape>();
    fresh->condition = condition;
    if (condition) {
        fresh->statements.emplace_back();
        fresh->statements.back().statement = parser.condition();
    } else {
        // Every statement is read before any runs (a syntax error refuses them all); past
        // the limit their trees go as soon as they are read.
        Parts ranges;
        for (Statement s; parser.next(s);) {
            ranges.emplace_back(s.token, parser.position());
            if (ranges.size() > TogetherLimit && parts) {
                fresh->statements.clear();
                continue;
            }
            fresh->definitions |= s.kind == Statement::Kind::Definition;
            fresh->statements.emplace_back();
            fresh->statements.back().statement = std::move(s);
        }
        if (ranges.size() > TogetherLimit && parts) {
            fresh.reset();
            *parts = std::move(ranges);
            return nullptr;
        }
    }
    fresh->structural = parser.structural();
    return fresh.get();
}

// Keeps a translation that bound without error for the next text of the same shape.
void TsqlTranslator::keep(const Literals& lits, std::unique_ptr<Shape> fresh) {
    if (!fresh || fresh->definitions) return;
    if (m_cached >= CacheLimit) dropOldest();
    fresh->used = ++m_uses;
    for (int slot : fresh->structural) fresh->structuralTexts.append(lits.text(slot).toString());
    fresh->pattern = TsqlPattern(lits.source, lits.spans);
    std::vector<std::unique_ptr<Shape>>& shapes = m_cache[fresh->pattern.head()];
    shapes.insert(shapes.begin(), std::move(fresh));
    ++m_cached;
}

void TsqlTranslator::bind(Translation& t, const TsqlTokens& tokens, Shape& shape) {
    if (t.bound) return;
    TsqlBinder binder(m_catalogue, tokens);
    binder.bind(t.statement);
    t.sites = binder.sites();
    shape.structural.insert(shape.structural.end(), binder.structural().begin(),
                            binder.structural().end());
    t.bound = true;
}

const TsqlTranslator::Variant& TsqlTranslator::variant(Translation& t, const Literals& lits) {
    QVarLengthArray<int, 16> choices;
    for (const Site& site : t.sites) choices.push_back(siteChoice(site, lits.value(site.slot)));
    // The choices as they lie in memory: a key made without writing numbers out.
    const QByteArray key = QByteArray::fromRawData(reinterpret_cast<const char*>(choices.data()),
                                                   qsizetype(choices.size() * sizeof(int)));
    auto it = t.variants.find(key);
    if (it == t.variants.end()) {
        const std::vector<int> chosen(choices.begin(), choices.end());
        TsqlEmitter emitter(t.sites, chosen);
        Variant v;
        v.sql = emitter.statement(t.statement);
        v.params = emitter.params();
        if (qsizetype(v.params.size()) > m_parameterLimit) throw SqlErrors::tooComplex();
        it = t.variants.insert(QByteArray(key.constData(), key.size()), v);  // a key of its own
    }
    return *it;
}

QVariantList TsqlTranslator::values(const Variant& v, const Literals& lits) const {
    QVariantList out;
    out.reserve(qsizetype(v.params.size()));
    for (const TsqlEmitter::Param& p : v.params) {
        const QVariant& value = lits.value(p.slot);
        switch (p.source) {
            case Source::Literal:
                out.append(value);
                break;
            case Source::Written: {
                const QVariant written = writtenNumber(lits.text(p.slot), value, p.detail == 1);
                out.append(p.offset == 1 ? negated(written) : written);
                break;
            }
            case Source::LikeLow:
                out.append(TsqlFunctions::likePrefix(value.toString()));
                break;
            case Source::LikeHigh:
                out.append(TsqlFunctions::prefixEnd(TsqlFunctions::likePrefix(value.toString())));
                break;
            case Source::KeyCode:
            case Source::KeyLine: {
                QString code;
                qlonglong line = 0;
                splitKey(value.toString(), p.detail, &code, &line);
                out.append(p.source == Source::KeyCode ? QVariant(code) : QVariant(line));
                break;
            }
            case Source::KeyBound:
            case Source::KeyLeast:
            case Source::KeyLow:
            case Source::KeyHigh:
            case Source::KeyRest:
            case Source::KeyItem:
                out.append(keyRangeValue(p, value.toString()));
                break;
        }
    }
    return out;
}

// Table definitions are SQLite's own words already; only the quoting differs.
void TsqlTranslator::runDefinition(const TsqlBatch& batch, const Statement& s) {
    QString sql;
    const TsqlTokens& tokens = batch.tokens();
    for (qsizetype i = s.token; i < s.last; ++i) {
        const TsqlToken& t = tokens[i];
        if (i > s.token) sql += u' ';
        if (t.kind == TokenKind::QuotedName)
            sql += u'"' + t.value().replace(u'"', QLatin1String("\"\"")) + u'"';
        else if (t.kind == TokenKind::String && t.national)
            sql += t.text.mid(1);
        else
            sql += t.text;
    }
    m_db.script(sql);
}

void TsqlTranslator::runStatement(Translation& t, const Literals& lits, ResultSets& out) {
    const Variant& v = variant(t, lits);
    ResultSet set = m_db.query(v.sql, values(v, lits));
    if (t.statement.kind == Statement::Kind::Select) {
        set.columns = t.statement.select->names;
        out.append(std::move(set));
    }
}

// Translates the statements of a range and hands each one that reads or writes to `each`;
// definitions run here, and the catalogue is read again after each.
void TsqlTranslator::forEach(const TsqlBatch& batch, qsizetype first, qsizetype last,
                             const std::function<void(Translation&, const Literals&)>& each) {
    Literals lits = literals(batch, first, last);
    std::unique_ptr<Shape> fresh;
    Parts parts;
    Shape* s = shape(batch, first, last, lits, false, fresh, &parts);
    if (!s) {
        lits = Literals();
        for (const auto& [from, to] : parts) forEach(batch, from, to, each);
        return;
    }
    for (Translation& t : s->statements) {
        if (t.statement.kind == Statement::Kind::Definition) {
            runDefinition(batch, t.statement);
            refresh();
            continue;
        }
        bind(t, batch.tokens(), *s);
        each(t, lits);
    }
    keep(lits, std::move(fresh));
}

void TsqlTranslator::run(const TsqlBatch& batch, qsizetype first, qsizetype last, ResultSets& out) {
    forEach(batch, first, last,
            [&](Translation& t, const Literals& lits) { runStatement(t, lits, out); });
}

void TsqlTranslator::stream(const TsqlBatch& batch, qsizetype first, qsizetype last,
                            ResultSink& sink) {
    forEach(batch, first, last, [&](Translation& t, const Literals& lits) {
        const Variant& v = variant(t, lits);
        if (t.statement.kind != Statement::Kind::Select) {
            m_db.query(v.sql, values(v, lits));
            return;
        }
        const QStringList& names = t.statement.select->names;
        bool begun = false;
        m_db.each(v.sql, values(v, lits), [&](const QVariantList& row) {
            if (!begun) sink.columns(names);
            begun = true;
            sink.row(row);
        });
        if (!begun) sink.columns(names);
    });
}

// A text that a kept statement range's pattern matches is one statement as a batch too: the
// range began with a statement's first word and held no ';', IF, EXEC, block or END that
// would have ended it, and those are the same tokens.
//
// Reading the schema version costs a read transaction of its own, as much as a small query,
// so a kept SELECT is trusted without it, and a change of the schema is noticed as SQLite
// notices it: the connection prepares the statement, again or for the first time. The
// catalogue is then read again; when it changed, the rows (or the error) of the kept
// translation are dropped and the text goes the long way, translated anew. Writes check the
// schema first.
bool TsqlTranslator::runRepeated(const QString& commandText, ResultSets& out) {
    // The statement from its first token to its last: the text but for blanks at its ends (a
    // text with a comment there goes the long way).
    qsizetype begin = 0, end = commandText.size();
    while (begin < end && TsqlScanner::isBlank(commandText[begin])) ++begin;
    while (end > begin && TsqlScanner::isBlank(commandText[end - 1])) --end;
    Literals lits;
    if (begin == end) return false;
    lits.source = QStringView(commandText).mid(begin, end - begin);
    Shape* s = cached(lits, false);
    if (!s) return false;
    lits.checkNumbers();
    bool reads = true;
    for (const Translation& t : s->statements) {
        if (!t.bound || t.statement.kind == Statement::Kind::Definition) return false;
        reads = reads && t.statement.kind == Statement::Kind::Select;
    }
    if (!reads) {
        refresh();
        s = cached(lits, false);
        if (!s) return false;
    }
    const qsizetype before = out.size();
    const quint64 preparations = m_db.preparations();
    // Whether the schema changed since the kept translation was made: then its rows go.
    const auto changed = [&] {
        refresh();
        if (cached(lits, false)) return false;
        out.resize(before);
        return true;
    };
    try {
        for (Translation& t : s->statements) runStatement(t, lits, out);
    } catch (const DbError&) {
        if (changed()) return false;
        throw;
    }
    return m_db.preparations() == preparations || !changed();
}

void TsqlTranslator::parse(const TsqlBatch& batch, qsizetype first, qsizetype last,
                           bool condition) {
    Literals lits = literals(batch, first, last);
    if (cached(lits, condition)) return;
    TsqlParser parser(batch.text(), batch.tokens(), first, last, lits.slotOf);
    if (condition)
        parser.condition();
    else
        for (Statement s; parser.next(s);) {
        }
}

bool TsqlTranslator::holds(const TsqlBatch& batch, qsizetype first, qsizetype last) {
    Literals lits = literals(batch, first, last);
    std::unique_ptr<Shape> fresh;
    Shape* s = shape(batch, first, last, lits, true, fresh);
    Translation& t = s->statements.front();
    bind(t, batch.tokens(), *s);
    const Variant& v = variant(t, lits);
    const QVariant answer = m_db.scalar(v.sql.text(), values(v, lits));
    keep(lits, std::move(fresh));
    return answer.toLongLong() == 1;
}

std::vector<TsqlTranslator::Prepared> TsqlTranslator::prepare(const QString& commandText) {
    const TsqlBatch batch(commandText);
    std::vector<Prepared> out;
    for (const BatchStatement& statement : batch.statements()) {
        if (statement.kind != BatchStatement::Kind::Sql) continue;
        Literals lits = literals(batch, statement.first, statement.last);
        std::unique_ptr<Shape> fresh;
        Shape* s = shape(batch, statement.first, statement.last, lits, false, fresh);
        for (Translation& t : s->statements) {
            if (t.statement.kind == Statement::Kind::Definition) continue;
            bind(t, batch.tokens(), *s);
            const Variant& v = variant(t, lits);
            out.push_back({v.sql.text(), values(v, lits),
                           t.statement.select ? t.statement.select->names : QStringList()});
        }
        keep(lits, std::move(fresh));
    }
    return out;
}

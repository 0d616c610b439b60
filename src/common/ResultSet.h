#pragma once

#include <QList>
#include <QSharedData>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

// The rows of a result set, kept compactly: a cell per value (a whole number, a number, or
// where the text lies), the texts of a set one after another in one buffer, so that reading a
// page costs a few allocations, not one per value. A value is made a QVariant when it is read:
// a null value is an invalid QVariant; texts are QString, whole numbers qlonglong, other
// numbers double; values appended as QVariants come back as they went in. Copies share the
// rows until one of them changes.
class ResultRows {
    struct Cell {
        enum Kind : quint8 { Null, Integer, Number, Text, Bytes, Other };
        Kind kind = Null;
        quint32 length = 0;  // of a text or bytes
        union {
            qint64 integer = 0;
            double number;
            qsizetype offset;  // of a text or bytes in the buffer, of another value in others
        };
    };
    struct Data : QSharedData {
        std::vector<Cell> cells;
        std::vector<qsizetype> starts;  // the first cell of each row
        std::string bytes;
        QVariantList others;
    };

    // Walks the rows, or the values of a row, by position.
    template <class Owner, class Value>
    class Walk {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Value;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = Value;
        Walk(const Owner* owner, qsizetype at) : m_owner(owner), m_at(at) {}
        Value operator*() const { return m_owner->at(m_at); }
        Walk& operator++() {
            ++m_at;
            return *this;
        }
        bool operator==(const Walk& o) const { return m_at == o.m_at; }

    private:
        const Owner* m_owner;
        qsizetype m_at;
    };

public:
    // One row of the rows, a view that shares them (it stays valid and unchanged when they
    // change). A row beyond the rows is empty.
    class Row {
    public:
        Row() = default;
        qsizetype size() const;
        qsizetype count() const { return size(); }
        bool isEmpty() const { return size() == 0; }
        QVariant at(qsizetype column) const;
        QVariant operator[](qsizetype column) const { return at(column); }
        // The value, or an invalid QVariant where the row has no such column.
        QVariant value(qsizetype column) const;
        QVariant first() const { return at(0); }
        QVariant last() const { return at(size() - 1); }
        QVariantList toList() const;
        operator QVariantList() const { return toList(); }
        bool operator==(const QVariantList& values) const { return toList() == values; }

        using const_iterator = Walk<Row, QVariant>;
        const_iterator begin() const { return {this, 0}; }
        const_iterator end() const { return {this, size()}; }

    private:
        friend class ResultRows;
        Row(const QSharedDataPointer<Data>& d, qsizetype row) : d(d), m_row(row) {}
        QSharedDataPointer<Data> d;
        qsizetype m_row = 0;
    };

    using const_iterator = Walk<ResultRows, Row>;

    ResultRows();
    ResultRows(std::initializer_list<QVariantList> rows);
    ResultRows(const QList<QVariantList>& rows);

    qsizetype size() const { return qsizetype(d->starts.size()); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return d->starts.empty(); }
    Row at(qsizetype row) const { return Row(d, row); }
    Row operator[](qsizetype row) const { return at(row); }
    Row first() const { return at(0); }
    Row last() const { return at(size() - 1); }
    // A copy of the row's values; an empty list where there is no such row.
    QVariantList value(qsizetype row) const;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    QList<QVariantList> toList() const;

    // How much the rows hold, to make room for as much again.
    struct Extent {
        qsizetype rows = 0, cells = 0, bytes = 0;
    };
    Extent extent() const {
        return {size(), qsizetype(d->cells.size()), qsizetype(d->bytes.size())};
    }
    void reserve(const Extent& extent);
    void reserve(qsizetype rows) { reserve(Extent{rows, 0, 0}); }
    void append(const QVariantList& values);
    ResultRows& operator<<(const QVariantList& values) {
        append(values);
        return *this;
    }
    void replace(qsizetype row, const QVariantList& values);
    void removeAt(qsizetype row);
    template <class Predicate>
    qsizetype removeIf(Predicate wanted) {
        std::vector<qsizetype> kept;
        for (qsizetype i = 0; i < size(); ++i)
            if (!wanted(at(i))) kept.push_back(i);
        const qsizetype removed = size() - qsizetype(kept.size());
        if (removed > 0) keepOnly(kept);
        return removed;
    }
    void reverse();

    // A row read value by value (the database's reader): begin it, then add its values.
    void beginRow() { d->starts.push_back(qsizetype(d->cells.size())); }
    void addNull() { d->cells.emplace_back(); }
    void addInteger(qint64 value) {
        Cell& cell = d->cells.emplace_back();
        cell.kind = Cell::Integer;
        cell.integer = value;
    }
    void addNumber(double value) {
        Cell& cell = d->cells.emplace_back();
        cell.kind = Cell::Number;
        cell.number = value;
    }
    void addText(const char* utf8, qsizetype size) { addSpan(Cell::Text, utf8, size); }
    void addBytes(const char* data, qsizetype size) { addSpan(Cell::Bytes, data, size); }
    void addValue(const QVariant& value);

    bool operator==(const ResultRows& other) const;
    bool operator==(const QList<QVariantList>& other) const { return toList() == other; }

private:
    qsizetype rowSize(qsizetype row) const;
    // Keeps these rows, in this order; their texts and other values stay where they lie.
    void keepOnly(const std::vector<qsizetype>& rows);
    static QVariant valueOf(const Data& d, const Cell& cell);
    void addSpan(Cell::Kind kind, const char* data, qsizetype size) {
        Data& rows = *d;
        // A single value beyond 4 GB cannot come from the database; it is kept as another one.
        if (size > qsizetype(0xFFFFFFFFu)) return addLarge(kind, data, size);
        Cell& cell = rows.cells.emplace_back();
        cell.kind = kind;
        cell.length = quint32(size);
        cell.offset = qsizetype(rows.bytes.size());
        rows.bytes.append(data, size_t(size));
    }
    void addLarge(Cell::Kind kind, const char* data, qsizetype size);

    QSharedDataPointer<Data> d;
};

// One result set of a batch: named columns and rows of values.
struct ResultSet {
    QStringList columns;
    ResultRows rows;

    // Position of a column by name, ignoring case as the server does; -1 when absent.
    int columnIndex(const QString& name) const;
};

using ResultSets = QList<ResultSet>;

// Takes the result sets of a command as they are read, a row at a time, so that a reader need
// not hold a whole set.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    // A result set begins with these columns (a set without rows too).
    virtual void columns(const QStringList& names) = 0;
    // The next row of the set begun last.
    virtual void row(const QVariantList& values) = 0;
    // Hands over result sets that were read whole.
    void take(const ResultSets& sets);
};

// A sink that keeps every result set whole.
class ResultCollector : public ResultSink {
public:
    ResultSets sets;
    void columns(const QStringList& names) override { sets.append({names, {}}); }
    void row(const QVariantList& values) override { sets.last().rows.append(values); }
};

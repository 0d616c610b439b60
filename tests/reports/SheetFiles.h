#pragma once

// Reading back the spreadsheet printers' files: a workbook's first worksheet (its cells with
// their number formats, the frozen rows, the column widths; through Debian's unzip) and a CSV
// file's fields (RFC 4180, after the byte-order mark).
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

#include "Values.h"

struct SheetCell {
    QString text;  // a text cell's
    bool number = false;
    double value = 0;
    QString format;  // a number's format code
};

struct Workbook {
    QString sheetName;
    QList<QList<SheetCell>> rows;  // from row 1; a row's cells from column A, missing ones empty
    int frozenRows = 0;
    QList<double> widths;  // of the columns from A
    bool inlineStrings = true;
    QString error;  // why the file could not be read

    // A row as the report prints it: texts as they are, numbers in their format; empty cells
    // up to `columns`.
    QStringList shown(int row, int columns = 0) const {
        QStringList texts;
        for (const SheetCell& c : rows.value(row))
            texts << (c.number ? FormatPicture(c.value, c.format) : c.text);
        while (texts.size() < columns) texts << QString();
        return texts;
    }

    static QByteArray part(const QString& file, const QString& name) {
        QProcess unzip;
        unzip.start("unzip", {"-p", file, name});
        unzip.waitForFinished(30000);
        return unzip.readAllStandardOutput();
    }

    static Workbook read(const QString& file) {
        Workbook book;
        const QByteArray sheet = part(file, "xl/worksheets/sheet1.xml");
        if (sheet.isEmpty()) {
            book.error = "no worksheet in " + file;
            return book;
        }
        const QHash<int, QString> formats = numberFormats(part(file, "xl/styles.xml"));
        QStringList shared;
        for (QXmlStreamReader x(part(file, "xl/sharedStrings.xml")); !x.atEnd();)
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"si")
                shared << x.readElementText(QXmlStreamReader::IncludeChildElements);
        for (QXmlStreamReader x(part(file, "xl/workbook.xml")); !x.atEnd();)
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"sheet" &&
                book.sheetName.isEmpty())
                book.sheetName = x.attributes().value("name").toString();
        QXmlStreamReader x(sheet);
        while (!x.atEnd()) {
            if (x.readNext() != QXmlStreamReader::StartElement) continue;
            const auto a = x.attributes();
            if (x.name() == u"pane" && a.value("state") == u"frozen")
                book.frozenRows = a.value("ySplit").toInt();
            if (x.name() == u"col") {
                const int last = a.value("max").toInt();
                while (book.widths.size() < last) book.widths << 0;
                for (int c = a.value("min").toInt(); c <= last; ++c)
                    book.widths[c - 1] = a.value("width").toDouble();
            }
            if (x.name() != u"c") continue;
            const QString ref = a.value("r").toString();
            int column = 0, i = 0;
            for (; i < ref.size() && ref[i].isLetter(); ++i)
                column = column * 26 + (ref[i].unicode() - 'A' + 1);
            const int row = ref.mid(i).toInt();
            const QString type = a.value("t").toString();
            SheetCell cell;
            cell.format = formats.value(a.value("s").toInt());
            const QString content = x.readElementText(QXmlStreamReader::IncludeChildElements);
            if (type == "inlineStr" || type == "str") {
                cell.text = content;
            } else if (type == "s") {
                cell.text = shared.value(content.toInt());
                book.inlineStrings = false;
            } else {
                cell.number = true;
                cell.value = content.toDouble();
            }
            while (book.rows.size() < row) book.rows << QList<SheetCell>{};
            QList<SheetCell>& cells = book.rows[row - 1];
            while (cells.size() < column) cells << SheetCell{};
            cells[column - 1] = cell;
        }
        if (x.hasError()) book.error = x.errorString();
        return book;
    }

private:
    // The format code of each cell style (xf index), built-in ones by their number.
    static QHash<int, QString> numberFormats(const QByteArray& styles) {
        QHash<int, QString> codes{{0, "General"}, {1, "0"}, {2, "0.00"}, {3, "#,##0"},
                                  {4, "#,##0.00"}, {49, "@"}};
        QHash<int, QString> byStyle;
        bool inCellXfs = false;
        int xf = 0;
        for (QXmlStreamReader x(styles); !x.atEnd();) {
            const auto token = x.readNext();
            if (token == QXmlStreamReader::EndElement && x.name() == u"cellXfs") inCellXfs = false;
            if (token != QXmlStreamReader::StartElement) continue;
            if (x.name() == u"numFmt")
                codes[x.attributes().value("numFmtId").toInt()] =
                    x.attributes().value("formatCode").toString();
            if (x.name() == u"cellXfs") inCellXfs = true;
            if (inCellXfs && x.name() == u"xf")
                byStyle[xf++] = codes.value(x.attributes().value("numFmtId").toInt());
        }
        return byStyle;
    }
};

struct CsvFile {
    QByteArray bytes;
    QList<QStringList> rows;
    QString error;  // no byte-order mark, a line end without CR, a quote out of place

    static CsvFile read(const QString& file) {
        CsvFile csv;
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            csv.error = "cannot open " + file;
            return csv;
        }
        csv.bytes = f.readAll();
        if (!csv.bytes.startsWith("\xEF\xBB\xBF")) csv.error = "no byte-order mark";
        const QString text = QString::fromUtf8(csv.bytes.mid(3));
        QStringList row;
        QString field;
        bool quoted = false, wasQuoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (quoted) {
                if (c != '"')
                    field += c;
                else if (i + 1 < text.size() && text[i + 1] == '"')
                    field += text[++i];
                else
                    quoted = false;
            } else if (c == '"' && field.isEmpty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == ',') {
                row << std::exchange(field, {});
                wasQuoted = false;
            } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                row << std::exchange(field, {});
                csv.rows << std::exchange(row, {});
                wasQuoted = false;
                ++i;
            } else if (c == '\r' || c == '\n' || c == '"' || wasQuoted) {
                csv.error = QString("%1 out of place at %2").arg(c).arg(i);
                return csv;
            } else {
                field += c;
            }
        }
        if (quoted || !field.isEmpty() || !row.isEmpty()) csv.error = "the last line is not ended";
        return csv;
    }
};

#include "SheetDevice.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <xlsxwriter.h>

#include "CurrentPrinter.h"
#include "Dialogs.h"
#include "Values.h"

namespace {
// The width of a text in a spreadsheet's columns: East Asian wide characters take two.
int displayWidth(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        if (c.isLowSurrogate()) continue;
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6) || c.isHighSurrogate();
        width += wide ? 2 : 1;
    }
    return width;
}

// A number as printed, for the file: the grouping left out.
QString plainNumber(const QString& printed) {
    QString n = printed;
    n.remove(QLatin1Char(','));
    return n;
}
}  // namespace

// One print command's file: created empty at once (so that a folder that refuses is found before
// the rows are read), written row by row, complete at close.
class SheetDevice::File {
public:
    explicit File(QString path) : path(std::move(path)) {}
    virtual ~File() = default;
    virtual bool begin(const QString& title, const QString& criteria,
                       const QStringList& header) = 0;
    virtual void addRow(const QList<TableCell>& cells) = 0;
    virtual bool close() = 0;
    const QString path;
};

namespace {
class ExcelFile : public SheetDevice::File {
public:
    using File::File;
    ~ExcelFile() override {
        // Closing is the only way to free the workbook; an abandoned one goes to no file.
        if (m_book) {
            workbook_close(m_book);
            QFile::remove(path);
        }
    }

    bool begin(const QString& title, const QString& criteria, const QStringList& header) override {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (!m_book) return false;
        QString name = title;
        name.replace(QRegularExpression(QStringLiteral("[\\[\\]:*?/\\\\]")), QStringLiteral("_"));
        m_sheet = workbook_add_worksheet(m_book, name.left(31).toUtf8().constData());
        if (!m_sheet) m_sheet = workbook_add_worksheet(m_book, nullptr);
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
        m_whole = workbook_add_format(m_book);
        format_set_num_format(m_whole, "#,##0");
        m_amount = workbook_add_format(m_book);
        const int decimals = AmountDecimals();
        const QByteArray picture =
            decimals > 0 ? "#,##0." + QByteArray(decimals, '0') : QByteArray("#,##0");
        format_set_num_format(m_amount, picture.constData());
        text(0, 0, title, m_bold);
        text(1, 0, criteria, nullptr);
        m_widths.fill(0, header.size());
        for (int c = 0; c < header.size(); ++c) {
            text(2, lxw_col_t(c), header[c], m_bold);
            m_widths[c] = displayWidth(header[c]);
        }
        worksheet_freeze_panes(m_sheet, 3, 0);
        m_row = 3;
        return true;
    }

    void addRow(const QList<TableCell>& cells) override {
        if (m_widths.size() < cells.size()) m_widths.resize(cells.size());
        for (int c = 0; c < cells.size(); ++c) {
            const QString printed = PrintedText(cells[c]);
            m_widths[c] = std::max(m_widths[c], displayWidth(printed));
            if (cells[c].kind == CellKind::Text)
                text(m_row, lxw_col_t(c), printed, nullptr);
            else
                worksheet_write_number(m_sheet, m_row, lxw_col_t(c), ToNumber(printed),
                                       cells[c].kind == CellKind::Whole ? m_whole : m_amount);
        }
        ++m_row;
    }

    bool close() override {
        for (int c = 0; c < m_widths.size(); ++c)
            worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c),
                                 std::min(m_widths[c], 80) + 2.0, nullptr);
        lxw_workbook* book = std::exchange(m_book, nullptr);
        return workbook_close(book) == LXW_NO_ERROR;
    }

private:
    void text(lxw_row_t row, lxw_col_t column, const QString& value, lxw_format* format) {
        if (!value.isEmpty())
            worksheet_write_string(m_sheet, row, column, value.toUtf8().constData(), format);
    }

    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format *m_bold = nullptr, *m_whole = nullptr, *m_amount = nullptr;
    QList<int> m_widths;  // of each column's widest cell below the criteria line
    lxw_row_t m_row = 0;
};

class CsvFile : public SheetDevice::File {
public:
    using File::File;

    bool begin(const QString& title, const QString& criteria, const QStringList& header) override {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly)) return false;
        m_columns = int(header.size());
        m_file.write("\xEF\xBB\xBF");
        line({title});
        line({criteria});
        line(header);
        return true;
    }

    void addRow(const QList<TableCell>& cells) override {
        QStringList fields;
        fields.reserve(cells.size());
        for (const TableCell& cell : cells) {
            const QString printed = PrintedText(cell);
            fields << (cell.kind == CellKind::Text ? printed : plainNumber(printed));
        }
        line(fields);
    }

    bool close() override {
        m_file.flush();
        const bool written = m_file.error() == QFileDevice::NoError;
        m_file.close();
        return written;
    }

private:
    void line(QStringList fields) {
        while (fields.size() < m_columns) fields << QString();
        QString text;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0) text += QLatin1Char(',');
            const QString& f = fields[i];
            if (f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
                f.contains(QLatin1Char('\r')) || f.contains(QLatin1Char('\n'))) {
                QString quoted = f;
                quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                text += QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                text += f;
            }
        }
        text += QStringLiteral("\r\n");
        m_file.write(text.toUtf8());
    }

    QFile m_file;
    int m_columns = 0;
};
}  // namespace

SheetDevice::SheetDevice(const QString& documentName, Format format)
    : m_documentName(documentName), m_format(format) {}

SheetDevice::~SheetDevice() = default;

QSizeF SheetDevice::paperSize() const { return {11906, 16838}; }  // A4, as the PDF printer's

void SheetDevice::begin(const QString& title, const QString& criteria, const QStringList& header) {
    if (m_failed) return;
    const QString folder = CurrentPrinter::sheetFolder();
    const QString suffix = m_format == Format::Excel ? QStringLiteral(".xlsx")
                                                     : QStringLiteral(".csv");
    const QString path = CurrentPrinter::outputFile(folder, m_documentName, suffix, m_files);
    // The name is taken at once: the file must be creatable before anything is read for it.
    QFile reserved(path);
    if (!QDir().mkpath(folder) || !reserved.open(QIODevice::NewOnly)) return fail(path, false);
    reserved.close();
    if (m_format == Format::Excel)
        m_file = std::make_unique<ExcelFile>(path);
    else
        m_file = std::make_unique<CsvFile>(path);
    if (!m_file->begin(title, criteria, header)) return fail(path, true);
    m_files << path;
}

void SheetDevice::addRow(const QList<TableCell>& cells) {
    if (m_file) m_file->addRow(cells);
}

void SheetDevice::finish() {
    if (!m_file) return;
    const std::unique_ptr<File> file = std::move(m_file);
    if (!file->close()) {
        m_files.removeAll(file->path);
        fail(file->path, true);
    }
}

void SheetDevice::fail(const QString& file, bool ours) {
    m_file.reset();
    if (ours) QFile::remove(file);  // nothing half written stays
    if (m_failed) return;
    m_failed = true;
    Dialogs::showMessage(QStringLiteral("檔案無法寫入,請檢查資料夾!\n") +
                         QDir::toNativeSeparators(file));
}

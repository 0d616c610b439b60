// Benchmark of the Excel printer: the summary report of 10,000 assets written as a workbook (and
// as a CSV file), the median of 7 runs each, which should stay under one second; and the memory
// the writing takes above the rows themselves (the peak resident size over the size before),
// for 10,000 and for 100,000 assets, which should be about the same.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "CurrentPrinter.h"
#include "ResultSet.h"
#include "Session.h"
#include "SheetDevice.h"
#include "SummaryReport.h"

namespace {
// The asset list as the summary reads it, with the demo company's kinds of values.
ResultSet assets(int n) {
    ResultSet list{{"財產編號", "財產名稱", "會計科目", "取得日期", "取得原價", "預留殘值",
                    "耐用月數", "每期攤提金額", "本期累計折舊金額", "剩餘使用價值", "售出",
                    "售出日期"},
                   {}};
    for (int i = 0; i < n; ++i) {
        const double cost = 10000.0 + (i * 7919) % 5000000;
        list.rows << QVariantList{QStringLiteral("OF%1").arg(i, 6, 10, QLatin1Char('0')),
                                  QStringLiteral("辦公設備 第%1號").arg(i),
                                  i % 3 ? QStringLiteral("1441") : QStringLiteral("1451"),
                                  QStringLiteral("113.%1.15").arg(i % 12 + 1, 2, 10,
                                                                  QLatin1Char('0')),
                                  cost, cost / 10, 60, cost * 0.9 / 60, cost * 0.3,
                                  cost * 0.7, i % 50 ? QStringLiteral("否") : QStringLiteral("是"),
                                  QString()};
    }
    return list;
}

// Writes the list once; seconds taken.
double write(const ResultSet& list, SheetDevice::Format format) {
    QElapsedTimer timer;
    timer.start();
    SheetDevice device(QStringLiteral("固定資產總表"), format);
    SummaryReport::writeTable(*device.table(), list, QStringLiteral("財產編號:~ 取得日期:~"),
                              (int(list.rows.size()) + 34) / 35);
    device.finish();
    if (device.failed()) std::printf("the file could not be written\n");
    for (const QString& file : device.writtenFiles()) QFile::remove(file);
    return double(timer.nsecsElapsed()) / 1e9;
}

double median(int runs, const std::function<double()>& run) {
    std::vector<double> seconds;
    for (int r = 0; r < runs; ++r) seconds.push_back(run());
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// Kilobytes of a line of /proc/self/status.
long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qstrlen(key)).trimmed().split(' ')[0].toLong();
    return -1;
}

// The peak resident size while the list is written, over the size before (kilobytes).
long writingKb(const ResultSet& list) {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) return -1;
    clear.close();  // the peak is now the present size
    const long before = statusKb("VmRSS:");
    write(list, SheetDevice::Format::Excel);
    return statusKb("VmHWM:") - before;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    qputenv("ZQFU_SHEET_DIR", QFile::encodeName(folder.path()));
    Session::current().amountDecimals = QStringLiteral("2");
    const ResultSet small = assets(10000);
    write(small, SheetDevice::Format::Excel);  // warm
    const double excel = median(7, [&] { return write(small, SheetDevice::Format::Excel); });
    const double csv = median(7, [&] { return write(small, SheetDevice::Format::Csv); });
    std::printf("summary of 10,000 assets: .xlsx %.3f s, .csv %.3f s (median of 7)\n", excel, csv);
    const long smallKb = writingKb(small);
    const ResultSet large = assets(100000);
    const long largeKb = writingKb(large);
    std::printf("memory of writing the .xlsx above the rows: 10,000 assets %ld kB, "
                "100,000 assets %ld kB\n",
                smallKb, largeKb);
    return excel < 1.0 ? 0 : 1;
}

// zqfu-setup: our stand-in for the suite's setup program (ZQ2K /SALE). Writes the local
// settings file and creates the embedded suite database with its schema and demo data.
//   zqfu-setup [--dir DIR] [--size N] [/SALE]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

#include "DbError.h"
#include "SuiteSetup.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zqfu-setup"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes ZqSrvUse.dat and creates the embedded suite database."));
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        QStringLiteral("dir"), QStringLiteral("Folder of the settings file and database."),
        QStringLiteral("DIR"), QCoreApplication::applicationDirPath());
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        QStringLiteral("Rows of benchmark data to make."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(dirOption);
    parser.addOption(sizeOption);
    parser.addPositionalArgument(QStringLiteral("/SALE"),
                                 QStringLiteral("Started by the module (accepted, no effect)."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    bool sizeOk = false;
    const long long size = parser.value(sizeOption).toLongLong(&sizeOk);
    if (!sizeOk || size < 0) {
        err << "zqfu-setup: --size needs a whole number\n";
        return 2;
    }
    try {
        const SuiteSetup::Result result = SuiteSetup::run(parser.value(dirOption), size);
        for (const QString& line : result.lines) out << line << '\n';
        return 0;
    } catch (const DbError& e) {
        err << "Msg " << e.hexNumber() << ": " << e.description() << '\n';
    } catch (const std::exception& e) {
        err << QString::fromUtf8(e.what()) << '\n';
    }
    return 1;
}

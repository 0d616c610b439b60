#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The other companies of the group, kept beside the local settings file in ZqGroup.ini, one
// section a company in the order they are served:
//   [ZqPro2]
//   Name=高雄分公司          the name in messages
//   ShortName=高雄            the name in the result lines
//   Provider=SQLOLEDB.1       ODBC installations: provider, server, user, password
//   Server=10.0.0.2
//   User=sa
//   Password=
//   Database=ZqPro2           the company's suite database (embedded: ZqPro2.zqdb beside the
//                             main database file); the section name when absent
//   ConnectTimeout=5          seconds to wait for the company's server
// and the group's central server in the section [Central] with the same keys (Name, ShortName
// unused) plus Account=, the group account code that the central stock procedure takes.
// Values are taken exactly as written after the "=" (a password may hold ";", "," or quotes).
// The file holds passwords: it is written for its owner only (0600), and a looser one is
// tightened when read. A missing file means a company without a group.
struct CompanyGroup {
    static constexpr const char* FileName = "ZqGroup.ini";

    struct Company {
        QString key;  // the section name
        QString name;
        QString shortName;
        QString provider;
        QString server;
        QString user;
        QString password;
        QString database;
        int connectTimeout = 5;
    };

    QList<Company> companies;
    Company central;
    QString centralAccount;
    // What could not be taken as written (a number out of range, named by its key); start-up
    // shows each.
    QStringList problems;

    static CompanyGroup read(const QString& folder);
    // Writes the file (the setup program writes the embedded group).
    static bool write(const QString& folder, const CompanyGroup& group);
};

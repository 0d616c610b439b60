#pragma once

// The sheets of a PDF file in its page list's order, each page's media box: how many sheets a
// print command made and which way each lies. Reads the files Qt writes (no object streams, one
// flat page list).
#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSizeF>

struct PdfPages {
    QList<QSizeF> sheets;  // in points

    QList<bool> landscape() const {
        QList<bool> turned;
        for (const QSizeF& sheet : sheets) turned << (sheet.width() > sheet.height());
        return turned;
    }

    static PdfPages read(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        // Latin-1 keeps every byte as one character, so binary streams survive.
        const QString text = QString::fromLatin1(file.readAll());
        const auto dots = QRegularExpression::DotMatchesEverythingOption;
        static const QRegularExpression object("(\\d+) 0 obj\\b(.*?)\\bendobj", dots),
            list("/Type\\s*/Pages\\b.*/Kids\\s*\\[([^\\]]*)\\]", dots), kid("(\\d+) 0 R"),
            box("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]");
        QHash<int, QString> objects;
        QString kids;
        for (auto it = object.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            objects.insert(m.captured(1).toInt(), m.captured(2));
            if (const auto l = list.match(m.captured(2)); l.hasMatch()) kids = l.captured(1);
        }
        PdfPages pages;
        for (auto it = kid.globalMatch(kids); it.hasNext();) {
            const auto m = box.match(objects.value(it.next().captured(1).toInt()));
            pages.sheets << QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                                   m.captured(4).toDouble() - m.captured(2).toDouble());
        }
        return pages;
    }
};

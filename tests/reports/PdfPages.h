#pragma once

// The sheets of a PDF file in its page tree's order, each page's media box: how many sheets a
// print command made and which way each lies. Reads the files Qt writes (no object streams).
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
        static const QRegularExpression object("(\\d+) 0 obj\\b(.*?)\\bendobj",
                                               QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression catalogue("/Type\\s*/Catalog\\b.*/Pages\\s+(\\d+) 0 R",
                                                  QRegularExpression::DotMatchesEverythingOption);
        QHash<int, QString> objects;
        for (auto it = object.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            objects.insert(m.captured(1).toInt(), m.captured(2));
        }
        PdfPages pages;
        for (const QString& body : std::as_const(objects))
            if (const auto m = catalogue.match(body); m.hasMatch())
                collect(objects, objects.value(m.captured(1).toInt()), pages.sheets);
        return pages;
    }

private:
    // The leaves under a page tree node, depth first.
    static void collect(const QHash<int, QString>& objects, const QString& node,
                        QList<QSizeF>& sheets) {
        static const QRegularExpression kids("/Kids\\s*\\[([^\\]]*)\\]"), kid("(\\d+) 0 R");
        static const QRegularExpression box(
            "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]");
        if (QRegularExpression("/Type\\s*/Page\\b").match(node).hasMatch()) {
            const auto m = box.match(node);
            sheets << QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                             m.captured(4).toDouble() - m.captured(2).toDouble());
            return;
        }
        for (auto it = kid.globalMatch(kids.match(node).captured(1)); it.hasNext();)
            collect(objects, objects.value(it.next().captured(1).toInt()), sheets);
    }
};

#pragma once

// The sheets of a PDF file as its page tree lists them: the tree's own count and each page's
// media box. Reads as much of PDF as the files Qt writes need (objects in the clear, no
// object streams), so that a test can tell how many sheets a print command made and which way
// each one lies.
#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSizeF>

struct PdfPages {
    int count = -1;        // /Count of the page tree's root
    QList<QSizeF> sheets;  // each page's media box in points, in the tree's order

    bool landscape(int sheet) const { return sheets[sheet].width() > sheets[sheet].height(); }

    static PdfPages read(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        // Latin-1 keeps every byte as one character, so offsets and binary streams survive.
        const QString text = QString::fromLatin1(file.readAll());
        QHash<int, QString> objects;
        static const QRegularExpression object(QStringLiteral("(\\d+) 0 obj\\b(.*?)\\bendobj"),
                                               QRegularExpression::DotMatchesEverythingOption);
        for (auto it = object.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            objects.insert(m.captured(1).toInt(), m.captured(2));
        }
        const auto reference = [&](const QString& body, const QString& key) {
            const QRegularExpression re(QLatin1Char('/') + key + QStringLiteral("\\s+(\\d+) 0 R"));
            return objects.value(re.match(body).captured(1).toInt());
        };
        static const QRegularExpression catalogue(QStringLiteral("/Type\\s*/Catalog\\b"));
        QString root;
        for (const QString& body : std::as_const(objects))
            if (catalogue.match(body).hasMatch()) root = reference(body, QStringLiteral("Pages"));

        PdfPages pages;
        static const QRegularExpression count(QStringLiteral("/Count\\s+(\\d+)"));
        if (const auto m = count.match(root); m.hasMatch()) pages.count = m.captured(1).toInt();
        collect(objects, root, pages.sheets);
        return pages;
    }

private:
    // The leaves under a page tree node, depth first.
    static void collect(const QHash<int, QString>& objects, const QString& node,
                        QList<QSizeF>& sheets) {
        static const QRegularExpression kids(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
        static const QRegularExpression kid(QStringLiteral("(\\d+) 0 R"));
        static const QRegularExpression box(QStringLiteral(
            "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
        static const QRegularExpression leaf(QStringLiteral("/Type\\s*/Page\\b"));
        if (leaf.match(node).hasMatch()) {
            const auto m = box.match(node);
            sheets << QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                             m.captured(4).toDouble() - m.captured(2).toDouble());
            return;
        }
        for (auto it = kid.globalMatch(kids.match(node).captured(1)); it.hasNext();)
            collect(objects, objects.value(it.next().captured(1).toInt()), sheets);
    }
};

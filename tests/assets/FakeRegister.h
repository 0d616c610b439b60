#pragma once

#include <QMap>
#include <QRegularExpression>

#include "../common/FakeDatabase.h"

// The suite's side of the asset window: a small register, its work rows, the closing date,
// accounts, departments, and scripted answers of the changing procedures.
struct FakeRegister {
    // An asset by its register columns.
    using Asset = QVariantMap;
    static Asset asset(const QString& code, const QString& name) {
        return {{"acode", code},       {"aname", name},       {"acod1", "1441"},
                {"anam1", "機器設備"}, {"acod2", "6125"},     {"anam2", "折舊費用"},
                {"acod3", "1442"},     {"anam3", "累計折舊"}, {"adat1", "114.03.01"},
                {"atota", 100000.0},   {"atot1", 10000.0},    {"ayear", 60.0},
                {"atot2", 0.0},        {"atot3", 1500.0},     {"atot4", 0.0},
                {"atot5", 90000.0},    {"asell", 0},          {"adat2", QString()},
                {"ause2", "王大明"},   {"ause3", QString()},  {"atim2", QString()}};
    }
    QMap<QString, Asset> assets;
    QMap<QString, QString> accounts = {
        {"1441", "機器設備"}, {"1442", "累計折舊"}, {"6125", "折舊費用"}};
    QMap<QString, QString> departments = {{"01", "總經理室"}, {"02", "業務部"}, {"03", "財務部"}};
    const QStringList lineColumns = {"lcode", "acode", "aseq", "adeno", "aperc", "atota", "aback"};
    QList<QVariantList> workLines;  // by lineColumns
    QString copied;  // the asset copied into the work row, until the work rows are cleaned
    // Answers of the changing procedures by name: text and status, used in turn.
    QMap<QString, QList<QPair<QString, int>>> answers;

    std::shared_ptr<FakeDatabase> db = FakeDatabase::install();

    FakeRegister() {
        db->answer = [this](const QString& text) { return answer(text); };
    }

    // Where a browse mode lands: the first or last asset, the one before or after the code.
    const Asset* browse(int mode, const QString& code) const {
        if (assets.isEmpty()) return nullptr;
        auto it = assets.lowerBound(code);
        if (mode == 36) return &assets.first();
        if (mode == 33) return it == assets.begin() ? &*it : &*std::prev(it);
        if (mode == 34 && it != assets.end() && it.key() == code) ++it;
        return mode == 35 || it == assets.end() ? &assets.last() : &*it;
    }

    ResultSets answer(const QString& text) {
        QRegularExpressionMatch m;
        const auto is = [&](const char* pattern) {
            m = QRegularExpression(QString::fromUtf8(pattern)).match(text);
            return m.hasMatch();
        };
        const auto row = [](const QStringList& c, const QVariantList& v) {
            return ResultSet{c, {v}};
        };
        const auto one = [&](const QVariant& v) { return ResultSets{row({""}, {v})}; };
        if (is("^SF_ZQ2K_ASSET_BROW (\\d+),'(.*)'$")) {
            const Asset* a = browse(m.captured(1).toInt(), m.captured(2));
            ResultSet found{asset({}, {}).keys(), {}};
            if (a) found.rows << a->values();
            return {found, row({"ADENO", "ADENA", "APERC", "ATOTA", "ABACK"},
                               {"01", "總經理室", 100.0, 1500.0, ""})};
        }
        if (is("^(SF_ZQ2K_ASSET_[A-Z]+) ")) {
            auto& queue = answers[m.captured(1)];
            const auto a = queue.isEmpty() ? qMakePair(QString(), 0) : queue.takeFirst();
            if (m.captured(1) == "SF_ZQ2K_ASSET_CLEAN") {
                copied.clear();
                return {};
            }
            if (m.captured(1) == "SF_ZQ2K_ASSET_COPY" && a.second == 0)
                copied = text.section('\'', 3, 3);
            return {row({"msg", "status"}, {a.first, a.second})};
        }
        if (is("^SELECT \\* FROM Assetd_Temp WHERE 1 = 0$")) return {ResultSet{lineColumns, {}}};
        if (is("^Select \\* From Asset_Temp Where Lcode = '0016'$")) {
            Asset work = assets.value(copied, asset({}, {}));
            for (const char* c : {"anam1", "anam2", "anam3"}) work.remove(c);
            work["lcode"] = "0016";
            work["ause1"] = "";
            ResultSet set{work.keys(), {}};
            if (assets.contains(copied)) set.rows << work.values();
            return {set};
        }
        if (is("^Select \\*,Isnull.* From Assetd_Temp Where Lcode = '0016'$")) {
            ResultSet set{lineColumns + QStringList{"Adena"}, {}};
            for (QVariantList l : workLines) set.rows << (l << departments.value(l[3].toString()));
            return {set};
        }
        if (is("^INSERT INTO Assetd_Temp \\((.*)\\) VALUES \\((.*)\\)$")) {
            const QStringList names = m.captured(1).split(", "), values = m.captured(2).split(", ");
            QVariantList line(lineColumns.size());
            for (int i = 0; i < names.size(); ++i) {
                const QString v = QString(values[i]).remove('\'');
                const qsizetype at = lineColumns.indexOf(names[i]);
                line[at] = at == 2 || at == 4 || at == 5 ? QVariant(v.toDouble()) : QVariant(v);
            }
            workLines << line;
            return {};
        }
        if (is("^DELETE FROM Assetd_Temp WHERE .*aseq = (\\d+)")) {
            workLines.removeIf(
                [&](const QVariantList& l) { return l[2].toInt() == m.captured(1).toInt(); });
            return {};
        }
        if (is("^SELECT SUM\\(APERC\\),SUM\\(ATOTA\\) FROM ASSETD_TEMP")) {
            double share = 0, amount = 0;
            for (const auto& l : workLines) share += l[4].toDouble(), amount += l[5].toDouble();
            return {row({"", ""}, {share, amount})};
        }
        if (is("^Select Count\\(\\*\\) From Assetd_Temp Where Lcode = '0016' And Adeno = '(.*)'"
               "( And Aseq != (\\d+))?$"))
            return one(int(std::ranges::count_if(workLines, [&](const QVariantList& l) {
                return l[3] == m.captured(1) &&
                       (m.captured(3).isEmpty() || l[2].toInt() != m.captured(3).toInt());
            })));
        QList<int> seqs{0};  // in order, as lines are only added at the end
        for (const auto& l : workLines) seqs << l[2].toInt();
        if (is("^Select Isnull\\(Max\\(aseq\\),0\\) From Assetd_Temp")) return one(seqs.last());
        if (is("^SELECT ISNULL\\(\\(SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND "
               "ASEQ > (\\d+)\\)")) {  // the next line, else the one before
            const int seq = m.captured(1).toInt();
            const auto after = std::ranges::upper_bound(seqs, seq);
            const auto before = std::ranges::lower_bound(seqs, seq);
            return one(after != seqs.end()      ? *after
                       : before != seqs.begin() ? *std::prev(before)
                                                : 0);
        }
        if (is("^(SELECT jdate|Select JDATE) F(ROM|rom) JE$"))
            return {row({"JDATE"}, {"114.06.30"})};  // the closing date
        if (is("^Select (acode),(anote) From (Acco) Where Acode = '(.*)' Order By acode$") ||
            is("^Select (Departno),(Dename) From (Depart25) Where Departno = '(.*)' Order By "
               "Departno$")) {  // an account or a department by its code
            const auto& names = m.captured(3) == "Acco" ? accounts : departments;
            ResultSet set{{m.captured(1), m.captured(2)}, {}};
            if (names.contains(m.captured(4)))
                set.rows << QVariantList{m.captured(4), names[m.captured(4)]};
            return {set};
        }
        if (is("^IF \\(Select '(.*)'\\) > \\(Select '(.*)'\\)"))
            return one(m.captured(1) > m.captured(2) ? "T" : "F");
        return {};
    }

    QStringList sentMatching(const QString& prefix) const {
        return db->sent.filter(QRegularExpression("^" + QRegularExpression::escape(prefix)));
    }
};

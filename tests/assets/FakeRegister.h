#pragma once

#include <QMap>
#include <QRegularExpression>

#include "../common/FakeDatabase.h"

// The suite's side of the asset window for tests: a small register with its work rows, the
// closing date, accounts and departments, and scripted answers of the changing procedures.
struct FakeRegister {
    struct Asset {
        QString code, name, acod1 = "1441", anam1 = "機器設備", acod2 = "6125",
                        anam2 = "折舊費用", acod3 = "1442", anam3 = "累計折舊", adat1 = "114.03.01";
        double atota = 100000, atot1 = 10000, ayear = 60, atot2 = 0, atot3 = 1500, atot4 = 0,
               atot5 = 90000;
        int asell = 0;
        QString adat2, ause3, ause2 = "王大明", atim2;
    };
    QMap<QString, Asset> assets;
    QMap<QString, QString> accounts = {{"1441", "機器設備"}, {"1442", "累計折舊"},
                                       {"6125", "折舊費用"}};
    QMap<QString, QString> departments = {{"01", "總經理室"}, {"02", "業務部"}, {"03", "財務部"}};
    QString closingDate = "114.06.30";
    QList<QVariantList> workLines;  // lcode, acode, aseq, adeno, aperc, atota, aback
    QString copied;  // the asset copied into the work row, until the work rows are cleaned
    // Answers of the changing procedures by name: text and status, used in turn.
    QMap<QString, QList<QPair<QString, int>>> answers;

    std::shared_ptr<FakeDatabase> db = FakeDatabase::install();

    FakeRegister() {
        db->answer = [this](const QString& text) { return answer(text); };
    }

    static ResultSet row(const QStringList& columns, const QVariantList& values) {
        return ResultSet{columns, {values}};
    }

    ResultSet assetRow(const Asset* a) const {
        const QStringList columns = {"acode", "aname", "acod1", "anam1", "acod2", "anam2", "acod3",
                                     "anam3", "adat1", "atota", "atot1", "ayear", "atot2", "atot3",
                                     "atot4", "atot5", "asell", "adat2", "ause2", "ause3", "atim2"};
        if (!a) return ResultSet{columns, {}};
        return row(columns, {a->code, a->name, a->acod1, a->anam1, a->acod2, a->anam2, a->acod3,
                             a->anam3, a->adat1, a->atota, a->atot1, a->ayear, a->atot2, a->atot3,
                             a->atot4, a->atot5, a->asell, a->adat2, a->ause2, a->ause3, a->atim2});
    }

    const Asset* browse(int mode, const QString& code) const {
        if (assets.isEmpty()) return nullptr;
        auto it = assets.lowerBound(code);
        switch (mode) {
            case 35: return &assets.last();
            case 36: return &assets.first();
            case 33: return it == assets.begin() ? &*it : &*std::prev(it);
            case 34:
                if (it != assets.end() && it.key() == code) ++it;
                return it == assets.end() ? &assets.last() : &*it;
            default: return it == assets.end() ? &assets.last() : &*it;
        }
    }

    ResultSets answer(const QString& text) {
        QRegularExpressionMatch m;
        const auto is = [&](const char* pattern) {
            m = QRegularExpression(QString::fromUtf8(pattern)).match(text);
            return m.hasMatch();
        };
        if (is("^SF_ZQ2K_ASSET_BROW (\\d+),'(.*)'$")) {
            const ResultSet lines{{"ADENO", "ADENA", "APERC", "ATOTA", "ABACK"},
                                  {{"01", "總經理室", 100.0, 1500.0, ""}}};
            return {assetRow(browse(m.captured(1).toInt(), m.captured(2))), lines};
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
        if (is("^SELECT \\* FROM Assetd_Temp WHERE 1 = 0$"))
            return {ResultSet{{"lcode", "acode", "aseq", "adeno", "aperc", "atota", "aback"}, {}}};
        if (is("^Select \\* From Asset_Temp Where Lcode = '0016'$")) {
            ResultSet work{{"lcode", "acode", "aname", "acod1", "acod2", "acod3", "adat1", "atota",
                            "atot1", "ayear", "atot2", "atot3", "atot4", "atot5", "asell", "adat2",
                            "ause1", "ause2", "ause3", "atim2"},
                           {}};
            if (const Asset* a = assets.contains(copied) ? &assets[copied] : nullptr)
                work.rows << QVariantList{"0016", a->code, a->name, a->acod1, a->acod2, a->acod3,
                                          a->adat1, a->atota, a->atot1, a->ayear, a->atot2,
                                          a->atot3, a->atot4, a->atot5, a->asell, a->adat2, "",
                                          a->ause2, a->ause3, a->atim2};
            return {work};
        }
        if (is("^Select \\*,Isnull.* From Assetd_Temp Where Lcode = '0016'$")) {
            ResultSet set{{"lcode", "acode", "aseq", "adeno", "aperc", "atota", "aback", "Adena"}, {}};
            for (QVariantList l : workLines) set.rows << (l << departments.value(l[3].toString()));
            return {set};
        }
        if (is("^INSERT INTO Assetd_Temp \\((.*)\\) VALUES \\((.*)\\)$")) {
            const QStringList names = m.captured(1).split(", ");
            const QStringList values = m.captured(2).split(", ");
            QVariantList line(7);
            const QStringList order = {"lcode", "acode", "aseq", "adeno", "aperc", "atota", "aback"};
            for (int i = 0; i < names.size(); ++i) {
                QString v = values[i];
                v.remove('\'');
                line[order.indexOf(names[i])] = names[i] == "aseq" || names[i] == "aperc" ||
                                                        names[i] == "atota"
                                                    ? QVariant(v.toDouble())
                                                    : QVariant(v);
            }
            workLines << line;
            return {};
        }
        if (is("^DELETE FROM Assetd_Temp WHERE .*aseq = (\\d+)")) {
            workLines.removeIf([&](const QVariantList& l) { return l[2].toInt() == m.captured(1).toInt(); });
            return {};
        }
        if (is("^SELECT SUM\\(APERC\\),SUM\\(ATOTA\\) FROM ASSETD_TEMP")) {
            double share = 0, amount = 0;
            for (const auto& l : workLines) share += l[4].toDouble(), amount += l[5].toDouble();
            return {row({"", ""}, {share, amount})};
        }
        if (is("^Select Count\\(\\*\\) From Assetd_Temp Where Lcode = '0016' And Adeno = '(.*)'( And Aseq != (\\d+))?$")) {
            int n = 0;
            for (const auto& l : workLines)
                if (l[3].toString() == m.captured(1) && (m.captured(3).isEmpty() || l[2].toInt() != m.captured(3).toInt())) ++n;
            return {row({""}, {n})};
        }
        if (is("^Select Isnull\\(Max\\(aseq\\),0\\) From Assetd_Temp")) {
            int max = 0;
            for (const auto& l : workLines) max = std::max(max, l[2].toInt());
            return {row({""}, {max})};
        }
        if (is("^SELECT ISNULL\\(\\(SELECT TOP 1 ASEQ FROM ASSETD_TEMP WHERE LCODE = '0016' AND ASEQ > (\\d+)\\)")) {
            const int seq = m.captured(1).toInt();
            int after = 0, before = 0;
            for (const auto& l : workLines) {
                const int s = l[2].toInt();
                if (s > seq && (after == 0 || s < after)) after = s;
                if (s < seq && s > before) before = s;
            }
            return {row({""}, {after ? after : before})};
        }
        if (is("^(SELECT jdate|Select JDATE) FROM JE$|^Select JDATE From JE$"))
            return {row({"JDATE"}, {closingDate})};
        if (is("^Select acode,anote From Acco Where Acode = '(.*)' Order By acode$")) {
            if (!accounts.contains(m.captured(1))) return {ResultSet{{"acode", "anote"}, {}}};
            return {row({"acode", "anote"}, {m.captured(1), accounts[m.captured(1)]})};
        }
        if (is("^Select Departno,Dename From Depart25 Where Departno = '(.*)' Order By Departno$")) {
            if (!departments.contains(m.captured(1))) return {ResultSet{{"Departno", "Dename"}, {}}};
            return {row({"Departno", "Dename"}, {m.captured(1), departments[m.captured(1)]})};
        }
        if (is("^IF \\(Select '(.*)'\\) > \\(Select '(.*)'\\)"))
            return {row({""}, {m.captured(1) > m.captured(2) ? "T" : "F"})};
        return {};
    }

    QStringList sentMatching(const QString& prefix) const {
        QStringList out;
        for (const QString& s : db->sent)
            if (s.startsWith(prefix)) out << s;
        return out;
    }
};

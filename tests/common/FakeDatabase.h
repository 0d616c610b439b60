#pragma once

#include <QHash>
#include <QStringList>
#include <functional>

#include "DbError.h"
#include "SuiteDatabase.h"

// A database for tests: answers each command text with the result sets given for it, and
// records every text it was sent.
class FakeDatabase : public SuiteDatabase {
public:
    ResultSets execute(const QString& commandText) override {
        sent << commandText;
        if (answer) return answer(commandText);
        return answers.value(commandText);
    }

    QStringList sent;
    QHash<QString, ResultSets> answers;
    std::function<ResultSets(const QString&)> answer;  // before the table when set

    // Installs this database as the one every connection gets.
    static std::shared_ptr<FakeDatabase> install() {
        auto db = std::make_shared<FakeDatabase>();
        Connections::setFactory([db](const QString&) { return db; });
        return db;
    }
};

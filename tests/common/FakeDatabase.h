#pragma once

#include <QHash>
#include <QStringList>
#include <functional>

#include "DbError.h"
#include "SuiteDatabase.h"

// A database for tests: answers each command text with the result sets or the error given for
// it, and records every text it was sent.
class FakeDatabase : public SuiteDatabase {
public:
    ResultSets execute(const QString& commandText) override {
        sent << commandText;
        if (answer) return answer(commandText);
        if (auto it = errors.constFind(commandText); it != errors.constEnd()) throw *it;
        return answers.value(commandText);
    }

    QStringList sent;
    QHash<QString, ResultSets> answers;
    QHash<QString, DbError> errors;
    std::function<ResultSets(const QString&)> answer;  // before the two tables when set

    // Installs this database as the one every connection gets.
    static std::shared_ptr<FakeDatabase> install() {
        auto db = std::make_shared<FakeDatabase>();
        Connections::setFactory([db](const QString&) { return db; });
        return db;
    }
};

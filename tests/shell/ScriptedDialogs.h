#pragma once

#include <QList>
#include <QStringList>

#include "Dialogs.h"

// Records every message and question and answers the questions from a list (or with the
// preselected answer when the list is used up).
class ScriptedDialogs : public Dialogs::Service {
public:
    QStringList shown;
    QList<Dialogs::Answer> answers;

    void showMessage(const QString& text) override { shown << text; }
    Dialogs::Answer ask(const QString& text, Dialogs::Buttons, Dialogs::Answer preselected) override {
        shown << text;
        return answers.isEmpty() ? preselected : answers.takeFirst();
    }

    static ScriptedDialogs* install() {
        auto* raw = new ScriptedDialogs;
        Dialogs::setService(std::unique_ptr<ScriptedDialogs>(raw));
        return raw;
    }
};

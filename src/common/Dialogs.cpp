#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "Trace.h"

namespace Dialogs {
namespace {

// Plain message boxes with the program's default title and no icon.
class MessageBoxService : public Service {
public:
    void showMessage(const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    Answer ask(const QString& text, Buttons buttons, Answer preselected) override {
        const bool yesNo = buttons == Buttons::YesNo;
        QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text,
                        yesNo ? QMessageBox::Yes | QMessageBox::No
                              : QMessageBox::Ok | QMessageBox::Cancel,
                        QApplication::activeWindow());
        box.setButtonText(QMessageBox::Yes, QStringLiteral("是(&Y)"));
        box.setButtonText(QMessageBox::No, QStringLiteral("否(&N)"));
        box.setButtonText(QMessageBox::Ok, QStringLiteral("確定"));
        box.setButtonText(QMessageBox::Cancel, QStringLiteral("取消"));
        box.setDefaultButton(toButton(preselected));
        box.setEscapeButton(yesNo ? QMessageBox::No : QMessageBox::Cancel);
        switch (box.exec()) {
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            case QMessageBox::Ok: return Answer::Ok;
            default: return Answer::Cancel;
        }
    }

private:
    static QMessageBox::StandardButton toButton(Answer a) {
        switch (a) {
            case Answer::Yes: return QMessageBox::Yes;
            case Answer::No: return QMessageBox::No;
            case Answer::Ok: return QMessageBox::Ok;
            case Answer::Cancel: return QMessageBox::Cancel;
        }
        return QMessageBox::Ok;
    }
};

std::unique_ptr<Service>& service() {
    static std::unique_ptr<Service> s = std::make_unique<MessageBoxService>();
    return s;
}

}  // namespace

void showMessage(const QString& text) {
    service()->showMessage(text);
    Trace::message(text, buttonsName(Buttons::Ok), answerName(Answer::Ok));
}

Answer ask(const QString& text, Buttons buttons, Answer preselected) {
    const Answer answer = service()->ask(text, buttons, preselected);
    Trace::message(text, buttonsName(buttons), answerName(answer));
    return answer;
}

std::unique_ptr<Service> setService(std::unique_ptr<Service> s) {
    std::unique_ptr<Service> previous = std::move(service());
    service() = s ? std::move(s) : std::make_unique<MessageBoxService>();
    return previous;
}

QString buttonsName(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return QStringLiteral("ok");
        case Buttons::YesNo: return QStringLiteral("yesno");
        case Buttons::OkCancel: return QStringLiteral("okcancel");
    }
    return {};
}

QString answerName(Answer answer) {
    switch (answer) {
        case Answer::Ok: return QStringLiteral("ok");
        case Answer::Cancel: return QStringLiteral("cancel");
        case Answer::Yes: return QStringLiteral("yes");
        case Answer::No: return QStringLiteral("no");
    }
    return {};
}

}  // namespace Dialogs

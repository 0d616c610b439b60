#include "Dialogs.h"

#include <QApplication>
#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>
#include <utility>

#include "Trace.h"

namespace Dialogs {
namespace {

QMessageBox::StandardButton toButton(Answer a) {
    switch (a) {
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Ok: return QMessageBox::Ok;
        case Answer::Cancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The title bar's own buttons and margins beside the title's text.
constexpr int TitleBarExtra = 140;

// The message and the question boxes are the same box: shown modally, answered by its button.
class MessageBoxService : public Service {
public:
    void showMessage(const QString& text) override {
        buildBox(text, Buttons::Ok, Answer::Ok, QApplication::activeWindow())->exec();
    }

    Answer ask(const QString& text, Buttons buttons, Answer preselected) override {
        const auto box = buildBox(text, buttons, preselected, QApplication::activeWindow());
        switch (box->exec()) {
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            case QMessageBox::Ok: return Answer::Ok;
            default: return Answer::Cancel;
        }
    }
};

std::unique_ptr<Service>& service() {
    static std::unique_ptr<Service> s = std::make_unique<MessageBoxService>();
    return s;
}

}  // namespace

std::unique_ptr<QMessageBox> buildBox(const QString& text, Buttons buttons, Answer preselected,
                                      QWidget* parent) {
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) {
        standard = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
    } else if (buttons == Buttons::OkCancel) {
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
    }
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon,
                                             QCoreApplication::applicationName(), QString(),
                                             standard, parent);
    // A message may quote what any writer of the database stored (a notice, a description):
    // plain text, and no longer than a box can show.
    constexpr int MaxShown = 2000;
    box->setTextFormat(Qt::PlainText);
    box->setText(text.size() > MaxShown ? text.left(MaxShown) + QStringLiteral("…") : text);
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, QStringLiteral("確定")},
        {QMessageBox::Cancel, QStringLiteral("取消")},
        {QMessageBox::Yes, QStringLiteral("是(&Y)")},
        {QMessageBox::No, QStringLiteral("否(&N)")},
    };
    for (const auto& [which, caption] : captions)
        if (QAbstractButton* b = box->button(which)) b->setText(caption);
    if (buttons == Buttons::Ok) preselected = Answer::Ok;
    if (box->button(toButton(preselected))) box->setDefaultButton(toButton(preselected));
    box->setEscapeButton(escape);

    // The box sizes itself to its text and buttons; a short text would cut the title. A spacer
    // across the whole layout keeps it at least as wide as the title with the title bar's
    // buttons beside it.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        const int titleWidth =
            std::max(QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()),
                     box->fontMetrics().horizontalAdvance(box->windowTitle()));
        grid->addItem(new QSpacerItem(titleWidth + TitleBarExtra, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box;
}

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

#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

// Every message and question of the program goes through here, so that tests can answer them
// and the trace records them. Windows never open message boxes themselves.
namespace Dialogs {

enum class Buttons { Ok, YesNo, OkCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Service {
public:
    virtual ~Service() = default;
    virtual void showMessage(const QString& text) = 0;
    virtual Answer ask(const QString& text, Buttons buttons, Answer preselected) = 0;
};

// A plain message with only an OK button, no icon, the program's default title.
void showMessage(const QString& text);
// A question; the preselected answer is the default button.
Answer ask(const QString& text, Buttons buttons, Answer preselected);

// The box the service shows (not yet shown): the program's default title, no icon, the buttons
// in Chinese, the preselected answer the default button, Esc the negative one (OK for a
// message), and never narrower than its title.
std::unique_ptr<QMessageBox> buildBox(const QString& text, Buttons buttons, Answer preselected,
                                      QWidget* parent = nullptr);

// Replaces the service (tests); returns the previous one. nullptr restores the message boxes.
std::unique_ptr<Service> setService(std::unique_ptr<Service> service);

QString buttonsName(Buttons buttons);
QString answerName(Answer answer);

}  // namespace Dialogs

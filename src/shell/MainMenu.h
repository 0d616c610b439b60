#pragma once

#include <QWidget>

class QPushButton;

// The main menu FU: the module's three functions and the exit, each on a button of the array
// But and on a letter key (A, B, C, Esc).
class MainMenu : public QWidget {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 4;

    explicit MainMenu(QWidget* parent = nullptr);
    QPushButton* button(int index) const;
    // Enables the buttons by the session's rights 960 to 962.
    void applyRights();
    void clickButton(int index);

signals:
    // The user confirmed the exit question.
    void exitConfirmed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pressButton(int index);
    QPushButton* m_buttons[ButtonCount] = {};
};

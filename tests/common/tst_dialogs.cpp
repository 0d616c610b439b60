#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "Dialogs.h"

using Dialogs::Answer;
using Dialogs::Buttons;

class DialogsTest : public QObject {
    Q_OBJECT

private:
    static QStringList captions(const QMessageBox& box) {
        QStringList texts;
        for (QAbstractButton* b : box.buttons()) texts << b->text();
        texts.sort();
        return texts;
    }

private slots:
    // Every button the user sees is in Chinese, the preselected answer is the default and Esc
    // gives the negative one.
    void buttonsInChinese_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Answer>("preselected");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("defaultCaption");
        QTest::addColumn<QString>("escapeCaption");
        QTest::newRow("message") << Buttons::Ok << Answer::Ok << QStringList{QStringLiteral("確定")}
                                 << QStringLiteral("確定") << QStringLiteral("確定");
        QTest::newRow("yes/no, no preselected")
            << Buttons::YesNo << Answer::No << QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}
            << QStringLiteral("否(&N)") << QStringLiteral("否(&N)");
        QTest::newRow("yes/no, yes preselected")
            << Buttons::YesNo << Answer::Yes << QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}
            << QStringLiteral("是(&Y)") << QStringLiteral("否(&N)");
        QTest::newRow("ok/cancel") << Buttons::OkCancel << Answer::Ok
                                   << QStringList{QStringLiteral("取消"), QStringLiteral("確定")} << QStringLiteral("確定")
                                   << QStringLiteral("取消");
    }
    void buttonsInChinese() {
        QFETCH(Buttons, buttons);
        QFETCH(Answer, preselected);
        QFETCH(QStringList, expected);
        QFETCH(QString, defaultCaption);
        QFETCH(QString, escapeCaption);
        expected.sort();
        const auto box = Dialogs::buildBox(QStringLiteral("資料列印完畢!請按下確定"), buttons, preselected);
        QCOMPARE(captions(*box), expected);
        QVERIFY(box->defaultButton());
        QCOMPARE(box->defaultButton()->text(), defaultCaption);
        QVERIFY(box->escapeButton());
        QCOMPARE(box->escapeButton()->text(), escapeCaption);
        QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
    }

    // A one-character message under a long title: the box is laid out at least as wide as the
    // title's text, shown or not.
    void neverNarrowerThanTitle() {
        QCoreApplication::setApplicationName(QStringLiteral("固定資產管理系統─固定資產異動處理作業"));
        for (const Buttons buttons : {Buttons::Ok, Buttons::YesNo, Buttons::OkCancel}) {
            const auto box = Dialogs::buildBox(QStringLiteral("!"), buttons, Answer::Ok);
            const int titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            QVERIFY(box->layout());
            QVERIFY2(box->layout()->totalMinimumSize().width() > titleWidth,
                     qPrintable(QString::number(box->layout()->totalMinimumSize().width())));
            box->show();
            QVERIFY(box->width() > titleWidth);
            box->hide();
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"

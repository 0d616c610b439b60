// The window helpers: a field cut to its bytes, grid formats, the centring of a child window.
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include "Session.h"
#include "Twips.h"
#include "WindowHelpers.h"

namespace {
// A grid model whose column formats the test can read back.
struct FormattedModel : QStandardItemModel, FormattedColumns {
    explicit FormattedModel(QStringList formats)
        : QStandardItemModel(1, int(formats.size())), formats(std::move(formats)) {}
    int formattedColumnCount() const override { return int(formats.size()); }
    QString columnFormat(int column) const override { return formats.value(column); }
    void setColumnFormat(int column, const QString& format) override { formats[column] = format; }
    QStringList formats;
};
}  // namespace

class TestWindowHelpers : public QObject {
    Q_OBJECT

private slots:
    // A cut keeps a caret inside, moves one beyond to the end; a field that fits keeps selection.
    void fieldByteLimit() {
        QLineEdit field;
        field.setText(QStringLiteral("財產設備"));
        field.setCursorPosition(1);
        LimitTextBytes(&field, 4);
        QCOMPARE(field.text() + QString::number(field.cursorPosition()), QStringLiteral("財產1"));
        field.setText(QStringLiteral("ab財產設備"));
        field.selectAll();  // caret at the end, beyond the kept text
        LimitTextBytes(&field, 5);
        QVERIFY(field.text() == QStringLiteral("ab財") && !field.hasSelectedText());
        QCOMPARE(field.cursorPosition(), 3);
        field.setText(QStringLiteral("財產"));
        field.selectAll();
        LimitTextBytes(&field, 4);
        LimitTextBytes(&field, 0);
        QVERIFY(field.hasSelectedText());
    }

    // Amount columns take the company's decimals; a too-big child stays below the notice line.
    void gridsAndWindows() {
        Session::reset();
        Session::current().amountDecimals = "3";
        FormattedModel model({"#,##0", "", "###,##0.00", "0.0"});
        QTableView grid;
        grid.setModel(&model);
        grid.setSortingEnabled(true);
        ApplyGridFormat(&grid);
        const QString amount = "###,###,###,###,###,##0.000";
        QCOMPARE(model.formats, QStringList({"#,##0", "", amount, amount}));
        QVERIFY(!grid.isSortingEnabled() && !grid.wordWrap());
        QStandardItemModel plain(2, 2);
        grid.setModel(&plain);
        ApplyGridFormat(&grid);
        QWidget main;
        main.resize(800, 600);
        QWidget child(&main);
        child.resize(1000, 540);
        CenterChild(&child);
        QCOMPARE(child.pos(), QPoint(0, Twips::toPixels(NoticeLineTwips)));
    }
};

QTEST_MAIN(TestWindowHelpers)
#include "tst_windowhelpers.moc"

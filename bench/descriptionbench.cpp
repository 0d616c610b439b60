// The description field T7 and its page with descriptions of megabytes: the time a key takes in
// the field with what the window does on every key (reading the text back), the worst of the
// median per text, and the time the page takes to show the text once the typing pauses; then
// the time the page takes to render markup of 16 KB (which it renders on every key) and of
// 400 KB. On the display of $DISPLAY, or off screen without one.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBrowser>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ItemViews.h"
#include "PiecedTextEdit.h"

namespace {
struct Case {
    const char* name;
    QString text;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype mb2 = 2 * 1024 * 1024;
    const Case cases[] = {
        {"2 MB on one line, Chinese", QString(mb2, u'規')},
        {"2 MB on one line, ASCII", QString(mb2, u'A')},
        {"45 KB on one line", QString(45 * 1024, u'A')},
        {"2 MB in lines of 4 characters", QString("規格說明\n").repeated(mb2 / 5)},
        {"2 MB of words and blanks", QString("item 規格 ").repeated(mb2 / 8)},
    };
    std::printf("Keys in the description field T7 (with the text read back, as the window does on "
                "each key), median of 30 keys in the middle of the text, and the page shown once "
                "for the text:\n");
    double worstKey = 0;
    const char* worstName = "";
    for (const Case& c : cases) {
        PiecedTextEdit edit;
        edit.resize(800, 300);
        edit.show();
        QTextBrowser view;
        view.resize(800, 300);
        view.show();
        QElapsedTimer clock;
        clock.start();
        edit.setText(c.text);
        QApplication::processEvents();
        const double opened = clock.nsecsElapsed() / 1e6;
        QTextCursor middle(edit.document());
        middle.setPosition(edit.document()->characterCount() / 2);
        edit.setTextCursor(middle);
        edit.ensureCursorVisible();
        QApplication::processEvents();
        std::vector<double> keys;
        for (int i = 0; i < 30; ++i) {
            clock.restart();
            QTest::keyClick(&edit, i % 3 == 2 ? Qt::Key_Backspace : Qt::Key_A);
            volatile qsizetype size = edit.text().size();
            (void)size;
            QApplication::processEvents();
            keys.push_back(clock.nsecsElapsed() / 1e6);
        }
        const QString text = edit.text();
        clock.restart();
        view.setWordWrapMode(ItemViews::wrapsAnywhere(text)
                                 ? QTextOption::WrapAnywhere
                                 : QTextOption::WrapAtWordBoundaryOrAnywhere);
        view.setPlainText(ItemViews::plainPage(text));
        QApplication::processEvents();
        const double page = clock.nsecsElapsed() / 1e6;
        const double key = median(keys);
        std::printf("  %-32s opened %6.0f ms  key %6.1f ms  page %6.0f ms\n", c.name, opened, key,
                    page);
        if (key > worstKey) worstKey = key, worstName = c.name;
    }
    std::printf("key in T7, worst of the texts: %.1f ms (%s)\n", worstKey, worstName);
    // Markup the page renders: up to 16 KB it follows every key, beyond when the typing pauses.
    const QString row = QStringLiteral("<tr><td>規格</td><td>item</td></tr>");
    const Case pages[] = {
        {"a table of 16 KB", "<table>" + row.repeated(16 * 1024 / row.size()) + "</table>"},
        {"a table of 400 KB", "<table>" + row.repeated(400 * 1024 / row.size()) + "</table>"},
        {"paragraphs of 16 KB", QStringLiteral("<p>規格 item</p>").repeated(16 * 1024 / 14)},
    };
    std::printf("The page rendering markup, median of 5:\n");
    for (const Case& c : pages) {
        QTextBrowser view;
        view.resize(800, 300);
        view.show();
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer clock;
            clock.start();
            view.setWordWrapMode(ItemViews::wrapsAnywhere(c.text)
                                     ? QTextOption::WrapAnywhere
                                     : QTextOption::WrapAtWordBoundaryOrAnywhere);
            view.setHtml(c.text);
            QApplication::processEvents();
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("  %-32s %6.0f ms\n", c.name, median(times));
    }
    return 0;
}

#include "WindowHelpers.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QWidget>
#include <algorithm>

#include "ChildFocus.h"
#include "Session.h"
#include "Twips.h"
#include "Values.h"
#include "WindowRegistry.h"

void LimitTextBytes(QLineEdit* field, int n) {
    if (!field || n == 0) return;
    const QString text = field->text();
    if (text.isEmpty() || Big5Length(text) <= n) return;
    const int caret = field->cursorPosition();
    const QString cut = LimitBytes(text, n);
    field->setText(cut);
    field->setCursorPosition(std::min<int>(caret, int(cut.size())));
    field->deselect();
}

void ApplyGridFormat(QTableView* grid) {
    if (!grid) return;
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setSortingEnabled(false);
    grid->verticalHeader()->setDefaultSectionSize(Twips::toPixels(225));

    auto* columns = dynamic_cast<FormattedColumns*>(grid->model());
    if (!columns) return;
    const QString amount = AmountFormatString(Session::current().amountDecimals);
    for (int c = 0; c < columns->formattedColumnCount(); ++c) {
        const QString format = columns->columnFormat(c);
        if (!format.isEmpty() && format != QLatin1String("#,##0"))
            columns->setColumnFormat(c, amount);
    }
    grid->viewport()->update();
}

void FitLargestAmount(QTableView* grid, const QList<int>& columns) {
    auto* formats = dynamic_cast<FormattedColumns*>(grid->model());
    if (!formats) return;
    // What the item's text leaves free at either side (the delegate's margin and a pixel).
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    for (int c : columns) {
        const QString format = formats->columnFormat(c);
        const QString largest = format == QLatin1String("#,##0") ? FormatWhole(-LargestAmount)
                                                                 : FormatAmount(-LargestAmount);
        const int width = grid->fontMetrics().horizontalAdvance(largest) + 2 * margin + 2;
        if (grid->columnWidth(c) < width) grid->setColumnWidth(c, width);
    }
}

void CenterChild(QWidget* child) {
    if (!child) return;
    // Inside the main window the formula counts the main window's own outer size, and the
    // child's place is in its client area; a window on its own is centred on the screen.
    QSize outer;
    QPoint origin;
    if (child->parentWidget()) {
        outer = child->window()->frameGeometry().size();
    } else if (const QScreen* screen = child->screen()) {
        outer = screen->availableGeometry().size();
        origin = screen->availableGeometry().topLeft();
    } else {
        return;
    }
    const int h = Twips::fromPixels(child->frameGeometry().height());
    const int w = Twips::fromPixels(child->frameGeometry().width());
    int top = (Twips::fromPixels(outer.height()) - h) / 2 - 418;
    const int left = std::max(0, (Twips::fromPixels(outer.width()) - w - 200) / 2);
    if (child->parentWidget()) top = std::max(top, NoticeLineTwips);
    child->move(origin + QPoint(Twips::toPixels(left), Twips::toPixels(std::max(top, 0))));
}

void CloseChild(QWidget* child) {
    auto* frame = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    if (!frame) {
        child->close();
        return;
    }
    const QPointer<QMdiArea> area = frame->mdiArea();
    const QPointer<QWidget> from = WindowRegistry::openedFrom(child);
    if (frame->close() && area) FocusNextChild(area, frame, from);
}

void DeleteChildWidgets(QWidget* window) {
    qDeleteAll(window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

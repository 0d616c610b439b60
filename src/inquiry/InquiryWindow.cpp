#include "InquiryWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <map>

#include "ButtonLook.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FrameParts.h"
#include "HistoryPager.h"
#include "InquiryFrame.h"
#include "InquiryTables.h"
#include "ListProcedure.h"
#include "Recordset.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "Twips.h"
#include "UserSettings.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

using namespace InquiryTables;

namespace {
const QString Caption = FrameParts::place();
const QString NoItem = QStringLiteral("尚無相關資料可查詢");
// What the views of the other parts of the window say until they are there.
const QString NotYet = QStringLiteral("此功能尚未開放");

// Where the panel's labels go: row, column and columns spanned in a four-column grid of
// caption and value pairs.
struct Place {
    int index, row, column, span;
};
constexpr Place PanelPlaces[] = {
    {0, 0, 0, 1},   {1, 0, 1, 1},   {51, 0, 2, 1},  {52, 0, 3, 1},  {2, 1, 0, 1},   {3, 1, 1, 3},
    {4, 2, 0, 4},   {5, 3, 0, 4},   {6, 4, 0, 1},   {7, 4, 1, 1},   {8, 4, 2, 1},   {9, 4, 3, 1},
    {10, 5, 0, 1},  {11, 5, 1, 1},  {53, 5, 2, 1},  {54, 5, 3, 1},  {12, 6, 0, 1},  {13, 6, 1, 1},
    {14, 6, 2, 1},  {15, 6, 3, 1},  {16, 7, 0, 1},  {17, 7, 1, 3},  {18, 8, 0, 1},  {19, 8, 1, 1},
    {20, 8, 2, 1},  {21, 8, 3, 1},  {22, 9, 0, 1},  {23, 9, 1, 1},  {24, 9, 2, 1},  {25, 9, 3, 1},
    {26, 10, 0, 1}, {27, 10, 1, 1}, {28, 10, 2, 1}, {29, 10, 3, 1}, {30, 11, 0, 1}, {31, 11, 1, 1},
    {32, 11, 2, 1}, {33, 11, 3, 1}, {34, 12, 0, 2}, {55, 12, 2, 1}, {56, 12, 3, 1}, {35, 13, 0, 1},
    {36, 13, 1, 1}, {37, 13, 2, 1}, {38, 13, 3, 1}, {39, 14, 0, 1}, {40, 14, 1, 1}, {41, 14, 2, 1},
    {42, 14, 3, 1}, {43, 15, 0, 1}, {44, 15, 1, 1}, {49, 15, 2, 1}, {50, 15, 3, 1}, {45, 16, 0, 1},
    {46, 16, 1, 1}, {47, 16, 2, 1}, {48, 16, 3, 1}, {57, 17, 0, 4},
};

bool isFunctionKey(int key) { return key >= Qt::Key_F1 && key <= Qt::Key_F12; }
using FrameParts::isEnter;
}  // namespace

struct InquiryWindow::Private {
    explicit Private(InquiryWindow* window) : q(window) {}

    InquiryWindow* q;
    ListProcedure list{QStringLiteral("DG1"), Caption};
    ListProcedure purchases{QStringLiteral("DG3"), Caption};
    QTableView* dg1 = nullptr;
    RecordsetModel* listModel = nullptr;
    std::array<QLabel*, PanelLabels> panel{};
    std::array<QCheckBox*, 2> chk{};
    std::array<QPushButton*, ModeCount> b1{};
    QGroupBox* safety = nullptr;
    QTableView* dgr1 = nullptr;
    int besideLeft = 0;  // where the safety notice and the stock per warehouse go
    DataSource dgr1Source;
    QTableView* dg14 = nullptr;
    DataSource dg14Source;

    std::map<QString, QTableView*> grids;
    std::map<QString, std::unique_ptr<HistoryPager>> pagers;  // paged grids by name
    std::map<QString, std::unique_ptr<DataSource>> views;     // grids read whole
    std::map<int, InquiryFrame*> frames;  // the frames of the modes that have one, by mode
    QTableView* shown = nullptr;  // the history grid in front of the list
    QString purchaseItem;         // the item of the purchase history on screen

    int currentMode = -1;
    QString currentGrid;
    QString listTopCode;
    bool reading = false;

    QTableView* makeGrid(const QString& name, QList<RecordsetModel::Column> columns);
    void build();
    void placeControls();

    QString code(int row) const { return list.value(row, QStringLiteral("ICODE")).toString(); }
    int row() const { return dg1->currentIndex().isValid() ? dg1->currentIndex().row() : -1; }
    void readList(int keyNumber, const QString& code, bool quoted, int highlight);
    void highlight(QTableView* grid, int row);
    void listRowChanged();
    void fillPanel();
    void showSafetyStockNotice();
    bool listKey(int key, QChar letter);
    bool gridKey(QTableView* grid, int key);
    bool purchaseKey(int key, int current);
    void showLotStock();
    void optionChanged();
    void showGrid(const QString& name, const Recordset& rows, int row);
    // A mode that shows nothing says why; then the item list is in front with the keyboard
    // (taking it hides whatever grid or frame was over it).
    void refuse(const QString& message) {
        Dialogs::showMessage(message);
        dg1->setFocus();
    }
    InquiryFrame* frameOf(int modeIndex);
    void startFrame(int modeIndex, InquiryFrame* frame, const QString& item);
    HistoryReader reader() const {
        const Session& s = Session::current();
        return HistoryReader::of(s, s.switches.taxIncludedLotPrices);
    }
};

QTableView* InquiryWindow::Private::makeGrid(const QString& name,
                                             QList<RecordsetModel::Column> columns) {
    return FrameParts::makeGrid(q, name, std::move(columns), q);
}

void InquiryWindow::Private::build() {
    q->setObjectName(QStringLiteral("FF8"));
    q->setWindowTitle(Caption);

    dg1 = makeGrid(QStringLiteral("DG1"), columnsOf(QStringLiteral("DG1")));
    listModel = static_cast<RecordsetModel*>(dg1->model());
    dg1->horizontalHeader()->setStretchLastSection(false);
    dg1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    dg1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    // An item code has up to 20 characters: all of them in sight; the name takes the rest.
    dg1->setColumnWidth(0, dg1->fontMetrics().horizontalAdvance(QString(20, u'W')) + 8);
    dg1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(dg1->selectionModel(), &QItemSelectionModel::currentRowChanged, q, [this] {
        if (!reading) listRowChanged();
    });

    for (int i = 0; i < 2; ++i) {
        chk[i] = new QCheckBox(i == 0 ? QStringLiteral("零不顯示") : QStringLiteral("停產顯示"), q);
        chk[i]->setObjectName(QStringLiteral("Chk1(%1)").arg(i));
        chk[i]->installEventFilter(q);
        QObject::connect(chk[i], &QCheckBox::toggled, q, [this] { optionChanged(); });
    }
    for (int i = 0; i < ModeCount; ++i) {
        const Mode& m = mode(i);
        auto* b = new QPushButton(m.caption, q);
        b->setObjectName(QStringLiteral("B1(%1)").arg(i));
        b->setToolTip(m.toolTip);
        b->setStatusTip(m.toolTip);
        b->setAutoDefault(false);
        InstallButtonLook(b);
        b->installEventFilter(q);
        QObject::connect(b, &QPushButton::clicked, q, [this, i] { q->pressMode(i); });
        b1[i] = b;
    }

    auto* panelFrame = new QFrame(q);
    panelFrame->setObjectName(QStringLiteral("Panel"));
    panelFrame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(panelFrame);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(1);
    for (int i = 0; i < PanelLabels; ++i) {
        panel[i] = new QLabel(panelFrame);
        panel[i]->setObjectName(QStringLiteral("L0(%1)").arg(i));
        panel[i]->setTextFormat(Qt::PlainText);
    }
    for (const Place& p : PanelPlaces)
        layout->addWidget(panel[p.index], p.row, p.column, 1, p.span);
    const PanelTexts captions = panelCaptions();
    for (int i = 0; i < PanelLabels; ++i) panel[i]->setText(captions[i].text);

    safety = new QGroupBox(QStringLiteral("低於安全庫存量"), q);
    safety->setObjectName(QStringLiteral("FrSafety"));
    safety->setStyleSheet(QStringLiteral("QGroupBox { color: red; }"));
    safety->setAutoFillBackground(true);
    safety->hide();
    dgr1 = makeGrid(QStringLiteral("DGR1"), columnsOf(QStringLiteral("DGR1")));
    dgr1->setFocusPolicy(Qt::NoFocus);
    dgr1->hide();
    SetConnection(dgr1Source);

    for (const QString& name : historyGridNames()) {
        QTableView* grid = makeGrid(name, columnsOf(name));
        grid->hide();
        grids[name] = grid;
    }
    for (const QString& name :
         {QStringLiteral("DG11"), QStringLiteral("DG22"), QStringLiteral("DG23")}) {
        views[name] = std::make_unique<DataSource>();
        SetConnection(*views[name]);
    }
    dg14 = makeGrid(QStringLiteral("DG14"), columnsOf(QStringLiteral("DG14")));
    dg14->hide();
    SetConnection(dg14Source);

    placeControls();
    QWidget::setTabOrder(dg1, chk[0]);
    QWidget::setTabOrder(chk[0], chk[1]);
    QWidget::setTabOrder(chk[1], b1[0]);
    for (int i = 1; i < ModeCount; ++i) QWidget::setTabOrder(b1[i - 1], b1[i]);
}

void InquiryWindow::Private::placeControls() {
    // The list shows a whole page of fifteen items without scrolling.
    const int rowHeight = dg1->verticalHeader()->defaultSectionSize();
    // The grids over it use the same place and may need a horizontal scroll bar besides.
    const int listHeight = 2 * dg1->frameWidth() + dg1->horizontalHeader()->sizeHint().height() +
                           HistoryStatements::PageSize * rowHeight +
                           dg1->horizontalScrollBar()->sizeHint().height();
    const int margin = Twips::toPixels(120);
    const int listWidth = Twips::toPixels(8760);
    dg1->setGeometry(margin, margin, listWidth, listHeight);
    QWidget* panelFrame = q->findChild<QWidget*>(QStringLiteral("Panel"));
    const int panelLeft = margin + listWidth + margin;
    panelFrame->setGeometry(panelLeft, margin, Twips::toPixels(6360),
                            std::max(listHeight, panelFrame->sizeHint().height()));
    const int optionsTop = margin + std::max(listHeight, panelFrame->height()) + margin / 2;
    chk[0]->setGeometry(margin, optionsTop, Twips::toPixels(1400), Twips::toPixels(300));
    chk[1]->setGeometry(margin + Twips::toPixels(1500), optionsTop, Twips::toPixels(1400),
                        Twips::toPixels(300));
    // The mode buttons in three rows of nine under the list and the panel.
    constexpr int PerRow = 9;
    const int contentWidth = listWidth + margin + panelFrame->width();
    const int buttonWidth = (contentWidth - (PerRow - 1) * 2) / PerRow;
    const int buttonHeight = Twips::toPixels(420);
    const int buttonsTop = optionsTop + Twips::toPixels(360);
    for (int i = 0; i < ModeCount; ++i)
        b1[i]->setGeometry(margin + (i % PerRow) * (buttonWidth + 2),
                           buttonsTop + (i / PerRow) * (buttonHeight + 2), buttonWidth,
                           buttonHeight);
    const int rows = (ModeCount + PerRow - 1) / PerRow;
    safety->resize(Twips::toPixels(1800), Twips::toPixels(360));
    dgr1->resize(Twips::toPixels(3600), Twips::toPixels(1500));
    dg14->resize(Twips::toPixels(2400), Twips::toPixels(1800));
    // The safety notice and the stock per warehouse have a strip of their own to the right of
    // the panel, so that whatever the row they cover none of its fields.
    besideLeft = panelLeft + panelFrame->width() + margin;
    q->resize(besideLeft + dgr1->width() + margin,
              buttonsTop + rows * (buttonHeight + 2) + margin);
}

// A grid lets go of its rows before its data source reads anew (the old rows go away).
static void detach(QTableView* grid) {
    static_cast<RecordsetModel*>(grid->model())->setRecordset(nullptr);
}

void InquiryWindow::Private::highlight(QTableView* grid, int row) {
    FrameParts::highlight(grid, row);
}

// Reads a page of the list. highlight: the row to highlight, -1 the last row, or -2 the row
// of the given item code (the last row when it is not on the page).
void InquiryWindow::Private::readList(int keyNumber, const QString& itemCode, bool quoted,
                                      int highlightRow) {
    reading = true;
    dg1->clearSelection();
    detach(dg1);
    list.read(keyNumber, itemCode, list.passThrough7, quoted);
    QList<RecordsetModel::Column> columns = columnsOf(QStringLiteral("DG1"));
    const Recordset& rs = list.rows().recordset();
    columns[4].field = rs.fieldName(4);
    columns[4].caption = list.stockCaption();
    listModel->setColumns(columns);
    listModel->setRecordset(&rs);
    ApplyGridFormat(dg1);
    const int rows = list.rowCount();
    int target = highlightRow;
    if (highlightRow == -2) {
        target = rows - 1;
        for (int r = 0; r < rows; ++r)
            if (code(r) == itemCode) target = r;
    } else if (highlightRow == -1) {
        target = rows - 1;
    }
    highlight(dg1, std::min(target, rows - 1));
    reading = false;
    listRowChanged();
    if (dg1->isVisible()) dg1->setFocus();
}

void InquiryWindow::Private::listRowChanged() {
    const int r = row();
    if (r >= 0 && r < list.rowCount()) list.rows().recordset().setBookmark(r);
    fillPanel();
    showSafetyStockNotice();
}

void InquiryWindow::Private::fillPanel() {
    const int r = row();
    const PanelTexts texts =
        r < 0 ? panelCaptions()
              : panelTexts([this, r](const QString& column) { return list.value(r, column); },
                           Session::current());
    for (int i = 0; i < PanelLabels; ++i) {
        panel[i]->setText(texts[i].text);
        panel[i]->setStyleSheet(texts[i].colour.isValid()
                                    ? QStringLiteral("color: %1;").arg(texts[i].colour.name())
                                    : QString());
    }
}

void InquiryWindow::Private::showSafetyStockNotice() {
    safety->hide();
    dgr1->hide();
    const int r = row();
    if (r < 0) return;
    const Session& s = Session::current();
    const QRect cell = dg1->visualRect(listModel->index(r, 0));
    const int x = besideLeft;
    int y = dg1->geometry().top() + dg1->viewport()->y() + cell.top();
    const double stock = list.value(r, QStringLiteral("INUMB")).toDouble();
    const double safe = list.value(r, QStringLiteral("ISAVE")).toDouble();
    if (s.hasRight(1074) && stock < safe) {
        safety->move(x, y);
        safety->show();
        safety->raise();
        y += safety->height();
    }
    if (s.hasRight(1073)) return;
    detach(dgr1);
    dgr1Source.commandText = QStringLiteral("SF_ZQ2K_ITYP_F2 36,'','%','1',") + SqlLiteral(code(r));
    RefreshData(dgr1Source, Caption);
    auto* model = static_cast<RecordsetModel*>(dgr1->model());
    model->setRecordset(&dgr1Source.recordset());
    if (model->rowCount() == 0) return;
    dgr1->move(x, std::min(y, q->height() - dgr1->height()));
    dgr1->show();
    dgr1->raise();
}

void InquiryWindow::Private::optionChanged() {
    list.zeroHidden = chk[0]->isChecked() ? 1 : 0;
    list.stoppedShown = chk[1]->isChecked() ? 1 : 0;
    const QString item = q->highlightedItem();
    if (item.isEmpty()) return;
    readList(ListProcedure::DownAtBottom, item, false, -2);
}

// The keys of the item list; false for the keys the grid keeps.
bool InquiryWindow::Private::listKey(int key, QChar letter) {
    const int rows = list.rowCount();
    const int r = row();
    const QString first = rows > 0 ? code(0) : QString();
    switch (key) {
        case Qt::Key_PageUp:
            if (rows > 0 && first != listTopCode) readList(ListProcedure::PageUp, first, false, 0);
            return true;
        case Qt::Key_PageDown:
            readList(ListProcedure::PageDown, rows > 0 ? code(rows - 1) : QString(), false, -1);
            return true;
        case Qt::Key_Home:
            if (rows > 0 && first != listTopCode)
                readList(ListProcedure::Home, {}, false, 0);
            else
                highlight(dg1, 0);
            return true;
        case Qt::Key_End:
            readList(ListProcedure::End, {}, false, -1);
            return true;
        case Qt::Key_Up:
            if (r > 0)
                highlight(dg1, r - 1);
            else if (rows > 0 && first != listTopCode)
                readList(ListProcedure::UpAtTop, first, false, 0);
            return true;
        case Qt::Key_Down:
            if (r >= 0 && r < rows - 1)
                highlight(dg1, r + 1);
            else
                readList(ListProcedure::DownAtBottom, rows > 0 ? code(rows - 1) : QString(), false,
                         -1);
            return true;
        case Qt::Key_Escape:
            b1[CloseMode]->setFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            q->focusNextChild();
            return true;
        default:
            break;
    }
    const int m = modeOfLetter(letter);
    if (m < 0) return false;
    q->pressMode(m);
    return true;
}

void InquiryWindow::Private::showGrid(const QString& name, const Recordset& rows, int r) {
    QTableView* grid = grids.at(name);
    auto* model = static_cast<RecordsetModel*>(grid->model());
    model->setRecordset(&rows);
    // A column whose field the statement does not read (the tax marker without 355) is hidden.
    for (int c = 0; c < model->columnCount(); ++c) grid->setColumnHidden(c, !model->hasField(c));
    ApplyGridFormat(grid);
    if (shown && shown != grid) shown->hide();
    for (const auto& [index, frame] : frames) frame->hide();
    shown = grid;
    grid->setGeometry(dg1->geometry());
    grid->show();
    grid->raise();
    highlight(grid, r);
    grid->setFocus();
    currentGrid = name;
}

bool InquiryWindow::Private::purchaseKey(int key, int current) {
    const int rows = purchases.rowCount();
    if ((key == Qt::Key_Up && current > 0) || (key == Qt::Key_Down && current < rows - 1))
        return false;
    const int number = ListProcedure::keyNumber(key);
    if (number == 0) return false;
    const auto hinx = [this](int r) {
        return purchases.value(r, QStringLiteral("HINX")).toString();
    };
    QString anchor;
    if (number == ListProcedure::PageUp || number == ListProcedure::UpAtTop) anchor = hinx(0);
    if (number == ListProcedure::PageDown || number == ListProcedure::DownAtBottom)
        anchor = hinx(rows - 1);
    auto* grid = grids.at(QStringLiteral("DG3"));
    detach(grid);
    purchases.read(number, purchaseItem, anchor, false);
    static_cast<RecordsetModel*>(grid->model())->setRecordset(&purchases.rows().recordset());
    highlight(grid, ListProcedure::endsAtLastRow(number) ? purchases.rowCount() - 1 : 0);
    return true;
}

void InquiryWindow::Private::showLotStock() {
    QTableView* lots = grids.at(QStringLiteral("DG13"));
    const auto& pager = pagers.at(QStringLiteral("DG13"));
    const int r = lots->currentIndex().row();
    if (r < 0 || r >= pager->rowCount()) return;
    const Recordset& rs = pager->rows().recordset();
    const QString lot =
        rs.current().rows[r].value(rs.fieldIndex(QStringLiteral("VCOD1SEQ"))).toString();
    detach(dg14);
    dg14Source.commandText = HistoryStatements::lotStock(lot);
    RefreshData(dg14Source, Caption);
    static_cast<RecordsetModel*>(dg14->model())->setRecordset(&dg14Source.recordset());
    const QRect area = lots->geometry();
    dg14->move(std::max(0, area.right() - dg14->width()), area.top() + Twips::toPixels(300));
    dg14->show();
    dg14->raise();
    highlight(dg14, 0);
    dg14->setFocus();
}

InquiryFrame* InquiryWindow::Private::frameOf(int modeIndex) {
    if (const auto it = frames.find(modeIndex); it != frames.end()) return it->second;
    const InquiryFrames::Maker make = InquiryFrames::makerOf(modeIndex);
    if (!make) return nullptr;
    InquiryFrame* frame = make(q);
    frame->hide();
    QObject::connect(frame, &InquiryFrame::positionList, q,
                     [this](const QString& code, bool handover) {
                         q->positionList(code, handover);
                     });
    QObject::connect(frame, &InquiryFrame::finished, q, [this](InquiryFrame::Back back) {
        if (back == InquiryFrame::Back::ModeButton && currentMode >= 0)
            b1[currentMode]->setFocus();
        else
            dg1->setFocus();
    });
    frames[modeIndex] = frame;
    return frame;
}

void InquiryWindow::Private::startFrame(int modeIndex, InquiryFrame* frame, const QString& item) {
    if (shown) shown->hide();
    for (const auto& [index, other] : frames)
        if (other != frame) other->hide();
    InquiryFrame::Context context;
    context.item = item;
    const int r = row();
    context.itemName = item.isEmpty() ? QString()
                                      : list.value(r, QStringLiteral("INAME")).toString();
    context.field = [this, r](const QString& column) { return list.value(r, column); };
    context.listArea = dg1->geometry();
    context.listWarehouse = list.listWarehouse;
    context.warehouseFilter = list.warehouseFilter;
    context.zeroHidden = list.zeroHidden;
    context.stoppedShown = list.stoppedShown;
    if (frame->start(context)) currentMode = modeIndex;
}

// The keys of a history grid; false for the keys the grid keeps.
bool InquiryWindow::Private::gridKey(QTableView* grid, int key) {
    const QString name = grid->objectName();
    if (grid == dg14) {
        if (key != Qt::Key_Escape && !isEnter(key)) return false;
        // The lot grid takes the keyboard before the small grid goes, so that hiding it does
        // not hand the focus on to the list.
        grids.at(QStringLiteral("DG13"))->setFocus();
        dg14->hide();
        return true;
    }
    currentGrid = name;
    if (key == Qt::Key_Escape || isEnter(key)) {
        if (currentMode >= 0) b1[currentMode]->setFocus();
        return true;
    }
    const int current = grid->currentIndex().row();
    if (name == QLatin1String("DG3")) return purchaseKey(key, current);
    const auto pager = pagers.find(name);
    if (pager == pagers.end()) return false;
    if (name == QLatin1String("DG13") && key == Qt::Key_S) {
        showLotStock();
        return true;
    }
    auto* model = static_cast<RecordsetModel*>(grid->model());
    model->setRecordset(nullptr);
    const bool handled = pager->second->key(key, current);
    model->setRecordset(&pager->second->rows().recordset());
    highlight(grid, handled ? pager->second->row() : current);
    return handled;
}

InquiryWindow::InquiryWindow(QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(this)) {
    d->build();
}

InquiryWindow::~InquiryWindow() { DeleteChildWidgets(this); }

void InquiryWindow::open() {
    const Session& s = Session::current();
    const QString saved = UserSettings::get(QStringLiteral("ZQ2000"), QStringLiteral("F8"),
                                            QStringLiteral("Chk1"), QStringLiteral("0"));
    const int zero = saved.trimmed() == QLatin1String("1") ? 1 : 0;
    {
        const QSignalBlocker block(d->chk[0]);
        d->chk[0]->setChecked(zero == 1);
    }
    d->list.flag = ListProcedure::listFlag(s);
    d->list.listWarehouse = s.defaultStore;
    d->list.warehouseFilter = s.hasRight(934) ? QString() : s.defaultStore;
    // At opening both options carry the saved value of "零不顯示".
    d->list.zeroHidden = zero;
    d->list.stoppedShown = zero;
    d->readList(ListProcedure::Open, {}, true, 0);
    d->listTopCode = d->list.rowCount() > 0 ? d->code(0) : QString();
    d->chk[1]->setChecked(true);
    d->dg1->setFocus();
}

void InquiryWindow::positionList(const QString& itemCode, bool handover) {
    if (d->shown) d->shown->hide();
    d->readList(handover ? ListProcedure::Handover : ListProcedure::Position, itemCode, handover,
                -2);
    d->dg1->setFocus();
}

int InquiryWindow::currentMode() const { return d->currentMode; }
QString InquiryWindow::currentGrid() const { return d->currentGrid; }
QString InquiryWindow::listTopCode() const { return d->listTopCode; }

QString InquiryWindow::highlightedItem() const {
    const int r = d->row();
    return r >= 0 && r < d->list.rowCount() ? d->code(r) : QString();
}

void InquiryWindow::pressMode(int index) {
    if (index < 0 || index >= ModeCount || !d->b1[index]->isEnabled()) return;
    const Mode& m = mode(index);
    if (m.view == View::Close) {
        CloseChild(this);
        return;
    }
    const QString item = highlightedItem();
    if (m.itemBased && item.isEmpty()) return d->refuse(NoItem);
    if (m.right > 0 && !Session::current().hasRight(m.right))
        return d->refuse(m.rightMessage);
    if (InquiryFrame* frame = d->frameOf(index)) return d->startFrame(index, frame, item);
    if (!m.gridName.isEmpty()) {
        QTableView* grid = d->grids.at(m.gridName);
        // A grid that fails to show its first page steps aside for the list.
        detach(grid);
        grid->hide();
        if (d->shown == grid) d->shown = nullptr;
    }
    switch (m.view) {
        case View::Later:
            return d->refuse(NotYet);
        case View::Paged: {
            auto& pager = d->pagers[m.gridName];
            if (!pager) pager = std::make_unique<HistoryPager>(Caption);
            if (!pager->first(*m.grid, item, d->reader()))
                return d->refuse(m.emptyMessage);
            d->currentMode = index;
            d->showGrid(m.gridName, pager->rows().recordset(), pager->row());
            return;
        }
        case View::Purchases:
            d->purchases.flag = ListProcedure::historyFlag(Session::current());
            d->purchases.listWarehouse = d->list.listWarehouse;
            d->purchases.warehouseFilter = d->list.warehouseFilter;
            d->purchases.zeroHidden = d->list.zeroHidden;
            d->purchases.stoppedShown = d->list.stoppedShown;
            d->purchases.read(ListProcedure::Open, item, {}, false);
            if (d->purchases.rowCount() == 0) return d->refuse(m.emptyMessage);
            d->purchaseItem = item;
            d->currentMode = index;
            d->showGrid(m.gridName, d->purchases.rows().recordset(), d->purchases.rowCount() - 1);
            return;
        case View::WarehouseStock:
        case View::GoodsReceived:
        case View::SerialHoldings: {
            DataSource& source = *d->views.at(m.gridName);
            source.commandText = m.view == View::WarehouseStock ? HistoryViews::warehouseStock(item)
                                 : m.view == View::GoodsReceived
                                     ? HistoryViews::goodsReceived(item)
                                     : HistoryViews::serialHoldings(item);
            RefreshData(source, Caption);
            if (source.recordset().recordCount() == 0 && !m.emptyMessage.isEmpty())
                return d->refuse(m.emptyMessage);
            d->currentMode = index;
            d->showGrid(m.gridName, source.recordset(), 0);
            return;
        }
        case View::Close:
            return;
    }
}

bool InquiryWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::FocusIn && watched == d->dg1) {
        // Back on the list: the history grid or frame over it steps aside.
        if (d->shown) d->shown->hide();
        d->dg14->hide();
        for (const auto& [index, frame] : d->frames) frame->hide();
    }
    if (event->type() != QEvent::KeyPress || !widget) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    // Every key first makes the highlighted item the session's current item, so that the
    // other function-key windows see it.
    const QString item = highlightedItem();
    if (!item.isEmpty()) Session::current().currentItemCode = item;
    if (isFunctionKey(k)) {
        WindowRegistry::forwardKey(k, key->modifiers());
        return true;
    }
    // Alt and a mode's letter press that mode from any control of the window.
    if ((key->modifiers() & Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) {
        const int m = modeOfLetter(QChar(k));
        if (m >= 0) {
            pressMode(m);
            return true;
        }
    }
    const QChar letter = key->text().isEmpty() ? QChar() : key->text().front();
    if (watched == d->dg1) return d->listKey(k, letter);
    if (auto* grid = qobject_cast<QTableView*>(watched)) return d->gridKey(grid, k);
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        const int index = int(std::find(d->b1.begin(), d->b1.end(), button) - d->b1.begin());
        if (isEnter(k)) {
            pressMode(index);
            return true;
        }
        if (k == Qt::Key_Escape) {
            if (index == CloseMode)
                CloseChild(this);
            else
                d->b1[CloseMode]->setFocus();
            return true;
        }
        if (k == Qt::Key_Left || k == Qt::Key_Up) return focusNextPrevChild(false);
        if (k == Qt::Key_Right || k == Qt::Key_Down) return focusNextPrevChild(true);
    } else if (qobject_cast<QCheckBox*>(watched)) {
        if (isEnter(k)) return focusNextChild();
        if (k == Qt::Key_Escape) {
            d->b1[CloseMode]->setFocus();
            return true;
        }
    }
    const int m = modeOfLetter(letter);
    if (m < 0 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QWidget::eventFilter(watched, event);
    pressMode(m);
    return true;
}

void InquiryWindow::closeEvent(QCloseEvent* event) {
    UserSettings::save(QStringLiteral("ZQ2000"), QStringLiteral("F8"), QStringLiteral("Chk1"),
                       d->chk[0]->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    event->accept();
}

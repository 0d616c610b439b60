#include "AssetWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStackedLayout>
#include <QStyle>
#include <QTimer>

#include "AssetWindowPrivate.h"
#include "ButtonLook.h"
#include "Clock.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "Session.h"
#include "Twips.h"
#include "Values.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

namespace {
// What a line edit keeps free beside its text inside the frame: its own margins and the cursor.
constexpr int LineEditPadding = 8;

const char* const kFieldLabels[16] = {"財產編號",         "財產名稱",
                                      "會計科目",         "",
                                      "每期折舊會計科目", "",
                                      "累計折舊會計科目", "",
                                      "取得日期",         "取得原價",
                                      "預留殘值",         "耐用月數",
                                      "已攤提金額",       "每期攤提金額",
                                      "本期累計折舊金額", "剩餘使用價值"};
// Key filter and byte limit of each asset field; the name and computed fields are never open.
const FieldBox::Keys kFieldKeys[16] = {
    FieldBox::Keys::NoQuote, FieldBox::Keys::NoQuote, FieldBox::Keys::Digits,
    FieldBox::Keys::Any,     FieldBox::Keys::Digits,  FieldBox::Keys::Any,
    FieldBox::Keys::Digits,  FieldBox::Keys::Any,     FieldBox::Keys::Decimal,
    FieldBox::Keys::Decimal, FieldBox::Keys::Any,     FieldBox::Keys::Digits,
    FieldBox::Keys::Decimal, FieldBox::Keys::Any,     FieldBox::Keys::Any,
    FieldBox::Keys::Any};
const int kFieldLimits[16] = {10, 20, 7, 0, 7, 0, 7, 0, 9, 0, 0, 0, 0, 0, 0, 0};
const char* const kColumns[16] = {"acode", "aname", "acod1", "anam1", "acod2", "anam2",
                                  "acod3", "anam3", "adat1", "atota", "atot1", "ayear",
                                  "atot2", "atot3", "atot4", "atot5"};
const char* const kBrowseHelp =
    "[Home]最上一筆記錄 [End]最後一筆記錄 [PageUp]上一筆記錄 [PageDown]下一筆記錄";

QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    InstallButtonLook(b);
    return b;
}

QString valueText(const Recordset& rs, const char* column) {
    const int i = rs.fieldIndex(QString::fromLatin1(column));
    return i < 0 || !HasCurrentRow(rs) ? QString() : rs.field(i).toString();
}
}  // namespace

AssetWindow::AssetWindow(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>(this)) {
    setObjectName(QStringLiteral("FUA"));
    setWindowTitle(caption());
    d->buildLayout();
    d->connectControls();
}

AssetWindow::~AssetWindow() { DeleteChildWidgets(this); }

QString AssetWindow::caption() { return QStringLiteral("UA--固定資產管理作業"); }
int AssetWindow::editMode() const { return d->editMode; }
int AssetWindow::allocationMode() const { return d->allocMode; }
QString AssetWindow::currentCode() const { return d->currentCode; }

void AssetWindow::open() {
    d->editMode = Browse;
    d->allocMode = AllocationClosed;
    d->run(d->browse, QStringLiteral("SF_ZQ2K_ASSET_BROW 35,''"));
    d->applyAssetRights();
    d->showCurrentAsset();
    d->lockAssetFields();
    d->b1a[0]->setFocus();
}

void AssetWindow::closeEvent(QCloseEvent* event) {
    d->run(d->query, QStringLiteral("SF_ZQ2K_ASSET_CLEAN ") + workKey());
    event->accept();
}

void AssetWindow::keyPressEvent(QKeyEvent* event) {
    WindowRegistry::forwardKey(event->key(), event->modifiers());
}

AssetWindow::Private::Private(AssetWindow* window) : QObject(window), q(window) {
    for (DataSource* s : {&browse, &query, &work, &lines}) SetConnection(*s);
}

void AssetWindow::Private::buildLayout() {
    auto* grid = new QGridLayout(q);
    fr1 = new QFrame(q);
    fr2 = new QFrame(q);
    fr3 = new QFrame(q);
    fr4 = new QFrame(q);
    fr5 = new QFrame(q);
    const char* frames[] = {"Fr1", "Fr2", "Fr3", "Fr4", "Fr5"};
    QFrame* all[] = {fr1, fr2, fr3, fr4, fr5};
    for (int i = 0; i < 5; ++i) {
        all[i]->setObjectName(QString::fromLatin1(frames[i]));
        all[i]->setFrameShape(QFrame::StyledPanel);
    }

    // The asset fields: code, name, three accounts with their names, date and amounts.
    auto* fields = new QGridLayout(fr2);
    for (int i = 0; i < 16; ++i) {
        t2[i] = new FieldBox(fr2, kFieldKeys[i], kFieldLimits[i]);
        t2[i]->setObjectName(QStringLiteral("T2(%1)").arg(i));
        const bool nameBox = i == 3 || i == 5 || i == 7;
        if (i >= 9) t2[i]->setAlignment(Qt::AlignRight);
        if (i == 2 || i == 4 || i == 6) t2[i]->setStatusTip(QStringLiteral("[F2]會計科目清單"));
        if (nameBox) {
            fields->addWidget(t2[i], (i - 1) / 2 + 1, 2);
        } else {
            const int row = i <= 2 ? i : (i <= 8 ? i / 2 + 1 : i - 3);
            fields->addWidget(new QLabel(QString::fromUtf8(kFieldLabels[i]), fr2), row, 0);
            fields->addWidget(t2[i], row, 1);
        }
    }
    b2 = makeButton(QStringLiteral("部門攤提比例設定"), QStringLiteral("B2"), fr2);
    fields->addWidget(b2, 13, 2);

    // Sale and change: sold flag, sale date, approver, who changed it and when.
    auto* sale = new QGridLayout(fr3);
    ch3 = new QCheckBox(QStringLiteral("售出"), fr3);
    ch3->setObjectName(QStringLiteral("Ch3"));
    ch3->setEnabled(false);
    sale->addWidget(ch3, 0, 0);
    const char* saleLabels[] = {"售出日期", "核 准 人", "異動人員", "異動時間"};
    for (int i = 0; i < 4; ++i) {
        t3[i] = new FieldBox(fr3, i == 0 ? FieldBox::Keys::Decimal : FieldBox::Keys::Any,
                             i == 0 ? 9 : 0);
        t3[i]->setObjectName(QStringLiteral("T3(%1)").arg(i));
        t3[i]->setOpen(false);
        sale->addWidget(new QLabel(QString::fromUtf8(saleLabels[i]), fr3), i + 1, 0);
        sale->addWidget(t3[i], i + 1, 1);
    }

    // The allocation line editor, in the place of the sale frame.
    auto* editor = new QGridLayout(fr4);
    const char* lineLabels[] = {"部門", "", "比例(%)", "金額", "備註"};
    const FieldBox::Keys lineKeys[] = {FieldBox::Keys::NoQuote, FieldBox::Keys::Any,
                                       FieldBox::Keys::Decimal, FieldBox::Keys::Any,
                                       FieldBox::Keys::Any};
    const int lineLimits[] = {6, 0, 10, 10, 20};
    for (int i = 0; i < 5; ++i) {
        t4[i] = new FieldBox(fr4, lineKeys[i], lineLimits[i]);
        t4[i]->setObjectName(QStringLiteral("T4(%1)").arg(i));
        t4[i]->setOpen(false);
        if (i == 1) {
            editor->addWidget(t4[i], 0, 2);
            continue;
        }
        editor->addWidget(new QLabel(QString::fromUtf8(lineLabels[i]), fr4), i == 0 ? 0 : i - 1, 0);
        editor->addWidget(t4[i], i == 0 ? 0 : i - 1, 1);
    }
    t4[0]->setStatusTip(QStringLiteral("[F2]部門資料清單"));
    // The department name holds up to ten Chinese characters, all of them seen.
    const int frame = t4[1]->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, t4[1]);
    const QMargins text = t4[1]->textMargins();
    t4[1]->setMinimumWidth(t4[1]->fontMetrics().horizontalAdvance(QString(10, QChar(0x570B))) +
                           2 * frame + text.left() + text.right() + LineEditPadding);
    const char* lineCommands[] = {"A 新增", "E 修改", "D 刪除", "X 完成"};
    auto* lineButtons = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        b4a[i] =
            makeButton(QString::fromUtf8(lineCommands[i]), QStringLiteral("B4a(%1)").arg(i), fr4);
        lineButtons->addWidget(b4a[i]);
    }
    b4b[0] = makeButton(QStringLiteral("確定"), QStringLiteral("B4b(0)"), fr4);
    b4b[1] = makeButton(QStringLiteral("Esc 取消"), QStringLiteral("B4b(1)"), fr4);
    lineButtons->addWidget(b4b[0]);
    lineButtons->addWidget(b4b[1]);
    editor->addLayout(lineButtons, 4, 0, 1, 3);

    // Commands, and the find box in their place.
    auto* commands = new QHBoxLayout(fr1);
    const char* captions[] = {"A 新增", "E 修改", "D 刪除",  "F 查詢",
                              "S 售出", "R 覆核", "Esc 離開"};
    for (int i = 0; i < 7; ++i) {
        b1a[i] = makeButton(QString::fromUtf8(captions[i]), QStringLiteral("B1a(%1)").arg(i), fr1);
        if (i < 6) b1a[i]->setStatusTip(QString::fromUtf8(kBrowseHelp));
        commands->addWidget(b1a[i]);
    }
    b1b[0] = makeButton(QStringLiteral("[F3]儲存"), QStringLiteral("B1b(0)"), fr1);
    b1b[1] = makeButton(QStringLiteral("[F5]放棄"), QStringLiteral("B1b(1)"), fr1);
    commands->addWidget(b1b[0]);
    commands->addWidget(b1b[1]);
    auto* find = new QHBoxLayout(fr5);
    find->addWidget(new QLabel(QStringLiteral("財產編號"), fr5));
    t5 = new FieldBox(fr5, FieldBox::Keys::NoQuote, 10);
    t5->setObjectName(QStringLiteral("T5"));
    t5->setStatusTip(QStringLiteral("[F2]財產資料清單"));
    find->addWidget(t5);
    b5[0] = makeButton(QStringLiteral("確定"), QStringLiteral("B5(0)"), fr5);
    b5[1] = makeButton(QStringLiteral("Esc 取消"), QStringLiteral("B5(1)"), fr5);
    find->addWidget(b5[0]);
    find->addWidget(b5[1]);

    // The allocation grid and the two lookup grids.
    dgf1 = new QTableView(q);
    dgf1->setObjectName(QStringLiteral("DGF1"));
    dgf1Model = new RecordsetModel(
        {{QStringLiteral("部門代號"), QStringLiteral("ADENO"), {}},
         {QStringLiteral("部門名稱"), QStringLiteral("ADENA"), {}},
         {QStringLiteral("攤提比例(%)"), QStringLiteral("APERC"), QStringLiteral("#,##0.00")},
         {QStringLiteral("攤提金額"), QStringLiteral("ATOTA"), QStringLiteral("#,##0.00")},
         {QStringLiteral("備註"), QStringLiteral("ABACK"), {}}},
        dgf1);
    dgf1->setModel(dgf1Model);
    dgf1->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgf1->setSelectionMode(QAbstractItemView::SingleSelection);
    dgf1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgf1->verticalHeader()->hide();
    dgf1->horizontalHeader()->setStretchLastSection(true);
    ApplyGridFormat(dgf1);
    dgf2 = new LookupGrid(
        query, {QStringLiteral("DGF2"), QStringLiteral("代號"), QStringLiteral("名稱"), caption()},
        q);
    dgf3 = new LookupGrid(
        query,
        {QStringLiteral("DGF3"), QStringLiteral("財產編號"), QStringLiteral("財產名稱"), caption()},
        q);
    for (LookupGrid* g : {dgf2, dgf3}) g->resize(Twips::toPixels(4200), Twips::toPixels(2600));

    // The line editor lies exactly over the sale frame: both in one stack that is always as
    // large as the larger of them, so that showing either one never moves anything else.
    auto* saleOrLine = new QWidget(q);
    saleOrLine->setObjectName(QStringLiteral("SaleOrLine"));
    auto* stack = new QStackedLayout(saleOrLine);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(fr3);
    stack->addWidget(fr4);
    grid->addWidget(fr2, 0, 0, 2, 1);
    grid->addWidget(saleOrLine, 0, 1);
    grid->addWidget(dgf1, 1, 1);
    grid->addWidget(fr1, 2, 0, 1, 2);
    grid->addWidget(fr5, 2, 0, 1, 2);
    fr4->hide();
    fr5->hide();
    for (QPushButton* b : b1b) {
        b->hide();
        b->setEnabled(false);
    }
    b2->setEnabled(false);
    for (QPushButton* b : b4b) b->setEnabled(false);
    grid->setColumnStretch(1, 1);
    q->resize(Twips::toPixels(13800), Twips::toPixels(7000));
}

void AssetWindow::Private::connectControls() {
    for (FieldBox* b : t2) b->installEventFilter(this);
    for (FieldBox* b : t3) b->installEventFilter(this);
    for (FieldBox* b : t4) b->installEventFilter(this);
    t5->installEventFilter(this);
    dgf1->installEventFilter(this);
    for (auto* list :
         {&b1a[0], &b1a[1], &b1a[2], &b1a[3], &b1a[4], &b1a[5], &b1a[6], &b1b[0], &b1b[1], &b2,
          &b4a[0], &b4a[1], &b4a[2], &b4a[3], &b4b[0], &b4b[1], &b5[0], &b5[1]})
        (*list)->installEventFilter(this);

    const std::array<void (Private::*)(), 7> commands = {
        &Private::addAsset,  &Private::editAsset,   &Private::deleteAsset, &Private::findAsset,
        &Private::sellAsset, &Private::reviewAsset, &Private::exitWindow};
    for (int i = 0; i < 7; ++i) connect(b1a[i], &QPushButton::clicked, this, commands[i]);
    connect(b1b[0], &QPushButton::clicked, this, &Private::save);
    connect(b1b[1], &QPushButton::clicked, this, &Private::cancel);
    connect(b2, &QPushButton::clicked, this, &Private::openAllocation);
    connect(b5[0], &QPushButton::clicked, this, &Private::findOk);
    connect(b5[1], &QPushButton::clicked, this, &Private::finishFind);
    const std::array<void (Private::*)(), 4> lineCommands = {
        &Private::addLine, &Private::editLine, &Private::deleteLine, &Private::allocationDone};
    for (int i = 0; i < 4; ++i) connect(b4a[i], &QPushButton::clicked, this, lineCommands[i]);
    connect(b4b[0], &QPushButton::clicked, this, &Private::lineOk);
    connect(b4b[1], &QPushButton::clicked, this, &Private::endLineEdit);

    connect(dgf3, &LookupGrid::taken, this, &Private::assetTaken);
    connect(dgf3, &LookupGrid::escaped, this,
            [this] { (editMode == Adding && dgf3->owner() == t2[0] ? t2[0] : t5)->setFocus(); });
    connect(dgf2, &LookupGrid::taken, this, [this](const QString& code, const QString& name) {
        FieldBox* owner = lookupOwner == 40 ? t4[0] : t2[lookupOwner];
        FieldBox* nameBox = lookupOwner == 40 ? t4[1] : t2[lookupOwner + 1];
        owner->setText(code);
        nameBox->setText(name);
        owner->setFocus();
    });
    connect(dgf2, &LookupGrid::escaped, this,
            [this] { (lookupOwner == 40 ? t4[0] : t2[lookupOwner])->setFocus(); });
    connect(dgf1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (allocMode != AllocationList || !current.isValid()) return;
                lines.recordset().setBookmark(current.row());
                showAllocationLine();
            });
}

void AssetWindow::Private::run(DataSource& source, const QString& text) {
    source.commandText = text;
    RefreshData(source, caption());
}

AssetRules::ProcedureAnswer AssetWindow::Private::call(const QString& text) {
    run(query, text);
    return AssetRules::ReadAnswer(query.recordset());
}

void AssetWindow::Private::focusLater(QWidget* w) {
    QTimer::singleShot(0, w, [w] { w->setFocus(); });
}

int AssetWindow::Private::indexOf(const std::array<FieldBox*, 16>& boxes, QObject* o) const {
    for (int i = 0; i < 16; ++i)
        if (boxes[i] == o) return i;
    return -1;
}

std::array<QString, 16> AssetWindow::Private::fieldTexts() const {
    std::array<QString, 16> texts;
    for (int i = 0; i < 16; ++i) texts[i] = t2[i]->text();
    return texts;
}

// Window procedures

void AssetWindow::Private::applyAssetRights() {
    const Session& s = Session::current();
    b1a[1]->setEnabled(s.hasRight(963));
    b1a[2]->setEnabled(s.hasRight(964));
    b1a[4]->setEnabled(s.hasRight(968));
    b1a[5]->setEnabled(s.hasRight(965));
    for (int i : {0, 3, 6}) b1a[i]->setEnabled(true);
}

void AssetWindow::Private::bindLines(const Recordset* recordset, bool enabled) {
    dgf1Model->setRecordset(recordset);
    dgf1->setEnabled(enabled);
}

void AssetWindow::Private::showCurrentAsset() {
    if (editMode != Browse) return;
    const Recordset& rs = browse.recordset();
    browseLines = Recordset({rs.resultSet(1)});
    if (!HasCurrentRow(rs)) {
        clearAssetFields();
        bindLines(&browseLines, false);
        for (int i = 1; i <= 5; ++i) b1a[i]->setEnabled(false);
        return;
    }
    loadAssetFields();
    bindLines(&browseLines, true);
    const Session& s = Session::current();
    if (!t3[1]->text().trimmed().isEmpty()) {
        b1a[1]->setEnabled(false);
        b1a[2]->setEnabled(false);
    } else {
        b1a[1]->setEnabled(s.hasRight(963));
        b1a[2]->setEnabled(s.hasRight(964));
        b1a[4]->setEnabled(false);
    }
    if (ch3->isChecked())
        for (int i : {1, 2, 4, 5}) b1a[i]->setEnabled(false);
}

void AssetWindow::Private::loadAssetFields() {
    const Recordset& rs = browse.recordset();
    for (int i = 0; i < 16; ++i) {
        const QString v = valueText(rs, kColumns[i]);
        t2[i]->setText(i >= 12 ? FormatAmount(v) : (i >= 9 ? FormatWhole(v) : v));
    }
    const char* saleColumns[] = {"adat2", "ause3", "ause2", "atim2"};
    for (int i = 0; i < 4; ++i) t3[i]->setText(valueText(rs, saleColumns[i]));
    ch3->setChecked(ToNumber(valueText(rs, "asell")) == 1);
}

void AssetWindow::Private::storeAssetFields() {
    Recordset& rs = work.recordset();
    rs.setField(QStringLiteral("lcode"), Session::current().workstationCode);
    for (int i : {0, 1, 2, 4, 6, 8}) rs.setField(QString::fromLatin1(kColumns[i]), t2[i]->text());
    for (int i = 9; i <= 15; ++i)
        rs.setField(QString::fromLatin1(kColumns[i]), ToNumber(t2[i]->text()));
    rs.setField(QStringLiteral("asell"), ch3->isChecked() ? 1 : 0);
    rs.setField(QStringLiteral("adat2"), t3[0]->text());
    rs.setField(QStringLiteral("ause3"), t3[1]->text());
    rs.setField(QStringLiteral("ause2"), t3[2]->text());
    rs.setField(QStringLiteral("atim2"), t3[3]->text());
    if (editMode == Adding) rs.setField(QStringLiteral("ause1"), t3[1]->text());
}

void AssetWindow::Private::clearAssetFields() {
    for (FieldBox* b : t2) b->clear();
    for (FieldBox* b : t3) b->clear();
}

void AssetWindow::Private::enableAssetFields() {
    if (editMode != Adding && editMode != Editing) return;
    for (int i : {0, 1, 2, 4, 6, 8, 9, 10, 11, 12})
        if (i != 0 || editMode == Adding) t2[i]->setOpen(true);
}

void AssetWindow::Private::lockAssetFields() {
    for (FieldBox* b : t2) b->setOpen(false);
}

// Keys and leaving the boxes

bool AssetWindow::Private::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto* box = qobject_cast<FieldBox*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (box && box->isOpen() && !reacting && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, [this, box] { leaveBox(box); });
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (qobject_cast<FieldBox*>(watched)) return boxKey(watched, key);
    if (auto* b = qobject_cast<QPushButton*>(watched)) return buttonKey(b, key);
    if (watched == dgf1) return gridKey(key);
    return false;
}

bool AssetWindow::Private::boxKey(QObject* watched, QKeyEvent* key) {
    const int k = key->key();
    const int i2 = indexOf(t2, watched);
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    const auto runFrom = [this](QPushButton* button, void (Private::*command)()) {
        button->setFocus();
        QApplication::processEvents();
        (this->*command)();
        return true;
    };
    if (i2 >= 0) {
        if (enter) return q->focusNextPrevChild(true);
        if (k == Qt::Key_Escape) {
            if (i2 == 0) return runFrom(b1b[1], &Private::cancel);
            return q->focusNextPrevChild(false);
        }
        if (k == Qt::Key_F2 && i2 == 0) {
            openAssetLookup(t2[0]);
            return true;
        }
        if (k == Qt::Key_F2 && (i2 == 2 || i2 == 4 || i2 == 6)) {
            openAccountLookup(i2);
            return true;
        }
        if (k == Qt::Key_F3) return runFrom(b1b[0], &Private::save);
        if (k == Qt::Key_F5) return runFrom(b1b[1], &Private::cancel);
        return false;
    }
    if (std::find(t3.begin(), t3.end(), watched) != t3.end()) {
        if (enter) return q->focusNextPrevChild(true);
        if (k == Qt::Key_Escape) return q->focusNextPrevChild(false);
        if (k == Qt::Key_F3) return runFrom(b1b[0], &Private::save);
        if (k == Qt::Key_F4) return runFrom(b1b[1], &Private::cancel);
        return false;
    }
    if (watched == t5) {
        if (enter) return q->focusNextPrevChild(true);
        if (k == Qt::Key_Escape) return runFrom(b5[1], &Private::finishFind);
        if (k == Qt::Key_F2) {
            openAssetLookup(t5);
            return true;
        }
        return false;
    }
    // The allocation line boxes.
    if (enter) return q->focusNextPrevChild(true);
    if (k == Qt::Key_Escape) {
        if (watched == t4[0]) {
            endLineEdit();
            return true;
        }
        return q->focusNextPrevChild(false);
    }
    if (k == Qt::Key_F2 && watched == t4[0]) {
        openDepartmentLookup();
        return true;
    }
    return false;
}

bool AssetWindow::Private::buttonKey(QPushButton* button, QKeyEvent* key) {
    const int k = key->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        button->click();
        return true;
    }
    const auto letter = [&](const char* letters, auto& buttons) {
        const int at = int(QByteArray(letters).indexOf(char(k)));
        if (at < 0 || k > 0xFF) return false;
        if (buttons[at]->isEnabled()) {
            buttons[at]->setFocus();
            buttons[at]->click();
        }
        return true;
    };
    if (std::find(b1a.begin(), b1a.end(), button) != b1a.end()) {
        if (letter("AEDFSR", b1a)) return true;
        switch (k) {
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                browseTo(k);
                return true;
            case Qt::Key_Escape:
                b1a[6]->setFocus();
                exitWindow();
                return true;
            default:
                break;
        }
    } else if (std::find(b4a.begin(), b4a.end(), button) != b4a.end()) {
        if (letter("AEDX", b4a)) return true;
        if (k == Qt::Key_Escape) {
            if (b4a[3]->isEnabled()) allocationDone();
            return true;
        }
    } else if (k == Qt::Key_Escape) {
        if (button == b5[0] || button == b5[1])
            finishFind();
        else if (button == b4b[0] || button == b4b[1])
            endLineEdit();
        return true;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
        WindowRegistry::forwardKey(k, key->modifiers());
        return true;
    }
    return false;
}

bool AssetWindow::Private::gridKey(QKeyEvent* key) {
    const int k = key->key();
    if (editMode != Browse || allocMode != AllocationClosed) {
        if (allocMode == AllocationList && (k == Qt::Key_Return || k == Qt::Key_Escape)) {
            b4a[0]->setFocus();
            return true;
        }
        return false;
    }
    const int at = int(QByteArray("AEDFSR").indexOf(char(k)));
    if (at >= 0 && k <= 0xFF) {
        if (b1a[at]->isEnabled()) {
            b1a[at]->setFocus();
            b1a[at]->click();
        }
        return true;
    }
    switch (k) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Escape:
            b1a[0]->setFocus();
            return true;
        case Qt::Key_Home:
            dgf1->selectRow(0);
            return true;
        case Qt::Key_End:
            dgf1->selectRow(dgf1Model->rowCount() - 1);
            return true;
        default:
            return false;
    }
}

void AssetWindow::Private::leaveBox(FieldBox* box) {
    if (!q->isVisible()) return;
    reacting = true;
    const int i = indexOf(t2, box);
    if (i == 2 || i == 4 || i == 6)
        leaveAccountBox(i);
    else if (i == 8)
        leaveAcquisitionDate();
    else if (i == 9 || i == 10 || i == 12) {
        box->setText(i == 12 ? FormatAmount(box->text()) : FormatWhole(box->text()));
        recompute(true);
    } else if (i == 11) {
        box->setText(FormatWhole(box->text()));
        recompute(false);
    } else if (box == t3[0])
        leaveSaleDate();
    else if (box == t4[0])
        leaveDepartment();
    else if (box == t4[2])
        leaveShare();
    reacting = false;
}

void AssetWindow::Private::leaveAccountBox(int i) {
    const QString code = t2[i]->text().trimmed();
    if (code.isEmpty() || dgf2->isVisible()) {
        t2[i + 1]->clear();
        return;
    }
    run(query, QStringLiteral("Select acode,anote From Acco Where Acode = ") + SqlLiteral(code) +
                   QStringLiteral(" Order By acode"));
    const Recordset& rs = query.recordset();
    t2[i]->setText(HasCurrentRow(rs) ? valueText(rs, "acode") : QString());
    t2[i + 1]->setText(HasCurrentRow(rs) ? valueText(rs, "anote") : QString());
}

void AssetWindow::Private::leaveAcquisitionDate() {
    run(query, QStringLiteral("SELECT jdate FROM JE"));
    const QString closing = valueText(query.recordset(), "jdate");
    if (!IsRocDate(t2[8]->text())) {
        t2[8]->clear();
        return;
    }
    t2[8]->setText(DateToRoc(RocToDate(t2[8]->text())));
    if (t2[8]->text().trimmed() < closing &&
        Dialogs::ask(QStringLiteral("取得日期小於關帳日期,是否繼續?"), Dialogs::Buttons::YesNo,
                     Dialogs::Answer::No) == Dialogs::Answer::No)
        b1b[1]->setFocus();
}

void AssetWindow::Private::leaveSaleDate() {
    FieldBox* date = t3[0];
    date->setText(IsRocDate(date->text()) ? DateToRoc(RocToDate(date->text())) : QString());
    if (CompStr(t2[8]->text(), date->text())) {
        Dialogs::showMessage(QStringLiteral("售出日期不可小於取得日期!"));
        date->setFocus();
    }
}

void AssetWindow::Private::recompute(bool remainingToo) {
    const auto amounts =
        AssetRules::Derive(t2[9]->text(), t2[10]->text(), t2[12]->text(), t2[11]->text());
    if (amounts.perPeriod) t2[13]->setText(*amounts.perPeriod);
    if (remainingToo) t2[15]->setText(amounts.remaining);
}

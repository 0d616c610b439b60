#include "BoardFrame.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "BoardBroadcast.h"
#include "BoardReport.h"
#include "BoardRules.h"
#include "ButtonLook.h"
#include "Clock.h"
#include "DataSource.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "FieldBox.h"
#include "FrameParts.h"
#include "NoticeStatements.h"
#include "RecordsetModel.h"
#include "Session.h"
#include "StatusText.h"
#include "Values.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"

using namespace BoardRules;

namespace {
const QString Place = QStringLiteral("佈告欄");
const char* const FieldCaptions[FieldCount] = {"輸入日期", "開始日期", "結束日期",
                                               "公告人員", "顯示內容", "部門"};
const char* const ButtonCaptions[ButtonCount] = {"A 新增",   "E 修改",     "D 刪除", "C 複製",
                                                 "P 列印",   "L 全部顯示", "儲存",   "放棄",
                                                 "Esc 離開", "儲存 8VN"};
const QString ListToday = QStringLiteral("L 顯示區間");
const QString TextHint = QStringLiteral("可輸入英數80個字,中文40個字!");

using FrameParts::isEnter;
}  // namespace

struct BoardFrame::Private {
    explicit Private(BoardFrame* frame) : q(frame) {}

    BoardFrame* q;
    DataSource list;     // the notices listed
    DataSource scratch;  // the checks and the calls
    QTableView* dg12 = nullptr;
    RecordsetModel* model = nullptr;
    std::array<FieldBox*, FieldCount> t4{};
    std::array<QPushButton*, ButtonCount> b5{};
    QLabel* progress = nullptr;
    Editing editing = Editing::None;
    bool showAll = false;
    QString editSeq;           // the notice being changed
    Fields editListed;         // ... as it was listed
    QString copiedDepartment;  // the department of the notice a copy was made from

    void build();
    bool hasRow() const { return HasCurrentRow(list.recordset()); }
    Fields fields() const;
    void read();
    void rowChanged();
    void applyButtons();
    void focusSomewhere();
    void holdFocus();
    Fields listedFields() const;
    bool stillAsListed(const QString& seq, const Fields& listed);
    void beginEdit(Editing mode);
    void endEdit();
    bool leaveField(int index);
    void save();
    void remove();
    void broadcast();
    void close();
    bool fieldKey(int index, int key);
    bool buttonKey(int index, int key);
    bool accelerator(QChar letter);
    void stepButtons(int from, int step);
};

void BoardFrame::Private::build() {
    q->setObjectName(QStringLiteral("Fr4"));
    q->setFrameShape(QFrame::StyledPanel);
    q->setAutoFillBackground(true);
    auto* layout = new QGridLayout(q);

    dg12 = FrameParts::makeGrid(q, QStringLiteral("DG12"),
                                {{QStringLiteral("開始日期"), QStringLiteral("FBEGD"), {}},
                                 {QStringLiteral("結束日期"), QStringLiteral("FEND"), {}},
                                 {QStringLiteral("部門"), QStringLiteral("FDEPNO"), {}},
                                 {QStringLiteral("公告人員"), QStringLiteral("FSNAM"), {}},
                                 {QStringLiteral("顯示內容"), QStringLiteral("FDATA"), {}}},
                                q);
    model = static_cast<RecordsetModel*>(dg12->model());
    QObject::connect(dg12->selectionModel(), &QItemSelectionModel::currentRowChanged, q,
                     [this](const QModelIndex& current) {
                         if (current.isValid()) list.recordset().setBookmark(current.row());
                         rowChanged();
                     });
    layout->addWidget(dg12, 0, 0, FieldCount + 2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(2, 2);

    for (int i = 0; i < FieldCount; ++i) {
        auto* label = new QLabel(QString::fromUtf8(FieldCaptions[i]), q);
        label->setObjectName(QStringLiteral("L4(%1)").arg(i));
        t4[i] = new FieldBox(q, i == 5 ? FieldBox::Keys::NoQuote : FieldBox::Keys::Any,
                             i == 4 ? TextBytes : 0);
        t4[i]->setObjectName(QStringLiteral("T4(%1)").arg(i));
        t4[i]->setOpen(false);
        t4[i]->installEventFilter(q);
        layout->addWidget(label, i, 1);
        layout->addWidget(t4[i], i, 2);
    }
    t4[4]->setStatusTip(TextHint);
    t4[4]->setToolTip(TextHint);
    auto* hint = new QLabel(TextHint, q);
    layout->addWidget(hint, FieldCount, 1, 1, 2);
    progress = new QLabel(q);
    progress->setObjectName(QStringLiteral("L6"));
    progress->setTextFormat(Qt::PlainText);
    layout->addWidget(progress, FieldCount + 1, 1, 1, 2);

    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(ButtonCaptions[i]), q);
        b->setObjectName(QStringLiteral("B5(%1)").arg(i));
        b->setAutoDefault(false);
        InstallButtonLook(b);
        b->installEventFilter(q);
        QObject::connect(b, &QPushButton::clicked, q, [this, i] { q->press(i); });
        buttons->addWidget(b);
        b5[i] = b;
    }
    layout->addLayout(buttons, FieldCount + 2, 0, 1, 3);
    SetConnection(list);
    SetConnection(scratch);
}

Fields BoardFrame::Private::fields() const {
    Fields f;
    for (int i = 0; i < FieldCount; ++i) f[i] = t4[i]->text().trimmed();
    return f;
}

void BoardFrame::Private::read() {
    holdFocus();
    const Session& s = Session::current();
    model->setRecordset(nullptr);
    list.commandText = showAll ? NoticeStatements::all(s)
                               : NoticeStatements::validOn(s, DateToRoc(Clock::today()));
    RefreshData(list, Place);
    model->setRecordset(&list.recordset());
    if (model->rowCount() > 0) {
        dg12->setCurrentIndex(model->index(0, 0));
        dg12->selectRow(0);
    }
    rowChanged();
}

Fields BoardFrame::Private::listedFields() const {
    Fields f;
    if (hasRow())
        for (int i = 0; i < FieldCount; ++i)
            f[i] = list.recordset().field(QLatin1String(Columns[i])).toString().trimmed();
    return f;
}

void BoardFrame::Private::rowChanged() {
    if (editing != Editing::None) return;
    const Fields f = listedFields();
    for (int i = 0; i < FieldCount; ++i) t4[i]->setText(f[i]);
    applyButtons();
}

void BoardFrame::Private::applyButtons() {
    const Buttons states = buttons(Session::current(), hasRow(), editing);
    for (int i = 0; i < ButtonCount; ++i) {
        b5[i]->setEnabled(states[i].enabled);
        b5[i]->setVisible(states[i].visible);
    }
    b5[ListToggle]->setText(showAll ? ListToday : QString::fromUtf8(ButtonCaptions[ListToggle]));
}

// Before a button or the list is disabled under the keyboard: the frame holds it, so that Qt
// does not pass it on to a control outside the board, until focusSomewhere places it.
void BoardFrame::Private::holdFocus() {
    if (q->isAncestorOf(QApplication::focusWidget())) q->setFocus();
}

// Another workstation may have changed or deleted the notice since it was listed: the change
// or deletion is refused and nothing is written.
bool BoardFrame::Private::stillAsListed(const QString& seq, const Fields& listed) {
    scratch.commandText = storedNotice(seq);
    RefreshData(scratch, Place);
    bool same = HasRecords(scratch);
    for (int i = 0; same && i < FieldCount; ++i)
        same = scratch.recordset().field(QLatin1String(Columns[i])).toString().trimmed() ==
               listed[i];
    if (!same) Dialogs::showMessage(NoticeChangedElsewhere);
    return same;
}

void BoardFrame::Private::focusSomewhere() {
    if (editing != Editing::None) return t4[0]->setFocus();
    if (hasRow()) return dg12->setFocus();
    for (int i : {int(Add), int(ListToggle), int(Close)})
        if (b5[i]->isEnabled()) return b5[i]->setFocus();
}

void BoardFrame::Private::beginEdit(Editing mode) {
    editing = mode;
    editSeq = mode == Editing::Edit ? list.recordset().field(QStringLiteral("FSEQ")).toString()
                                    : QString();
    editListed = listedFields();
    copiedDepartment = t4[5]->text();
    if (mode == Editing::Add) {
        for (FieldBox* f : t4) f->clear();
        t4[0]->setText(DateToRoc(Clock::today()));
    }
    // The first field takes the keyboard before the list and the buttons go out of use under it.
    for (FieldBox* f : t4) f->setOpen(true);
    t4[0]->setFocus();
    dg12->setEnabled(false);
    applyButtons();
}

void BoardFrame::Private::endEdit() {
    holdFocus();
    editing = Editing::None;
    for (FieldBox* f : t4) f->setOpen(false);
    dg12->setEnabled(true);
}

bool BoardFrame::Private::leaveField(int index) {
    FieldBox* f = t4[index];
    if (index == 1 || index == 2) f->setText(normalisedDate(f->text()));
    if (index == 3) {
        scratch.commandText = personCount(f->text().trimmed());
        RefreshData(scratch, Place);
        if (scratch.recordset().field(0).toLongLong() == 0) {
            Dialogs::showMessage(QStringLiteral("查無此人"));
            f->setFocus();
            return false;
        }
    }
    if (index == 5 && !f->text().trimmed().isEmpty()) {
        scratch.commandText = departmentRow(f->text().trimmed());
        RefreshData(scratch, Place);
        if (!HasRecords(scratch)) {
            Dialogs::showMessage(QStringLiteral("查無此部門代號"));
            f->setFocus();
            return false;
        }
    }
    return true;
}

void BoardFrame::Private::save() {
    const Fields f = fields();
    const auto failed = saveCheck(editing, f, copiedDepartment, [&] {
        scratch.commandText = identicalNotice(f);
        RefreshData(scratch, Place);
        return HasRecords(scratch);
    });
    if (failed) {
        Dialogs::showMessage(failed->message);
        t4[failed->field]->setFocus();
        return;
    }
    if (editing == Editing::Edit && !stillAsListed(editSeq, editListed)) {
        // The fields stay as typed; 放棄 (F5) lists the notices again.
        t4[0]->setFocus();
        return;
    }
    const QString user = Session::current().userCode;
    scratch.commandText = editing == Editing::Edit ? editCall(user, editSeq, f) : addCall(user, f);
    RefreshData(scratch, Place);
    const ProcedureAnswer answer = ReadAnswer(scratch.recordset());
    if (answer.status > 0) {
        // The server refused: the fields stay as typed.
        Dialogs::showMessage(answer.text);
        t4[0]->setFocus();
        return;
    }
    endEdit();
    read();
    focusSomewhere();
}

void BoardFrame::Private::remove() {
    const Recordset& rs = list.recordset();
    const QString question = QStringLiteral("確定刪除內容為:") +
                             rs.field(QStringLiteral("FDATA")).toString().trimmed() +
                             QStringLiteral("的公告資料");
    if (Dialogs::ask(question, Dialogs::Buttons::YesNo, Dialogs::Answer::No) ==
        Dialogs::Answer::Yes) {
        const QString seq = rs.field(QStringLiteral("FSEQ")).toString();
        if (stillAsListed(seq, listedFields())) {
            scratch.commandText = deleteCall(seq);
            RefreshData(scratch, Place);
            const ProcedureAnswer answer = ReadAnswer(scratch.recordset());
            if (answer.status > 0) Dialogs::showMessage(answer.text);
        }
        read();
    }
    focusSomewhere();
}

void BoardFrame::Private::broadcast() {
    const Session& s = Session::current();
    const int done =
        BoardBroadcast::send(s.group.companies, s.userCode, fields(), [this](const QString& text) {
            progress->setText(text);
            StatusText::set(text);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    StatusText::clear();
    Dialogs::showMessage(BoardBroadcast::summary(done));
    b5[Broadcast]->setFocus();
}

void BoardFrame::Private::close() {
    progress->clear();
    q->hide();
    emit q->finished(Back::List);
}

bool BoardFrame::Private::fieldKey(int index, int key) {
    if (isEnter(key) || key == Qt::Key_Tab) {
        if (leaveField(index))
            (index + 1 < FieldCount ? static_cast<QWidget*>(t4[index + 1]) : b5[Save])->setFocus();
        return true;
    }
    if (key == Qt::Key_Escape || key == Qt::Key_Backtab) {
        (index > 0 ? static_cast<QWidget*>(t4[index - 1]) : b5[Cancel])->setFocus();
        return true;
    }
    return false;
}

// Left and Up, Right and Down walk the buttons that can be pressed.
void BoardFrame::Private::stepButtons(int from, int step) {
    for (int n = 1; n < ButtonCount; ++n) {
        QPushButton* b = b5[(from + step * n + ButtonCount) % ButtonCount];
        if (b->isEnabled() && b->isVisible()) return b->setFocus();
    }
}

bool BoardFrame::Private::buttonKey(int index, int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            q->press(index);
            return true;
        case Qt::Key_Escape:
            if (editing != Editing::None)
                t4[FieldCount - 1]->setFocus();
            else if (index == Close)
                close();
            else
                b5[Close]->setFocus();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Backtab:
            stepButtons(index, -1);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Tab:
            stepButtons(index, 1);
            return true;
        default:
            return false;
    }
}

bool BoardFrame::Private::accelerator(QChar letter) {
    if (editing != Editing::None) return false;
    for (int i : {int(Add), int(Edit), int(Delete), int(Copy), int(Print), int(ListToggle)})
        if (letter.toUpper() == b5[i]->text().front()) {
            q->press(i);
            return true;
        }
    return false;
}

BoardFrame::BoardFrame(QWidget* parent) : InquiryFrame(parent), d(std::make_unique<Private>(this)) {
    d->build();
}

BoardFrame::~BoardFrame() { DeleteChildWidgets(this); }

bool BoardFrame::start(const Context& context) {
    // Over the item list and the panel beside it; the mode buttons stay in sight.
    const QRect area = context.listArea;
    const int width = parentWidget() ? parentWidget()->width() - 2 * area.left() : area.width();
    setGeometry(area.left(), area.top(), std::max(width, area.width()), area.height());
    d->endEdit();
    d->showAll = false;
    d->progress->clear();
    show();
    raise();
    d->read();
    d->focusSomewhere();
    return true;
}

void BoardFrame::press(int index) {
    if (index < 0 || index >= ButtonCount || !d->b5[index]->isEnabled() ||
        !d->b5[index]->isVisible())
        return;
    switch (index) {
        case Add:
            return d->beginEdit(Editing::Add);
        case Edit:
            return d->beginEdit(Editing::Edit);
        case Copy:
            return d->beginEdit(Editing::Copy);
        case Delete:
            return d->remove();
        case Print:
            BoardReport::print(d->list.recordset().current());
            return d->b5[Print]->setFocus();
        case ListToggle:
            d->showAll = !d->showAll;
            d->read();
            return d->b5[ListToggle]->setFocus();
        case Save:
            return d->save();
        case Cancel:
            d->endEdit();
            d->read();
            return d->focusSomewhere();
        case Close:
            return d->close();
        case Broadcast:
            return d->broadcast();
        default:
            return;
    }
}

bool BoardFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return InquiryFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
        // An entry's own keys: F3 saves, F5 gives up; the others are the suite's.
        if (d->editing != Editing::None && (k == Qt::Key_F3 || k == Qt::Key_F5))
            press(k == Qt::Key_F3 ? Save : Cancel);
        else
            WindowRegistry::forwardKey(k, key->modifiers());
        return true;
    }
    const QChar letter = key->text().isEmpty() ? QChar() : key->text().front();
    if (watched == d->dg12) {
        if (k == Qt::Key_Escape) {
            d->b5[Close]->setFocus();
            return true;
        }
        if (isEnter(k) || k == Qt::Key_Tab) {
            d->stepButtons(ButtonCount - 1, 1);
            return true;
        }
        return d->accelerator(letter);
    }
    for (int i = 0; i < FieldCount; ++i)
        if (watched == d->t4[i]) return d->fieldKey(i, k);
    for (int i = 0; i < ButtonCount; ++i)
        if (watched == d->b5[i]) return d->buttonKey(i, k) || d->accelerator(letter);
    return InquiryFrame::eventFilter(watched, event);
}

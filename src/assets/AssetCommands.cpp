// The commands of the asset window: browse, add, edit, delete, find, sell, review, save,
// cancel and exit.
#include <QApplication>
#include <algorithm>

#include "AssetWindowPrivate.h"
#include "Clock.h"
#include "DbAccess.h"
#include "Dialogs.h"
#include "LookupSource.h"
#include "Session.h"
#include "SqlLiteral.h"
#include "Values.h"
#include "WindowHelpers.h"

namespace {
using Dialogs::Answer;
using Dialogs::Buttons;

QString nowText() { return Clock::now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")); }
QString quotedCode(const QString& code) {
    return QStringLiteral("[ ") + code + QStringLiteral(" ]");
}
}  // namespace

using P = AssetWindow::Private;

void P::browseTo(int key) {
    // The browse modes are the key codes of Home, End, PgUp and PgDn.
    const int mode = key == Qt::Key_Home     ? 36
                     : key == Qt::Key_End    ? 35
                     : key == Qt::Key_PageUp ? 33
                                             : 34;
    run(browse,
        QStringLiteral("SF_ZQ2K_ASSET_BROW %1,").arg(mode) + SqlLiteral(t2[0]->text().trimmed()));
    applyAssetRights();
    showCurrentAsset();
}

// Shows CurrentCode in browse mode.
void P::browseCode() {
    run(browse, QStringLiteral("SF_ZQ2K_ASSET_BROW 99,") + SqlLiteral(currentCode));
}

void P::returnToBrowse() {
    for (QPushButton* b : b1a) b->show();
    applyAssetRights();
    const int mode = editMode;
    editMode = Browse;
    allocMode = AllocationClosed;
    b2->setEnabled(false);
    for (QPushButton* b : b1b) {
        b->hide();
        b->setEnabled(false);
    }
    lockAssetFields();
    browseCode();
    showCurrentAsset();
    // The command that was used, unless the asset shown now does not allow it (a sold asset
    // cannot be sold again).
    focusCommand(mode == Adding ? b1a[0] : (mode == Editing ? b1a[1] : b1a[4]));
}

void P::focusCommand(QPushButton* preferred) {
    const auto usable = [this](QPushButton* b) { return b->isEnabled() && b->isVisibleTo(q); };
    if (!usable(preferred)) {
        const auto first = std::find_if(b1a.begin(), b1a.end(), usable);
        if (first == b1a.end()) return;
        preferred = *first;
    }
    preferred->setFocus();
}

void P::openWorkRows() {
    run(work, QStringLiteral("Select * From Asset_Temp Where Lcode = ") + workKey());
    refreshLines();
    bindLines(&lines.recordset(), false);
    for (QPushButton* b : b1b) {
        b->show();
        b->setEnabled(true);
    }
    b2->setEnabled(true);
    for (QPushButton* b : b1a) {
        b->setEnabled(false);
        b->hide();
    }
}

void P::addAsset() {
    currentCode = t2[0]->text().trimmed();
    editMode = Adding;
    tempRowAdded = false;
    clearAssetFields();
    enableAssetFields();
    t2[8]->setText(DateToRoc(Clock::today()));
    t2[14]->setText(FormatAmount(0));
    t3[2]->setText(Session::current().staffName);
    t3[3]->setText(nowText());
    ch3->setChecked(false);
    openWorkRows();
    t2[0]->setFocus();
}

void P::editAsset() {
    currentCode = t2[0]->text().trimmed();
    const auto answer =
        call(QStringLiteral("SF_ZQ2K_ASSET_COPY ") + workKey() + ',' + SqlLiteral(currentCode));
    if (answer.status != 0) {
        Dialogs::showMessage(answer.text);
        b1a[1]->setFocus();
        return;
    }
    editMode = Editing;
    enableAssetFields();
    t3[2]->setText(Session::current().staffName);
    t3[3]->setText(nowText());
    openWorkRows();
    t2[1]->setFocus();
}

void P::deleteAsset() {
    currentCode = t2[0]->text().trimmed();
    if (Dialogs::ask(QStringLiteral("確定要刪除財產編號") + quotedCode(currentCode) + '?',
                     Buttons::OkCancel, Answer::Cancel) != Answer::Ok)
        return;
    const auto answer =
        call(QStringLiteral("SF_ZQ2K_ASSET_DEL ") + workKey() + ',' + SqlLiteral(currentCode));
    if (answer.status != 0) {
        Dialogs::showMessage(answer.text);
        b1a[2]->setFocus();
        return;
    }
    Dialogs::showMessage(QStringLiteral("財產編號") + quotedCode(currentCode) +
                         QStringLiteral("刪除完成!"));
    currentCode = answer.text;
    browseCode();
    applyAssetRights();
    showCurrentAsset();
    focusCommand(b1a[2]);
}

void P::findAsset() {
    currentCode = t2[0]->text().trimmed();
    fr5->show();
    fr5->setEnabled(true);
    fr5->raise();
    t5->clear();
    fr1->setEnabled(false);
    fr1->hide();
    dgf1->setEnabled(false);
    t5->setFocus();
}

void P::findOk() {
    run(query, QStringLiteral("SELECT TOP 2 ACODE,ANAME FROM Asset WHERE ACODE LIKE ") +
                   SqlLiteral(LikePrefix(t5->text())) + QStringLiteral(" ORDER BY ACODE"));
    const Recordset& rs = query.recordset();
    if (rs.recordCount() == 1) {
        currentCode = rs.field(QStringLiteral("ACODE")).toString();
        finishFind();
        return;
    }
    t5->setFocus();
    openAssetLookup(t5);
}

void P::finishFind() {
    fr1->show();
    fr1->setEnabled(true);
    browseCode();
    applyAssetRights();
    b1a[3]->setFocus();
    showCurrentAsset();
    fr5->hide();
    fr5->setEnabled(false);
}

void P::assetTaken(const QString& code, const QString& name) {
    currentCode = code;
    fr1->show();
    fr1->setEnabled(true);
    browseCode();
    applyAssetRights();
    if (editMode == Adding) {
        t2[0]->setText(code);
        t2[1]->setText(name);
        t2[2]->setFocus();  // the account: code and name are the taken row's
    } else {
        b1a[3]->setFocus();
    }
    showCurrentAsset();
    fr5->hide();
    fr5->setEnabled(false);
}

void P::openAssetLookup(FieldBox* owner) {
    static const auto assets = std::make_shared<ProcedureLookupSource>(
        QStringLiteral("SF_ZQ2K_ASSET_F2"), QStringLiteral("ACODE"), QStringLiteral("ANAME"));
    if (!dgf3->open(
            owner, assets, [owner] { return LikePrefix(owner->text()); },
            QStringLiteral("找不到相關財產資料!"))) {
        owner->clear();
        owner->setFocus();
    }
}

void P::openAccountLookup(int index) {
    static const auto accounts = std::make_shared<SqlLookupSource>(
        QStringLiteral("ACCO"), QStringLiteral("ACODE"), QStringLiteral("ANOTE"));
    lookupOwner = index;
    FieldBox* owner = t2[index];
    if (!dgf2->open(
            owner, accounts, [owner] { return LikePrefix(owner->text()); },
            QStringLiteral("找不到相關會計科目資料!"))) {
        t2[index]->clear();
        t2[index + 1]->clear();
        t2[index]->setFocus();
    }
}

void P::sellAsset() {
    currentCode = t2[0]->text().trimmed();
    editMode = Selling;
    t3[2]->setText(Session::current().staffName);
    t3[3]->setText(nowText());
    ch3->setChecked(true);
    t3[0]->setOpen(true);
    t3[0]->setText(DateToRoc(Clock::today()));
    for (QPushButton* b : b1b) {
        b->show();
        b->setEnabled(true);
    }
    for (QPushButton* b : b1a) {
        b->setEnabled(false);
        b->hide();
    }
    dgf1->setEnabled(false);
    t3[0]->setFocus();
}

void P::reviewAsset() {
    currentCode = t2[0]->text().trimmed();
    const bool review = t3[1]->text().trimmed().isEmpty();
    if (review) {
        run(query, QStringLiteral("Select JDATE From JE"));
        const Recordset& je = query.recordset();
        const QString closing = HasCurrentRow(je) ? je.field(0).toString() : QString();
        if (t2[8]->text().trimmed() < closing &&
            Dialogs::ask(QStringLiteral("取得日期小於關帳日期,是否繼續?"), Buttons::YesNo,
                         Answer::No) != Answer::Yes)
            return;
        if (Dialogs::ask(QStringLiteral("確定要覆核財產編號") + quotedCode(currentCode) + '?',
                         Buttons::OkCancel, Answer::Ok) != Answer::Ok)
            return;
    } else if (Dialogs::ask(
                   QStringLiteral("確定要取消覆核財產編號") + quotedCode(currentCode) + '?',
                   Buttons::OkCancel, Answer::Ok) != Answer::Ok) {
        return;
    }
    const auto ratify = [&](int flag) {
        return call(QStringLiteral("SF_ZQ2K_ASSET_RATI ") + workKey() + ',' +
                    SqlLiteral(currentCode) + ',' + QString::number(flag));
    };
    auto answer = ratify(review ? 0 : 1);
    if (answer.status == 2) {
        if (Dialogs::ask(answer.text, Buttons::YesNo, Answer::No) != Answer::Yes) return;
        answer = ratify(review ? 1 : 0);
        if (answer.status == 2) answer.status = -1;  // a second question is a refusal
    }
    if (answer.status == 3) {
        Dialogs::showMessage(answer.text);
        return;
    }
    if (answer.status != 0) {
        Dialogs::showMessage(answer.text);
        b1a[5]->setFocus();
        return;
    }
    browseCode();
    applyAssetRights();
    b1a[5]->setFocus();
    showCurrentAsset();
}

bool P::failsChecks() {
    const auto failed = AssetRules::CheckAsset(fieldTexts());
    if (!failed) return false;
    Dialogs::showMessage(failed->message);
    t2[failed->field]->setFocus();
    return true;
}

void P::save() {
    if (editMode == Selling) {
        saveSale();
        return;
    }
    if (failsChecks()) return;
    if (editMode == Adding) {
        if (!tempRowAdded) {
            work.recordset().addNew();
            tempRowAdded = true;
        }
        storeAssetFields();
        work.recordset().update();
        const auto answer = call(QStringLiteral("SF_ZQ2K_ASSET_ADD ") + workKey());
        if (answer.status == 0) {
            currentCode = t2[0]->text().trimmed();
            Dialogs::showMessage(QStringLiteral("財產編號") + quotedCode(currentCode) +
                                 QStringLiteral("新增完成!"));
            returnToBrowse();
        } else if (answer.status == 2) {
            Dialogs::showMessage(answer.text);
            enableAssetFields();
            t2[0]->setFocus();
            b2->setEnabled(true);
        } else {
            Dialogs::showMessage(answer.text);
            b1b[0]->setFocus();
        }
    } else if (editMode == Editing) {
        storeAssetFields();
        work.recordset().update();
        const auto answer = call(QStringLiteral("SF_ZQ2K_ASSET_EDIT ") + workKey());
        if (answer.status == 0) {
            Dialogs::showMessage(QStringLiteral("財產編號") + quotedCode(currentCode) +
                                 QStringLiteral("修改完成!"));
            returnToBrowse();
        } else {
            Dialogs::showMessage(answer.text);
            b1b[0]->setFocus();
        }
    }
}

void P::saveSale() {
    const auto sell = [&](int flag) {
        return call(QStringLiteral("SF_ZQ2K_ASSET_SELL ") + workKey() + ',' +
                    SqlLiteral(currentCode) + ',' + SqlLiteral(t3[0]->text()) + ',' +
                    QString::number(flag));
    };
    auto answer = sell(0);
    if (answer.status == 2) {
        if (Dialogs::ask(answer.text, Buttons::YesNo, Answer::No) != Answer::Yes) {
            closeSaleDate();
            returnToBrowse();
            return;
        }
        answer = sell(2);
        if (answer.status == 2) answer.status = -1;
    }
    if (answer.status == 0) {
        Dialogs::showMessage(QStringLiteral("財產編號") + quotedCode(currentCode) +
                             QStringLiteral("售出處理完成!"));
        closeSaleDate();
        returnToBrowse();
    } else if (answer.status == 3) {
        Dialogs::showMessage(answer.text);
        closeSaleDate();
        returnToBrowse();
    } else {
        Dialogs::showMessage(answer.text);
        b1b[0]->setFocus();
    }
}

void P::closeSaleDate() { t3[0]->setOpen(false); }

void P::cancel() {
    if (editMode == Adding && lines.recordset().recordCount() > 0 &&
        Dialogs::ask(QStringLiteral("您已有輸入部門分攤比例明細,確定要放棄?"), Buttons::OkCancel,
                     Answer::Cancel) != Answer::Ok)
        return;
    run(query, QStringLiteral("SF_ZQ2K_ASSET_CLEAN ") + workKey());
    if (editMode == Selling) closeSaleDate();
    returnToBrowse();
}

void P::exitWindow() { CloseChild(q); }

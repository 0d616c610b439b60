#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <array>

#include "AssetRules.h"
#include "AssetWindow.h"
#include "DataSource.h"
#include "FieldBox.h"
#include "LookupGrid.h"
#include "RecordsetModel.h"
#include "Session.h"
#include "SqlLiteral.h"

// The widgets and the state of the asset window, shared by its three source files: the
// window and its fields (AssetWindow.cpp), the commands (AssetCommands.cpp) and the
// department allocation (AllocationEditor.cpp).
struct AssetWindow::Private : public QObject {
    explicit Private(AssetWindow* window);

    AssetWindow* q;

    // State
    int editMode = Browse;
    int allocMode = AllocationClosed;
    QString currentCode;
    int currentSeq = 0;
    bool tempRowAdded = false;
    int lookupOwner = 0;
    bool reacting = false;  // a leave-box check is showing a message

    // Data sources: browse (two result sets), query, the asset work row, the allocation lines.
    DataSource browse, query, work, lines;
    Recordset browseLines;  // the second result set of the browse call

    // Widgets
    QFrame *fr1, *fr2, *fr3, *fr4, *fr5;
    std::array<FieldBox*, 16> t2{};
    std::array<FieldBox*, 4> t3{};
    std::array<FieldBox*, 5> t4{};
    FieldBox* t5;
    QCheckBox* ch3;
    std::array<QPushButton*, 7> b1a{};
    std::array<QPushButton*, 2> b1b{};
    QPushButton* b2;
    std::array<QPushButton*, 4> b4a{};
    std::array<QPushButton*, 2> b4b{};
    std::array<QPushButton*, 2> b5{};
    QTableView* dgf1;
    RecordsetModel* dgf1Model;
    LookupGrid* dgf2;
    LookupGrid* dgf3;

    // AssetWindow.cpp: layout and fields
    void buildLayout();
    void connectControls();
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool boxKey(QObject* watched, QKeyEvent* key);
    bool buttonKey(QPushButton* button, QKeyEvent* key);
    bool gridKey(QKeyEvent* key);
    void leaveBox(FieldBox* box);
    void leaveAccountBox(int index);
    void leaveAcquisitionDate();
    void leaveSaleDate();
    void recompute(bool remainingToo);
    std::array<QString, 16> fieldTexts() const;
    int indexOf(const std::array<FieldBox*, 16>& boxes, QObject* o) const;
    void focusLater(QWidget* w);

    void applyAssetRights();
    void showCurrentAsset();
    void loadAssetFields();
    void storeAssetFields();
    void clearAssetFields();
    void enableAssetFields();
    void lockAssetFields();
    void bindLines(const Recordset* recordset, bool enabled);
    void run(DataSource& source, const QString& text);
    AssetRules::ProcedureAnswer call(const QString& text);

    // AssetCommands.cpp
    void browseTo(int key);
    void browseCode();
    void returnToBrowse();
    // Focuses a command button, or the first one the clerk can use when it is disabled or
    // hidden.
    void focusCommand(QPushButton* preferred);
    void openWorkRows();
    void addAsset();
    void editAsset();
    void deleteAsset();
    void findAsset();
    void findOk();
    void finishFind();
    void assetTaken(const QString& code, const QString& name);
    void sellAsset();
    void reviewAsset();
    void save();
    void saveSale();
    void closeSaleDate();
    void cancel();
    void exitWindow();
    void openAssetLookup(FieldBox* owner);
    void openAccountLookup(int index);
    bool failsChecks();

    // AllocationEditor.cpp
    void openAllocation();
    void showAllocationLine();
    void loadAllocationFields();
    void storeAllocationFields(int seq);
    void clearAllocationFields();
    void enableAllocationFields();
    void lockAllocationFields();
    void addLine();
    void editLine();
    void deleteLine();
    void allocationDone();
    void lineOk();
    void endLineEdit();
    void refreshLines();
    void moveToLine(int seq);
    void leaveDepartment();
    void leaveShare();
    void openDepartmentLookup();
};

// The workstation's code as a literal: the key of its work rows and the first argument of the
// register procedures.
inline QString workKey() { return SqlLiteral(Session::current().workstationCode); }

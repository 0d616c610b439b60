#pragma once

#include <QWidget>
#include <memory>

// FUA "UA--固定資產管理作業": the clerk's window onto the fixed asset register. It browses the
// register one asset at a time and adds, edits, deletes, finds, reviews and sells assets, and
// sets the split of an asset's per-period depreciation over departments. Every change goes
// through the work rows of the workstation and the register procedures of the suite.
class AssetWindow : public QWidget {
    Q_OBJECT
public:
    enum Mode { Browse = 1, Adding = 2, Editing = 3, Selling = 4 };
    enum AllocationMode { AllocationClosed = 0, AllocationList = 1, AddingLine = 2, EditingLine = 3 };

    explicit AssetWindow(QWidget* parent = nullptr);
    ~AssetWindow() override;

    // Opening: the last asset of the register.
    void open();
    int editMode() const;
    int allocationMode() const;
    QString currentCode() const;
    static QString caption();

    // The widgets and state, defined in the window's own source files.
    struct Private;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Private> d;
};

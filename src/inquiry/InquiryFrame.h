#pragma once

#include <QFrame>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>

// A view of the inquiry window that is not a history grid of the highlighted item: an entry
// frame (vendor, customer, repairs, lot number, external code, item entry), the statistics,
// the description page or the bulletin board. It lies over the item list; the window starts
// it when its mode button is pressed and takes the keyboard back when it finishes.
class InquiryFrame : public QFrame {
    Q_OBJECT
public:
    // What a frame may read of the window when it starts.
    struct Context {
        QString item;      // the highlighted item's code; empty when the list is empty
        QString itemName;  // its name
        // A column of the highlighted row of the item list's page (ISPACE, ISOUR, ...);
        // invalid when absent.
        std::function<QVariant(const QString& column)> field;
        QRect listArea;  // where the item list lies, in the window's coordinates
        // The item list's current arguments of the list procedure, for the grids that page
        // through it.
        QString listWarehouse;
        QString warehouseFilter;
        int zeroHidden = 0;
        int stoppedShown = 0;
    };

    // Where the keyboard goes when the frame finishes.
    enum class Back { List, ModeButton };

    using QFrame::QFrame;

    // Shows the frame for the window's state and gives it the keyboard; false when there was
    // nothing to show (the frame has said why) and the window stays as it was.
    virtual bool start(const Context& context) = 0;

signals:
    // The item list is to be re-read positioned at the item: with key 80 when a lookup hands
    // the item over (handover), key 13 when the item entry frame positions it.
    void positionList(const QString& itemCode, bool handover);
    // The frame has closed itself; the window gives the keyboard to the list or the mode
    // button.
    void finished(InquiryFrame::Back back);
};

// The frames of the modes, made on first use. Each frame is registered here by the mode index
// it serves; the window asks for the frame of a mode and keeps it.
namespace InquiryFrames {
using Maker = std::function<InquiryFrame*(QWidget* parent)>;
// The maker of the frame of a mode; empty when the mode has no frame.
Maker makerOf(int modeIndex);
}  // namespace InquiryFrames

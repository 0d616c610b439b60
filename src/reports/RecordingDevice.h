#pragma once

#include <QList>
#include <optional>

#include "PrintDevice.h"

// A print device that draws nothing and records every operation with its coordinates in twips,
// for tests. The paper is A4 (11906 x 16838 twips) unless given.
//
// Text widths are a deterministic approximation in the manner of the Ming face "細明體", whose
// characters are all of one of two widths: a full-width character (Chinese, full-width
// punctuation such as "：" and "，") is one em wide, the font size in points × 20 twips, and any
// other character half an em. Bold changes nothing. So "列印日期：" in 12 points is
// 5 × 240 = 1200 twips and "113.05.20" is 9 × 120 = 1080 twips, on every machine.
class RecordingDevice : public PrintDevice {
public:
    struct Operation {
        enum class Kind { Text, Line, Orientation, Font, NewPage, EndDocument, Finish };
        Kind kind;
        double x = 0, y = 0;    // text: the position; line: the first point
        double x2 = 0, y2 = 0;  // line: the second point
        QString text;           // text: the text; font: the font's name
        double size = 0;        // font: points
        bool bold = false;      // font
        Orientation orientation = Orientation::Portrait;
    };

    explicit RecordingDevice(QSizeF paper = QSizeF(11906, 16838));

    QList<Operation> operations;

    double textWidth(const QString& text) const override;
    void printText(const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void newPage() override;
    void endDocument() override;
    void finish() override;

    // Shortcuts for tests.
    QList<Operation> texts() const;
    QList<Operation> lines() const;
    // The first text operation with exactly this text.
    std::optional<Operation> text(const QString& text) const;
    int documentCount() const;

protected:
    QSizeF paperSize() const override { return m_paper; }
    void orientationChanged() override;
    void fontChanged() override;

private:
    QList<Operation> ofKind(Operation::Kind kind) const;
    QSizeF m_paper;
};

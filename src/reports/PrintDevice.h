#pragma once

#include <QSizeF>
#include <QString>

class ReportTable;

// What the print engine draws on: a page of a given size and orientation, a current font, a
// current position, texts and black lines. Every position and size is in twips (1/1440 inch)
// from the top left corner of the printable page. A document is the pages drawn between two
// endDocument calls; a system printer gets it as one job. One print command (a report printed
// once) is everything drawn before finish: the PDF printer writes all of it, document after
// document, into one file.
class PrintDevice {
public:
    enum class Orientation { Portrait = 1, Landscape = 2 };

    virtual ~PrintDevice() = default;

    void setOrientation(Orientation orientation);
    Orientation orientation() const { return m_orientation; }
    // The paper's size in the current orientation, in whole twips.
    double pageWidth() const;
    double pageHeight() const;

    // The font by the name the reports use ("標楷體", "細明體"); the device prints with the face
    // that stands in for it (PrintFonts).
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool bold);
    QString fontName() const { return m_fontName; }
    double fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_fontBold; }

    // The current position is kept in single precision, as the printer keeps it.
    void setCurrentX(double x) { m_currentX = float(x); }
    void setCurrentY(double y) { m_currentY = float(y); }
    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }

    // The width of a text in the current font, in twips.
    virtual double textWidth(const QString& text) const = 0;
    // Prints a text with the top left corner of its line at the current position.
    virtual void printText(const QString& text) = 0;
    // A thin black line between two points.
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    virtual void newPage() = 0;
    // Sends the pages drawn so far as one document; the next drawing starts a new one.
    virtual void endDocument() = 0;
    // Ends the print command: the last document is sent and the PDF printer's file is
    // complete. Drawing after it begins another print command.
    virtual void finish() = 0;
    // True once the printer has refused: the device has said so, and drops what follows.
    virtual bool failed() const { return false; }
    // A spreadsheet printer takes the report's rows instead of its drawing: then the table they
    // go to (drawing on such a device is ignored); null on every printer that prints pages.
    virtual ReportTable* table() { return nullptr; }

protected:
    // The paper in portrait, in twips.
    virtual QSizeF paperSize() const = 0;
    virtual void orientationChanged() {}
    virtual void fontChanged() {}

private:
    Orientation m_orientation = Orientation::Portrait;
    QString m_fontName = QStringLiteral("細明體");
    double m_fontSize = 12;
    bool m_fontBold = false;
    float m_currentX = 0;
    float m_currentY = 0;
};

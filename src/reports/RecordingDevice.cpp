#include "RecordingDevice.h"

namespace {
bool isFullWidth(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}
}  // namespace

RecordingDevice::RecordingDevice(QSizeF paper) : m_paper(paper) {}

double RecordingDevice::textWidth(const QString& text) const {
    const double em = fontSize() * 20;
    double width = 0;
    for (char32_t c : text.toUcs4()) width += isFullWidth(c) ? em : em / 2;
    return width;
}

void RecordingDevice::printText(const QString& text) {
    Operation op{Operation::Kind::Text};
    op.x = currentX();
    op.y = currentY();
    op.text = text;
    op.size = fontSize();
    op.bold = fontBold();
    operations << op;
}

void RecordingDevice::drawLine(double x1, double y1, double x2, double y2) {
    Operation op{Operation::Kind::Line};
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    operations << op;
}

void RecordingDevice::newPage() { operations << Operation{Operation::Kind::NewPage}; }
void RecordingDevice::endDocument() { operations << Operation{Operation::Kind::EndDocument}; }
void RecordingDevice::finish() { operations << Operation{Operation::Kind::Finish}; }

void RecordingDevice::orientationChanged() {
    Operation op{Operation::Kind::Orientation};
    op.orientation = orientation();
    operations << op;
}

void RecordingDevice::fontChanged() {
    Operation op{Operation::Kind::Font};
    op.text = fontName();
    op.size = fontSize();
    op.bold = fontBold();
    operations << op;
}

QList<RecordingDevice::Operation> RecordingDevice::ofKind(Operation::Kind kind) const {
    QList<Operation> found;
    for (const Operation& op : operations)
        if (op.kind == kind) found << op;
    return found;
}

QList<RecordingDevice::Operation> RecordingDevice::texts() const {
    return ofKind(Operation::Kind::Text);
}

QList<RecordingDevice::Operation> RecordingDevice::lines() const {
    return ofKind(Operation::Kind::Line);
}

std::optional<RecordingDevice::Operation> RecordingDevice::text(const QString& wanted) const {
    for (const Operation& op : operations)
        if (op.kind == Operation::Kind::Text && op.text == wanted) return op;
    return std::nullopt;
}

int RecordingDevice::documentCount() const {
    return int(ofKind(Operation::Kind::EndDocument).size());
}

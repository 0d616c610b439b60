#include "PiecedTextEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace {
// The mark of a block that goes on from the one before: a piece of a long line.
constexpr int GoesOn = QTextFormat::UserProperty + 1;

// Where the line from `at` ends: at a character that the document takes for the end of a block.
qsizetype lineEnd(QStringView text, qsizetype at) {
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == 0xFDD0 ||
            c == 0xFDD1)
            return at;
    }
    return at;
}

}  // namespace

PiecedTextEdit::PiecedTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void PiecedTextEdit::setText(const QString& text) {
    document()->setUndoRedoEnabled(false);
    clear();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    insertPieces(cursor, text);
    cursor.endEditBlock();
    document()->setUndoRedoEnabled(true);
    moveCursor(QTextCursor::Start);
}

QString PiecedTextEdit::text() const {
    // The document's own text (a block's end as U+2029) without the ends before pieces: read
    // from the blocks only when some format marks a piece, which setting a text of short lines
    // leaves none.
    QString text = document()->toRawText();
    QList<int> pieces;
    const QList<QTextFormat> formats = document()->allFormats();
    for (int i = 0; i < formats.size(); ++i)
        if (formats[i].boolProperty(GoesOn)) pieces.append(i);
    if (!pieces.isEmpty()) {
        // (a character no block holds: it ends a block)
        constexpr char16_t Dropped = 0xFDD0;
        for (QTextBlock block = document()->begin().next(); block.isValid(); block = block.next())
            if (pieces.contains(block.blockFormatIndex())) text[block.position() - 1] = Dropped;
        text.remove(QChar(Dropped));
    }
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void PiecedTextEdit::insertPieces(QTextCursor& cursor, QStringView text) {
    QTextBlockFormat goesOn = cursor.blockFormat();
    goesOn.setProperty(GoesOn, true);
    QTextBlockFormat starts = goesOn;
    starts.clearProperty(GoesOn);
    const auto next = [&](qsizetype end) {
        return end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    };
    for (qsizetype at = 0;;) {
        qsizetype end = lineEnd(text, at);
        if (end - at > PieceLength) {
            for (qsizetype from = at;;) {
                qsizetype n = std::min(PieceLength, end - from);
                // A character of two halves stays in one piece.
                if (from + n < end && text[from + n - 1].isHighSurrogate()) --n;
                cursor.insertText(text.mid(from, n).toString());
                from += n;
                if (from == end) break;
                cursor.insertBlock(goesOn);
            }
        } else {
            // Short lines go in together: the document ends their blocks itself, each new
            // block with the format of the one it breaks, which must then start a line.
            while (end < text.size() && !cursor.blockFormat().boolProperty(GoesOn)) {
                const qsizetype from = next(end), to = lineEnd(text, from);
                if (to - from > PieceLength) break;
                end = to;
            }
            cursor.insertText(text.mid(at, end - at).toString());
        }
        if (end == text.size()) break;
        at = next(end);
        cursor.insertBlock(starts);
    }
}

void PiecedTextEdit::keyPressEvent(QKeyEvent* event) {
    const auto others = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    QTextCursor cursor = textCursor();
    if (others != Qt::NoModifier || isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const auto goesOn = [](const QTextBlock& block) {
        return block.isValid() && block.blockFormat().boolProperty(GoesOn);
    };
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // A line of its own, also from within a piece of a long line (and with Shift,
            // which would otherwise break the line inside its block).
            cursor.beginEditBlock();
            cursor.removeSelectedText();
            QTextBlockFormat starts = cursor.blockFormat();
            starts.clearProperty(GoesOn);
            cursor.insertBlock(starts);
            cursor.endEditBlock();
            break;
        }
        case Qt::Key_Backspace:
            // At the start of a piece: the character before it, not the break between them.
            if (cursor.hasSelection() || !cursor.atBlockStart() || !goesOn(cursor.block()) ||
                event->modifiers() != Qt::NoModifier) {
                QPlainTextEdit::keyPressEvent(event);
                return;
            }
            while (cursor.atBlockStart() && goesOn(cursor.block()))
                cursor.movePosition(QTextCursor::PreviousCharacter);
            cursor.deletePreviousChar();
            break;
        case Qt::Key_Delete:
            // At the end of a piece with one after it: the character after.
            if (cursor.hasSelection() || !cursor.atBlockEnd() || !goesOn(cursor.block().next()) ||
                event->modifiers() != Qt::NoModifier) {
                QPlainTextEdit::keyPressEvent(event);
                return;
            }
            while (cursor.atBlockEnd() && goesOn(cursor.block().next()))
                cursor.movePosition(QTextCursor::NextCharacter);
            cursor.deleteChar();
            break;
        default:
            QPlainTextEdit::keyPressEvent(event);
            return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
}

void PiecedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = source->text();
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertPieces(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

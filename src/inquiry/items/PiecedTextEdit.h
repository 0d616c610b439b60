#pragma once

#include <QPlainTextEdit>

// A plain-text field whose keys stay quick in a text of megabytes on one line. The field lays
// out and wraps a whole block again on every key, so a line longer than PieceLength is held as
// pieces of that length, each a block of its own marked as going on from the one before (it
// shows as a wrapped line that breaks at each piece); text() joins them back as they were.
// Enter and pasted line ends start blocks of their own, never marked; Backspace and Delete
// across a piece's edge take the character beyond it.
class PiecedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr qsizetype PieceLength = 1024;

    explicit PiecedTextEdit(QWidget* parent = nullptr);

    // The text, its lines broken as written (CR LF, CR and LF each end a line).
    void setText(const QString& text);
    // The text as it stands, a piece joined to the one before, a line ending as LF.
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Inserts the text at the cursor, its long lines in pieces.
    void insertPieces(QTextCursor& cursor, QStringView text);
};

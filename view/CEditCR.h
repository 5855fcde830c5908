#pragma once

#include <QPlainTextEdit>

#include <string>

class CommandHistory;

// The command line: one strip of text whose Enter key sends the command.
// Enter and Ctrl+Enter post the send command to the view and never type a
// line break; line breaks that arrive by pasting stay in the text and go to
// the transmit converter with it. A multi-line edit, not a one-line one,
// because only that keeps pasted line breaks as they were.
class CEditCR : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kHeight = 30;

    explicit CEditCR(QWidget* parent = nullptr);

    // The command as single-byte text: each character is its ISO 8859-1 byte
    // ('?' for a character outside it), each line break is "\r\n".
    std::string CommandText() const;
    // Shows single-byte text ("\r\n" a line break) as the command.
    void SetCommandText(const std::string& text);

    // Up and Down walk history, Escape returns to the text being edited.
    void SetHistory(CommandHistory* history) { m_history = history; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Paste, the middle click and a drop all end here. Only text is taken:
    // a clipboard with no formats (as X hands back when nothing was copied,
    // or its owner has gone), an image or a bare URL list changes nothing.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool WalkHistory(const QKeyEvent& event);

    CommandHistory* m_history = nullptr;
};

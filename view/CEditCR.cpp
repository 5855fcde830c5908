#include "view/CEditCR.h"

#include "history/CommandHistory.h"
#include "resources/CommandIds.h"
#include "view/SingleByteText.h"
#include "view/ViewEvents.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

bool IsEnterKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// Enter gives a carriage return and Ctrl+Enter a line feed; either one, and
// any key whose character is one of them, sends the command. With Alt held
// the key gives no character at all.
bool SendsCommand(const QKeyEvent& event)
{
    if (event.modifiers() & Qt::AltModifier)
        return false;
    return IsEnterKey(event) || event.text() == QLatin1String("\r") ||
           event.text() == QLatin1String("\n");
}

} // namespace

CEditCR::CEditCR(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Undo and cut have no command here; the menus offer copy and paste.
    setUndoRedoEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    // One line of the default font fits the strip only with a slim margin.
    document()->setDocumentMargin(2);
}

std::string CEditCR::CommandText() const
{
    // The raw text keeps what the user typed (plain-text export would turn a
    // no-break space into a space); blocks are separated by U+2029.
    return SingleByteText(document()->toRawText());
}

void CEditCR::SetCommandText(const std::string& text)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        shown += QChar(static_cast<unsigned char>(text[i]));
    }
    setPlainText(shown);
    moveCursor(QTextCursor::End);
}

bool CEditCR::WalkHistory(const QKeyEvent& event)
{
    if (m_history == nullptr || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    std::string text;
    switch (event.key()) {
    case Qt::Key_Up:
        if (m_history->Older(CommandText(), text))
            SetCommandText(text);
        return true;
    case Qt::Key_Down:
        if (m_history->Newer(text))
            SetCommandText(text);
        return true;
    case Qt::Key_Escape:
        if (m_history->Leave(text))
            SetCommandText(text);
        return true;
    default:
        return false;
    }
}

void CEditCR::keyPressEvent(QKeyEvent* event)
{
    if (WalkHistory(*event)) {
        event->accept();
        return;
    }
    if (SendsCommand(*event)) {
        event->accept();
        if (parentWidget())
            QCoreApplication::postEvent(parentWidget(), new CommandEvent(ID_SEND_COMMAND));
        return;
    }
    if (IsEnterKey(*event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CEditCR::canInsertFromMimeData(const QMimeData* source) const
{
    // Not hasText(): Qt counts a bare URL list as text.
    return source != nullptr && source->hasFormat(QStringLiteral("text/plain"));
}

void CEditCR::insertFromMimeData(const QMimeData* source)
{
    if (!canInsertFromMimeData(source))
        return;
    const QString text = source->text();
    if (text.isEmpty())
        return;
    // As a plain-text paste inserts: line breaks become breaks in the text.
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment::fromPlainText(text));
    setTextCursor(cursor);
    ensureCursorVisible();
}

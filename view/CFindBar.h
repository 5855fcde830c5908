#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

// The bar under the report that finds text in it. It only takes the search
// and shows its outcome; the view does the finding. Typing searches at once,
// Enter finds the next match, Shift+Enter the previous one, Escape closes.
class CFindBar : public QWidget {
    Q_OBJECT
public:
    explicit CFindBar(QWidget* parent = nullptr);

    // The bar's words in the user's language: the field's label, the case
    // switch and the text shown when nothing matches.
    void SetTexts(const QString& label, const QString& matchCase, const QString& noMatch);

    // The search as single-byte text; false when it holds a character no
    // report byte can be, so nothing can match it.
    bool Needle(std::string& needle) const;
    bool MatchCase() const;
    void ShowFound(bool found);
    // Opens the bar with the search selected, so typing replaces it.
    void Open();

    int HeightHint() const;

signals:
    // The search or the case switch changed.
    void searchChanged();
    void findNext(bool backwards);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label;
    QLineEdit* m_field;
    QCheckBox* m_matchCase;
    QLabel* m_outcome;
    QString m_noMatch;
};

#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The bar above the command line while a file is being sent: which file,
// how far the send is, and a button that cancels it. It only shows; the
// view runs the send.
class CSendBar : public QWidget {
    Q_OBJECT
public:
    explicit CSendBar(QWidget* parent = nullptr);

    // The bar's words in the user's language: the label before the file's
    // name and the cancel button's caption.
    void SetTexts(const QString& sending, const QString& cancel);

    // A send of the named file begins; size < 0 or 0 shows a bar that only says it is busy.
    void Begin(const QString& name, long long size);
    void Progress(long long done);

    int HeightHint() const;

signals:
    void cancelled();

private:
    QLabel* m_label;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QString m_sending;
    long long m_size = 0;
};

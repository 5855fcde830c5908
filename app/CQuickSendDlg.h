#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;

// The quick-send dialog: one field per free function key, in the order of
// QuickSendKeys(), each holding the command line that key sends. Texts come
// in and go out as single-byte text; an empty field leaves its key unused.
class CQuickSendDlg : public QDialog {
    Q_OBJECT
public:
    CQuickSendDlg(const QString& title, const std::vector<std::string>& texts, QWidget* parent = nullptr);

    // The fields' texts as they stand, one per key.
    std::vector<std::string> Texts() const;

private:
    std::vector<QLineEdit*> m_fields;
};

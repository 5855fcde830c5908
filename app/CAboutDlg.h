#pragma once

class QWidget;

// The About box (template 100): icon, product line, version and credits, and
// an OK button. It changes nothing.
class CAboutDlg {
public:
    int DoModal(QWidget* parent);
};

// Qt's headers that most files of the desktop layer include, parsed once per
// library (a precompiled header) rather than once per file: they were half of
// such a file's compile time.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

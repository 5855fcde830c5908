// The headers nearly every test file includes, parsed once per test program
// (a precompiled header) rather than once per file: GoogleTest's and Qt's
// headers took half of a test file's compile time.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Only in the programs that are built against Qt's widgets and its test library.
#if __has_include(<QTest>) && __has_include(<QApplication>)
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#endif

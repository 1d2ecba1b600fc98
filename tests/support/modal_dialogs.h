#pragma once
// Modal dialogs answered from the test, as a player would answer them: a queued
// single-shot that waits until the dialog shows and is active, then fills it in
// and presses its buttons. Needs Qt Widgets and Qt Test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <functional>

namespace quorvel::support {

// Runs `answer` with the modal dialog that the caller opens next, once it is
// showing and active, so that keys go where the player's would.
inline void whenModalShown(std::function<void(QWidget* dialog)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr) << "no modal dialog is showing";
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        answer(dialog);
    });
}

// Types text into a widget one character at a time, as a keyboard with any
// layout would (QTest's own typing knows only ASCII).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

}  // namespace quorvel::support

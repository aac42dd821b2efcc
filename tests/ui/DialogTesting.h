#pragma once

// What the dialog tests share: finding a dialog's controls, typing and clicking on them, and acting on a
// dialog once it runs modally.

#include "support/DefaultLocale.h"

#include "platform/ui/BlendedButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

inline const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
inline const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);

template <typename T = platform::ui::TBlendedBitBtn> T* child(const QWidget* parent, const QString& name) {
    return parent->findChild<T*>(name);
}

inline void click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(w, k, modifiers);
}

// Runs `act` on the modal dialog once its exec() is running. Should nothing be modal (a fault), every
// open dialog is closed so that the test fails instead of hanging.
inline void whenModal(std::function<void(QDialog*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is open";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->reject();
            return;
        }
        act(dialog);
        // A dialog the step left open is closed, so that the next assertion runs instead of a hang.
        if (QApplication::activeModalWidget() == dialog && dialog->isVisible())
            QTimer::singleShot(0, dialog, [dialog] { dialog->done(-1); });
    });
}

} // namespace testsupport

// Driving the main window as a user does, for the dump tests: find controls by name, click,
// pick from a selector, type into a spin box, and wait for the window to show something. The
// window stays hidden: painting it would run Qt's image conversions on Qt's own thread pool,
// which ThreadSanitizer cannot follow.
#pragma once

#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace korv::test {

struct WindowDriver {
    QWidget* window = nullptr;

    template <typename W = QWidget> W* child(const char* name) const {
        auto* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    QColor statusColor() const {
        return child<QLabel>("StatusLabel")->palette().color(QPalette::WindowText);
    }
    void click(const char* button) const { QTest::mouseClick(child(button), Qt::LeftButton); }
    // A check box toggled with the space bar.
    void toggle(const char* checkBox) const { QTest::keyClick(child(checkBox), Qt::Key_Space); }
    // Picks the item with this text with the keyboard: Home, then Down until it is reached;
    // each step is a choice of the user, as with the arrow keys on a closed selector.
    void pick(const char* selector, const QString& item) const {
        auto* box = child<QComboBox>(selector);
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentIndex(), index);
    }
    void type(const char* spinBox, const QString& keys) const {
        auto* spin = child<QAbstractSpinBox>(spinBox);
        spin->selectAll();
        QTest::keyClicks(spin, keys);
        QTest::keyClick(spin, Qt::Key_Return);
    }
    // Lets the window run until `done` holds; false when it did not within `ms`.
    static bool waitUntil(const std::function<bool()>& done, int ms = 30000) {
        QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(5);
        }
        return true;
    }
};

} // namespace korv::test

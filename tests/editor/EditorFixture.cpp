#include "EditorFixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace korv::test {
namespace {

editor::SurfaceKnobs SurfaceOf(QWidget& window, std::array<controls::TKnob*, 16>& knobs) {
    editor::SurfaceKnobs s;
    s.IsVisible = [&window] { return window.isVisible(); };
    s.KnobInSlot = [&knobs](int slot) { return knobs.at(slot); };
    return s;
}

} // namespace

EditorTest::EditorTest()
    : editor(image, SurfaceOf(surface, knobs), &tabs) {
    for (int k = 0; k < 16; ++k) {
        knobs[k] = new controls::TKnob(&surface);
        knobs[k]->SetParams(0, 0, 127);
        knobs[k]->OnChange = [this, k](controls::TKnob& knob) {
            knobChanges.push_back({k, knob.Position(), knob.Min(), knob.Max()});
        };
    }
    tabs.addTab(&box(), QStringLiteral("Box Config"));
    tabs.addTab(&pot(), QStringLiteral("Encoders"));
    tabs.addTab(&butt(), QStringLiteral("Buttons"));
    tabs.resize(760, 520);
    tabs.show();
}

QString EditorTest::text(const char* labelName) {
    auto* label = control<QLabel>(labelName);
    return label ? label->text() : QString();
}

int EditorTest::value(const char* spinName) {
    auto* spin = control<QSpinBox>(spinName);
    return spin ? spin->value() : -1;
}

QString EditorTest::shown(const char* comboName) {
    auto* box = control<QComboBox>(comboName);
    return box ? box->currentText() : QString();
}

void EditorTest::showPageOf(QWidget* w) {
    for (int i = 0; i < tabs.count(); ++i) {
        if (tabs.widget(i)->isAncestorOf(w))
            tabs.setCurrentIndex(i);
    }
}

void EditorTest::type(QWidget* field, const QString& keys) {
    ASSERT_NE(field, nullptr);
    showPageOf(field);
    QWidget* target = field;
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) {
        spin->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
        ASSERT_TRUE(combo->isEditable());
        target = combo->lineEdit();
        combo->lineEdit()->selectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->selectAll();
    }
    if (keys.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    // Characters beyond ASCII arrive as text, as from a keyboard layout that has them.
    for (QChar c : keys) {
        if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::keyClick(target, Qt::Key_Return);
}

void EditorTest::pick(const char* comboName, int index) {
    auto* box = control<QComboBox>(comboName);
    ASSERT_NE(box, nullptr);
    showPageOf(box);
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    ASSERT_EQ(box->currentIndex(), index) << comboName;
}

void EditorTest::click(const char* name) {
    QWidget* w = control(name);
    ASSERT_NE(w, nullptr);
    showPageOf(w);
    QPoint at = w->rect().center();
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        // A check box reacts to its indicator and text only, not to the rest of its cell.
        QStyleOptionButton option;
        option.initFrom(check);
        at = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check).center();
    }
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

std::vector<int> EditorTest::ChangedDataOffsets(const Bytes& before, const Bytes& after) {
    std::vector<int> changed;
    for (int i = 0; i < model::MemorySize; ++i) {
        if (before.at(model::HeaderSize + i) != after.at(model::HeaderSize + i))
            changed.push_back(i);
    }
    return changed;
}

} // namespace korv::test

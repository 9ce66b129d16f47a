#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/control_table.h"
#include "app/qt/control_widgets.h"
#include "gui_fixture.h"

namespace pw::test {
namespace {

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

bool hasKind(QObject* o, const ControlSpec& c) {
    using K = ControlKind;
    switch (c.kind) {
        case K::PictureBox:
            return qobject_cast<BannerBox*>(o);
        case K::ShapeBox:
            return qobject_cast<QFrame*>(o);
        case K::Timer:
            return qobject_cast<QTimer*>(o);
        case K::Label:
        case K::TransparentLabel:
            return qobject_cast<QLabel*>(o) && !qobject_cast<LinkLabel*>(o);
        case K::Picture:
            return qobject_cast<PictureControl*>(o);
        case K::Hyperlink:
            return qobject_cast<LinkLabel*>(o);
        case K::GroupBox:
            return qobject_cast<QGroupBox*>(o);
        case K::Radio:
            return qobject_cast<QRadioButton*>(o);
        case K::Checkbox:
            return qobject_cast<QCheckBox*>(o);
        case K::Edit:
            return (c.editStyle & kEditMultiLine) ? bool(qobject_cast<QPlainTextEdit*>(o))
                                                  : bool(qobject_cast<QLineEdit*>(o));
        case K::Combo:
            return qobject_cast<QComboBox*>(o) &&
                   qobject_cast<QComboBox*>(o)->isEditable() == c.editable;
        case K::Button:
            return qobject_cast<QPushButton*>(o);
        case K::ProgressBar:
            return qobject_cast<QProgressBar*>(o);
    }
    return false;
}

using WindowTable = GuiTest;

TEST_F(WindowTable, EveryControlIsBuiltAsTheTableSays) {
    const WindowSpec& spec = mainWindowSpec();
    MainWindow& window = program.window;
    EXPECT_EQ(window.objectName(), qs(spec.formName));
    EXPECT_EQ(window.windowTitle(), qs(spec.title));

    for (const ControlSpec& c : spec.controls) {
        SCOPED_TRACE(std::string(c.name));
        QObject* o = window.findChild<QObject*>(qs(c.name));
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(hasKind(o, c));
        const std::string_view expectedParent = c.name == ctl::kProgressText ? ctl::kProgressBar
                                                : c.container.empty()        ? spec.formName
                                                                             : c.container;
        EXPECT_EQ(o->parent()->objectName(), qs(expectedParent));
        EXPECT_EQ(program.form.checked(c.name), c.checked);
        EXPECT_EQ(program.form.visible(c.name), !c.hidden);
        if (c.kind == ControlKind::Timer) {
            auto* timer = qobject_cast<QTimer*>(o);
            EXPECT_EQ(timer->interval(), c.intervalMs);
            EXPECT_TRUE(timer->isActive());
            continue;
        }
        auto* w = qobject_cast<QWidget*>(o);
        if (c.name != ctl::kProgressText) {
            const Rect& g = c.geometry;
            EXPECT_EQ(w->geometry(), QRect(g.left, g.top, g.width, g.height));
        }
        // The window puts the home folder in for the table's "~".
        if (c.name == ctl::kJoinFilePath) {
            EXPECT_EQ(text(c.name.data()), QDir::homePath().toStdString() + "/1.txt");
        } else if (c.kind != ControlKind::Combo || c.editable) {
            EXPECT_EQ(text(c.name.data()), c.text);
        }
        EXPECT_EQ(w->font().pixelSize(), c.fontPx);
        EXPECT_EQ(w->font().bold(), c.bold);
        if (c.handCursor) {
            EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
        }
    }

    auto* units = widget<QComboBox>(ctl::kPartSizeUnit);
    EXPECT_EQ(units->count(), 4);
    EXPECT_EQ(units->itemText(0), "B");
    EXPECT_EQ(units->currentText(), "GB");
    EXPECT_EQ(program.form.selectedIndex(ctl::kPartSizeUnit), 3);
    EXPECT_EQ(widget<QLineEdit>(ctl::kPartCount)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

// No empty band under the progress bar: the margin at the bottom and right is the left one.
TEST_F(WindowTable, WindowFitsItsControlsAndHasAFixedLayout) {
    program.window.show();
    EXPECT_EQ(program.window.pos(), QPoint(50, 50));
    const QRect bar = widget(ctl::kProgressBar)->geometry();
    EXPECT_EQ(program.window.height() - bar.bottom() - 1, bar.left());
    EXPECT_EQ(program.window.width() - bar.right() - 1, bar.left());
    EXPECT_EQ(program.window.size(), QSize(776, 640));
    EXPECT_EQ(program.window.minimumSize(), program.window.maximumSize());

    // Nothing in an area sits on its frame line: all lies in the room the style leaves below it.
    for (std::string_view area : {ctl::kSplitArea, ctl::kMergeArea}) {
        auto* box = qobject_cast<QGroupBox*>(widget(area));
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_GE(child->geometry().top(), box->contentsRect().top())
                << child->objectName().toStdString();
    }
    program.window.close();
}

TEST_F(WindowTable, RadioButtonsAreExclusiveWithinTheirArea) {
    widget<QRadioButton>(ctl::kByDelimiter)->click();
    EXPECT_TRUE(program.form.checked(ctl::kByDelimiter));
    EXPECT_FALSE(program.form.checked(ctl::kByParts));
    EXPECT_TRUE(program.form.checked(ctl::kJoinWithText));  // the merge area's own group

    widget<QAbstractButton>(ctl::kJoinWithData)->click();  // the radio buttons take clicks now
    widget<QRadioButton>(ctl::kJoinWithFile)->click();
    EXPECT_TRUE(program.form.checked(ctl::kByDelimiter));
    EXPECT_FALSE(program.form.checked(ctl::kJoinWithText));
}

TEST_F(WindowTable, ProgressTextLiesInsideTheBar) {
    auto* bar = widget<QProgressBar>(ctl::kProgressBar);
    auto* label = widget<QLabel>(ctl::kProgressText);
    EXPECT_EQ(label->parentWidget(), bar);
    EXPECT_EQ(label->geometry(), QRect(10, 0, 734, 24));
    EXPECT_TRUE(label->isVisibleTo(bar));
    EXPECT_FALSE(bar->isTextVisible());

    // File names are shown as they are, never as markup.
    program.form.setText(ctl::kProgressText, fromUtf8("(1/2)<b>报告</b>.txt"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(text(ctl::kProgressText), "(1/2)<b>报告</b>.txt");
}

TEST_F(WindowTable, FormReadsAndWritesTheWidgets) {
    Form& form = program.form;
    // A multi-line box hands out CR LF line ends and takes them back.
    form.setText(ctl::kJoinText, fromUtf8("第一行\r\n第二行"));
    EXPECT_EQ(widget<QPlainTextEdit>(ctl::kJoinText)->toPlainText(), qs("第一行\n第二行"));
    EXPECT_EQ(text(ctl::kJoinText), "第一行\r\n第二行");

    // Captions read back exactly, "&" included, whatever shortcut markers the widget shows.
    form.setText(ctl::kSplitButton, fromUtf8("A&B"));
    EXPECT_EQ(text(ctl::kSplitButton), "A&B");
    EXPECT_EQ(widget<QPushButton>(ctl::kSplitButton)->text(), "A&&B");
    widget<QPushButton>(ctl::kSplitButton)->setText(qs("&开始分割"));
    EXPECT_EQ(text(ctl::kSplitButton), "开始分割");

    form.setTag(ctl::kSplitButton, fromUtf8("/数据/书"));
    EXPECT_EQ(toUtf8(form.tag(ctl::kSplitButton)), "/数据/书");
    EXPECT_TRUE(form.tag(ctl::kMergeButton).empty());

    form.setSelectedIndex(ctl::kPartSizeUnit, 9);
    EXPECT_EQ(form.selectedIndex(ctl::kPartSizeUnit), -1);
    form.setSelectedIndex(ctl::kPartSizeUnit, 1);
    EXPECT_EQ(widget<QComboBox>(ctl::kPartSizeUnit)->currentText(), "KB");

    // An empty job must not turn the bar into a busy indicator.
    form.setProgressMaximum(0);
    form.setProgressPosition(0);
    auto* bar = widget<QProgressBar>(ctl::kProgressBar);
    EXPECT_GT(bar->maximum(), bar->minimum());
    form.setProgressMaximum(3);
    form.setProgressPosition(2);
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->value(), 2);

    // Own states count, not those of a hidden window.
    EXPECT_FALSE(program.window.isVisible());
    EXPECT_TRUE(form.visible(ctl::kSplitButton));
    form.setVisible(ctl::kMergeFileTypes, false);
    EXPECT_FALSE(form.visible(ctl::kMergeFileTypes));
}

}  // namespace
}  // namespace pw::test

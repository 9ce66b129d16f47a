#include "app/qt/qt_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "app/control_table.h"
#include "app/qt/control_looks.h"
#include "app/qt/input_dialog_window.h"
#include "text/system_texts.h"

namespace pw {
namespace {

int clampToInt(int64_t v) {
    return v > INT_MAX ? INT_MAX : v < 0 ? 0 : int(v);
}

}  // namespace

QtForm::QtForm(MainWindow& window, Clock& clock) : window_(window), clock_(clock) {}

QObject* QtForm::object(std::string_view name) const {
    QObject* o = window_.control(name);
    if (!o) {
        // A misspelt control name is a programming error; stop loudly so a test shows it.
        std::fprintf(stderr, "no control named %.*s\n", int(name.size()), name.data());
        std::abort();
    }
    return o;
}

QWidget* QtForm::widget(std::string_view name) const {
    return qobject_cast<QWidget*>(object(name));
}

bool QtForm::checked(std::string_view name) const {
    auto* b = qobject_cast<QAbstractButton*>(object(name));
    return b && b->isChecked();
}

void QtForm::setChecked(std::string_view name, bool on) {
    if (auto* b = qobject_cast<QAbstractButton*>(object(name)); b && b->isCheckable())
        b->setChecked(on);
}

Text QtForm::text(std::string_view name) const {
    QObject* o = object(name);
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return fromQt(captionFromQt(b->text()));
    if (auto* e = qobject_cast<QLineEdit*>(o)) return fromQt(e->text());
    if (auto* e = qobject_cast<QPlainTextEdit*>(o)) return multiLineFromQt(e->toPlainText());
    if (auto* l = qobject_cast<QLabel*>(o)) return fromQt(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(o)) return fromQt(captionFromQt(g->title()));
    if (auto* c = qobject_cast<QComboBox*>(o)) return fromQt(c->currentText());
    return {};
}

void QtForm::setText(std::string_view name, const Text& text) {
    QObject* o = object(name);
    const QString s = qt(text);
    if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setText(captionToQt(s));
        // A job's stages appear on its button between event points: paint them now.
        if (b->isVisible()) b->repaint();
    } else if (auto* e = qobject_cast<QLineEdit*>(o)) {
        e->setText(s);
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(o)) {
        e->setPlainText(multiLineToQt(text));
    } else if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setText(s);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(captionToQt(s));
    } else if (auto* c = qobject_cast<QComboBox*>(o); c && c->isEditable()) {
        c->setEditText(s);
    }
}

Text QtForm::tag(std::string_view name) const {
    object(name);
    auto it = tags_.find(name);
    return it == tags_.end() ? Text() : it->second;
}

void QtForm::setTag(std::string_view name, const Text& tag) {
    object(name);
    tags_.insert_or_assign(std::string(name), tag);
}

int QtForm::selectedIndex(std::string_view name) const {
    auto* c = qobject_cast<QComboBox*>(object(name));
    return c ? c->currentIndex() : -1;
}

void QtForm::setSelectedIndex(std::string_view name, int index) {
    if (auto* c = qobject_cast<QComboBox*>(object(name)))
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

// Own states, as the control holds them, whatever its containers are.
bool QtForm::enabled(std::string_view name) const {
    QWidget* w = widget(name);
    return w && w->isEnabledTo(w->parentWidget());
}

void QtForm::setEnabled(std::string_view name, bool on) {
    if (QWidget* w = widget(name)) w->setEnabled(on);
}

bool QtForm::visible(std::string_view name) const {
    QWidget* w = widget(name);
    if (!w) return false;
    return w->parentWidget() ? w->isVisibleTo(w->parentWidget()) : w->isVisible();
}

void QtForm::setVisible(std::string_view name, bool on) {
    if (QWidget* w = widget(name)) w->setVisible(on);
}

void QtForm::setFocus(std::string_view name) {
    if (QWidget* w = widget(name)) w->setFocus(Qt::OtherFocusReason);
}

bool QtForm::editable(std::string_view name) const {
    auto* c = qobject_cast<QComboBox*>(object(name));
    return c && c->isEditable();
}

std::vector<std::string> QtForm::controlNames() const {
    std::vector<std::string> names;
    for (const auto& c : window_.spec().controls) names.emplace_back(c.name);
    return names;
}

std::string QtForm::containerOf(std::string_view name) const {
    object(name);
    return std::string(window_.spec().find(name)->container);
}

void QtForm::setProgressMaximum(int64_t maximum) {
    // A range of 0..0 would make the bar a busy indicator.
    if (auto* bar = window_.find<QProgressBar>(ctl::kProgressBar))
        bar->setMaximum(std::max(1, clampToInt(maximum)));
}

void QtForm::setProgressPosition(int64_t position) {
    if (auto* bar = window_.find<QProgressBar>(ctl::kProgressBar))
        bar->setValue(std::min(bar->maximum(), clampToInt(position)));
}

Answer QtForm::message(const Text& text, Buttons buttons, const Text& title) {
    return ask(text, buttons, title,
               buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question);
}

Answer QtForm::ask(const Text& text, Buttons buttons, const Text& title, QMessageBox::Icon icon) {
    ++messagesShown_;
    if (!messageScript) return showMessageBox(text, buttons, title, icon);
    return messageScript->answer(text, buttons, title);
}

Answer QtForm::showMessageBox(const Text& text, Buttons buttons, const Text& title,
                              QMessageBox::Icon icon) {
    const QMessageBox::StandardButtons set =
        buttons == Buttons::Ok         ? QMessageBox::StandardButtons(QMessageBox::Ok)
        : buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                       : QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(icon, qt(title.empty() ? lit(texts::kInfoTitle) : title), qt(text), set,
                    nullptr);
    box.setTextFormat(Qt::PlainText);  // paths may hold "<"
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void QtForm::processEvents() {
    const uint64_t now = clock_.tickMs();
    if (pumpedOnce_ && now - lastPumpMs_ < kPumpIntervalMs) return;
    pumpedOnce_ = true;
    lastPumpMs_ = now;
    ++pumps_;
    QCoreApplication::processEvents();
}

}  // namespace pw

namespace pw {

void QtForm::attachInputDialog(InputDialogState& state, Shell& shell, FileSystem& files) {
    dialogState_ = &state;
    shell_ = &shell;
    files_ = &files;
}

bool QtForm::showInputDialog(const InputDialogArgs& args, Text& result) {
    if (!dialogState_) return false;
    ++messagesShown_;  // its event loop runs events as a message box's does
    return runInputDialog({*this, *dialogState_, *shell_, *files_}, args, result);
}

}  // namespace pw

#include "app/qt/input_dialog_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QWindow>

#include "app/control_table.h"
#include "app/qt/control_looks.h"
#include "app/qt/control_widgets.h"
#include "app/qt/qt_form.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// The font of controls without one of their own: the size the hint's row estimate counts with.
constexpr int kDefaultFontPx = 12;

Rect rectOf(const QWidget* w) {
    return {w->x(), w->y(), w->width(), w->height()};
}
void place(QWidget* w, const Rect& r) {
    w->setGeometry(r.left, r.top, r.width, r.height);
}

}  // namespace

InputDialogWindow::InputDialogWindow(const InputDialogServices& services, QWidget* owner)
    : QDialog(owner), services_(services), request_(services.state.request) {
    const WindowSpec& spec = inputDialogSpec();
    setObjectName(QString::fromUtf8(spec.formName.data(), qsizetype(spec.formName.size())));
    setFont(uiFont(kDefaultFontPx, false));
    setSizeGripEnabled(false);
    buildControls();
    bindButtons();
    // The form's size first; the request may change it.
    create();
    const QMargins frame = windowHandle()->frameMargins();
    resize(spec.geometry.width - frame.left() - frame.right(),
           spec.geometry.height - frame.top() - frame.bottom());
    move(spec.geometry.left, spec.geometry.top);
    applyRequest();
}

void InputDialogWindow::buildControls() {
    for (const ControlSpec& c : inputDialogSpec().controls) {
        QWidget* parent = c.container.empty() ? this : find(c.container);
        auto* w = qobject_cast<QWidget*>(createControl(c, parent ? parent : this));
        controls_.emplace(std::string(c.name), w);
    }
    body_ = find<QPlainTextEdit>(ctl::dialog::kBody);
}

void InputDialogWindow::bindButtons() {
    auto onClick = [this](std::string_view name, auto handler) {
        connect(find<QPushButton>(name), &QPushButton::clicked, this, handler);
    };
    onClick(ctl::dialog::kOk, [this] {
        services_.state.result = bodyText();
        services_.state.ok = true;
        done(Accepted);
    });
    onClick(ctl::dialog::kCancel, [this] { done(Rejected); });
    onClick(ctl::dialog::kRestore, [this] { restore(); });
    onClick(ctl::dialog::kClear, [this] { setBodyText(Text()); });
    onClick(ctl::dialog::kPaste, [this] { setBodyText(services_.shell.clipboardText()); });
    onClick(ctl::dialog::kImportContents, [this] { importInto(ImportMode::Contents); });
    onClick(ctl::dialog::kImportPaths, [this] { importInto(ImportMode::Paths); });
}

// What the dialog does once it exists, before it is shown.
void InputDialogWindow::applyRequest() {
    find(ctl::dialog::kImportContents)->setVisible(showsContentImport(request_.importButtons));
    find(ctl::dialog::kImportPaths)->setVisible(showsPathImport(request_.importButtons));

    auto* hint = find<QPlainTextEdit>(ctl::dialog::kHint);
    hint->setPlainText(multiLineToQt(request_.hint));
    setWindowTitle(qt(request_.title));
    setBodyText(request_.initialText);
    initialShown_ = bodyText();
    body_->setReadOnly(request_.bodyInputMode == 1);

    if (request_.readOnly) {
        find(ctl::dialog::kOk)->setVisible(request_.confirm);
        find(ctl::dialog::kTools)->hide();
        QPalette pal = body_->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Window));
        body_->setPalette(pal);
        body_->setReadOnly(true);
        QFont bold = hint->font();
        bold.setBold(true);
        hint->setFont(bold);
        auto* close = find<QPushButton>(ctl::dialog::kCancel);
        if (!request_.confirm)
            close->setText(QString::fromUtf8(texts::kCloseCaption.data(),
                                             qsizetype(texts::kCloseCaption.size())));
        find<QPushButton>(ctl::dialog::kOk)->setDefault(request_.confirm);
        close->setDefault(!request_.confirm);
    }
    if (request_.bothScrollBars) {
        body_->setLineWrapMode(QPlainTextEdit::NoWrap);
        body_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    services_.state.ok = false;
    services_.state.result.clear();

    placeWindow();
    if (request_.maximized) setWindowState(windowState() | Qt::WindowMaximized);
    body_->setFocus(Qt::OtherFocusReason);
}

// Sized for the requested body and centred on the screen that holds the main window.
void InputDialogWindow::placeWindow() {
    const QMargins m = windowHandle()->frameMargins();
    const Rect frame{0, 0, m.left() + m.right(), m.top() + m.bottom()};
    const Rect outer{0, 0, width() + frame.width, height() + frame.height};
    QScreen* screen = services_.form.window().screen();
    const QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const Rect placed =
        placeInputDialog(request_, outer, frame, find(ctl::dialog::kHint)->height(),
                         find(ctl::dialog::kOk)->height(), {s.x(), s.y(), s.width(), s.height()});
    resize(placed.width - frame.width, placed.height - frame.height);
    move(placed.left, placed.top);
}

void InputDialogWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void InputDialogWindow::layOut() {
    QWidget* shape = find(ctl::dialog::kTools);
    QWidget* ok = find(ctl::dialog::kOk);
    QWidget* cancel = find(ctl::dialog::kCancel);
    const InputDialogLayout l = layoutInputDialog(width(), height(), request_.margin, request_.hint,
                                                  rectOf(shape), rectOf(ok), rectOf(cancel));
    place(find(ctl::dialog::kHint), l.hint);
    place(body_, l.body);
    place(shape, l.shape);
    place(ok, l.ok);
    place(cancel, l.cancel);
}

void InputDialogWindow::reject() {
    if (mayClose()) QDialog::reject();
}

bool InputDialogWindow::mayClose() {
    if (request_.readOnly || bodyText() == initialShown_) return true;
    return ask(texts::kDiscardChanges, Buttons::YesNo) == Answer::Yes;
}

Text InputDialogWindow::bodyText() const {
    return multiLineFromQt(body_->toPlainText());
}

void InputDialogWindow::setBodyText(const Text& text) {
    body_->setPlainText(multiLineToQt(text));
}

void InputDialogWindow::restore() {
    if (request_.initialText.empty())
        ask(texts::kRestoreEmpty, Buttons::Ok);
    else
        setBodyText(request_.initialText);
}

void InputDialogWindow::importInto(ImportMode mode) {
    importFiles(services_.shell, services_.files, mode, bodyText().empty(),
                [this](const Text& piece) {
                    QTextCursor end(body_->document());
                    end.movePosition(QTextCursor::End);
                    end.insertText(multiLineToQt(piece));
                    services_.form.processEvents();
                });
}

Answer InputDialogWindow::ask(std::string_view text, Buttons buttons) {
    return services_.form.ask(lit(text), buttons, lit(texts::kDialogMessageTitle),
                              QMessageBox::Information);
}

bool runInputDialog(const InputDialogServices& services, const InputDialogArgs& args,
                    Text& result) {
    InputDialogState& state = services.state;
    if (state.open) return false;
    state.request = makeInputDialogRequest(args);
    MainWindow& main = services.form.window();
    InputDialogWindow dialog(services, args.ownedByWindow && main.isVisible() ? &main : nullptr);
    state.open = true;
    dialog.exec();
    state.open = false;
    if (state.ok) result = state.result;
    return state.ok;
}

}  // namespace pw

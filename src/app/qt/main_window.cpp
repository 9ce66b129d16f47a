#include "app/qt/main_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>

#include "app/qt/banner_art.h"
#include "app/qt/control_looks.h"
#include "app/qt/control_widgets.h"
#include "text/system_texts.h"

namespace pw {

MainWindow::MainWindow(const WindowSpec& spec) : QWidget(nullptr), spec_(spec) {
    setObjectName(QString::fromUtf8(spec.formName.data(), qsizetype(spec.formName.size())));
    setWindowTitle(QString::fromUtf8(spec.title.data(), qsizetype(spec.title.size())));
    setWindowIcon(QIcon(drawProgramIcon(64)));
    setFont(uiFont(15, false));
    setFixedSize(spec.geometry.width, spec.geometry.height);
    move(spec.geometry.left, spec.geometry.top);
    buildControls();
    groupRadioButtons();
    drawPictures();
    raiseContainedControls();
}

QObject* MainWindow::control(std::string_view name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::buildControls() {
    for (const ControlSpec& c : spec_.controls) {
        QWidget* parent = this;
        if (!c.container.empty()) parent = find<QWidget>(c.container);
        if (!parent) parent = this;  // containers come before their controls in the table
        controls_.emplace(std::string(c.name), createControl(c, parent));
    }
}

// One exclusive group of radio buttons per container.
void MainWindow::groupRadioButtons() {
    std::map<std::string_view, QButtonGroup*> groups;
    for (const ControlSpec& c : spec_.controls) {
        if (c.kind != ControlKind::Radio) continue;
        QButtonGroup*& group = groups[c.container];
        if (!group) group = new QButtonGroup(this);
        auto* radio = find<QRadioButton>(c.name);
        group->addButton(radio);
        radio->setChecked(c.checked);
    }
    for (const ControlSpec& c : spec_.controls)
        if (c.kind == ControlKind::Checkbox)
            if (auto* box = find<QAbstractButton>(c.name)) box->setChecked(c.checked);
}

void MainWindow::drawPictures() {
    if (auto* logo = find<PictureControl>("图片Corvane软件"))
        logo->setImages(drawMakerLogo(false), drawMakerLogo(true));
    if (auto* save = find<PictureControl>("图片保存配置"))
        save->setImages(drawSaveSettingsIcon(false), drawSaveSettingsIcon(true));
    if (auto* home = find<PictureControl>("图片软件主页"))
        home->setImages(drawHomepageIcon(false), drawHomepageIcon(true));
    if (auto* link = find<LinkLabel>("链接软件主页"))
        link->setAddress(QString::fromUtf8(texts::kHomepageAddress.data(),
                                           qsizetype(texts::kHomepageAddress.size())));
}

// A control lying wholly on a larger sibling is drawn over it: the ".." button on its path box,
// the merge pattern box on the merge button.
void MainWindow::raiseContainedControls() {
    for (const ControlSpec& c : spec_.controls) {
        auto* w = find<QWidget>(c.name);
        if (!w || !w->parentWidget()) continue;
        for (QWidget* sibling :
             w->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling != w && sibling->geometry().contains(w->geometry()) &&
                sibling->geometry() != w->geometry()) {
                w->raise();
                break;
            }
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeHandler && !closeHandler())
        event->ignore();
    else
        event->accept();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitOuterSize();
    // Window managers often tell the frame's size only once the window is mapped.
    QTimer::singleShot(100, this, &MainWindow::fitOuterSize);
}

void MainWindow::fitOuterSize() {
    if (!windowHandle()) return;
    const QMargins frame = windowHandle()->frameMargins();
    const QSize client(spec_.geometry.width - frame.left() - frame.right(),
                       spec_.geometry.height - frame.top() - frame.bottom());
    if (client != size()) setFixedSize(client);
}

}  // namespace pw

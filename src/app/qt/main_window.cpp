#include "app/qt/main_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>
#include <QRadioButton>
#include <algorithm>

#include "app/control_table.h"
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
    move(spec.geometry.left, spec.geometry.top);
    QCoreApplication::instance()->installEventFilter(this);
    buildControls();
    groupRadioButtons();
    drawPictures();
    raiseContainedControls();
    fitClientSize();
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

// The logo paints the banner's background under itself: an opaque widget that moves is
// scrolled in place, so each step of its animation repaints only its own rectangle.
void MainWindow::drawPictures() {
    if (auto* logo = find<PictureControl>(ctl::kLogo)) {
        const int bannerHeight = logo->parentWidget()->height();
        auto onBanner = [&](const QPixmap& art) {
            QPixmap out(logo->size() * art.devicePixelRatio());
            out.setDevicePixelRatio(art.devicePixelRatio());
            QPainter p(&out);
            p.translate(0, -logo->y());
            p.fillRect(QRect(QPoint(0, logo->y()), logo->size()),
                       BannerBox::background(bannerHeight));
            p.resetTransform();
            p.drawPixmap(0, 0, art);
            return out;
        };
        logo->setImages(onBanner(drawMakerLogo(false)), onBanner(drawMakerLogo(true)));
        logo->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    if (auto* save = find<PictureControl>(ctl::kSaveSettingsPicture))
        save->setImages(drawSaveSettingsIcon(false), drawSaveSettingsIcon(true));
    if (auto* home = find<PictureControl>(ctl::kHomepagePicture))
        home->setImages(drawHomepageIcon(false), drawHomepageIcon(true));
    if (auto* link = find<LinkLabel>(ctl::kHomepageLink))
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
    tellSight(!isMinimized());
}

void MainWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    tellSight(false);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) tellSight(isVisible() && !isMinimized());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            if (inputHandler) inputHandler();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::tellSight(bool inSight) {
    if (sightHandler) sightHandler(inSight);
}

// The outer size the table gives holds a Windows frame; window managers draw frames of any size,
// so the client area is fitted to the controls instead: the left margin on every side.
void MainWindow::fitClientSize() {
    QRect content;
    int margin = spec_.geometry.width;
    for (const ControlSpec& c : spec_.controls) {
        if (!c.container.empty() || c.kind == ControlKind::Timer) continue;
        const Rect& g = c.geometry;
        if (g.left + g.width > spec_.geometry.width) continue;  // banner strips run past the edge
        content |= QRect(g.left, g.top, g.width, g.height);
        margin = std::min(margin, g.left);
    }
    setFixedSize(content.right() + 1 + margin, content.bottom() + 1 + margin);
}

}  // namespace pw

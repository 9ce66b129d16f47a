#include "app/qt/control_widgets.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "app/qt/control_looks.h"

namespace pw {
namespace {

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Full-width digits are accepted too: the engines fold them to ASCII.
constexpr const char* kIntegerInput = "[0-9０-９]*";
constexpr const char* kDecimalInput = "[0-9０-９]*([.．][0-9０-９]*)?";

QWidget* createEdit(const ControlSpec& spec, QWidget* parent) {
    if (spec.editStyle & kEditMultiLine) {
        auto* edit = new QPlainTextEdit(qs(spec.text), parent);
        const bool borderless = spec.editStyle & kEditBorderless;
        edit->setVerticalScrollBarPolicy(borderless ? Qt::ScrollBarAlwaysOff
                                                    : Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setTabChangesFocus(true);
        edit->setReadOnly(spec.editStyle & kEditReadOnly);
        if (borderless) {
            edit->setFrameStyle(QFrame::NoFrame);
            edit->document()->setDocumentMargin(0);
            QPalette pal = edit->palette();
            pal.setColor(QPalette::Base, pal.color(QPalette::Window));
            edit->setPalette(pal);
        }
        return edit;
    }
    auto* edit = new QLineEdit(qs(spec.text), parent);
    if (spec.editStyle & kEditCentred) edit->setAlignment(Qt::AlignCenter);
    const char* input = (spec.editStyle & kEditInteger)   ? kIntegerInput
                        : (spec.editStyle & kEditDecimal) ? kDecimalInput
                                                          : nullptr;
    if (input)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QString::fromUtf8(input)), edit));
    return edit;
}

QWidget* createLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new QLabel(qs(spec.text), parent);
    label->setTextFormat(Qt::PlainText);
    if (spec.kind == ControlKind::TransparentLabel) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    } else if (spec.text.empty() && spec.geometry.height <= 2) {
        label->setFrameStyle(QFrame::HLine | QFrame::Sunken);  // a separator line
    } else {
        label->setAlignment(Qt::AlignCenter);
    }
    return label;
}

QWidget* createWidget(const ControlSpec& spec, QWidget* parent) {
    using K = ControlKind;
    switch (spec.kind) {
        case K::PictureBox:
            return new BannerBox(parent);
        case K::ShapeBox:
            return new QFrame(parent);
        case K::Label:
        case K::TransparentLabel:
            return createLabel(spec, parent);
        case K::Picture:
            return new PictureControl(parent);
        case K::Hyperlink:
            return new LinkLabel(qs(spec.text), parent);
        case K::GroupBox:
            return new QGroupBox(captionToQt(qs(spec.text)), parent);
        case K::Radio:
            return new QRadioButton(captionToQt(qs(spec.text)), parent);
        case K::Checkbox:
            return new QCheckBox(captionToQt(qs(spec.text)), parent);
        case K::Edit:
            return createEdit(spec, parent);
        case K::Combo: {
            auto* combo = new QComboBox(parent);
            for (auto item : spec.items) combo->addItem(qs(item));
            combo->setCurrentIndex(spec.selected);
            if (spec.editable) {
                combo->setEditable(true);
                // A typed text stays the box's own: Enter does not add it to the list.
                combo->setInsertPolicy(QComboBox::NoInsert);
                combo->setEditText(qs(spec.text));
            }
            // The list is as wide as its longest item, however narrow the box.
            combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
            return combo;
        }
        case K::Button: {
            auto* button = new QPushButton(captionToQt(qs(spec.text)), parent);
            button->setDefault(spec.defaultButton);
            return button;
        }
        case K::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 1);
            bar->setValue(0);
            bar->setTextVisible(false);  // the transparent label shows the text
            QPalette pal = bar->palette();
            pal.setColor(QPalette::Highlight, QColor(140, 200, 250));  // dark text stays legible
            bar->setPalette(pal);
            return bar;
        }
        case K::Timer:
            break;
    }
    return nullptr;
}

}  // namespace

PictureControl::PictureControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
}

void PictureControl::setImages(QPixmap normal, QPixmap hovered) {
    normal_ = std::move(normal);
    hovered_ = std::move(hovered);
    update();
}

void PictureControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, hover_ && !hovered_.isNull() ? hovered_ : normal_);
}

void PictureControl::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void PictureControl::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

void PictureControl::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
}

void PictureControl::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->pos());
    pressed_ = false;
    if (click) emit clicked();
}

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 90, 200));
    setPalette(pal);
}

void LinkLabel::setAddress(const QString& address) {
    address_ = address;
    setToolTip(address);
}

void LinkLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit pressed();
}

QLinearGradient BannerBox::background(int height) {
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(226, 236, 250));
    return g;
}

void BannerBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), background(height()));
}

QObject* createControl(const ControlSpec& spec, QWidget* parent) {
    if (spec.kind == ControlKind::Timer) {
        auto* timer = new QTimer(parent);
        timer->setObjectName(qs(spec.name));
        timer->setInterval(spec.intervalMs);
        return timer;
    }
    QWidget* w = createWidget(spec, parent);
    w->setObjectName(qs(spec.name));
    if (spec.fontPx > 0) {
        QFont font = uiFont(spec.fontPx, spec.bold);
        if (spec.kind == ControlKind::Hyperlink) font.setUnderline(true);
        w->setFont(font);
    }
    w->setGeometry(spec.geometry.left, spec.geometry.top, spec.geometry.width,
                   spec.geometry.height);
    if (spec.handCursor) w->setCursor(Qt::PointingHandCursor);
    if (spec.hidden) w->setVisible(false);
    return w;
}

}  // namespace pw
